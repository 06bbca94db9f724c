// Readers of the voice source file (".pa"): one recorded sample per syllable unit,
// keyed by the unit's text (CP932 on disk).
#pragma once
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace ekoto {

// The 23-byte file header, field by field.
struct PAHEADER {
  uint8_t magic[4] = {0, 0, 0, 0};  // "PA  "
  uint8_t version = 0;              // must be 1
  int32_t lSampleRate = 0;
  int16_t nBitsPerSample = 0;
  int16_t nChannels = 0;
  int32_t lEntryCount = 0;
  int32_t lTableOffset = 0;
  int16_t nCipher = 0;  // 1: every sample is ciphered with RC4
};

// Key text of the cipher of samples when the header's cipher flag is 1.
inline constexpr char16_t kPaCipherKey[] = u"tun7";

// Looks up the sample of unit: the first entry whose name is unit exactly and whose
// sample length is positive. Returns true and the deciphered sample when found.
// retHeader is set whenever the header check passed and the scan ended normally
// (found, or every entry read). A file whose table breaks off (a name length of 0
// or less, a negative sample length, a read beyond the end of the file) gives false
// from the break on, without the header; bytes beyond the end are never returned.
//
// What is learnt of a file's table is kept in memory while the file stays the same
// (size, modification and change times, inode), so a lookup costs one open, one
// stat, one read of the sample and one close. Safe to call from any thread.
bool FindPASound(const std::u16string& path, const std::u16string& unit, std::vector<uint8_t>& retSample,
                 PAHEADER& retHeader);

// Every entry name in file order, duplicates included, or nothing for a missing,
// invalid, truncated or empty file: never a partial list.
std::optional<std::vector<std::u16string>> GetPASoundNames(const std::u16string& path, PAHEADER& retHeader);

}  // namespace ekoto
