// A whole novel from Aozora Bunko (CP932, CRLF, ruby and notes): the time its
// text takes to be prepared for the window (missing characters, chapters) and
// from PlayText to the first OnPlaySound, from the start and from the middle.
//   bench_novel_first_unit FILE.txt
// e.g. 吾輩は猫である: git -C aozorabunko_text show HEAD:cards/000148/files/789_ruby_5639/789_ruby_5639.txt
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <vector>

#include "FirstUnitTimer.h"
#include "conversion/AozoraText.h"
#include "conversion/ConvTemplete.h"
#include "util/CFile.h"
#include "util/ProgramFolder.h"
#include "util/Utf.h"

namespace {

using Clock = std::chrono::steady_clock;

double Median(std::vector<double> v) {
  std::sort(v.begin(), v.end());
  return v[v.size() / 2];
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: bench_novel_first_unit FILE.txt\n");
    return 2;
  }
  ekoto::LoadConvTemplete(ekoto::ProgramFolder() + u"templete.txt");
  std::vector<uint8_t> bytes;
  std::u16string decoded;
  if (!ekoto::CFile().ReadFileForBinary(ekoto::Utf8ToUtf16(argv[1]), bytes) ||
      !ekoto::CFile().ReadFile(ekoto::Utf8ToUtf16(argv[1]), decoded)) {
    std::fprintf(stderr, "bench_novel_first_unit: cannot read %s\n", argv[1]);
    return 1;
  }
  std::printf("%s: %zu bytes, %zu UTF-16 units\n", argv[1], bytes.size(), decoded.size());

  std::vector<double> prepare;
  ekoto::BookText book;
  for (int run = 0; run < 5; ++run) {
    const auto start = Clock::now();
    book = ekoto::PrepareAozoraText(decoded);
    prepare.push_back(std::chrono::duration<double, std::milli>(Clock::now() - start).count());
  }
  std::printf("  PrepareAozoraText (median of 5):              %8.2f ms, %zu chapters\n", Median(prepare),
              book.aChapters.size());

  ekoto::bench::FirstUnitTimer timer;
  timer.MillisecondsToFirstUnit(u"準備。");  // loads MeCab, as the first play of a session does
  const std::u16string middle = book.sText.substr(book.sText.size() / 2);
  for (const auto& [name, text] : {std::pair{"from the start", static_cast<const std::u16string*>(&book.sText)}, std::pair{"from the middle", &middle}}) {
    std::vector<double> times;
    for (int run = 0; run < 5; ++run) times.push_back(timer.MillisecondsToFirstUnit(*text));
    std::printf("  PlayText to the first unit, %-16s: %8.2f ms (median of 5)\n", name, Median(times));
  }
  return 0;
}
