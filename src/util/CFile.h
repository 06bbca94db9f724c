// CFile: stateless whole-file and path helpers. Create one, call one operation.
// Text files are CP932 (Windows-31J) or UTF-8; see ReadFile and WriteFile.
// Paths are UTF-16 and use "/" as the folder separator. No operation throws.
#pragma once
#include <cstdint>
#include <ctime>
#include <optional>
#include <string>
#include <vector>

namespace ekoto {

class CFile {
 public:
  // Whole file as bytes. Returns false when the file is missing or unreadable.
  // An empty file returns true and leaves retBytes as it was.
  bool ReadFileForBinary(const std::u16string& FilePath, std::vector<uint8_t>& retBytes);

  // Whole file as text: UTF-8 when the bytes start with a UTF-8 BOM or are valid
  // UTF-8 holding a multi-byte sequence, CP932 otherwise. On false retText is untouched.
  bool ReadFile(const std::u16string& FilePath, std::u16string& retText);

  // Replaces the file atomically (temporary file in the same folder, flush, rename).
  // With bReName the bytes go to SameFileToReName(FilePath) instead.
  bool WriteFileForBinary(const std::u16string& FilePath, const std::vector<uint8_t>& byt, bool bReName);

  // Text as the whole file: CP932 when every character has a CP932 form,
  // UTF-8 with a BOM otherwise, so no character is ever lost.
  bool WriteFile(const std::u16string& FilePath, const std::u16string& strText);

  // Adds bytes at the end of the file, creating it when missing.
  bool AppendFileForBinary(const std::u16string& FilePath, const std::vector<uint8_t>& byt);

  // First path that does not exist: report.txt, report(1).txt, report(2).txt, ...
  std::u16string SameFileToReName(const std::u16string& FilePath);

  // Returns true iff the file can be opened for reading.
  bool IsFile(const std::u16string& FilePath);

  // First path below RootPath where a file named Filename exists, "" if none.
  std::u16string FindFile(const std::u16string& RootPath, const std::u16string& Filename);

  // A new unique empty file in the temporary folder, its name prefixed with strAppName; "" on failure.
  std::u16string CreateTempPath(const std::u16string& strAppName);

  // optDestType: 0 status change, 1 last access, 2 last write. Local time.
  bool GetFileDateTime(const std::u16string& strFilePath, int optDestType, std::tm& retDate);

  // The last nRight characters (the whole text when shorter, "" when nRight < 1).
  std::u16string MyRight(const std::u16string& text, int32_t nRight);

  // The text between the first strToken at or after nStart (1-based) and the next strToken2.
  // retEnd gets the 1-based position just after strToken2, or 0 when nothing was enclosed.
  std::u16string Inside(const std::u16string& strData, const std::u16string& strToken,
                        const std::u16string& strToken2, int32_t nStart, int32_t& retEnd);
  // Every such enclosed text, in order.
  std::vector<std::u16string> InsideArray(const std::u16string& strData, const std::u16string& strToken,
                                          const std::u16string& strToken2);

  // Escaped forms: "%" doubled, '"', control codes and single-byte codes 127-255 as %XX.
  std::u16string EncodeFromText(const std::u16string& text);
  // Like EncodeFromText but every non-ASCII byte is escaped too: the result is pure ASCII.
  std::u16string EncodeFromText2(const std::u16string& text);
  std::u16string EncodeFromBinary(const std::vector<uint8_t>& bytSrc);
  bool DecodeToBinary(const std::u16string& strEncode, std::vector<uint8_t>& retDest);
  std::u16string DecodeToText(const std::u16string& strEncode);

  // Path splitting on "/": see each function.
  std::u16string GetFolderPathOnly(const std::u16string& FilePath);
  std::u16string GetFileNameOnly(const std::u16string& FilePath);
  // std::nullopt for a path that ends in "/" (no file name).
  std::optional<std::u16string> GetExtOnly(const std::u16string& FilePath);
  std::u16string GetNameOnly(const std::u16string& FilePath);
};

}  // namespace ekoto
