// Time from PlayText to the first OnPlaySound, with the program's conversion
// chain (reading options, template, numerals, MeCab) and nothing played. With an
// accent source and a voice, the time runs until the first unit has been fetched
// and shaped to its pitch, ready to play.
#pragma once
#include <chrono>
#include <string>

#include "conversion/ConversionChain.h"
#include "audio/LoadSoundWithVolume.h"
#include "audio/Pcm16.h"
#include "audio/UnitTempo.h"
#include "conversion/AccentPlan.h"
#include "conversion/MecabReverseConverter.h"
#include "engine/clsReadUp.h"

namespace ekoto::bench {

class FirstUnitTimer : public IReadUpEvents, public IEventYield {
 public:
  using Clock = std::chrono::steady_clock;

  FirstUnitTimer() = default;
  FirstUnitTimer(IAccentSource* pAccent, std::u16string sVoice) : m_pAccent(pAccent), m_sVoice(std::move(sVoice)) {}

  // Reads text until its first unit, then stops; returns the milliseconds taken.
  double MillisecondsToFirstUnit(const std::u16string& text) {
    clsReadUp reader(*this, *this, DefaultReverseConverter());
    m_reader = &reader;
    reader.SetAccentSource(m_pAccent);
    m_firstSound = {};
    const auto start = Clock::now();
    reader.PlayText(text);
    m_reader = nullptr;
    return std::chrono::duration<double, std::milli>(m_firstSound - start).count();
  }

  void OnPlay() override {}
  void OnPlayPos(int32_t, int32_t) override {}
  void OnPlaySound(std::u16string s) override {
    if (!m_sVoice.empty()) {
      PAHEADER header;
      const std::vector<uint8_t> bytes = LoadSoundWithVolume(m_sVoice, s, 1.0f, header);
      m_nShaped = StretchPcm(ToPcm16(bytes, header.nBitsPerSample, header.nChannels), header.lSampleRate, 1.0,
                             m_reader->PitchOfUnit()).size();
    }
    if (m_firstSound == Clock::time_point{}) m_firstSound = Clock::now();
    m_reader->StopText();
  }
  void OnPause() override {}
  void OnStop() override {}
  void OnConvertion(std::u16string& txt) override { txt = ApplyReadingOptions(txt, {}); }
  void DoEvents() override {}

 private:
  IAccentSource* m_pAccent = nullptr;
  std::u16string m_sVoice;
  size_t m_nShaped = 0;
  clsReadUp* m_reader = nullptr;
  Clock::time_point m_firstSound;
};

}  // namespace ekoto::bench
