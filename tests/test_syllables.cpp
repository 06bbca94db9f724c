#include <gtest/gtest.h>

#include "engine/SplitSyllables.h"
#include "util/Utf.h"

namespace ekoto {
namespace {

std::string Join(const std::vector<std::u16string>& units) {
  std::string out;
  for (size_t i = 0; i < units.size(); ++i) {
    if (i) out += '|';
    out += Utf16ToUtf8(units[i]);
  }
  return out;
}

struct SyllableCase {
  const char* input;
  const char* units;
};

class SplitSyllablesTest : public ::testing::TestWithParam<SyllableCase> {};

TEST_P(SplitSyllablesTest, CutsIntoUnits) {
  EXPECT_EQ(Join(SplitSyllables(Utf8ToUtf16(GetParam().input))), GetParam().units) << GetParam().input;
}

INSTANTIATE_TEST_SUITE_P(
    Units, SplitSyllablesTest,
    ::testing::Values(SyllableCase{"", ""}, SyllableCase{"きょう", "きょ|う"},
                      SyllableCase{"がっこう", "が|っ|こ|う"}, SyllableCase{"ABC、", "A|B|C|、"},
                      // Small vowels, っ and ん never join.
                      SyllableCase{"ふぁん", "ふ|ぁ|ん"}, SyllableCase{"ゃ", "ゃ"}, SyllableCase{"ゃあ", "ゃ|あ"},
                      // Only one small ゃゅょ joins; a second is a unit of its own.
                      SyllableCase{"きゃゅ", "きゃ|ゅ"},
                      // Katakana are not joined by hiragana rules beyond ゃゅょ.
                      SyllableCase{"キャ", "キ|ャ"}));

INSTANTIATE_TEST_SUITE_P(
    LongVowels, SplitSyllablesTest,
    ::testing::Values(SyllableCase{"かー", "か|ぁ"}, SyllableCase{"にー", "に|ぃ"},
                      SyllableCase{"ぎゅー", "ぎゅ|ぅ"}, SyllableCase{"しょー", "しょ|ぉ"},
                      SyllableCase{"きゃー", "きゃ|ぁ"}, SyllableCase{"んー", "ん|ぅ"},
                      SyllableCase{"をー", "を|ぉ"}, SyllableCase{"へー", "へ|ぇ"},
                      // Voiced and half-voiced kana and the small vowels lengthen their vowel.
                      SyllableCase{"がー", "が|ぁ"}, SyllableCase{"げーむ", "げ|ぇ|む"},
                      SyllableCase{"でぃー", "で|ぃ|ぃ"}, SyllableCase{"ぴょー", "ぴょ|ぉ"},
                      SyllableCase{"ぶー", "ぶ|ぅ"}, SyllableCase{"ゔー", "ゔ|ぅ"},
                      // っ, katakana and ー itself are in no row.
                      SyllableCase{"っー", "っ|ー"}, SyllableCase{"カー", "カ|ー"}, SyllableCase{"かーー", "か|ぁ|ー"},
                      SyllableCase{"ーあ", "ー|あ"}, SyllableCase{"とーきょー", "と|ぉ|きょ|ぉ"}));

TEST(SplitSyllablesTest, EveryCharacterIsUsedOnce) {
  const std::u16string text = u"きょうはとーきょーでしゃしんをとりました。ぎゅーにゅー";
  size_t total = 0;
  for (const auto& unit : SplitSyllables(text)) total += unit.size();
  EXPECT_EQ(total, text.size());
}

}  // namespace
}  // namespace ekoto
