// Reading and saving the template file for the dictionary window: a save
// replaces the file atomically, in the encoding it had, and refuses when the
// file changed since it was read (by time, size and a hash of its bytes), so
// that an edit made by hand meanwhile is never lost.
#pragma once
#include <cstdint>
#include <string>

namespace ekoto {

// What a file looked like when read; a missing file has bExists false.
struct FileStamp {
  bool bExists = false;
  int64_t lModifiedNs = 0;
  int64_t lSize = 0;
  uint64_t lHash = 0;  // FNV-1a of the bytes

  bool operator==(const FileStamp&) const = default;
};

struct TempleteFileText {
  std::u16string sText;
  FileStamp stamp;
  bool bUtf8 = false;     // written back as UTF-8 (else CP932 when it can be)
  bool bUtf8Bom = false;  // with a byte order mark
};

enum class SaveStatus { kSaved, kChangedOutside, kFailed };

// Reads path; a missing file gives an empty text (a new template). False when
// the path exists but cannot be read as a regular file.
bool ReadTempleteFile(const std::u16string& path, TempleteFileText& file);

// The stamp of the file as it is now.
FileStamp CurrentStamp(const std::u16string& path);

// Writes text over path atomically unless the file no longer matches
// file.stamp (kChangedOutside, nothing written). On kSaved file.stamp is the
// new file's and file.sText is text.
SaveStatus SaveTempleteFile(const std::u16string& path, const std::u16string& text, TempleteFileText& file);

}  // namespace ekoto
