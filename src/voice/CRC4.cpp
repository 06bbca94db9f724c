#include "voice/CRC4.h"

#include <cmath>
#include <filesystem>
#include <system_error>
#include <utility>

#include "util/CFile.h"
#include "util/Cp932.h"
#include "util/Utf.h"

namespace ekoto {

bool CRC4::EncryptFile(const std::u16string& InFile, const std::u16string& OutFile, bool Overwrite,
                       const std::u16string& Key) {
  return CipherFile(InFile, OutFile, Overwrite, Key);
}

bool CRC4::DecryptFile(const std::u16string& InFile, const std::u16string& OutFile, bool Overwrite,
                       const std::u16string& Key) {
  return CipherFile(InFile, OutFile, Overwrite, Key);
}

bool CRC4::DecryptByte(std::vector<uint8_t>& byteArray, const std::u16string& Key) {
  return EncryptByte(byteArray, Key);
}

std::optional<std::u16string> CRC4::EncryptString(const std::u16string& Text, const std::u16string& Key,
                                                  bool OutputInHex) {
  const std::optional<std::string> ansi = EncodeCp932(Text);
  if (!ansi) return std::nullopt;
  std::vector<uint8_t> bytes(ansi->begin(), ansi->end());
  if (!EncryptByte(bytes, Key)) return std::nullopt;
  if (OutputInHex) return BytesToHex(bytes);
  // One byte per character keeps an odd byte count intact, which two bytes per
  // 16-bit character could not.
  return std::u16string(bytes.begin(), bytes.end());
}

std::optional<std::u16string> CRC4::DecryptString(const std::u16string& Text, const std::u16string& Key,
                                                  bool IsTextInHex) {
  std::vector<uint8_t> bytes;
  if (IsTextInHex) {
    std::optional<std::vector<uint8_t>> decoded = HexToBytes(Text);
    if (!decoded) return std::nullopt;
    bytes = std::move(*decoded);
  } else {
    bytes.reserve(Text.size());
    for (char16_t c : Text) {
      if (c > 0xFF) return std::nullopt;
      bytes.push_back(static_cast<uint8_t>(c));
    }
  }
  if (!DecryptByte(bytes, Key)) return std::nullopt;
  return DecodeCp932(std::string_view(reinterpret_cast<const char*>(bytes.data()), bytes.size()));
}

bool CRC4::EncryptByte(std::vector<uint8_t>& byteArray, const std::u16string& Key) {
  if (!Key.empty() && !this->Key(Key)) return false;

  // A working copy: no keystream position survives between calls. Bytes suffice
  // for values 0..255 and keep the loop fast.
  std::array<uint8_t, 256> S;
  for (size_t n = 0; n < 256; ++n) S[n] = static_cast<uint8_t>(m_S[n]);
  uint32_t i = 0;
  uint32_t j = 0;
  const int64_t total = static_cast<int64_t>(byteArray.size());
  int64_t threshold = 0;
  int32_t lastPercent = 0;
  for (int64_t n = 0; n < total; ++n) {
    i = (i + 1) & 0xFF;
    j = (j + S[i]) & 0xFF;
    std::swap(S[i], S[j]);
    byteArray[static_cast<size_t>(n)] ^= S[(S[i] + S[j]) & 0xFF];
    if (n >= threshold) {
      lastPercent = static_cast<int32_t>(n * 100 / total);
      // Rounded half to even (the default rounding mode).
      threshold = static_cast<int64_t>(std::nearbyint(static_cast<double>(lastPercent + 1) * total / 100.0 + 1));
      if (Progress) Progress(lastPercent);
    }
  }
  if (lastPercent != 100 && Progress) Progress(100);
  return true;
}

bool CRC4::Key(const std::u16string& New_Value) {
  if (New_Value == m_sKey) return true;
  if (New_Value.empty()) return false;
  const std::optional<std::string> ansi = EncodeCp932(New_Value);
  if (!ansi) return false;

  m_sKey = New_Value;
  // The schedule cycles over as many key bytes as the text has characters.
  const size_t keyLength = New_Value.size();
  for (uint16_t n = 0; n < 256; ++n) m_S[n] = n;
  uint32_t j = 0;
  for (size_t n = 0; n < 256; ++n) {
    j = (j + m_S[n] + static_cast<uint8_t>((*ansi)[n % keyLength])) & 0xFF;
    std::swap(m_S[n], m_S[j]);
  }
  return true;
}

std::u16string CRC4::BytesToHex(const std::vector<uint8_t>& bytes) {
  static constexpr char16_t kDigits[] = u"0123456789ABCDEF";
  std::u16string hex;
  hex.reserve(bytes.size() * 2);
  for (uint8_t b : bytes) {
    hex.push_back(kDigits[b >> 4]);
    hex.push_back(kDigits[b & 0x0F]);
  }
  return hex;
}

std::optional<std::vector<uint8_t>> CRC4::HexToBytes(const std::u16string& text) {
  if (text.size() % 2 != 0) return std::nullopt;
  auto digit = [](char16_t c) -> int {
    if (c >= u'0' && c <= u'9') return c - u'0';
    if (c >= u'A' && c <= u'F') return c - u'A' + 10;
    if (c >= u'a' && c <= u'f') return c - u'a' + 10;
    return -1;
  };
  std::vector<uint8_t> bytes(text.size() / 2);
  for (size_t p = 0; p < text.size(); p += 2) {
    const int high = digit(text[p]);
    const int low = digit(text[p + 1]);
    if (high < 0 || low < 0) return std::nullopt;
    bytes[p / 2] = static_cast<uint8_t>(high * 16 + low);
  }
  return bytes;
}

bool CRC4::FileExists(const std::u16string& FilePath) {
  std::error_code ec;
  const uintmax_t size = std::filesystem::file_size(std::filesystem::path(Utf16ToUtf8(FilePath)), ec);
  return !ec && size != static_cast<uintmax_t>(-1);
}

bool CRC4::CipherFile(const std::u16string& InFile, const std::u16string& OutFile, bool Overwrite,
                      const std::u16string& Key) {
  if (!FileExists(InFile)) return false;
  if (FileExists(OutFile) && !Overwrite) return false;
  std::vector<uint8_t> bytes;
  if (!CFile().ReadFileForBinary(InFile, bytes) || bytes.empty()) return false;
  if (!EncryptByte(bytes, Key)) return false;
  // The write replaces an existing OutFile in one step, so a failed write keeps it.
  return CFile().WriteFileForBinary(OutFile, bytes, false);
}

}  // namespace ekoto
