// Time from PlayText to the first OnPlaySound on 10 MB of text without a single
// sentence mark (a paste of one endless line): the reader takes the whole text
// as one sentence, so every step before the first unit runs over all of it.
// Also times the two steps the sentence goes through on their own.
#include <chrono>
#include <cstdio>

#include "BenchText.h"
#include "FirstUnitTimer.h"
#include "conversion/ConvKanji2Hiragana.h"
#include "conversion/ConvTemplete.h"
#include "conversion/ConversionChain.h"
#include "conversion/MecabReverseConverter.h"
#include "conversion/SplitText.h"
#include "util/ProgramFolder.h"
#include "util/Utf.h"

namespace {

using Clock = std::chrono::steady_clock;

double MsSince(Clock::time_point start) {
  return std::chrono::duration<double, std::milli>(Clock::now() - start).count();
}

// The text with every sentence mark taken out.
std::u16string WithoutMarks(const std::u16string& text) {
  std::u16string out;
  out.reserve(text.size());
  for (char16_t c : text) {
    if (ekoto::kSentenceMarks.find(c) == std::u16string_view::npos) out += c;
  }
  return out;
}

}  // namespace

int main() {
  // The bundled template, as the program loads it.
  ekoto::LoadConvTemplete(ekoto::ProgramFolder() + u"templete.txt");
  const std::u16string text = WithoutMarks(ekoto::Utf8ToUtf16(ekoto::bench::JapaneseText(10u << 20)));
  std::printf("10 MB without sentence marks (%zu UTF-16 units)\n", text.size());

  auto start = Clock::now();
  const std::u16string converted = ekoto::ApplyReadingOptions(text, {});
  std::printf("  ApplyReadingOptions alone:                 %10.1f ms\n", MsSince(start));
  start = Clock::now();
  const std::u16string kana = ekoto::ConvKanji2Hiragana(converted, ekoto::DefaultReverseConverter());
  std::printf("  ConvKanji2Hiragana alone:                  %10.1f ms (%zu units of kana)\n", MsSince(start),
              kana.size());
  ekoto::bench::FirstUnitTimer timer;
  for (int run = 1; run <= 2; ++run) {
    std::printf("  PlayText to the first OnPlaySound, run %d:  %10.1f ms\n", run, timer.MillisecondsToFirstUnit(text));
  }
  return 0;
}
