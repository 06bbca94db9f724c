#include <gtest/gtest.h>

#include <string>

#include "conversion/TextOptions.h"
#include "util/Utf.h"

namespace ekoto {
namespace {

struct TextCase {
  const char* input;
  const char* output;
};

void PrintTo(const TextCase& c, std::ostream* os) { *os << c.input << " → " << c.output; }

class UpperCaseTest : public ::testing::TestWithParam<TextCase> {};

TEST_P(UpperCaseTest, MapsLetters) {
  EXPECT_EQ(Utf16ToUtf8(ToUpperCaseText(Utf8ToUtf16(GetParam().input))), GetParam().output) << GetParam().input;
}

INSTANTIATE_TEST_SUITE_P(
    Letters, UpperCaseTest,
    ::testing::Values(TextCase{"", ""}, TextCase{"abc xyz", "ABC XYZ"}, TextCase{"ａｂｃ", "ＡＢＣ"},
                      TextCase{"ABC", "ABC"}, TextCase{"éσ", "ÉΣ"}, TextCase{"straße", "STRASSE"},
                      TextCase{"ßßß", "SSSSSS"}, TextCase{"𐐨", "𐐀"},
                      TextCase{"ひらがな漢字カタカナｶﾀｶﾅ、123", "ひらがな漢字カタカナｶﾀｶﾅ、123"},
                      TextCase{"今日はmeetingです", "今日はMEETINGです"}));

class NarrowTest : public ::testing::TestWithParam<TextCase> {};

TEST_P(NarrowTest, NarrowsFullWidthForms) {
  EXPECT_EQ(Utf16ToUtf8(NarrowText(Utf8ToUtf16(GetParam().input))), GetParam().output) << GetParam().input;
}

INSTANTIATE_TEST_SUITE_P(
    Narrowed, NarrowTest,
    ::testing::Values(TextCase{"", ""}, TextCase{"ＡＢＣａｂｃ１２３", "ABCabc123"}, TextCase{"！＃～", "!#~"},
                      TextCase{"全角　空白", "全角 空白"}, TextCase{"、。「」・", "､｡｢｣･"},
                      TextCase{"￥１００", "¥100"}, TextCase{"ｘ＝１，ｙ＝２．", "x=1,y=2."},
                      TextCase{"今日はＯＫ。", "今日はOK｡"}));

// What must stay as it is: the analyser reads these only in their full-width form.
INSTANTIATE_TEST_SUITE_P(
    Kept, NarrowTest,
    ::testing::Values(TextCase{"カタカナ", "カタカナ"}, TextCase{"ガッパーヴ", "ガッパーヴ"}, TextCase{"ｶﾞｯﾊﾟｰ", "ｶﾞｯﾊﾟｰ"},
                      TextCase{"ひらがな", "ひらがな"}, TextCase{"漢字𠮷", "漢字𠮷"}, TextCase{"゛゜ー", "゛゜ー"},
                      TextCase{"か\u3099", "か\u3099"}, TextCase{"→■○│", "→■○│"}, TextCase{"ㄱ한", "ㄱ한"},
                      TextCase{"abc 123", "abc 123"}));

TEST(NarrowTextTest, EveryFullWidthAsciiFormBecomesAscii) {
  std::u16string wide;
  std::u16string ascii;
  for (char16_t c = 0xFF01; c <= 0xFF5E; ++c) {
    wide += c;
    ascii += static_cast<char16_t>(c - 0xFF01 + 0x21);
  }
  EXPECT_EQ(NarrowText(wide), ascii);
}

}  // namespace
}  // namespace ekoto
