// ekoto-score: how well Ekoto reads a set of sentences with known readings.
//   ekoto-score FILE.tsv [--show]    ekoto-score --version
//   ekoto-score --accent FILE.tsv [--show]
// FILE.tsv has the columns id, text, reading (a header line starting with "id" and
// lines starting with "#" are skipped). Prints the character error rate (raw, and with every ー written as its
// vowel) and the share of sentences read exactly; --show lists every sentence
// that differs. With --accent, FILE.tsv has a fourth column, the annotated
// accent (^み[ずを#ま[れ]ーしあから$), and the share of morae at the right
// high/low level, of accent phrases and of sentences fully right are printed.
#include <chrono>
#include <cstdio>
#include <fstream>
#include <string>

#include "conversion/AccentEstimator.h"
#include "conversion/AccentNotation.h"
#include "conversion/AccentScore.h"
#include "conversion/MecabReverseConverter.h"
#include "conversion/ReadingOfText.h"
#include "conversion/ReadingScore.h"
#include "util/RegularFile.h"
#include "util/Utf.h"

namespace {

constexpr const char* kUsage = "usage: ekoto-score [--accent] FILE.tsv [--show]\n";

// The columns of one line: id, text and the rest; false when there are fewer.
bool SplitColumns(const std::string& line, std::string& id, std::string& text, std::string& rest) {
  const size_t first = line.find('\t');
  const size_t second = first == std::string::npos ? first : line.find('\t', first + 1);
  if (second == std::string::npos) return false;
  id = line.substr(0, first);
  text = line.substr(first + 1, second - first - 1);
  rest = line.substr(second + 1);
  return true;
}

// --accent: the reading column is not needed, the accent column is the reference.
int ScoreAccent(std::ifstream& in, const std::string& path, bool show) {
  ekoto::CAccentEstimator estimator;
  ekoto::AccentScore score;
  double seconds = 0;
  size_t bytes = 0;
  std::string line, id, text, rest;
  for (long lineNumber = 1; std::getline(in, line); ++lineNumber) {
    if (!line.empty() && line.back() == '\r') line.pop_back();
    if (line.empty() || line[0] == '#' || (score.Sentences() == 0 && line.rfind("id\t", 0) == 0)) continue;
    if (!SplitColumns(line, id, text, rest) || !ekoto::IsValidUtf8(line) || rest.find('\t') == std::string::npos) {
      std::fprintf(stderr, "ekoto-score: %s:%ld: expected id, text, reading and accent separated by tabs\n",
                   path.c_str(), lineNumber);
      return 1;
    }
    const std::u16string reference = ekoto::Utf8ToUtf16(rest.substr(rest.find('\t') + 1));
    const auto start = std::chrono::steady_clock::now();
    const ekoto::AccentPlan produced =
        ekoto::AccentOfText(ekoto::Utf8ToUtf16(text), {}, ekoto::DefaultReverseConverter(), estimator);
    seconds += std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    if (!estimator.LoadError().empty()) {
      std::fprintf(stderr, "ekoto-score: %s\n", ekoto::Utf16ToUtf8(estimator.LoadError()).c_str());
      return 1;
    }
    bytes += text.size();
    const ekoto::AccentPlan referencePlan = ekoto::ParseAccentNotation(reference);
    score.Add(produced, referencePlan);
    const std::u16string notation = ekoto::FormatAccentNotation(produced);
    if (show && notation != ekoto::FormatAccentNotation(referencePlan)) {
      std::printf("%s\n  text: %s\n  said: %s\n  want: %s\n", id.c_str(), text.c_str(),
                  ekoto::Utf16ToUtf8(notation).c_str(), ekoto::Utf16ToUtf8(reference).c_str());
    }
  }
  std::printf("sentences              %d\n", score.Sentences());
  std::printf("morae high/low right   %.2f %%\n", 100 * score.MoraLevelRate());
  std::printf("accent phrases right   %.2f %%\n", 100 * score.PhraseRate());
  std::printf("sentences right        %.2f %%\n", 100 * score.SentenceRate());
  if (seconds > 0) std::printf("speed (reading+accent) %.2f MB/s\n", bytes / seconds / 1e6);
  return 0;
}

int Run(int argc, char** argv) {
  std::string path;
  bool show = false;
  bool accent = false;
  for (int i = 1; i < argc; ++i) {
    const std::string arg = argv[i];
    if (arg == "--show") {
      show = true;
    } else if (arg == "--accent") {
      accent = true;
    } else if (arg == "--version") {
      std::puts("ekoto-score " EKOTO_VERSION);
      return 0;
    } else if (path.empty() && arg[0] != '-') {
      path = arg;
    } else {
      std::fputs(kUsage, stderr);
      return 2;
    }
  }
  if (path.empty()) {
    std::fputs(kUsage, stderr);
    return 2;
  }
  // A FIFO or device would block the stream's open.
  std::ifstream in;
  if (ekoto::IsRegularFile(path)) in.open(path);
  if (!in.is_open()) {
    std::fprintf(stderr, "ekoto-score: cannot read %s\n", path.c_str());
    return 1;
  }
  if (accent) return ScoreAccent(in, path, show);

  ekoto::ReadingScore score;
  double seconds = 0;
  size_t bytes = 0;
  std::string line;
  for (long lineNumber = 1; std::getline(in, line); ++lineNumber) {
    if (!line.empty() && line.back() == '\r') line.pop_back();
    if (line.empty() || line[0] == '#' || (score.Sentences() == 0 && line.rfind("id\t", 0) == 0)) continue;
    const size_t first = line.find('\t');
    const size_t second = first == std::string::npos ? first : line.find('\t', first + 1);
    if (second == std::string::npos || !ekoto::IsValidUtf8(line)) {
      std::fprintf(stderr, "ekoto-score: %s:%ld: expected id, text and reading separated by tabs\n", path.c_str(),
                   lineNumber);
      return 1;
    }
    const std::string text = line.substr(first + 1, second - first - 1);
    const std::u16string reference = ekoto::Utf8ToUtf16(line.substr(second + 1));
    const auto start = std::chrono::steady_clock::now();
    const std::u16string produced =
        ekoto::ReadingOfText(ekoto::Utf8ToUtf16(text), {}, ekoto::DefaultReverseConverter());
    seconds += std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    bytes += text.size();
    score.Add(produced, reference);
    if (show && ekoto::StripPunctuation(produced) != ekoto::StripPunctuation(reference)) {
      std::printf("%s\n  text: %s\n  read: %s\n  want: %s\n", line.substr(0, first).c_str(), text.c_str(),
                  ekoto::Utf16ToUtf8(produced).c_str(), ekoto::Utf16ToUtf8(reference).c_str());
    }
  }
  std::printf("sentences            %d\n", score.Sentences());
  std::printf("CER raw              %.2f %%\n", 100 * score.CharacterErrorRate());
  std::printf("CER normalised       %.2f %%\n", 100 * score.NormalisedCharacterErrorRate());
  std::printf("exact sentences      %.1f %%\n", 100 * score.ExactSentenceRate());
  if (seconds > 0) std::printf("conversion speed     %.2f MB/s\n", bytes / seconds / 1e6);
  return 0;
}

}  // namespace

int main(int argc, char** argv) { return Run(argc, argv); }
