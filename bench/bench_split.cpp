// Times SplitByChars on Japanese text with ordinary punctuation and on text with
// no mark at all, at 1 to 10 MB, to show the cutting grows linearly.
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <string>

#include "conversion/SplitText.h"
#include "util/Utf.h"

namespace {

// Builds text of at least nBytes UTF-8 bytes by repeating sample.
std::u16string MakeText(const std::u16string& sample, size_t nBytes) {
  const size_t nSampleBytes = ekoto::Utf16ToUtf8(sample).size();
  std::u16string text;
  text.reserve(sample.size() * (nBytes / nSampleBytes + 1));
  for (size_t n = 0; n < nBytes; n += nSampleBytes) text += sample;
  return text;
}

void Run(const char* label, const std::u16string& sample) {
  std::printf("%s\n", label);
  for (size_t nMb : {1, 2, 4, 8, 10}) {
    const std::u16string text = MakeText(sample, nMb * 1000 * 1000);
    // Best of three runs, for the spans alone and for the copied pieces.
    double spansMs = 1e9, piecesMs = 1e9;
    size_t nPieces = 0;
    for (int round = 0; round < 3; ++round) {
      auto start = std::chrono::steady_clock::now();
      nPieces = ekoto::SplitSpansByChars(text, ekoto::kSentenceMarks).size();
      std::chrono::duration<double, std::milli> took = std::chrono::steady_clock::now() - start;
      spansMs = std::min(spansMs, took.count());
      start = std::chrono::steady_clock::now();
      nPieces = ekoto::SplitByChars(text, ekoto::kSentenceMarks).size();
      took = std::chrono::steady_clock::now() - start;
      piecesMs = std::min(piecesMs, took.count());
    }
    std::printf("  %2zu MB  %9zu pieces  spans %7.2f ms  SplitByChars %7.2f ms\n", nMb, nPieces, spansMs, piecesMs);
  }
}

}  // namespace

int main() {
  Run("Japanese text with punctuation:",
      u"今日は東京都の天気が良いので、散歩に出かけました。駅前の公園では、桜がきれいに咲いていました。");
  Run("Japanese text with no mark:", u"今日は東京都の天気が良いので散歩に出かけました駅前の公園では桜がきれいに咲いていました");
  return 0;
}
