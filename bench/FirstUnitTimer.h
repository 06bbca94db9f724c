// Time from PlayText to the first OnPlaySound, with the program's conversion
// chain (reading options, template, numerals, MeCab) and nothing played.
#pragma once
#include <chrono>
#include <string>

#include "conversion/ConversionChain.h"
#include "conversion/MecabReverseConverter.h"
#include "engine/clsReadUp.h"

namespace ekoto::bench {

class FirstUnitTimer : public IReadUpEvents, public IEventYield {
 public:
  using Clock = std::chrono::steady_clock;

  // Reads text until its first unit, then stops; returns the milliseconds taken.
  double MillisecondsToFirstUnit(const std::u16string& text) {
    clsReadUp reader(*this, *this, DefaultReverseConverter());
    m_reader = &reader;
    m_firstSound = {};
    const auto start = Clock::now();
    reader.PlayText(text);
    m_reader = nullptr;
    return std::chrono::duration<double, std::milli>(m_firstSound - start).count();
  }

  void OnPlay() override {}
  void OnPlayPos(int32_t, int32_t) override {}
  void OnPlaySound(std::u16string) override {
    if (m_firstSound == Clock::time_point{}) m_firstSound = Clock::now();
    m_reader->StopText();
  }
  void OnPause() override {}
  void OnStop() override {}
  void OnConvertion(std::u16string& txt) override { txt = ApplyReadingOptions(txt, {}); }
  void DoEvents() override {}

 private:
  clsReadUp* m_reader = nullptr;
  Clock::time_point m_firstSound;
};

}  // namespace ekoto::bench
