// The MeCab converter with the installed IPA dictionary (mecab-ipadic-utf8).
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "conversion/MecabReverseConverter.h"

namespace ekoto {
namespace {

std::u16string Read(IReverseConverter& converter, const std::u16string& piece) {
  std::u16string reading;
  EXPECT_TRUE(converter.ReverseConvert(piece, reading)) << "piece failed";
  return reading;
}

TEST(MecabReverseConverterTest, Readings) {
  struct Case {
    std::u16string piece;
    std::u16string expected;
  };
  const std::vector<Case> cases = {
      {u"今日は", u"きょーわ"},            // pronunciation: は as わ, long vowel as ー
      {u"東京", u"とーきょー"},
      {u"カタカナ", u"かたかな"},          // katakana come back as hiragana
      {u"ヴェニスへ", u"ゔぇにすえ"},    // unknown word: surface made hiragana, ヴ as ゔ
      {u"ｶﾀｶﾅ", u"かたかな"},              // half-width katakana read after NFKC
      {u"ABC 123!", u"ABC 123!"},         // no reading: passes through, spaces kept
      {u"ＡＢＣ", u"ABC"},                 // full-width Latin becomes ASCII
      {u"私はPCを使う。", u"わたしわPCをつかう。"},
  };
  // One converter for all: pieces must not leak into each other.
  MecabReverseConverter converter;
  for (const Case& c : cases) EXPECT_EQ(Read(converter, c.piece), c.expected);
  EXPECT_EQ(Read(converter, u"雨"), u"あめ");
  EXPECT_EQ(Read(converter, std::u16string(u"a\0b", 3)), std::u16string(u"a\0b", 3));
  std::u16string reading;
  EXPECT_FALSE(converter.ReverseConvert(u"", reading));
  EXPECT_TRUE(reading.empty());
}

// A long piece (a text without marks) is parsed in parts; nothing may be lost
// or doubled where it is cut.
TEST(MecabReverseConverterTest, LongPieceIsReadWhole) {
  std::u16string sWords, sWordsReading, sLetters;
  for (int i = 0; i < 3000; ++i) {
    sWords += u"東京 ";
    sWordsReading += u"とーきょー ";
    sLetters += u"ABCDEFGHIJ";
  }
  MecabReverseConverter converter;
  EXPECT_EQ(Read(converter, sWords), sWordsReading);
  EXPECT_EQ(Read(converter, sLetters), sLetters);
  EXPECT_EQ(Read(converter, sLetters + u"日本語"), sLetters + u"にほんご");
}

TEST(MecabReverseConverterTest, MissingDictionaryFailsAndIsReportedOnce) {
  for (const char* dir : {"/nonexistent/ekoto-dic", "/var/lib/mecab/dic/ipadic"}) {
    MecabReverseConverter converter(dir);
    std::vector<std::u16string> messages;
    converter.SetReportHook([&messages](const std::u16string& s) { messages.push_back(s); });
    std::u16string reading;
    EXPECT_FALSE(converter.ReverseConvert(u"今日は", reading)) << dir;
    EXPECT_FALSE(converter.ReverseConvert(u"東京", reading)) << dir;
    ASSERT_EQ(messages.size(), 1u) << dir;
    EXPECT_NE(messages[0].find(u"mecab-ipadic-utf8"), std::u16string::npos);
  }
}

}  // namespace
}  // namespace ekoto
