// clsPlaySound: open, write, wait for the done message, close; one buffer per call.
#include "audio/clsPlaySound.h"

#include <cmath>
#include <cstdio>

namespace ekoto {
namespace {

// lMs of silence in the given PCM format: unsigned 8-bit samples rest at 128.
std::vector<uint8_t> SilenceBytes(int32_t lMs, int32_t lHz, int16_t nBits, int16_t nChannels) {
  if (lMs <= 0 || lHz <= 0 || nBits <= 0 || nChannels <= 0) return {};
  const int64_t lFrames = static_cast<int64_t>(lHz) * lMs / 1000;
  const size_t nFrameBytes = static_cast<size_t>((nBits + 7) / 8) * static_cast<size_t>(nChannels);
  return std::vector<uint8_t>(static_cast<size_t>(lFrames) * nFrameBytes, nBits == 8 ? 0x80 : 0);
}

}  // namespace

void clsPlaySound::EventNofity(int32_t& /*hWnd_*/, int32_t& uMsg, int32_t& wParam, int32_t& /*lParam*/,
                               int32_t& /*ret*/) {
  // A done message of an earlier, reset device must not end the current wait.
  if (uMsg == kWomDone && m_hWaveOut != 0 && wParam == m_hWaveOut) {
    m_bPlaying = false;
    m_bBufferOut = false;
    m_bDoneSeen = true;
  }
}

void clsPlaySound::PlaySound(int32_t /*lhWnd*/, const std::vector<uint8_t>& bWave, int32_t lHz, int16_t nBits,
                             int16_t nChannels) {
  OpenDevice(bWave, lHz, nBits, nChannels);
  StartOutput();
  while (IsPlaying()) m_pump.WaitAndDispatch();
  CloseDevice();
}

void clsPlaySound::PlaySoundAfter(int32_t lhWnd, int32_t lWaitMs, const std::vector<uint8_t>& bWave, int32_t lHz,
                                  int16_t nBits, int16_t nChannels) {
  std::vector<uint8_t> wave = SilenceBytes(lWaitMs, lHz, nBits, nChannels);
  wave.insert(wave.end(), bWave.begin(), bWave.end());
  PlaySound(lhWnd, wave, lHz, nBits, nChannels);
}

bool clsPlaySound::PlaySilence(int32_t lhWnd, int32_t lWaitMs) {
  const std::vector<uint8_t> silence =
      SilenceBytes(lWaitMs, m_fmt.nSamplesPerSec, m_fmt.wBitsPerSample, m_fmt.nChannels);
  if (silence.empty()) return false;
  PlaySound(lhWnd, silence, m_fmt.nSamplesPerSec, m_fmt.wBitsPerSample, m_fmt.nChannels);
  return true;
}

void clsPlaySound::OpenDevice(const std::vector<uint8_t>& bWave, int32_t lHz, int16_t nBits, int16_t nChannels) {
  if (m_bPlaying) return;
  WAVEFORMATEX fmt;
  fmt.wFormatTag = 1;
  fmt.nChannels = nChannels;
  fmt.nSamplesPerSec = lHz;
  fmt.wBitsPerSample = nBits;
  // Ties go to the even number, as the format record has always been filled.
  const double align = std::nearbyint(static_cast<double>(nBits) / 8.0 * nChannels);
  // A hostile header can ask for more than the field holds; such a format opens nothing.
  fmt.nBlockAlign = align >= 0 && align <= INT16_MAX ? static_cast<int16_t>(align) : 0;
  fmt.nAvgBytesPerSec = static_cast<int32_t>(static_cast<int64_t>(lHz) * fmt.nBlockAlign);
  // A device left open in another format (a nested call after a done) is not reused.
  if (m_hWaveOut != 0 && !SameFormat(m_fmt, fmt)) CloseDevice();
  m_fmt = fmt;
  if (m_hWaveOut == 0) m_hWaveOut = m_output.Open(m_fmt, m_pump);
  m_lpData = bWave.data();
  m_nBufferLength = bWave.size();
}

void clsPlaySound::StartOutput() {
  if (m_bPlaying) return;
  m_bDoneSeen = false;
  // No device, or no write: no done message will come, so there is nothing to wait for.
  if (m_hWaveOut == 0 || !m_output.Write(m_hWaveOut, m_lpData, m_nBufferLength)) {
    Report(m_output.TakeError());
    return;
  }
  m_bPlaying = true;
  m_bBufferOut = true;
}

void clsPlaySound::CloseDevice() {
  if (m_hWaveOut == 0) return;
  // Cancelled before the done message: the caller frees the buffer once we return.
  if (m_bBufferOut) m_output.Reset(m_hWaveOut);
  m_bBufferOut = false;
  m_output.Close(m_hWaveOut);
  m_hWaveOut = 0;
  const std::string sError = m_output.TakeError();
  if (!sError.empty()) {
    Report(sError);
  } else if (m_bDoneSeen && m_bReported) {
    m_bReported = false;  // played again: a later failure is news
    if (m_fnReport) m_fnReport("");
  }
}

void clsPlaySound::Report(const std::string& sError) {
  if (m_bReported) return;
  m_bReported = true;
  const std::string sText = sError.empty() ? "ekoto: the sound output failed" : sError;
  if (m_fnReport) {
    m_fnReport(sText);
  } else {
    std::fprintf(stderr, "%s\n", sText.c_str());
  }
}

}  // namespace ekoto
