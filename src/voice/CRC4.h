// CRC4: the RC4 stream cipher with a key text, byte, text and whole-file forms.
// Every call starts a fresh keystream from the keyed permutation; the key schedule
// runs only when the key text changes. Not thread-safe: one object per user.
#pragma once
#include <array>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace ekoto {

class CRC4 {
 public:
  // Raised synchronously from inside every cipher call with 0..99 as the data
  // is worked through, then exactly once with 100 at the end.
  std::function<void(int32_t Percent)> Progress;

  // Returns false when InFile is missing, empty or unreadable, when OutFile exists and
  // Overwrite is false, when the key cannot be used, or when OutFile cannot be written.
  // OutFile is replaced atomically: on failure it is left as it was.
  bool EncryptFile(const std::u16string& InFile, const std::u16string& OutFile, bool Overwrite,
                   const std::u16string& Key);
  bool DecryptFile(const std::u16string& InFile, const std::u16string& OutFile, bool Overwrite,
                   const std::u16string& Key);

  // Ciphers byteArray in place. An empty Key keeps the current key in force.
  // Returns false (byteArray untouched, no Progress) when Key has no CP932 form.
  bool DecryptByte(std::vector<uint8_t>& byteArray, const std::u16string& Key);

  // Text to CP932 bytes, ciphered. With OutputInHex the result is upper-case hex
  // digits; otherwise every cipher byte is one character U+0000..U+00FF.
  // std::nullopt when Text or Key has no CP932 form.
  std::optional<std::u16string> EncryptString(const std::u16string& Text, const std::u16string& Key,
                                              bool OutputInHex);
  // Undoes EncryptString for the same key and hex choice. std::nullopt on bad hex text
  // (odd length or a non-hex digit), on a character above U+00FF in the raw form, or on
  // an unusable key.
  std::optional<std::u16string> DecryptString(const std::u16string& Text, const std::u16string& Key,
                                              bool IsTextInHex);

  bool EncryptByte(std::vector<uint8_t>& byteArray, const std::u16string& Key);

  // Sets the key text. Returns false, keeping the old key, for the empty text while
  // another key is stored (it cannot be scheduled) or a text with no CP932 form.
  bool Key(const std::u16string& New_Value);

 private:
  static std::u16string BytesToHex(const std::vector<uint8_t>& bytes);
  static std::optional<std::vector<uint8_t>> HexToBytes(const std::u16string& text);
  static bool FileExists(const std::u16string& FilePath);
  bool CipherFile(const std::u16string& InFile, const std::u16string& OutFile, bool Overwrite,
                  const std::u16string& Key);

  std::u16string m_sKey;
  // 16-bit entries holding 0..255; all zero until a key is set, which makes the
  // keystream all zero bytes.
  std::array<uint16_t, 256> m_S{};
};

}  // namespace ekoto
