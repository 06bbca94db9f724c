// The number expressions of the reading, started at every place one may start
// (the text before it read as context): each consumes at least one character
// and none past the text, and its reading has no digit left and a bounded length.
#include "FuzzInput.h"
#include "conversion/NumberReading.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  using namespace ekoto;
  const std::u16string text = fuzz::Text(data, size);
  for (size_t pos = 0; pos < text.size(); ++pos) {
    if (!StartsNumberExpression(text, pos)) continue;
    std::u16string out;
    const size_t end = AppendNumberExpression(text, pos, out);
    if (end <= pos || end > text.size()) fuzz::Fail("an expression that consumed nothing or ran past the text");
    for (char16_t c : out) {
      if (fuzz::IsDigit(c)) fuzz::Fail("a digit was left in the reading");
    }
    // The longest spoken group (キュウセンキュウヒャクキュウジュウキュウ and a unit word) is
    // under 24 units per character read.
    if (out.size() > (end - pos) * 24 + 16) fuzz::Fail("reading longer than its characters allow");
  }
  return 0;
}
