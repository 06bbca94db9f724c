// Hostile files: voice files whose header and lengths lie, options.dat of
// random bytes, templates of megabyte lines and templates that feed on their
// own output. Each case runs in a child process with a watchdog and, outside
// sanitizer builds, an address-space limit of a few times the file's size, so
// a crash, a hang or an allocation the file does not justify fails the case.
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdint>
#include <fstream>
#include <functional>
#include <random>
#include <string>

#include "PaTestFiles.h"
#include "StoredOptionsWindow.h"
#include "conversion/ConvTemplete.h"
#include "settings/COptions.h"
#include "settings/modLoadAndSaveOptions.h"
#include "util/Cp932.h"
#include "voice/PaFile.h"
#include "voice/PaScan.h"

#if defined(__SANITIZE_ADDRESS__)
#define EKOTO_ASAN 1
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
#define EKOTO_ASAN 1
#endif
#endif

namespace ekoto {
namespace {

using testing::RawPa;
using testing::ScratchDir;
using testing::WriteBytes;
using Bytes = std::vector<uint8_t>;

#ifndef EKOTO_ASAN
// Size of the address space now, from /proc/self/statm (in pages).
uint64_t AddressSpaceNow() {
  std::ifstream statm("/proc/self/statm");
  uint64_t pages = 0;
  statm >> pages;
  return pages * static_cast<uint64_t>(sysconf(_SC_PAGESIZE));
}
#endif

// Runs check in a child with budget bytes of address space beyond what the
// process already has, and 10 s before it is stopped as hung. Returns "" when
// check returned true, else what went wrong.
std::string RunBounded(uint64_t budget, const std::function<bool()>& check) {
  const pid_t pid = fork();
  if (pid < 0) return "fork failed";
  if (pid == 0) {
#ifndef EKOTO_ASAN  // the sanitizer's shadow memory takes terabytes of address space
    const rlim_t limit = AddressSpaceNow() + budget;
    const rlimit rl{limit, limit};
    if (setrlimit(RLIMIT_AS, &rl) != 0) _exit(3);
#else
    (void)budget;
#endif
    alarm(10);
    _exit(check() ? 0 : 1);
  }
  int status = 0;
  if (waitpid(pid, &status, 0) != pid) return "waitpid failed";
  if (WIFEXITED(status) && WEXITSTATUS(status) == 0) return "";
  if (WIFEXITED(status) && WEXITSTATUS(status) == 1) return "wrong result";
  if (WIFSIGNALED(status) && WTERMSIG(status) == SIGALRM) return "hung (stopped after 10 s)";
  if (WIFSIGNALED(status)) return "died of signal " + std::to_string(WTERMSIG(status));
  return "exit status " + std::to_string(WEXITSTATUS(status));
}

constexpr uint64_t kMB = 1024 * 1024;

// ---- Voice source files ----------------------------------------------------

// An entry named by a JIS level 1 kanji chosen by n (院, 陰, 隠, ... for 0, 1, 2, ...),
// with sampleBytes + 1 bytes where the entry says sampleLength.
RawPa& Entry(RawPa& pa, uint32_t n, int32_t sampleLength, size_t sampleBytes) {
  const uint32_t trail = n % 188;
  const std::string name = {static_cast<char>(0x89 + (n / 188) % 15),
                            static_cast<char>(0x40 + trail + (trail >= 0x3F ? 1 : 0))};  // no 0x7F trail byte
  return pa.Int32(2).Raw(name).Int32(sampleLength).Raw(Bytes(sampleBytes + 1, 0x80));
}

struct PaCase {
  const char* label;
  Bytes bytes;
  int nWalked;  // entries before the table breaks off
};

TEST(HostileInputTest, VoiceFilesThatLie) {
  ScratchDir dir;
  std::vector<PaCase> cases;
  RawPa many = RawPa().Header(INT32_MAX);  // 2^31 - 1 entries claimed, 200 000 present
  for (uint32_t n = 0; n < 200000; ++n) Entry(many, n, 4, 4);
  cases.push_back({"count 2^31-1 over 200 000 entries", many.bytes(), 200000});
  RawPa longSample = RawPa().Header(3);  // the second sample would reach 2 GB past the end
  Entry(Entry(Entry(longSample, 0, 2, 2), 1, INT32_MAX, 3), 2, 1, 1);
  cases.push_back({"sample length 2^31-1", longSample.bytes(), 2});
  RawPa longName = RawPa().Header(2);  // a name of 2 GB
  Entry(longName, 0, 2, 2).Int32(INT32_MAX).Raw(Bytes(16, 0x82));
  cases.push_back({"name length 2^31-1", longName.bytes(), 1});
  RawPa farTable = RawPa().Header(INT32_MAX, 0, INT32_MAX);
  cases.push_back({"table offset 2^31-1", Entry(farTable, 0, 2, 2).bytes(), 0});
  for (const PaCase& c : cases) {
    const std::string file = dir.Path("hostile.pa").string();
    WriteBytes(file, c.bytes);
    const std::u16string path = dir.Path16("hostile.pa");
    const uint64_t budget = 32 * kMB + 8 * c.bytes.size();
    EXPECT_EQ(RunBounded(budget,
                         [&] {
                           PAHEADER header;
                           // The tables all break off: no list, no contents.
                           if (GetPASoundNames(path, header).has_value()) return false;
                           std::u16string sError;
                           if (ReadPAContents(path, sError).has_value()) return false;
                           // Every unit the walk met, looked up: none may bring bytes from beyond the file.
                           bool bOk = true;
                           int n = 0;
                           ScanPAFile(path, [&](const PaEntryInfo& entry) {
                             if (n++ % 997 != 0 && entry.lLength != INT32_MAX) return;
                             std::vector<uint8_t> sample;
                             if (FindPASound(path, entry.sName, sample, header)) {
                               bOk = bOk && static_cast<int64_t>(sample.size()) == entry.lLength;
                             } else {
                               bOk = bOk && entry.lSampleOffset + entry.lLength > static_cast<int64_t>(c.bytes.size());
                             }
                           });
                           return bOk && n == c.nWalked;
                         }),
              "")
        << c.label;
  }
}

// ---- options.dat -----------------------------------------------------------

// A megabyte of random bytes with one good line in the middle: the good line
// is read, and what is saved afterwards loads back to itself.
TEST(HostileInputTest, OptionsOfRandomBytes) {
  ScratchDir dir;
  for (const unsigned seed : {1u, 2u, 3u, 4u}) {
    std::mt19937 rng(seed);
    Bytes bytes(kMB);
    for (uint8_t& b : bytes) b = static_cast<uint8_t>(rng());
    const std::string line = "\r\nFontSize=37\r\n";
    std::copy(line.begin(), line.end(), bytes.begin() + bytes.size() / 2);
    WriteBytes(dir.Path("options.dat"), bytes);
    const std::u16string path = dir.Path16("options.dat");
    EXPECT_EQ(RunBounded(64 * kMB + 16 * bytes.size(),
                         [&] {
                           COptions options;
                           SetStartupDefaults(options, u"/opt/ekoto/bin/");
                           testing::StoredOptionsWindow window;
                           LoadOptions(path, options, window);
                           if (options.nFontSize != 37) return false;
                           const std::u16string saved = OptionsText(options, window);
                           COptions again;
                           testing::StoredOptionsWindow againWindow;
                           LoadOptionsFromText(saved, again, againWindow);
                           return again == options && OptionsText(again, againWindow) == saved;
                         }),
              "")
        << "seed " << seed;
  }
}

// ---- Text files -------------------------------------------------------------

// UTF-16 files whose surrogates do not pair: every decoder gives well-formed
// text, the broken units as U+FFFD, the pairs kept.
TEST(HostileInputTest, Utf16WithUnpairedSurrogates) {
  struct Row {
    std::string bytes;
    std::u16string text;
  };
  const Row rows[] = {
      {std::string("\xFF\xFE\x00\xD8", 4), u"\uFFFD"},                            // lone lead, LE
      {std::string("\xFF\xFE\x00\xDC\x41\x00", 6), u"\uFFFDA"},                  // lone trail
      {std::string("\xFE\xFF\xD8\x3D\xDE\x00\xD8\x00", 8), u"\U0001F600\uFFFD"},  // pair, then a lead at the end, BE
      {std::string("\xFF\xFE\x00\xD8\x00\xD8\x00\xDC", 8), u"\uFFFD\U00010000"},  // two leads, the second pairs
  };
  for (const Row& row : rows) EXPECT_EQ(DecodeTextBytes(row.bytes), row.text) << row.bytes.size() << " bytes";
}

// ---- Conversion template ---------------------------------------------------

TEST(HostileInputTest, TemplateOfMegabyteLines) {
  ScratchDir dir;
  const std::string mbA(kMB, 'a');
  std::string text;
  text += mbA + "\n";                        // no tab: skipped
  text += "\xe6\x9d\xb1\xe4\xba\xac\t" + std::string(kMB, 'b') + "\n";  // 東京 → a megabyte
  text += mbA + "\tc\n";                     // a megabyte to find
  text += std::string(kMB, '\t') + "\n";     // only tabs
  WriteBytes(dir.Path("templete.txt"), Bytes(text.begin(), text.end()));
  const std::u16string path = dir.Path16("templete.txt");
  EXPECT_EQ(RunBounded(64 * kMB + 16 * text.size(),
                       [&] {
                         CConvTemplete table;
                         if (!table.Load(path)) return false;
                         std::u16string sentence(4000, u'x');
                         sentence += u"東京";
                         const std::u16string out = table.Apply(sentence);
                         return table.Entries().size() == 2 && out.size() == 4000 + kMB &&
                                table.Apply(std::u16string(kMB, u'a') + u"z") == u"cz";
                       }),
            "");
}

// Entries that feed on what the ones before them wrote: 64 lines of a → aa
// would double a text 64 times. The text grows only so far, and the table
// still applies its other entries.
TEST(HostileInputTest, TemplateThatFeedsOnItself) {
  std::u16string text;
  for (int i = 0; i < 64; ++i) text += u"a\taa\n";
  text += u"z\tZZ\n";
  CConvTemplete table;
  table.LoadFromText(text);
  for (const size_t length : {size_t{1}, size_t{1000}, size_t{100000}}) {
    const std::u16string sentence = std::u16string(length, u'a') + u"z";
    std::u16string out;
    EXPECT_EQ(RunBounded(64 * kMB + 64 * length,
                         [&] {
                           out = table.Apply(sentence);
                           return out.size() > sentence.size() && out.size() <= table.MaxResultLength(sentence.size()) &&
                                  out.ends_with(u"ZZ");
                         }),
              "")
        << length << " units";
  }
}

}  // namespace
}  // namespace ekoto
