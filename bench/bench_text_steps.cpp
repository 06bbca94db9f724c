// Throughput of the reading-option steps (upper case, narrowing, template,
// numerals) on about 10 MB of ordinary Japanese text with a 20-entry template.
// Usage: bench_text_steps [readings.tsv]  (sentences are taken from column 2)
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <functional>
#include <string>
#include <vector>

#include "conversion/ConvNumeric2Hira.h"
#include "conversion/ConvTemplete.h"
#include "conversion/ConversionChain.h"
#include "conversion/TextOptions.h"
#include "util/Utf.h"

namespace {

constexpr size_t kTargetBytes = 10 * 1000 * 1000;

// Entries of the kind a user writes: words of the corpus (some frequent), Latin
// abbreviations and signs.
constexpr char kTemplete[] =
    "// bench template\r\n"
    "東京都\tとうきょうと\r\n東京\tとうきょう\r\n彼女\tかのじょ\r\n彼\tかれ\r\n私\tわたし\r\n"
    "今日\tきょう\r\n人間\tにんげん\r\n学生\tがくせい\r\n旅行\tりょこう\r\n料理\tりょうり\r\n"
    "OK\tおーけー\r\nPC\tぴーしー\r\nKM\tきろめーとる\r\nWWW\tわらわら\r\n%\tぱーせんと\r\n"
    "&\tあんど\r\nCM\tせんちめーとる\r\nNHK\tえぬえいちけー\r\n百\t100\r\n千\t1000\r\n";

// Every tenth line carries digits and full-width forms so every step has work.
constexpr char kMixedLine[] = "ＮＨＫの番組は2024年3月15日、午後７時３０分から約45分です。OKなら１，５００円。";

std::vector<std::string> ReadSentences(const char* path) {
  std::vector<std::string> out;
  std::ifstream in(path);
  std::string line;
  std::getline(in, line);  // header
  while (std::getline(in, line)) {
    const size_t a = line.find('\t');
    const size_t b = line.find('\t', a + 1);
    if (a != std::string::npos && b != std::string::npos) out.push_back(line.substr(a + 1, b - a - 1));
  }
  return out;
}

// Best of three runs, in MB/s of UTF-8 input.
double Throughput(double nBytes, const std::function<void()>& run) {
  double best = 1e30;
  for (int i = 0; i < 3; ++i) {
    const auto t0 = std::chrono::steady_clock::now();
    run();
    best = std::min(best, std::chrono::duration<double>(std::chrono::steady_clock::now() - t0).count());
  }
  return nBytes / 1e6 / best;
}

}  // namespace

int main(int argc, char** argv) {
  using namespace ekoto;
  const char* path = argc > 1 ? argv[1] : "/work/shared/data/readings_dev.tsv";
  const std::vector<std::string> sentences = ReadSentences(path);
  if (sentences.empty()) {
    std::fprintf(stderr, "no sentences in %s\n", path);
    return 1;
  }
  std::string utf8;
  std::vector<std::u16string> lines;
  for (size_t i = 0; utf8.size() < kTargetBytes; ++i) {
    const std::string& s = i % 10 == 9 ? std::string(kMixedLine) : sentences[i % sentences.size()];
    utf8 += s + "\n";
    lines.push_back(Utf8ToUtf16(s));
  }
  const std::u16string text = Utf8ToUtf16(utf8);
  const double nBytes = static_cast<double>(utf8.size());

  const std::filesystem::path tpl = std::filesystem::temp_directory_path() / "ekoto_bench_templete.txt";
  std::ofstream(tpl, std::ios::binary) << kTemplete;
  const auto t0 = std::chrono::steady_clock::now();
  LoadConvTemplete(Utf8ToUtf16(tpl.string()));
  const double loadMs = std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - t0).count();
  std::filesystem::remove(tpl);

  std::printf("input: %.1f MB UTF-8, %zu UTF-16 units, %zu lines; template loaded in %.1f ms\n", nBytes / 1e6,
              text.size(), lines.size(), loadMs);
  // First calls build the lookup tables; keep that out of the figures.
  const auto w0 = std::chrono::steady_clock::now();
  NarrowText(u"Ａ");
  ConvTemplete(u"a");
  std::printf("first-use table set-up: %.1f ms\n",
              std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - w0).count());

  const std::u16string upper = ToUpperCaseText(text);
  const std::u16string narrow = NarrowText(upper);
  const std::u16string templ = ConvTemplete(narrow);
  size_t nSink = 0;
  std::printf("%-34s %8.1f MB/s\n", "upper case (ToUpperCaseText)",
              Throughput(nBytes, [&] { nSink += ToUpperCaseText(text).size(); }));
  std::printf("%-34s %8.1f MB/s\n", "narrowing (NarrowText)",
              Throughput(nBytes, [&] { nSink += NarrowText(upper).size(); }));
  std::printf("%-34s %8.1f MB/s\n", "template (ConvTemplete, 20 entries)",
              Throughput(nBytes, [&] { nSink += ConvTemplete(narrow).size(); }));
  std::printf("%-34s %8.1f MB/s\n", "numerals (ConvNumeric2Hira)",
              Throughput(nBytes, [&] { nSink += ConvNumeric2Hira(templ).size(); }));
  std::printf("%-34s %8.1f MB/s\n", "ApplyReadingOptions, whole text",
              Throughput(nBytes, [&] { nSink += ApplyReadingOptions(text, {}).size(); }));
  std::printf("%-34s %8.1f MB/s\n", "ApplyReadingOptions, per sentence", Throughput(nBytes, [&] {
                for (const std::u16string& line : lines) nSink += ApplyReadingOptions(line, {}).size();
              }));
  std::printf("(output units: %zu)\n", nSink);
  return 0;
}
