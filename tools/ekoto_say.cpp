// ekoto-say: the reading chain on the command line.
//   ekoto-say [options] [TEXT...]   reads the text aloud (or into a WAV file with -o)
//   ekoto-say --kana [TEXT...]      prints the hiragana of every input line
//   ekoto-say --units [TEXT...]     prints the syllable units, separated by spaces
//   ekoto-say --accent [TEXT...]    prints the reading with its pitch accent marks
// Input is the arguments (joined by spaces), a file (-f) or standard input.
#include <unistd.h>

#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <iostream>
#include <iterator>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

#include "SaySession.h"
#include "audio/AlsaOutput.h"
#include "audio/UnitTempo.h"
#include "audio/WavFileOutput.h"
#include "book/BookLoader.h"
#include "conversion/AccentEstimator.h"
#include "conversion/AccentNotation.h"
#include "conversion/AozoraText.h"
#include "conversion/ConvTemplete.h"
#include "conversion/ConversionChain.h"
#include "conversion/MecabReverseConverter.h"
#include "conversion/ReadingOfText.h"
#include "conversion/TempleteAccent.h"
#include "engine/SplitSyllables.h"
#include "settings/COptions.h"
#include "util/CFile.h"
#include "util/Cp932.h"
#include "util/ProgramFolder.h"
#include "util/Utf.h"
#include "voice/PaFile.h"

