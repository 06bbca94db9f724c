// WavFileOutput: raw PCM bytes go to libsndfile unchanged (8-bit unsigned,
// wider samples signed little-endian, as in the voice file).
#include "audio/WavFileOutput.h"

#include <algorithm>
#include <utility>
#include <vector>

namespace ekoto {

namespace {

int SubFormat(int16_t nBits) {
  switch (nBits) {
    case 8: return SF_FORMAT_PCM_U8;
    case 16: return SF_FORMAT_PCM_16;
    case 24: return SF_FORMAT_PCM_24;
    case 32: return SF_FORMAT_PCM_32;
    default: return 0;
  }
}

std::string Describe(const WAVEFORMATEX& f) {
  return std::to_string(f.nSamplesPerSec) + " Hz, " + std::to_string(f.wBitsPerSample) + " bits, " +
         std::to_string(f.nChannels) + " channel(s)";
}

}  // namespace

WavFileOutput::WavFileOutput(std::string sPath) : m_sPath(std::move(sPath)) {}

WavFileOutput::~WavFileOutput() { Finish(); }

void WavFileOutput::Fail(const std::string& sWhy) {
  m_bFailed = true;
  m_sFailure = "ekoto: cannot write " + m_sPath + " (" + sWhy + ")";
  m_sError = m_sFailure;
}

std::string WavFileOutput::TakeError() { return std::exchange(m_sError, {}); }

int32_t WavFileOutput::Open(const WAVEFORMATEX& fmt, IMessagePump& notify) {
  if (m_fmt) {
    if (!SameFormat(*m_fmt, fmt)) {
      m_sError = "ekoto: " + m_sPath + " holds " + Describe(*m_fmt) + "; a unit in " + Describe(fmt) +
                 " cannot be added to it";
      return 0;
    }
    if (m_file == nullptr) {
      m_sError = m_bFailed ? m_sFailure : "ekoto: " + m_sPath + " is already finished";
      return 0;
    }
  } else {
    const int nSub = SubFormat(fmt.wBitsPerSample);
    if (nSub == 0 || fmt.nChannels < 1 || fmt.nSamplesPerSec < 1 ||
        fmt.nBlockAlign != fmt.wBitsPerSample / 8 * fmt.nChannels) {
      Fail("unsupported format: " + Describe(fmt));
      return 0;
    }
    SF_INFO info{};
    info.samplerate = fmt.nSamplesPerSec;
    info.channels = fmt.nChannels;
    info.format = SF_FORMAT_WAV | nSub;
    m_fmt = fmt;
    m_file = sf_open(m_sPath.c_str(), SFM_WRITE, &info);
    if (m_file == nullptr) {
      Fail(sf_strerror(nullptr));
      return 0;
    }
    const int64_t nLeading = std::exchange(m_nLeadingSilenceMs, 0);
    AppendSilence(static_cast<int32_t>(nLeading));
  }
  m_pump = &notify;
  return ++m_nLastHandle;
}

bool WavFileOutput::WriteBytes(const uint8_t* data, size_t nBytes) {
  const size_t nAlign = static_cast<size_t>(m_fmt->nBlockAlign);
  nBytes -= nBytes % nAlign;
  if (m_bFailed) return false;
  // Units are a few kilobytes each: gathering them saves a system call or two per unit.
  m_pending.insert(m_pending.end(), data, data + nBytes);
  return m_pending.size() < kFlushBytes || Flush();
}

bool WavFileOutput::Flush() {
  const auto nBytes = static_cast<sf_count_t>(m_pending.size());
  if (nBytes > 0 && sf_write_raw(m_file, m_pending.data(), nBytes) != nBytes) {
    Fail(sf_strerror(m_file));
    m_pending.clear();
    return false;
  }
  m_pending.clear();
  return true;
}

bool WavFileOutput::Write(int32_t handle, const uint8_t* data, size_t nBytes) {
  if (handle != m_nLastHandle || m_file == nullptr || m_pump == nullptr) return false;
  if (!WriteBytes(data, nBytes)) return false;
  m_pump->PostMessage(kWomDone, handle, 0);
  return true;
}

void WavFileOutput::AppendSilence(int32_t ms) {
  if (ms <= 0) return;
  if (!m_fmt) {
    m_nLeadingSilenceMs += ms;
    return;
  }
  if (m_file == nullptr) return;
  const int64_t nFrames = static_cast<int64_t>(m_fmt->nSamplesPerSec) * ms / 1000;
  // Silence is the middle value: 128 for unsigned 8-bit, 0 for signed samples.
  const std::vector<uint8_t> frame(static_cast<size_t>(m_fmt->nBlockAlign),
                                   m_fmt->wBitsPerSample == 8 ? 0x80 : 0x00);
  std::vector<uint8_t> chunk;
  const int64_t nChunkFrames = 4096;
  for (int64_t i = 0; i < std::min(nFrames, nChunkFrames); ++i) chunk.insert(chunk.end(), frame.begin(), frame.end());
  for (int64_t nLeft = nFrames; nLeft > 0; nLeft -= nChunkFrames) {
    const int64_t n = std::min(nLeft, nChunkFrames);
    if (!WriteBytes(chunk.data(), static_cast<size_t>(n) * frame.size())) return;
  }
}

bool WavFileOutput::Finish() {
  if (m_file != nullptr) {
    if (!m_bFailed) Flush();
    if (sf_close(m_file) != 0 && !m_bFailed) Fail("closing the file failed");
    m_file = nullptr;
  }
  return !m_bFailed;
}

}  // namespace ekoto
