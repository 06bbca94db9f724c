// The voice source file readers on any bytes: the table walk, the lookup and
// the name list. A lookup finds a unit exactly when the first entry of that name
// with a sample lies inside the file, and returns that entry's bytes, deciphered
// when the file says so. The bytes go into a memory file read through its /proc
// path, as the readers would read a file on disk.
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>

#include <map>

#include "FuzzInput.h"
#include "util/Utf.h"
#include "voice/CRC4.h"
#include "voice/PaFile.h"
#include "voice/PaScan.h"

namespace {

int MemoryFile() {
  static const int fd = memfd_create("ekoto-fuzz-pa", 0);
  if (fd < 0) ekoto::fuzz::Fail("memfd_create");
  return fd;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  using namespace ekoto;
  const int fd = MemoryFile();
  if (ftruncate(fd, 0) != 0 || pwrite(fd, data, size, 0) != static_cast<ssize_t>(size)) fuzz::Fail("write");
  const std::u16string path = Utf8ToUtf16("/proc/self/fd/" + std::to_string(fd));

  std::vector<PaEntryInfo> walked;
  std::map<std::u16string, PaEntryInfo> firstWithSample;
  const PaScanResult scan = ScanPAFile(fd, static_cast<int64_t>(size), [&](const PaEntryInfo& entry) {
    if (entry.lLength < 0 || entry.lOffset >= static_cast<int64_t>(size)) fuzz::Fail("entry outside the file");
    if (walked.size() < 64) walked.push_back(entry);
    if (entry.lLength > 0) firstWithSample.try_emplace(entry.sName, entry);
  });
  if (scan.end == PaScanEnd::Complete && scan.lEntriesRead != std::max<int32_t>(scan.header.lEntryCount, 0)) {
    fuzz::Fail("complete walk without every entry");
  }

  PAHEADER header;
  const auto names = GetPASoundNames(path, header);
  if (names && static_cast<int64_t>(names->size()) != scan.lEntriesRead) fuzz::Fail("name list differs from walk");
  if (names && scan.end != PaScanEnd::Complete) fuzz::Fail("names listed from a broken table");

  for (const PaEntryInfo& entry : walked) {
    std::vector<uint8_t> sample;
    const bool bFound = FindPASound(path, entry.sName, sample, header);
    const auto first = firstWithSample.find(entry.sName);
    const bool bInside = first != firstWithSample.end() &&
                         first->second.lLength <= static_cast<int64_t>(size) - first->second.lSampleOffset;
    if (bFound != bInside) fuzz::Fail("lookup disagrees with the entry's place in the file");
    if (!bFound) continue;
    const uint8_t* stored = data + first->second.lSampleOffset;
    std::vector<uint8_t> expected(stored, stored + first->second.lLength);
    if (scan.header.nCipher == 1) CRC4().DecryptByte(expected, kPaCipherKey);
    if (sample != expected) fuzz::Fail("sample is not exactly its entry's bytes");
  }
  return 0;
}
