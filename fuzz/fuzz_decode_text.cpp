// DecodeTextBytes on any bytes: well-formed UTF-16 out, and the encoder's output reads back.
#include "FuzzInput.h"

namespace {

bool WellFormedUtf16(const std::u16string& s) {
  for (size_t i = 0; i < s.size(); ++i) {
    if (s[i] >= 0xD800 && s[i] <= 0xDBFF) {
      if (i + 1 >= s.size() || s[i + 1] < 0xDC00 || s[i + 1] > 0xDFFF) return false;
      ++i;
    } else if (s[i] >= 0xDC00 && s[i] <= 0xDFFF) {
      return false;
    }
  }
  return true;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  using namespace ekoto;
  const std::u16string text = DecodeTextBytes(fuzz::Bytes(data, size));
  if (!WellFormedUtf16(text)) fuzz::Fail("decoded text holds an unpaired surrogate");
  if (text.size() > size) fuzz::Fail("more units than bytes");
  const std::string encoded = EncodeTextBytes(text);
  if (encoded.starts_with(kUtf8Bom)) {
    if (DecodeTextBytes(encoded) != text) fuzz::Fail("UTF-8 with BOM does not read back");
  } else if (DecodeCp932(encoded) != text) {
    fuzz::Fail("CP932 form does not read back");
  }
  return 0;
}
