// options_saver PATH [--signal-start]: saves the two test settings to PATH in
// turn, forever, until it is killed. The kill test uses it to stop saves at
// random moments; with --signal-start it writes one byte to standard output
// once the first save is done.
#include <cstdio>
#include <string>

#include "OptionsSaverContents.h"
#include "settings/modLoadAndSaveOptions.h"
#include "util/Utf.h"

int main(int argc, char** argv) {
  const bool bSignalStart = argc == 3 && std::string(argv[2]) == "--signal-start";
  if (argc != 2 && !bSignalStart) {
    std::fputs("usage: options_saver PATH [--signal-start]\n", stderr);
    return 2;
  }
  const std::u16string path = ekoto::Utf8ToUtf16(argv[1]);
  ekoto::testing::SavedSettings contents[] = {ekoto::testing::SaverContents(false),
                                              ekoto::testing::SaverContents(true)};
  for (unsigned long n = 0;; ++n) {
    ekoto::testing::SavedSettings& s = contents[n % 2];
    if (!ekoto::SaveOptions(path, s.options, s.window)) {
      std::fputs("options_saver: save failed\n", stderr);
      return 1;
    }
    if (n == 0 && bSignalStart) {
      std::fputc('.', stdout);
      std::fflush(stdout);
    }
  }
}
