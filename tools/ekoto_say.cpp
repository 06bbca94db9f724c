// ekoto-say: the reading chain on the command line.
//   ekoto-say --kana [TEXT...]   prints the hiragana of every input line
//   ekoto-say --units [TEXT...]  prints the syllable units, separated by spaces
// Input is the arguments (joined by spaces) or, when there are none, standard input.
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <iostream>
#include <sstream>
#include <string>
#include <vector>

#include "conversion/ConvTemplete.h"
#include "conversion/ConversionChain.h"
#include "conversion/MecabReverseConverter.h"
#include "conversion/ReadingOfText.h"
#include "engine/SplitSyllables.h"
#include "util/CFile.h"
#include "util/ProgramFolder.h"
#include "util/Utf.h"

namespace ekoto {
namespace {

enum class Mode { kKana, kUnits };

struct SayOptions {
  Mode mode = Mode::kKana;
  ReadingOptions reading;
  std::string templatePath;  // "" : templete.txt beside the program, when there is one
  std::vector<std::string> texts;
};

void PrintUsage(FILE* out) {
  std::fputs(
      "usage: ekoto-say --kana|--units [options] [TEXT...]\n"
      "  --kana            print the hiragana reading of each input line\n"
      "  --units           print the syllable units of each line, separated by spaces\n"
      "  --template FILE   conversion template (default: templete.txt beside the program)\n"
      "  --no-upper        do not map letters to upper case\n"
      "  --no-narrow       do not narrow full-width characters\n"
      "  --no-numeric      do not read digits as Japanese numerals\n"
      "Without TEXT, lines are read from standard input (UTF-8).\n",
      out);
}

// Returns false (after saying why) when the arguments are not understood.
bool ParseArguments(int argc, char** argv, SayOptions& options) {
  bool modeGiven = false;
  for (int i = 1; i < argc; ++i) {
    const std::string arg = argv[i];
    if (arg == "--kana" || arg == "--units") {
      options.mode = arg == "--kana" ? Mode::kKana : Mode::kUnits;
      modeGiven = true;
    } else if (arg == "--no-upper") {
      options.reading.bAUpperCase = false;
    } else if (arg == "--no-narrow") {
      options.reading.bANNarrow = false;
    } else if (arg == "--no-numeric") {
      options.reading.bNumeric = false;
    } else if (arg == "--template") {
      if (++i == argc) {
        std::fputs("ekoto-say: --template needs a file name\n", stderr);
        return false;
      }
      options.templatePath = argv[i];
    } else if (arg == "-h" || arg == "--help") {
      PrintUsage(stdout);
      std::exit(0);
    } else if (arg == "--") {
      for (++i; i < argc; ++i) options.texts.emplace_back(argv[i]);
    } else if (arg.size() > 1 && arg[0] == '-') {
      std::fprintf(stderr, "ekoto-say: unknown option %s\n", arg.c_str());
      PrintUsage(stderr);
      return false;
    } else {
      options.texts.push_back(arg);
    }
  }
  if (!modeGiven) {
    std::fputs("ekoto-say: say --kana or --units (reading aloud is not available yet)\n", stderr);
    PrintUsage(stderr);
    return false;
  }
  return true;
}

void LoadTemplate(const std::string& templatePath) {
  if (!templatePath.empty()) {
    if (!CFile().IsFile(Utf8ToUtf16(templatePath))) {
      std::fprintf(stderr, "ekoto-say: cannot read template %s\n", templatePath.c_str());
    }
    LoadConvTemplete(Utf8ToUtf16(templatePath));
    return;
  }
  const std::u16string besideProgram = ProgramFolder() + u"templete.txt";
  if (CFile().IsFile(besideProgram)) LoadConvTemplete(besideProgram);
}

// The line's kana, or its units separated by spaces (cut sentence by sentence,
// as the reader cuts them).
std::string ConvertLine(const std::u16string& line, const SayOptions& options) {
  const auto readings = SentenceReadings(line, options.reading, DefaultReverseConverter());
  std::u16string out;
  for (const std::u16string& kana : readings) {
    if (options.mode == Mode::kKana) {
      out += kana;
      continue;
    }
    for (const std::u16string& unit : SplitSyllables(kana)) {
      if (unit.empty()) continue;
      if (!out.empty()) out += u' ';
      out += unit;
    }
  }
  return Utf16ToUtf8(out);
}

int Run(int argc, char** argv) {
  SayOptions options;
  if (!ParseArguments(argc, argv, options)) return 2;
  LoadTemplate(options.templatePath);

  std::istringstream joined;
  if (!options.texts.empty()) {
    std::string text;
    for (const auto& t : options.texts) text += (text.empty() ? "" : " ") + t;
    joined.str(text);
  }
  std::istream& in = options.texts.empty() ? std::cin : joined;

  int status = 0;
  std::string line;
  for (long lineNumber = 1; std::getline(in, line); ++lineNumber) {
    if (!line.empty() && line.back() == '\r') line.pop_back();
    if (!IsValidUtf8(line)) {
      // An empty line keeps the output in step with the input.
      std::fprintf(stderr, "ekoto-say: line %ld is not valid UTF-8; skipped\n", lineNumber);
      std::fputc('\n', stdout);
      status = 1;
      continue;
    }
    const std::string converted = ConvertLine(Utf8ToUtf16(line), options);
    std::fwrite(converted.data(), 1, converted.size(), stdout);
    std::fputc('\n', stdout);
  }
  return status;
}

}  // namespace
}  // namespace ekoto

int main(int argc, char** argv) { return ekoto::Run(argc, argv); }
