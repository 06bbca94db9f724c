// Throughput of ConvKanji2Hiragana with MeCab, in MB of UTF-8 input per second,
// on a few MB of ordinary sentences taken from the development readings, alone
// and after the reading options.
#include <chrono>
#include <ctime>
#include <cstdio>
#include <fstream>
#include <string>
#include <vector>

#include "conversion/ConvKanji2Hiragana.h"
#include "conversion/ConversionChain.h"
#include "conversion/MecabReverseConverter.h"
#include "conversion/SplitText.h"
#include "util/Utf.h"

namespace {

constexpr const char* kDefaultSentences = "/work/shared/data/readings_dev.tsv";

// Column 2 of the tab-separated file, header skipped.
std::vector<std::u16string> LoadSentences(const char* path) {
  std::vector<std::u16string> sentences;
  std::ifstream in(path);
  std::string line;
  std::getline(in, line);
  while (std::getline(in, line)) {
    const size_t a = line.find('\t');
    const size_t b = line.find('\t', a + 1);
    if (a == std::string::npos || b == std::string::npos) continue;
    sentences.push_back(ekoto::Utf8ToUtf16(line.substr(a + 1, b - a - 1)));
  }
  return sentences;
}

}  // namespace

int main(int argc, char** argv) {
  const std::vector<std::u16string> sentences = LoadSentences(argc > 1 ? argv[1] : kDefaultSentences);
  if (sentences.empty()) {
    std::fprintf(stderr, "no sentences read (usage: bench_conv [readings.tsv])\n");
    return 1;
  }
  constexpr size_t kTargetBytes = 4 * 1000 * 1000;
  std::vector<std::u16string> text;
  size_t nBytes = 0;
  while (nBytes < kTargetBytes) {
    for (const std::u16string& sentence : sentences) {
      text.push_back(sentence);
      nBytes += ekoto::Utf16ToUtf8(sentence).size();
    }
  }

  ekoto::IReverseConverter& converter = ekoto::DefaultReverseConverter();
  std::u16string warmUp;
  if (!converter.ReverseConvert(u"準備", warmUp)) {
    std::fprintf(stderr, "MeCab could not be loaded\n");
    return 1;
  }

  // Sentences are fed one by one, as the reader does.
  size_t nOutput = 0;
  const auto start = std::chrono::steady_clock::now();
  const std::clock_t cpuStart = std::clock();
  for (const std::u16string& sentence : text) nOutput += ekoto::ConvKanji2Hiragana(sentence, converter).size();
  const std::chrono::duration<double> took = std::chrono::steady_clock::now() - start;
  // CPU time as well: on a busy machine the wall clock says little.
  const double cpuSeconds = static_cast<double>(std::clock() - cpuStart) / CLOCKS_PER_SEC;

  std::printf("%zu sentences, %.2f MB UTF-8 in, %zu UTF-16 units out\n", text.size(), nBytes / 1e6, nOutput);
  std::printf("wall %.3f s, %.2f MB/s; cpu %.3f s, %.2f MB/s\n", took.count(), nBytes / 1e6 / took.count(),
              cpuSeconds, nBytes / 1e6 / cpuSeconds);

  // The same with the default reading options first (numerals read with their counters).
  const std::clock_t optionsStart = std::clock();
  for (const std::u16string& sentence : text) {
    nOutput += ekoto::ConvKanji2Hiragana(ekoto::ApplyReadingOptions(sentence, {}), converter).size();
  }
  const double optionsSeconds = static_cast<double>(std::clock() - optionsStart) / CLOCKS_PER_SEC;
  std::printf("with reading options: cpu %.3f s, %.2f MB/s\n", optionsSeconds, nBytes / 1e6 / optionsSeconds);
  return 0;
}
