// Hostile input: voice files whose header and lengths lie, and a template that
// feeds on its own output. Each case runs in a child
// process with a watchdog and, outside sanitizer builds, an address-space limit
// of a few times the file's size, so a crash, a hang or an allocation the file
// does not justify fails the case.
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <fstream>
#include <functional>

#include "PaTestFiles.h"
#include "conversion/ConvTemplete.h"
#include "voice/PaFile.h"
#include "voice/PaScan.h"

#ifndef __has_feature
#define __has_feature(x) 0
#endif
#if defined(__SANITIZE_ADDRESS__) || __has_feature(address_sanitizer)
#define EKOTO_ASAN 1
#endif

namespace ekoto {
namespace {

using testing::RawPa;
using Bytes = std::vector<uint8_t>;
constexpr uint64_t kMB = 1024 * 1024;

// Runs check in a child with budget bytes of address space beyond what the
// process already has, and 10 s before it is stopped as hung. Returns "" when
// check returned true, else what went wrong.
std::string RunBounded(uint64_t budget, const std::function<bool()>& check) {
  const pid_t pid = fork();
  if (pid == 0) {
#ifndef EKOTO_ASAN  // the sanitizer's shadow memory takes terabytes of address space
    uint64_t pages = 0;
    std::ifstream("/proc/self/statm") >> pages;
    const rlim_t limit = pages * static_cast<uint64_t>(sysconf(_SC_PAGESIZE)) + budget;
    const rlimit rl{limit, limit};
    if (setrlimit(RLIMIT_AS, &rl) != 0) _exit(3);
#else
    (void)budget;
#endif
    alarm(10);
    _exit(check() ? 0 : 1);
  }
  int status = 0;
  if (pid < 0 || waitpid(pid, &status, 0) != pid) return "fork or wait failed";
  if (WIFEXITED(status)) return WEXITSTATUS(status) == 0 ? "" : "exit status " + std::to_string(WEXITSTATUS(status));
  return WTERMSIG(status) == SIGALRM ? "hung (stopped after 10 s)" : "died of signal " + std::to_string(WTERMSIG(status));
}

// An entry named by a JIS level 1 kanji chosen by n (院, 陰, 隠, ... for 0, 1, 2, ...),
// with sampleBytes + 1 bytes where the entry says sampleLength.
RawPa& Entry(RawPa& pa, uint32_t n, int32_t sampleLength, size_t sampleBytes) {
  const uint32_t trail = n % 188;
  const std::string name = {static_cast<char>(0x89 + (n / 188) % 15),
                            static_cast<char>(0x40 + trail + (trail >= 0x3F ? 1 : 0))};  // no 0x7F trail byte
  return pa.Int32(2).Raw(name).Int32(sampleLength).Raw(Bytes(sampleBytes + 1, 0x80));
}

TEST(HostileInputTest, VoiceFilesThatLie) {
  struct Case {
    const char* label;
    RawPa pa;
    int nWalked;  // entries before the table breaks off
  };
  std::vector<Case> cases = {{"count 2^31-1 over 200 000 entries", RawPa().Header(INT32_MAX), 200000},
                             {"sample length 2^31-1", RawPa().Header(3), 2},
                             {"name length 2^31-1", RawPa().Header(2), 1},
                             {"table offset 2^31-1", RawPa().Header(INT32_MAX, 0, INT32_MAX), 0}};
  for (uint32_t n = 0; n < 200000; ++n) Entry(cases[0].pa, n, 4, 4);
  Entry(Entry(Entry(cases[1].pa, 0, 2, 2), 1, INT32_MAX, 3), 2, 1, 1);  // reaches 2 GB past the end
  Entry(cases[2].pa, 0, 2, 2).Int32(INT32_MAX).Raw(Bytes(16, 0x82));    // a name of 2 GB
  Entry(cases[3].pa, 0, 2, 2);
  testing::ScratchDir dir;
  const std::u16string path = dir.Path16("hostile.pa");
  for (const Case& c : cases) {
    const auto size = static_cast<int64_t>(c.pa.bytes().size());
    testing::WriteBytes(dir.Path("hostile.pa"), c.pa.bytes());
    EXPECT_EQ(RunBounded(32 * kMB + 8 * static_cast<uint64_t>(size),
                         [&] {
                           PAHEADER header;
                           std::u16string sError;
                           // The tables all break off: no list, no contents.
                           if (GetPASoundNames(path, header) || ReadPAContents(path, sError)) return false;
                           // Units the walk met, looked up: none may bring bytes from beyond the file.
                           bool bOk = true;
                           int n = 0;
                           ScanPAFile(path, [&](const PaEntryInfo& entry) {
                             if (n++ % 997 != 0 && entry.lLength != INT32_MAX) return;
                             Bytes sample;
                             bOk = bOk && (FindPASound(path, entry.sName, sample, header)
                                               ? static_cast<int64_t>(sample.size()) == entry.lLength
                                               : entry.lSampleOffset + entry.lLength > size);
                           });
                           return bOk && n == c.nWalked;
                         }),
              "")
        << c.label;
  }
}

// Entries that feed on what the ones before them wrote (64 lines of a → aa would
// double a text 64 times) grow the text only to the table's cap, and the table
// still applies its other entries.
TEST(HostileInputTest, TemplateThatFeedsOnItself) {
  std::u16string feeding;
  for (int i = 0; i < 64; ++i) feeding += u"a\taa\n";
  CConvTemplete table;
  table.LoadFromText(feeding + u"z\tZZ\n");
  for (const size_t length : {size_t{1}, size_t{1000}, size_t{100000}}) {
    const std::u16string sentence = std::u16string(length, u'a') + u"z";
    EXPECT_EQ(RunBounded(64 * kMB + 64 * length,
                         [&] {
                           const std::u16string out = table.Apply(sentence);
                           return out.size() > sentence.size() && out.size() <= table.MaxResultLength(sentence.size()) &&
                                  out.ends_with(u"ZZ");
                         }),
              "")
        << length << " units";
  }
}

}  // namespace
}  // namespace ekoto
