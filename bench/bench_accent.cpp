// Speed of the accent estimator: sentences and MB of UTF-8 input per second
// (readings made beforehand, so the figures are the estimator's alone), the
// first call with the dictionary's loading, and the plan of the first sentence
// of a 10 MB text, which must not depend on the text's length.
#include <chrono>
#include <cstdio>
#include <string>
#include <vector>

#include "BenchText.h"
#include "conversion/AccentEstimator.h"
#include "conversion/ConvKanji2Hiragana.h"
#include "conversion/ConversionChain.h"
#include "conversion/CutLongSentences.h"
#include "conversion/MecabReverseConverter.h"
#include "conversion/SplitText.h"
#include "util/Utf.h"

namespace {

using Clock = std::chrono::steady_clock;

double MillisecondsSince(Clock::time_point start) {
  return std::chrono::duration<double, std::milli>(Clock::now() - start).count();
}

struct Sentence {
  std::u16string written;
  std::u16string text;  // after the reading options, as the estimator gets it
  std::u16string reading;
};

}  // namespace

int main() {
  using namespace ekoto;
  std::vector<Sentence> sentences;
  size_t bytes = 0;
  for (const std::string& s : bench::DevelopmentSentences()) {
    const std::u16string written = Utf8ToUtf16(s);
    const std::u16string text = ApplyReadingOptions(written, {});
    sentences.push_back({written, text, ConvKanji2Hiragana(text, DefaultReverseConverter())});
    bytes += s.size();
  }

  CAccentEstimator estimator;
  auto start = Clock::now();
  const AccentPlan first = estimator.PlanAccent(sentences[0].written, sentences[0].text, sentences[0].reading);
  const double firstMs = MillisecondsSince(start);
  if (first.empty()) {
    std::fprintf(stderr, "bench_accent: %s\n", Utf16ToUtf8(estimator.LoadError()).c_str());
    return 1;
  }

  constexpr int kRounds = 5;
  size_t morae = 0;
  start = Clock::now();
  for (int round = 0; round < kRounds; ++round) {
    for (const Sentence& s : sentences) morae += estimator.PlanAccent(s.written, s.text, s.reading).size();
  }
  const double seconds = MillisecondsSince(start) / 1000;
  const double nSentences = static_cast<double>(sentences.size()) * kRounds;

  // The reader plans only the sentence it is about to say: the first plan of a
  // 10 MB text costs its first sentence, whatever follows (cutting not timed).
  const std::u16string big = Utf8ToUtf16(bench::JapaneseText(10u << 20));
  const auto spans = CutLongSentences(big, SplitSpansByChars(big, kSentenceMarks));
  start = Clock::now();
  const std::u16string written = big.substr(spans[0].lStart, spans[0].lLength);
  const std::u16string text = ApplyReadingOptions(written, {});
  const std::u16string reading = ConvKanji2Hiragana(text, DefaultReverseConverter());
  const double readingMs = MillisecondsSince(start);
  const AccentPlan plan = estimator.PlanAccent(written, text, reading);
  const double bigFirstMs = MillisecondsSince(start) - readingMs;

  std::printf("first call, dictionary loaded   %.1f ms\n", firstMs);
  std::printf("sentences planned               %.0f (%zu morae)\n", nSentences, morae);
  std::printf("speed                           %.0f sentences/s, %.2f MB/s\n", nSentences / seconds,
              static_cast<double>(bytes) * kRounds / seconds / 1e6);
  std::printf("first sentence of a 10 MB text  accent %.2f ms after its reading %.2f ms (%zu morae)\n", bigFirstMs,
              readingMs, plan.size());
  return 0;
}
