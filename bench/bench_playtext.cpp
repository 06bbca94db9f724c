// Time from PlayText on a 10 MB text to the first OnPlaySound, with the real
// conversion chain (reading options, template, numerals, MeCab).
#include <cstdio>

#include "BenchText.h"
#include "FirstUnitTimer.h"
#include "conversion/AccentEstimator.h"
#include "util/ProgramFolder.h"
#include "util/Utf.h"

int main() {
  const std::u16string text = ekoto::Utf8ToUtf16(ekoto::bench::JapaneseText(10u << 20));
  ekoto::bench::FirstUnitTimer timer;
  std::printf("PlayText on 10 MB (%zu UTF-16 units) to the first OnPlaySound (target <= 20 ms)\n", text.size());
  std::printf("  first reading (the analyser loads its dictionary): %8.2f ms\n", timer.MillisecondsToFirstUnit(text));
  for (int run = 1; run <= 3; ++run)
    std::printf("  reading %d:                                          %8.2f ms\n", run,
                timer.MillisecondsToFirstUnit(text));
  // With the accent estimator's plan and the first unit fetched and shaped to
  // its pitch. Later readings find the unit already shaped.
  ekoto::CAccentEstimator estimator;
  ekoto::bench::FirstUnitTimer shaping(&estimator, ekoto::ProgramFolder() + u"50on.pa");
  std::printf("the same with the accent estimator's plan, to the first unit shaped to its pitch\n");
  std::printf("  first reading (the accent dictionary loads):         %8.2f ms\n", shaping.MillisecondsToFirstUnit(text));
  for (int run = 1; run <= 3; ++run)
    std::printf("  reading %d:                                          %8.2f ms\n", run,
                shaping.MillisecondsToFirstUnit(text));
  return 0;
}
