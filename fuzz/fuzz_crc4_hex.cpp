// CRC4::DecryptString with hex text: succeeds exactly on an even number of hex
// digits, and its result is the one the raw form gives for the same bytes.
#include "FuzzInput.h"
#include "voice/CRC4.h"

namespace {

bool IsHexText(const std::u16string& s) {
  if (s.size() % 2 != 0) return false;
  for (char16_t c : s) {
    const bool bHex = (c >= u'0' && c <= u'9') || (c >= u'a' && c <= u'f') || (c >= u'A' && c <= u'F');
    if (!bHex) return false;
  }
  return true;
}

int HexValue(char16_t c) {
  if (c <= u'9') return c - u'0';
  if (c >= u'a') return c - u'a' + 10;
  return c - u'A' + 10;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  using namespace ekoto;
  const std::u16string text = fuzz::Text(data, size);
  CRC4 rc4;
  const std::optional<std::u16string> plain = rc4.DecryptString(text, u"tun7", true);
  if (plain.has_value() != IsHexText(text)) fuzz::Fail("hex text accepted or refused wrongly");
  if (!plain) return 0;
  std::u16string raw;
  for (size_t i = 0; i < text.size(); i += 2) {
    raw.push_back(static_cast<char16_t>(HexValue(text[i]) * 16 + HexValue(text[i + 1])));
  }
  const std::optional<std::u16string> fromRaw = rc4.DecryptString(raw, u"tun7", false);
  if (fromRaw != plain) fuzz::Fail("hex and raw forms of the same bytes differ");
  return 0;
}
