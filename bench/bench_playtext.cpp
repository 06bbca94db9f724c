// Time from PlayText on a 10 MB text to the first OnPlaySound, with the real
// conversion chain (reading options, template, numerals, MeCab).
#include <chrono>
#include <cstdio>

#include "BenchText.h"
#include "conversion/ConversionChain.h"
#include "conversion/MecabReverseConverter.h"
#include "engine/clsReadUp.h"
#include "util/Utf.h"

namespace {

using Clock = std::chrono::steady_clock;

class FirstUnitTimer : public ekoto::IReadUpEvents, public ekoto::IEventYield {
 public:
  ekoto::clsReadUp* reader = nullptr;
  Clock::time_point firstSound;
  void OnPlay() override {}
  void OnPlayPos(int32_t, int32_t) override {}
  void OnPlaySound(std::u16string) override {
    if (firstSound == Clock::time_point{}) firstSound = Clock::now();
    reader->StopText();
  }
  void OnPause() override {}
  void OnStop() override {}
  void OnConvertion(std::u16string& txt) override { txt = ekoto::ApplyReadingOptions(txt, {}); }
  void DoEvents() override {}
};

double MillisecondsToFirstUnit(const std::u16string& text) {
  FirstUnitTimer timer;
  ekoto::clsReadUp reader(timer, timer, ekoto::DefaultReverseConverter());
  timer.reader = &reader;
  const auto start = Clock::now();
  reader.PlayText(text);
  return std::chrono::duration<double, std::milli>(timer.firstSound - start).count();
}

}  // namespace

int main() {
  const std::u16string text = ekoto::Utf8ToUtf16(ekoto::bench::JapaneseText(10u << 20));
  std::printf("PlayText on 10 MB (%zu UTF-16 units) to the first OnPlaySound (target <= 20 ms)\n", text.size());
  std::printf("  first reading (the analyser loads its dictionary): %8.2f ms\n", MillisecondsToFirstUnit(text));
  for (int run = 1; run <= 3; ++run)
    std::printf("  reading %d:                                          %8.2f ms\n", run,
                MillisecondsToFirstUnit(text));
  return 0;
}
