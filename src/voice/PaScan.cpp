#include "voice/PaScan.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <string_view>

#include "util/Cp932.h"
#include "util/RegularFile.h"
#include "util/Utf.h"
#include "voice/CRC4.h"

namespace ekoto {
namespace {

// Reads whole byte ranges of a file of known size through a small window, so that
// walking a table of short entries costs few system calls. A range that does not
// lie wholly inside the file fails before anything is allocated for it.
class WindowReader {
 public:
  WindowReader(int fd, int64_t size) : m_fd(fd), m_size(size) {}

  bool Fits(int64_t offset, int64_t length) const {
    return offset >= 0 && length >= 0 && offset <= m_size && length <= m_size - offset;
  }

  bool Read(int64_t offset, int64_t length, void* out) {
    if (!Fits(offset, length)) return false;
    auto* dest = static_cast<uint8_t*>(out);
    if (length > static_cast<int64_t>(kWindow)) return ReadDirect(offset, length, dest);
    if (offset < m_windowStart || offset + length > m_windowStart + static_cast<int64_t>(m_window.size())) {
      const int64_t fill = std::min<int64_t>(kWindow, m_size - offset);
      m_window.resize(static_cast<size_t>(fill));
      if (!ReadDirect(offset, fill, m_window.data())) {
        m_window.clear();
        return false;
      }
      m_windowStart = offset;
    }
    std::memcpy(dest, m_window.data() + (offset - m_windowStart), static_cast<size_t>(length));
    return true;
  }

  bool ReadInt32(int64_t offset, int32_t& value) {
    uint8_t b[4];
    if (!Read(offset, 4, b)) return false;
    value = static_cast<int32_t>(static_cast<uint32_t>(b[0]) | static_cast<uint32_t>(b[1]) << 8 |
                                 static_cast<uint32_t>(b[2]) << 16 | static_cast<uint32_t>(b[3]) << 24);
    return true;
  }

 private:
  static constexpr size_t kWindow = 64 * 1024;

  bool ReadDirect(int64_t offset, int64_t length, uint8_t* dest) { return ReadFileRange(m_fd, offset, length, dest); }

  int m_fd;
  int64_t m_size;
  std::vector<uint8_t> m_window;
  int64_t m_windowStart = 0;
};

int16_t Int16At(const uint8_t* p) { return static_cast<int16_t>(static_cast<uint16_t>(p[0] | p[1] << 8)); }
int32_t Int32At(const uint8_t* p) {
  return static_cast<int32_t>(static_cast<uint32_t>(p[0]) | static_cast<uint32_t>(p[1]) << 8 |
                              static_cast<uint32_t>(p[2]) << 16 | static_cast<uint32_t>(p[3]) << 24);
}

PAHEADER ParseHeader(const uint8_t* p) {
  PAHEADER h;
  std::memcpy(h.magic, p, 4);
  h.version = p[4];
  h.lSampleRate = Int32At(p + 5);
  h.nBitsPerSample = Int16At(p + 9);
  h.nChannels = Int16At(p + 11);
  h.lEntryCount = Int32At(p + 13);
  h.lTableOffset = Int32At(p + 17);
  h.nCipher = Int16At(p + 21);
  return h;
}

// Closes the descriptor on every way out.
class FdCloser {
 public:
  explicit FdCloser(int fd) : m_fd(fd) {}
  ~FdCloser() {
    if (m_fd >= 0) close(m_fd);
  }
  FdCloser(const FdCloser&) = delete;
  FdCloser& operator=(const FdCloser&) = delete;

