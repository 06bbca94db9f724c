// The conversion template with 10,000 entries: the time to load and build it
// (the program does so at every play), its throughput alone and in the whole
// kana chain on 1 MB of text, and the first unit of a 10 MB text.
// Usage: bench_templete [--accent] [--write FILE]  (--accent writes every entry
// as the dictionary window does, with accent marks; --write keeps the template,
// e.g. for `ekoto-say --kana --template FILE`).
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <random>
#include <set>
#include <string>
#include <vector>

#include "BenchText.h"
#include "FirstUnitTimer.h"
#include "ProcessCpu.h"
#include "conversion/ConvKanji2Hiragana.h"
#include "conversion/ConvTemplete.h"
#include "conversion/ConversionChain.h"
#include "conversion/MecabReverseConverter.h"
#include "conversion/SplitText.h"
#include "util/CFile.h"
#include "util/Utf.h"

namespace {

using Clock = std::chrono::steady_clock;

double MsSince(Clock::time_point start) {
  return std::chrono::duration<double, std::milli>(Clock::now() - start).count();
}

// 10,000 entries: 1,000 pieces of the development sentences (so that they do
// occur) and 9,000 made-up kanji words, each with a kana reading.
std::u16string TenThousandEntries(const std::vector<std::string>& sentences, bool bAccent) {
  std::mt19937 random(21);
  std::set<std::u16string> seen;
  std::u16string text = u"// 10,000 entries for the benchmark\r\n";
  const auto add = [&](const std::u16string& from) {
    if (from.empty() || !seen.insert(from).second) return;
    std::u16string to;
    for (size_t i = 0; i < from.size() + 1; ++i) to += static_cast<char16_t>(u'あ' + random() % 80);
    if (bAccent) text += u"//@\taccent=" + to.substr(0, 1) + u'[' + to.substr(1) + u"\r\n";
    text += from + u'\t' + to + u"\r\n";
  };
  for (size_t i = 0; seen.size() < 1000 && i < 100000; ++i) {
    const std::u16string sentence = ekoto::Utf8ToUtf16(sentences[random() % sentences.size()]);
    const size_t nLen = 2 + random() % 3;
    if (sentence.size() <= nLen) continue;
    const std::u16string piece = sentence.substr(random() % (sentence.size() - nLen), nLen);
    if (piece.find_first_of(u"、。！？「」\t") == std::u16string::npos) add(piece);
  }
  while (seen.size() < 10000) {
    std::u16string word;
    for (size_t i = 0, n = 2 + random() % 3; i < n; ++i) word += static_cast<char16_t>(0x4E00 + random() % 0x5000);
    add(word);
  }
  return text;
}

}  // namespace

int main(int argc, char** argv) {
  const std::vector<std::string> sentences = ekoto::bench::DevelopmentSentences();
  std::vector<std::string> args(argv + 1, argv + argc);
  const bool bAccent = !args.empty() && args[0] == "--accent";
  if (bAccent) args.erase(args.begin());
  const std::u16string templateText = TenThousandEntries(sentences, bAccent);
  std::filesystem::path path = std::filesystem::temp_directory_path() / "ekoto_bench_templete.txt";
  if (args.size() > 1 && args[0] == "--write") path = args[1];
  if (!ekoto::CFile().WriteFile(ekoto::Utf8ToUtf16(path.string()), templateText)) {
    std::fprintf(stderr, "cannot write %s\n", path.string().c_str());
    return 1;
  }

  // Load and build, as at every play: the best of five, and the CPU time of
  // twenty (on a shared machine the wall clock says little).
  double loadMs = 1e9;
  for (int i = 0; i < 5; ++i) {
    const auto start = Clock::now();
    ekoto::LoadConvTemplete(ekoto::Utf8ToUtf16(path.string()));
    loadMs = std::min(loadMs, MsSince(start));
  }
  double cpu = ekoto::bench::CpuSeconds();
  for (int i = 0; i < 20; ++i) ekoto::LoadConvTemplete(ekoto::Utf8ToUtf16(path.string()));
  const double loadCpuMs = (ekoto::bench::CpuSeconds() - cpu) / 20 * 1e3;
  ekoto::CConvTemplete table;
  table.Load(ekoto::Utf8ToUtf16(path.string()));
  std::printf("10,000 entries%s: load and build %.2f ms wall, %.2f ms cpu\n", bAccent ? " with accents" : "", loadMs,
              loadCpuMs);

  // 1 MB, one line of text at a time as ekoto-say --kana reads it, cut into sentences.
  const std::string megabyte = ekoto::bench::JapaneseText(1000 * 1000, 10);
  std::vector<std::u16string> pieces;
  for (const std::u16string& line : ekoto::SplitByChars(ekoto::Utf8ToUtf16(megabyte), u"\n")) {
    for (std::u16string& piece : ekoto::SplitByChars(line, ekoto::kSentenceMarks)) pieces.push_back(std::move(piece));
  }
  const double mb = megabyte.size() / 1e6;
  size_t nChanged = 0;
  cpu = ekoto::bench::CpuSeconds();
  for (const std::u16string& piece : pieces) nChanged += table.Apply(piece) != piece;
  const double applyCpu = ekoto::bench::CpuSeconds() - cpu;
  std::printf("template alone: %.2f MB, cpu %.3f s, %.1f MB/s (%zu of %zu sentences changed)\n", mb, applyCpu,
              mb / applyCpu, nChanged, pieces.size());
  // Every entry tried everywhere, on a tenth of the text.
  const size_t nTenth = pieces.size() / 10;
  cpu = ekoto::bench::CpuSeconds();
  for (size_t i = 0; i < nTenth; ++i) nChanged += table.ApplyTryingEveryEntry(pieces[i]).size();
  std::printf("trying every entry: %.2f MB/s cpu\n", mb / 10 / (ekoto::bench::CpuSeconds() - cpu));

  ekoto::IReverseConverter& converter = ekoto::DefaultReverseConverter();
  std::u16string warmUp;
  if (!converter.ReverseConvert(u"準備", warmUp)) {
    std::fprintf(stderr, "MeCab could not be loaded\n");
    return 1;
  }
  size_t nOut = 0;
  const ekoto::CConvTemplete empty;
  for (const ekoto::CConvTemplete* pTable : {&empty, static_cast<const ekoto::CConvTemplete*>(&table)}) {
    cpu = ekoto::bench::CpuSeconds();
    for (const std::u16string& piece : pieces) {
      nOut += ekoto::ConvKanji2Hiragana(ekoto::ApplyReadingOptions(piece, {}, *pTable), converter).size();
    }
    const double chainCpu = ekoto::bench::CpuSeconds() - cpu;
    std::printf("whole kana chain %s: cpu %.3f s, %.2f MB/s\n", pTable == &empty ? "without entries" : "with the entries",
                chainCpu, mb / chainCpu);
  }

  const std::u16string tenMegabytes = ekoto::Utf8ToUtf16(ekoto::bench::JapaneseText(10 * 1000 * 1000));
  ekoto::bench::FirstUnitTimer timer;
  double firstMs = 1e9;
  double firstCpuMs = 1e9;
  for (int i = 0; i < 3; ++i) {
    cpu = ekoto::bench::CpuSeconds();
    firstMs = std::min(firstMs, timer.MillisecondsToFirstUnit(tenMegabytes));
    firstCpuMs = std::min(firstCpuMs, (ekoto::bench::CpuSeconds() - cpu) * 1e3);
  }
  std::printf("10 MB text: first unit after %.2f ms wall, %.2f ms cpu (best of 3)\n", firstMs, firstCpuMs);
  return 0;
}
