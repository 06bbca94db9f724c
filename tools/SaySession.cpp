#include "SaySession.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <thread>

#include "audio/LoadSoundWithVolume.h"
#include "audio/PlaySoundFile.h"
#include "audio/UnitTempo.h"
#include "conversion/MecabReverseConverter.h"
#include "voice/PaFile.h"

namespace ekoto {
namespace {

// Posted from the signal handler; any message number the outputs do not use.
constexpr int32_t kInterruptMessage = 0x8001;

}  // namespace

std::string SayMessage(const std::string& sWhy) {
  // The library names the program "ekoto"; this tool says its own name.
  return "ekoto-say: " + (sWhy.starts_with("ekoto: ") ? sWhy.substr(7) : sWhy);
}

SaySession::SaySession(const SaySettings& settings, ISoundOutput& output, WavFileOutput* wavFile)
    : m_settings(settings),
      m_wavFile(wavFile),
      m_player(output, m_queue),
      m_reader(*this, *this, DefaultReverseConverter()) {
  m_reader.SetAccentSource(settings.pAccent);
  m_reader.SetWaveFilePlayer([this](const std::u16string& fp) { PlayWaveFile(fp, m_player); });
  m_queue.SetDispatcher([this](int32_t uMsg, int32_t wParam, int32_t lParam) { Dispatch(uMsg, wParam, lParam); });
  m_player.SetReport([this](const std::string& sWhy) {
    std::fprintf(stderr, "%s\n", SayMessage(sWhy).c_str());
    // Reading on without sound would only look like a hang.
    m_bOutputFailed = true;
    m_reader.StopText();
  });
}

bool SaySession::Read(const std::u16string& text) {
  m_lTextLength = static_cast<int32_t>(text.size());
  m_reader.PlayText(text);
  if (m_settings.bProgress && m_nLastPercent >= 0) std::fputs("\r\033[K", stderr);
  return !m_bOutputFailed;
}

void SaySession::Interrupt() { m_queue.PostFromSignal(kInterruptMessage); }

void SaySession::Dispatch(int32_t uMsg, int32_t wParam, int32_t lParam) {
  if (uMsg == kInterruptMessage) {
    m_reader.StopText();
    m_player.CancelPlay();
    return;
  }
  int32_t hWnd = 0;
  int32_t ret = 0;
  m_player.EventNofity(hWnd, uMsg, wParam, lParam, ret);
}

void SaySession::OnPlayPos(int32_t lSeek, int32_t /*lLength*/) {
  if (!m_settings.bProgress || m_lTextLength == 0) return;
  const int percent = static_cast<int>(100LL * lSeek / m_lTextLength);
  if (percent == m_nLastPercent) return;
  m_nLastPercent = percent;
  std::fprintf(stderr, "\rekoto-say: reading %3d %%", percent);
  std::fflush(stderr);
}

void SaySession::OnConvertion(std::u16string& txt) { txt = ApplyReadingOptions(std::move(txt), m_settings.reading); }

void SaySession::OnPlaySound(std::u16string s) {
  const int32_t lWait = std::max(0, 1000 - static_cast<int32_t>(m_settings.fSpeed * 1000.0f + 0.5f));
  if (m_wavFile && lWait > 0) m_wavFile->AppendSilence(lWait);
  // Played, the wait is silence before the unit, so the output never runs dry.
  const int32_t lLiveWait = m_wavFile ? 0 : lWait;
  PAHEADER header;
  std::vector<uint8_t> sample = LoadSoundWithVolume(m_settings.sPAPath, s, m_settings.fVolume, header);
  if (sample.empty()) {
    if (lLiveWait > 0 && !m_player.PlaySilence(0, lLiveWait)) {
      std::this_thread::sleep_for(std::chrono::milliseconds(lLiveWait));
    }
    // Line breaks and spaces are units too, silent in every voice: not worth a word.
    if (s.find_first_not_of(u" \t\r\n\u3000") != std::u16string::npos) ++m_lMissing;
    return;
  }
  int16_t nBits = header.nBitsPerSample;
  StretchUnit(sample, nBits, header.nChannels, header.lSampleRate, m_settings.dTempo, m_reader.PitchOfUnit());
  m_player.PlaySoundAfter(0, lLiveWait, sample, header.lSampleRate, nBits, header.nChannels);
}

}  // namespace ekoto
