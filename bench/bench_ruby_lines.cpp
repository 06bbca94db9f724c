// How often a line with ruby and notes reads exactly as the same line written
// out (every base replaced by its ruby, every note removed), per set of lines.
//   bench_ruby_lines [FILE.tsv] [--show]   (default: bench/data/ruby_lines.tsv)
// Lines: id, set, shown, written out; lines starting with # are skipped.
#include <cstdio>
#include <fstream>
#include <map>
#include <string>

#include "conversion/MecabReverseConverter.h"
#include "conversion/ReadingOfText.h"
#include "util/Utf.h"

int main(int argc, char** argv) {
  std::string path = EKOTO_BENCH_DATA_DIR "/ruby_lines.tsv";
  bool bShow = false;
  for (int i = 1; i < argc; ++i) {
    const std::string arg = argv[i];
    if (arg == "--show") {
      bShow = true;
    } else {
      path = arg;
    }
  }
  std::ifstream in(path);
  if (!in) {
    std::fprintf(stderr, "bench_ruby_lines: cannot read %s\n", path.c_str());
    return 1;
  }
  std::map<std::string, std::pair<int, int>> exact;  // set → (exact, lines)
  std::string line;
  while (std::getline(in, line)) {
    if (line.empty() || line[0] == '#') continue;
    const size_t a = line.find('\t');
    const size_t b = line.find('\t', a + 1);
    const size_t c = line.find('\t', b + 1);
    if (c == std::string::npos) continue;
    const std::string set = line.substr(a + 1, b - a - 1);
    const std::u16string shown = ekoto::Utf8ToUtf16(line.substr(b + 1, c - b - 1));
    const std::u16string plain = ekoto::Utf8ToUtf16(line.substr(c + 1));
    ekoto::IReverseConverter& converter = ekoto::DefaultReverseConverter();
    const std::u16string got = ekoto::ReadingOfText(shown, {}, converter);
    const std::u16string want = ekoto::ReadingOfText(plain, {}, converter);
    auto& [nExact, nLines] = exact[set];
    ++nLines;
    if (got == want) {
      ++nExact;
    } else if (bShow) {
      std::printf("%s\n  got  %s\n  want %s\n", line.substr(0, a).c_str(), ekoto::Utf16ToUtf8(got).c_str(),
                  ekoto::Utf16ToUtf8(want).c_str());
    }
  }
  for (const auto& [set, counts] : exact) {
    std::printf("%-6s %4d lines, read as written out: %5.1f %%\n", set.c_str(), counts.second,
                100.0 * counts.first / counts.second);
  }
  return 0;
}
