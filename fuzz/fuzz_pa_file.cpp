// The voice source file readers on any bytes: the table walk, the lookup and
// the name list. The bytes go into a memory file read through its /proc path,
// as the readers would read a file on disk.
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>

#include "FuzzInput.h"
#include "util/Utf.h"
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
  const PaScanResult scan = ScanPAFile(fd, static_cast<int64_t>(size), [&](const PaEntryInfo& entry) {
    if (entry.lLength < 0 || entry.lOffset >= static_cast<int64_t>(size)) fuzz::Fail("entry outside the file");
    if (walked.size() < 64) walked.push_back(entry);
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
    if (FindPASound(path, entry.sName, sample, header) && sample.size() > size) {
      fuzz::Fail("sample larger than the file");
    }
  }
  return 0;
}
