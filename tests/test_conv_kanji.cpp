// Kanji-to-hiragana of a sentence, with a scripted converter in place of MeCab.
#include <gtest/gtest.h>

#include <set>
#include <string>
#include <vector>

#include "conversion/ConvKanji2Hiragana.h"

namespace ekoto {
namespace {

// Reads a piece as "<piece>" and fails on the pieces it is told to fail on.
class FakeConverter : public IReverseConverter {
 public:
  bool ReverseConvert(const std::u16string& piece, std::u16string& reading) override {
    calls.push_back(piece);
    if (piece.empty() || failing.count(piece) > 0) return false;
    reading = u"<" + piece + u">";
    return true;
  }

  std::vector<std::u16string> calls;
  std::set<std::u16string> failing;
};

TEST(ConvKanji2HiraganaTest, EmptySentenceDoesNotAskTheConverter) {
  FakeConverter converter;
  EXPECT_EQ(ConvKanji2Hiragana(u"", converter), u"");
  EXPECT_TRUE(converter.calls.empty());
}

TEST(ConvKanji2HiraganaTest, PiecesArePassedAsSplit) {
  FakeConverter converter;
  const std::u16string sLong(60, u'字');
  EXPECT_EQ(ConvKanji2Hiragana(u"今日は、晴れ。" + sLong + u"。", converter),
            u"<今日は、><晴れ。><" + sLong.substr(0, 50) + u"><" + sLong.substr(50) + u"。>");
  const std::vector<std::u16string> expected = {u"今日は、", u"晴れ。", sLong.substr(0, 50), sLong.substr(50) + u"。",
                                                u""};
  EXPECT_EQ(converter.calls, expected);
}

TEST(ConvKanji2HiraganaTest, FailingPieceIsLeftOut) {
  FakeConverter converter;
  converter.failing = {u"雨"};
  EXPECT_EQ(ConvKanji2Hiragana(u"晴れ、雨", converter), u"<晴れ、>");

  converter.failing = {u"晴れ、", u"雨"};
  EXPECT_EQ(ConvKanji2Hiragana(u"晴れ、雨", converter), u"");
}

TEST(ConvKanji2HiraganaTest, ReadingIsNotCarriedOverFromAFailedPiece) {
  // A converter that writes into the reading and then fails must not leak it.
  class Scribbler : public IReverseConverter {
   public:
    bool ReverseConvert(const std::u16string& piece, std::u16string& reading) override {
      reading += u"x";
      return piece == u"b";
    }
  } converter;
  EXPECT_EQ(ConvKanji2Hiragana(u"a,b", converter), u"x");
}

}  // namespace
}  // namespace ekoto
