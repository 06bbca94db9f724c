// SplitSyllables: every input character goes into exactly one unit, in order;
// only ー may change (into the small vowel it continues), and only ゃゅょ join
// the unit before them.
#include "FuzzInput.h"
#include "engine/SplitSyllables.h"

namespace {

bool IsSmallYa(char16_t c) { return c == u'ゃ' || c == u'ゅ' || c == u'ょ'; }

bool IsLongVowelForm(char16_t c) {
  return c == u'ー' || c == u'ぁ' || c == u'ぃ' || c == u'ぅ' || c == u'ぇ' || c == u'ぉ';
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  using namespace ekoto;
  const std::u16string text = fuzz::Text(data, size);
  const std::vector<std::u16string> units = SplitSyllables(text);
  if (text.empty()) {
    if (units.size() != 1 || !units[0].empty()) fuzz::Fail("empty text does not give one empty unit");
    return 0;
  }
  size_t i = 0;
  for (const std::u16string& unit : units) {
    if (unit.empty() || unit.size() > 2) fuzz::Fail("unit of the wrong size");
    if (i >= text.size()) fuzz::Fail("more units than characters");
    const bool bSame = unit[0] == text[i];
    const bool bLongVowel = text[i] == u'ー' && i > 0 && IsLongVowelForm(unit[0]);
    if (!bSame && !bLongVowel) fuzz::Fail("a unit's character is not the input's");
    ++i;
    if (unit.size() == 2) {
      if (!IsSmallYa(unit[1]) || unit[1] != text[i]) fuzz::Fail("a joined character is no small ya");
      ++i;
    } else if (i < text.size() && IsSmallYa(text[i])) {
      fuzz::Fail("small ya left out of the unit before it");
    }
  }
  if (i != text.size()) fuzz::Fail("characters left over");
  return 0;
}
