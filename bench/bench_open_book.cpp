// Time to open a book as the window and ekoto-say do (LoadBook: unpack, parse,
// join the text, place the chapters). Make a test book with
// bench/make_test_book.py. Usage: bench_open_book BOOK.epub [runs]
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <vector>

#include "book/BookLoader.h"
#include "util/Utf.h"

int main(int argc, char** argv) {
  if (argc < 2) {
    std::fputs("usage: bench_open_book BOOK.epub [runs]  (make one with bench/make_test_book.py)\n", stderr);
    return 2;
  }
  const int nRuns = argc > 2 ? std::max(1, std::atoi(argv[2])) : 10;
  std::vector<double> aMs;
  ekoto::BookText book;
  for (int i = 0; i < nRuns; ++i) {
    const auto start = std::chrono::steady_clock::now();
    const ekoto::BookStatus status = ekoto::LoadBook(ekoto::Utf8ToUtf16(argv[1]), book);
    aMs.push_back(std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count());
    if (!status.ok()) {
      std::fprintf(stderr, "bench_open_book: %s\n", ekoto::Utf16ToUtf8(status.sMessage).c_str());
      return 1;
    }
  }
  std::sort(aMs.begin(), aMs.end());
  std::printf("text: %zu UTF-16 units (%zu bytes as UTF-8), chapters: %zu\n", book.sText.size(),
              ekoto::Utf16ToUtf8(book.sText).size(), book.aChapters.size());
  std::printf("open: median %.1f ms, slowest %.1f ms over %d runs (goal: 1000 ms)\n", aMs[aMs.size() / 2], aMs.back(),
              nRuns);
  return 0;
}
