// CFile: stateless whole-file and path helpers. Create one, call one operation.
// Text files are CP932 (Windows-31J) or UTF-8; see ReadFile and WriteFile, and util/Cp932.h.
// Paths are UTF-16 in this API and UTF-8 on the file system, with "/" as the
// folder separator ("\" is an ordinary character). No operation throws.
// The dialog and shell operations (SHCopy, ShowOpenFileDialog,
// GetCompactPath, ...) belong to the GUI and are not here.
#pragma once
#include <cstdint>
#include <ctime>
#include <optional>
#include <string>
#include <vector>

namespace ekoto {

class CFile {
 public:
  // Whole file as bytes, however large. Returns false when the path is no
  // regular file (missing, a folder, a FIFO, a device) or cannot be read; then
  // retBytes is untouched. An empty file returns true and leaves retBytes as it was.
  bool ReadFileForBinary(const std::u16string& FilePath, std::vector<uint8_t>& retBytes);

  // Whole file as text (DecodeTextBytes): UTF-8 when the bytes start with a UTF-8
  // BOM (dropped) or are valid UTF-8 holding a multi-byte sequence, CP932
  // otherwise. An empty file gives "". On false retText is untouched.
  bool ReadFile(const std::u16string& FilePath, std::u16string& retText);

  // Replaces the file atomically: a hidden temporary file in the same folder,
  // fsync, rename over the target, fsync of the folder. On any failure the
  // temporary file is removed, the old file is left as it was, and the result
  // is false. The file then holds exactly byt. Replacing keeps the old file's
  // permission bits (and its owner where allowed); a new file gets 0666 less
  // the umask. A symbolic link is followed: its target is replaced, the link
  // stays. False when the existing target is no regular file or is not
  // writable by this process, or the folder is missing or not writable.
  // With bReName the bytes go to SameFileToReName(FilePath) instead.
  bool WriteFileForBinary(const std::u16string& FilePath, const std::vector<uint8_t>& byt, bool bReName);

  // Text as the whole file (EncodeTextBytes): CP932 when every character has a
  // CP932 form, UTF-8 with a BOM otherwise, so no character is ever lost.
  // "" truncates the file to 0 bytes. Written as WriteFileForBinary does.
  bool WriteFile(const std::u16string& FilePath, const std::u16string& strText);

  // Adds bytes at the end of the file, creating it (0666 less the umask) when missing.
  bool AppendFileForBinary(const std::u16string& FilePath, const std::vector<uint8_t>& byt);

  // First path that does not exist: report.txt, report(1).txt, report(2).txt, ...
  // Any entry (file, folder, link) takes a name. A name whose base (before its
  // last ".") ends in "(digits)" goes on from that number: report(3).txt gives
  // report(4).txt; "(…)" elsewhere in the base is kept as text: a(b).txt gives
  // a(b)(1).txt. Without a "." the whole name is the base: .profile gives (1).profile.
  std::u16string SameFileToReName(const std::u16string& FilePath);

  // Returns true iff the path is a regular file that can be opened for reading.
  bool IsFile(const std::u16string& FilePath);

  // First path below RootPath (RootPath itself included) where a regular file
  // named Filename exists, "" if none. Depth first: a folder's own file before
  // its subfolders, subfolders in byte order of their names. Symbolic links to
  // folders are not entered, and no folder is searched twice. The result is
  // RootPath (without trailing "/"), "/", the folders, "/", Filename.
  std::u16string FindFile(const std::u16string& RootPath, const std::u16string& Filename);

  // A new unique empty file (mode 0600, mkstemp) in $TMPDIR, or in /tmp when
  // $TMPDIR is unset, empty or unusable; its name is strAppName ("/" made "_")
  // and six random characters. "" on failure.
  std::u16string CreateTempPath(const std::u16string& strAppName);

  // optDestType: 0 status change (ctime), 1 last access, 2 last write, as local
  // time (localtime_r). False, retDate untouched, for another type or a missing file.
  bool GetFileDateTime(const std::u16string& strFilePath, int optDestType, std::tm& retDate);

  // The last nRight UTF-16 units (the whole text when shorter, "" when nRight < 1).
  std::u16string MyRight(const std::u16string& text, int32_t nRight);

  // The text between the first strToken at or after nStart (1-based; below 1
  // counts as 1) and the next strToken2 after it. retEnd gets the 1-based
  // position just after strToken2, or 0 when no such pair exists (the result is
  // then ""). An empty token finds nothing.
  std::u16string Inside(const std::u16string& strData, const std::u16string& strToken,
                        const std::u16string& strToken2, int32_t nStart, int32_t& retEnd);
  // Every such enclosed text, in order, empty ones included; each search starts after the last pair.
  std::vector<std::u16string> InsideArray(const std::u16string& strData, const std::u16string& strToken,
                                          const std::u16string& strToken2);

  // Escaped forms. EncodeFromText: "%" doubled; '"', control codes 0-31, 127,
  // and characters whose CP932 form is one byte 128-255 (half-width katakana)
  // as %XX (upper-case hex of the CP932 byte); ASCII, double-byte CP932
  // characters and characters with no CP932 form as they are.
  std::u16string EncodeFromText(const std::u16string& text);
  // The text's file bytes (EncodeTextBytes: CP932, or UTF-8 after a BOM) in the
  // form of EncodeFromBinary: the result is pure ASCII.
  std::u16string EncodeFromText2(const std::u16string& text);
  // "%" as "%%"; '"', 0-31 and 127-255 as %XX; other bytes as their ASCII character.
  std::u16string EncodeFromBinary(const std::vector<uint8_t>& bytSrc);
  // Undoes any of the three forms into bytes ("%%", %XX in either case, ASCII
  // as itself, other characters as their CP932 bytes). False, retDest
  // untouched, for a "%" that starts no escape or a character with no CP932 form.
  bool DecodeToBinary(const std::u16string& strEncode, std::vector<uint8_t>& retDest);
  // Undoes EncodeFromText and EncodeFromText2: each run of escapes and ASCII is
  // bytes, read as UTF-8 when they start with a BOM, else as CP932; other
  // characters stand for themselves. A "%" that starts no escape is kept as "%".
  std::u16string DecodeToText(const std::u16string& strEncode);

  // Path splitting on "/" only; all four give "" for "".
  // Everything up to and including the last "/"; "" when there is none.
  std::u16string GetFolderPathOnly(const std::u16string& FilePath);
  // Everything after the last "/"; the whole path when there is none.
  std::u16string GetFileNameOnly(const std::u16string& FilePath);
  // The file name after its last "."; the whole file name when it has no ".".
  // std::nullopt for a path that ends in "/" (no file name).
  std::optional<std::u16string> GetExtOnly(const std::u16string& FilePath);
  // The file name before its last "."; "" when it has no "." (".profile" gives "").
  std::u16string GetNameOnly(const std::u16string& FilePath);
};

}  // namespace ekoto