namespace ekoto {
namespace {

enum class Mode { kSpeak, kKana, kUnits, kAccent };

struct SayOptions {
  Mode mode = Mode::kSpeak;
  SaySettings say;
  std::string voicePath;     // "" : the bundled 50on.pa
  std::string templatePath;  // "" : the bundled templete.txt, when there is one
  std::string inputFile;     // -f
  std::string wavPath;       // -o
  std::vector<std::string> texts;
  bool bFlat = false;  // --flat
};

void PrintUsage(FILE* out) {
  std::fputs(
      "usage: ekoto-say [options] [TEXT...]\n"
      "Reads Japanese text aloud: the arguments, the file given with -f, or standard input.\n"
      "  -o FILE.wav       write the reading to a WAV file instead of playing it\n"
      "  -f FILE           read the text from FILE (UTF-8 or CP932 text, .epub, .html)\n"
      "  --voice FILE.pa   voice source file (default: the bundled 50on.pa)\n"
      "  --volume V        volume factor, 0 to 4 (default 4, as the program starts)\n"
      "  --speed S         speed, 0 to 1: waits 1000 - S*1000 ms before each unit (default 1)\n"
      "  --tempo T         tempo, 0.5 to 3: each unit faster or slower, its pitch kept (default 1)\n"
      "  --kana            print the hiragana reading of each input line instead\n"
      "  --units           print the syllable units of each line, separated by spaces\n"
      "  --accent          print the reading of each line with its accent: # phrase, _ pause,\n"
      "                    [ rise, ] fall after the nucleus, ? question (^み[ずを#か]った$)\n"
      "  --flat            every unit at the voice's own pitch, without the sentence's accent\n"
      "  --template FILE   conversion template (default: the bundled templete.txt)\n"
      "  --no-upper        do not map letters to upper case\n"
      "  --no-narrow       do not narrow full-width characters\n"
      "  --no-numeric      do not read digits as Japanese numerals\n"
      "  --version         print the version and exit\n",
      out);
}

// Parses a number in [low, high]; false when it is not one.
bool ParseNumber(const char* text, float low, float high, float& ret) {
  char* end = nullptr;
  const float value = std::strtof(text, &end);
  if (end == text || *end != '\0' || !(value >= low && value <= high)) return false;
  ret = value;
  return true;
}

// Returns false (after saying why) when the arguments are not understood.
bool ParseArguments(int argc, char** argv, SayOptions& options) {
  auto needValue = [&](int& i, const char* name) -> const char* {
    if (i + 1 < argc) return argv[++i];
    std::fprintf(stderr, "ekoto-say: %s needs a value\n", name);
    return nullptr;
  };
  for (int i = 1; i < argc; ++i) {
    const std::string arg = argv[i];
    const char* value = nullptr;
    if (arg == "--kana") {
      options.mode = Mode::kKana;
    } else if (arg == "--units") {
      options.mode = Mode::kUnits;
    } else if (arg == "--accent") {
      options.mode = Mode::kAccent;
    } else if (arg == "--flat") {
      options.bFlat = true;
    } else if (arg == "--no-upper") {
      options.say.reading.bAUpperCase = false;
    } else if (arg == "--no-narrow") {
      options.say.reading.bANNarrow = false;
    } else if (arg == "--no-numeric") {
      options.say.reading.bNumeric = false;
    } else if (arg == "--template" || arg == "--voice" || arg == "-f" || arg == "-o") {
      if (!(value = needValue(i, arg.c_str()))) return false;
      std::string& target = arg == "--template" ? options.templatePath
                            : arg == "--voice"  ? options.voicePath
                            : arg == "-f"       ? options.inputFile
                                                : options.wavPath;
      target = value;
    } else if (arg == "--volume" || arg == "--speed") {
      if (!(value = needValue(i, arg.c_str()))) return false;
      const bool volume = arg == "--volume";
      if (!ParseNumber(value, 0.0f, volume ? 4.0f : 1.0f, volume ? options.say.fVolume : options.say.fSpeed)) {
        std::fprintf(stderr, "ekoto-say: %s takes a number from 0 to %s, not \"%s\"\n", arg.c_str(),
                     volume ? "4" : "1", value);
        return false;
      }
    } else if (arg == "--tempo") {
      if (!(value = needValue(i, arg.c_str()))) return false;
      float fTempo = 1.0f;
      if (!ParseNumber(value, static_cast<float>(kMinTempo), static_cast<float>(kMaxTempo), fTempo)) {
        std::fprintf(stderr, "ekoto-say: --tempo takes a number from 0.5 to 3, not \"%s\"\n", value);
        return false;
      }
      options.say.dTempo = fTempo;
    } else if (arg == "-h" || arg == "--help") {
      PrintUsage(stdout);
      std::exit(0);
    } else if (arg == "--version") {
      std::puts("ekoto-say " EKOTO_VERSION);
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
  if (!options.inputFile.empty() && !options.texts.empty()) {
    std::fputs("ekoto-say: give the text either as arguments or with -f, not both\n", stderr);
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
  const std::u16string bundled = BundledFilePath(ProgramFolder(), u"templete.txt");
  if (CFile().IsFile(bundled)) LoadConvTemplete(bundled);
}

CAccentEstimator& LineEstimator() {
  static CAccentEstimator estimator;
  return estimator;
}

// The estimator's plans with the accent of the template's entries.
CTempleteAccent& LineAccent() {
  static CTempleteAccent accent(LineEstimator(), ConvTempleteTable());
  return accent;
}

// The line's kana, its units separated by spaces, or its accent (cut sentence by
// sentence, as the reader cuts them).
std::string ConvertLine(const std::u16string& line, const SayOptions& options) {
  if (options.mode == Mode::kAccent) {
    return Utf16ToUtf8(
        FormatAccentNotation(AccentOfText(line, options.say.reading, DefaultReverseConverter(), LineAccent())));
  }
  const auto readings = SentenceReadings(line, options.say.reading, DefaultReverseConverter());
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

// A file's text with the parts a reading skips (an Aozora Bunko file's
// explanation block and colophon) emptied, their line breaks kept so that the
// lines out stay in step with the lines in.
std::u16string WithoutUnreadParts(const std::u16string& text) {
  std::u16string kept;
  size_t from = 0;
  for (const TextSpan& unread : AozoraUnreadSpans(text)) {
    kept.append(text, from, static_cast<size_t>(unread.lStart) - from);
    for (int32_t i = unread.lStart; i < unread.lStart + unread.lLength; ++i) {
      if (text[static_cast<size_t>(i)] == u'\n') kept += u'\n';
    }
    from = static_cast<size_t>(unread.lStart + unread.lLength);
  }
  kept.append(text, from);
  return kept;
}

// --kana, --units and --accent: one line out per line in.
int ConvertLines(std::istream& in, const SayOptions& options) {
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
  if (options.mode == Mode::kAccent && !LineEstimator().LoadError().empty()) {
    std::fprintf(stderr, "ekoto-say: %s\n", Utf16ToUtf8(LineEstimator().LoadError()).c_str());
    status = 1;
  }
  return status;
}

// The text of the file given with -f (a text file, an EPUB book or an HTML
// page); false after saying why it cannot be had.
bool ReadInputFile(const std::string& sPath, std::u16string& retText) {
  BookText book;
  const BookStatus status = LoadBook(Utf8ToUtf16(sPath), book);
  if (!status.ok()) {
    std::fprintf(stderr, "ekoto-say: %s\n", status.error == BookError::kUnreadable
                                                 ? ("cannot read " + sPath).c_str()
                                                 : Utf16ToUtf8(status.sMessage).c_str());
    return false;
  }
  retText = std::move(book.sText);
  return true;
}

// The text to read aloud; false (after saying why) when it cannot be had.
bool TextToSpeak(const SayOptions& options, std::u16string& retText) {
  if (!options.inputFile.empty()) return ReadInputFile(options.inputFile, retText);
  std::string bytes;
  if (!options.texts.empty()) {
    for (const auto& t : options.texts) bytes += (bytes.empty() ? "" : " ") + t;
  } else {
    bytes.assign(std::istreambuf_iterator<char>(std::cin), std::istreambuf_iterator<char>());
  }
  retText = DecodeTextBytes(bytes);
  return true;
}

SaySession* g_session = nullptr;

void OnSignal(int) {
  if (g_session) g_session->Interrupt();
}

int Speak(SayOptions& options) {
  options.say.sPAPath = options.voicePath.empty() ? BundledFilePath(ProgramFolder(), u"50on.pa")
                                                  : Utf8ToUtf16(options.voicePath);
  PAHEADER header;
  if (!GetPASoundNames(options.say.sPAPath, header)) {
    std::fprintf(stderr, "ekoto-say: %s is not a usable voice source file (missing or invalid); give one with --voice\n",
                 Utf16ToUtf8(options.say.sPAPath).c_str());
    return 1;
  }
  std::u16string text;
  if (!TextToSpeak(options, text)) return 1;
  options.say.bProgress = isatty(STDERR_FILENO) && text.size() > 2000;
  if (!options.bFlat) {
    if (LineEstimator().Preload()) {
      options.say.pAccent = &LineAccent();
    } else {
      std::fprintf(stderr, "ekoto-say: %s; reading at one pitch\n", Utf16ToUtf8(LineEstimator().LoadError()).c_str());
    }
  }

  std::unique_ptr<WavFileOutput> wavFile;
  std::unique_ptr<ISoundOutput> device;
  if (!options.wavPath.empty()) {
    wavFile = std::make_unique<WavFileOutput>(options.wavPath);
  } else {
    device = std::make_unique<AlsaOutput>();
  }
  ISoundOutput& output = wavFile ? static_cast<ISoundOutput&>(*wavFile) : *device;

  SaySession session(options.say, output, wavFile.get());
  g_session = &session;
  struct sigaction action {};
  action.sa_handler = OnSignal;
  action.sa_flags = SA_RESETHAND;  // a second Ctrl+C ends the program at once
  sigaction(SIGINT, &action, nullptr);
  sigaction(SIGTERM, &action, nullptr);

  const bool played = session.Read(text);
  g_session = nullptr;
  if (session.MissingUnits() > 0) {
    std::fprintf(stderr, "ekoto-say: %lld units had no sample in the voice and were silent\n",
                 static_cast<long long>(session.MissingUnits()));
  }
  if (wavFile) {
    // A failure while reading has been told already; only one at the end is news.
    if (!played) return 1;
    if (!wavFile->Finish()) {
      const std::string sWhy = wavFile->TakeError();
      std::fprintf(stderr, "%s\n", SayMessage(sWhy.empty() ? "could not write " + options.wavPath : sWhy).c_str());
      return 1;
    }
    return 0;
  }
  if (!played) {
    std::fputs("ekoto-say: nothing could be played; write a WAV file instead with -o FILE.wav\n", stderr);
    return 3;
  }
  return 0;
}

int Run(int argc, char** argv) {
  SayOptions options;
  if (!ParseArguments(argc, argv, options)) return 2;
  LoadTemplate(options.templatePath);
  if (options.mode == Mode::kSpeak) return Speak(options);

  if (!options.inputFile.empty()) {
    std::u16string text;
    if (!ReadInputFile(options.inputFile, text)) return 1;
    std::istringstream in(Utf16ToUtf8(WithoutUnreadParts(text)));
    return ConvertLines(in, options);
  }
  if (options.texts.empty()) return ConvertLines(std::cin, options);
  std::string joined;
  for (const auto& t : options.texts) joined += (joined.empty() ? "" : " ") + t;
  std::istringstream in(joined);
  return ConvertLines(in, options);
}

}  // namespace
}  // namespace ekoto

int main(int argc, char** argv) { return ekoto::Run(argc, argv); }
