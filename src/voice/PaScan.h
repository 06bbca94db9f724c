// The walk over a voice source file's header and entry table that the readers,
// the checker and the authoring tool share. It reads names and lengths only and
// ends at the first field that cannot be read, so a hostile file costs no more
// than its own size and allocates nothing beyond it.
#pragma once
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "voice/PaFile.h"

namespace ekoto {

// Size of the packed header at offset 0.
inline constexpr int64_t kPaHeaderSize = 23;

// How the walk ended. Everything but Complete stops the readers without a result.
enum class PaScanEnd {
  Complete,         // every entry the header counts was read
  Missing,          // missing, unreadable or empty file
  ShortHeader,      // shorter than the header
  BadMagic,         // not "PA  "
  BadVersion,       // version other than 1
  BadTableOffset,   // negative table offset
  PastEnd,          // a length or a name would be read beyond the end of the file
  BadNameLength,    // name length 0 or less: the entry cannot be read
  BadSampleLength,  // negative sample length
};

// One entry as the walk met it.
struct PaEntryInfo {
  int32_t lIndex = 0;         // 0-based position in the table
  int64_t lOffset = 0;        // offset of the name length field
  std::string bytName;        // the name bytes as stored (CP932)
  std::u16string sName;       // the decoded name
  int32_t lLength = 0;        // sample length L (never negative here)
  int64_t lSampleOffset = 0;  // offset of the first sample byte
};

struct PaScanResult {
  PaScanEnd end = PaScanEnd::Missing;
  PAHEADER header;            // meaningful once the magic and version passed
  int64_t lFileSize = 0;
  int32_t lEntriesRead = 0;   // entries handed to the callback
  int64_t lEndOffset = 0;     // for a failed walk: offset of the field that could not be read

  bool HeaderPassed() const {
    return end != PaScanEnd::Missing && end != PaScanEnd::ShortHeader && end != PaScanEnd::BadMagic &&
           end != PaScanEnd::BadVersion;
  }
};

// Walks the open file fd of lFileSize bytes, calling onEntry for each entry in
// table order; onEntry may be empty.
PaScanResult ScanPAFile(int fd, int64_t lFileSize, const std::function<void(const PaEntryInfo&)>& onEntry);

// Opens path and walks it.
PaScanResult ScanPAFile(const std::u16string& path, const std::function<void(const PaEntryInfo&)>& onEntry);

// Reads exactly length bytes at offset with pread; false on an error or a short file.
bool ReadFileRange(int fd, int64_t offset, int64_t length, uint8_t* dest);

// A short English description of how a walk ended, with the offset where it matters.
std::u16string DescribeScanEnd(const PaScanResult& scan);

// Every entry with its deciphered sample, for the authoring tool's extract.
struct PaEntryData {
  std::u16string sName;
  std::vector<uint8_t> bytSample;  // exactly L bytes
};
struct PaContents {
  PAHEADER header;
  std::vector<PaEntryData> entries;
};
// The whole table, or std::nullopt with sError set when the walk fails or a sample
// runs past the end of the file.
std::optional<PaContents> ReadPAContents(const std::u16string& path, std::u16string& sError);

}  // namespace ekoto