 private:
  int m_fd;
};

}  // namespace

bool ReadFileRange(int fd, int64_t offset, int64_t length, uint8_t* dest) {
  while (length > 0) {
    const ssize_t got = pread(fd, dest, static_cast<size_t>(length), static_cast<off_t>(offset));
    if (got < 0 && errno == EINTR) continue;
    if (got <= 0) return false;  // an error, or the file shrank under us
    dest += got;
    offset += got;
    length -= got;
  }
  return true;
}

PaScanResult ScanPAFile(int fd, int64_t lFileSize, const std::function<void(const PaEntryInfo&)>& onEntry) {
  PaScanResult scan;
  scan.lFileSize = lFileSize;
  if (fd < 0 || lFileSize <= 0) return scan;

  WindowReader reader(fd, lFileSize);
  uint8_t raw[kPaHeaderSize];
  if (!reader.Read(0, kPaHeaderSize, raw)) {
    scan.end = PaScanEnd::ShortHeader;
    return scan;
  }
  scan.header = ParseHeader(raw);
  if (std::memcmp(scan.header.magic, "PA  ", 4) != 0) {
    scan.end = PaScanEnd::BadMagic;
    return scan;
  }
  if (scan.header.version != 1) {
    scan.end = PaScanEnd::BadVersion;
    return scan;
  }
  if (scan.header.lTableOffset < 0) {
    scan.end = PaScanEnd::BadTableOffset;
    scan.lEndOffset = 17;
    return scan;
  }

  // Positions are 64-bit: an entry may claim up to 2 GiB, and the next position
  // may then lie beyond the file, where the next read fails.
  int64_t pos = scan.header.lTableOffset;
  PaEntryInfo entry;
  for (int32_t k = 0; k < scan.header.lEntryCount; ++k) {
    entry.lIndex = k;
    entry.lOffset = pos;
    int32_t nameLength = 0;
    if (!reader.ReadInt32(pos, nameLength)) {
      scan.end = PaScanEnd::PastEnd;
      scan.lEndOffset = pos;
      return scan;
    }
    if (nameLength <= 0) {
      scan.end = PaScanEnd::BadNameLength;
      scan.lEndOffset = pos;
      return scan;
    }
    if (!reader.Fits(pos + 4, nameLength)) {
      scan.end = PaScanEnd::PastEnd;
      scan.lEndOffset = pos + 4;
      return scan;
    }
    entry.bytName.resize(static_cast<size_t>(nameLength));
    if (!reader.Read(pos + 4, nameLength, entry.bytName.data())) {
      scan.end = PaScanEnd::PastEnd;
      scan.lEndOffset = pos + 4;
      return scan;
    }
    int32_t sampleLength = 0;
    if (!reader.ReadInt32(pos + 4 + nameLength, sampleLength)) {
      scan.end = PaScanEnd::PastEnd;
      scan.lEndOffset = pos + 4 + nameLength;
      return scan;
    }
    if (sampleLength < 0) {
      scan.end = PaScanEnd::BadSampleLength;
      scan.lEndOffset = pos + 4 + nameLength;
      return scan;
    }
    entry.sName = DecodeCp932(entry.bytName);
    entry.lLength = sampleLength;
    entry.lSampleOffset = pos + 8 + nameLength;
    if (onEntry) onEntry(entry);
    scan.lEntriesRead = k + 1;
    // The sample area is one byte longer than the sample.
    pos = entry.lSampleOffset + sampleLength + 1;
  }
  scan.end = PaScanEnd::Complete;
  return scan;
}

PaScanResult ScanPAFile(const std::u16string& path, const std::function<void(const PaEntryInfo&)>& onEntry) {
  const int fd = OpenRegularFile(Utf16ToUtf8(path));
  FdCloser closer(fd);
  struct stat st {};
  if (fd < 0 || fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) return PaScanResult{};
  return ScanPAFile(fd, st.st_size, onEntry);
}

std::u16string DescribeScanEnd(const PaScanResult& scan) {
  const std::string at = " (entry " + std::to_string(scan.lEntriesRead + 1) + ", offset " +
                         std::to_string(scan.lEndOffset) + ")";
  switch (scan.end) {
    case PaScanEnd::Complete: return u"complete";
    case PaScanEnd::Missing: return u"file is missing, unreadable or empty";
    case PaScanEnd::ShortHeader: return u"file is shorter than the 23-byte header";
    case PaScanEnd::BadMagic: return u"not a voice source file: the magic is not \"PA  \"";
    case PaScanEnd::BadVersion:
      return Utf8ToUtf16("unsupported version " + std::to_string(scan.header.version) + " (only 1 is read)");
    case PaScanEnd::BadTableOffset:
      return Utf8ToUtf16("negative table offset " + std::to_string(scan.header.lTableOffset));
    case PaScanEnd::PastEnd: return Utf8ToUtf16("the table runs past the end of the file" + at);
    case PaScanEnd::BadNameLength: return Utf8ToUtf16("name length 0 or less" + at);
    case PaScanEnd::BadSampleLength: return Utf8ToUtf16("negative sample length" + at);
  }
  return u"";
}

std::optional<PaContents> ReadPAContents(const std::u16string& path, std::u16string& sError) {
  const int fd = OpenRegularFile(Utf16ToUtf8(path));
  FdCloser closer(fd);
  struct stat st {};
  if (fd < 0 || fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
    sError = u"cannot open " + path;
    return std::nullopt;
  }
  PaContents contents;
  std::vector<PaEntryInfo> infos;
  const PaScanResult scan = ScanPAFile(fd, st.st_size, [&infos](const PaEntryInfo& e) { infos.push_back(e); });
  if (scan.end != PaScanEnd::Complete) {
    sError = DescribeScanEnd(scan);
    return std::nullopt;
  }
  contents.header = scan.header;
  WindowReader reader(fd, st.st_size);
  for (const PaEntryInfo& info : infos) {
    PaEntryData data;
    data.sName = info.sName;
    if (!reader.Fits(info.lSampleOffset, info.lLength)) {
      sError = u"the sample of entry " + Utf8ToUtf16(std::to_string(info.lIndex + 1)) + u" \"" + info.sName +
               u"\" runs past the end of the file";
      return std::nullopt;
    }
    data.bytSample.resize(static_cast<size_t>(info.lLength));
    if (!reader.Read(info.lSampleOffset, info.lLength, data.bytSample.data())) {
      sError = u"cannot read " + path;
      return std::nullopt;
    }
    if (scan.header.nCipher == 1) CRC4().DecryptByte(data.bytSample, kPaCipherKey);
    contents.entries.push_back(std::move(data));
  }
  return contents;
}

}  // namespace ekoto
