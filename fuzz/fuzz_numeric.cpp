// ConvNumeric2Hira: no digit survives, text without a number is unchanged, and
// the reading of a number is bounded. The accent estimator's way back to the
// digits undoes exactly what it puts back.
#include "FuzzInput.h"
#include "conversion/AccentNumerals.h"
#include "conversion/ConvNumeric2Hira.h"
#include "conversion/NumberReading.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  using namespace ekoto;
  const std::u16string text = fuzz::Text(data, size);
  const std::u16string out = ConvNumeric2Hira(text);
  // Digits, and the circled numbers and signs that start a number (①, $5, -5).
  size_t nNumberChars = 0;
  for (size_t i = 0; i < text.size(); ++i) nNumberChars += fuzz::IsDigit(text[i]) || StartsNumberExpression(text, i) ? 1 : 0;
  for (char16_t c : out) {
    if (fuzz::IsDigit(c)) fuzz::Fail("a digit was left in the reading");
  }
  if (nNumberChars == 0 && out != text) fuzz::Fail("text without a number changed");
  // Longest digit reading キュウセン plus one group word ムリョウタイスウ per digit, and
  // マイナス for a sign, at most.
  if (out.size() > text.size() - nNumberChars + nNumberChars * 16) fuzz::Fail("reading longer than its digits allow");
  const DigitsText back = PutDigitsBack(text, out);
  std::u16string undone;
  size_t nFrom = 0;
  for (const NumeralSpan& numeral : back.numerals) {
    if (numeral.nStart < nFrom || numeral.nLength > back.sText.size() - numeral.nStart) fuzz::Fail("a number out of place");
    undone += back.sText.substr(nFrom, numeral.nStart - nFrom) + numeral.sKana;
    nFrom = numeral.nStart + numeral.nLength;
  }
  if (undone + back.sText.substr(nFrom) != out) fuzz::Fail("putting the digits back changed the rest of the text");
  return 0;
}
