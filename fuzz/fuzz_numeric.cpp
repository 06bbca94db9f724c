// ConvNumeric2Hira: no digit survives, text without digits is unchanged, and the
// reading of a digit is bounded.
#include "FuzzInput.h"
#include "conversion/ConvNumeric2Hira.h"

namespace {

bool IsDigit(char16_t c) { return (c >= u'0' && c <= u'9') || (c >= u'０' && c <= u'９'); }

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  using namespace ekoto;
  const std::u16string text = fuzz::Text(data, size);
  const std::u16string out = ConvNumeric2Hira(text);
  size_t nDigits = 0;
  for (char16_t c : text) nDigits += IsDigit(c) ? 1 : 0;
  for (char16_t c : out) {
    if (IsDigit(c)) fuzz::Fail("a digit was left in the reading");
  }
  if (nDigits == 0 && out != text) fuzz::Fail("text without digits changed");
  // Longest digit reading きゅうせん plus one group word むりょうたいすう per digit at most.
  if (out.size() > text.size() - nDigits + nDigits * 13) fuzz::Fail("reading longer than its digits allow");
  return 0;
}
