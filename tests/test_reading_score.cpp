#include <gtest/gtest.h>

#include "conversion/ReadingScore.h"

namespace ekoto {
namespace {

TEST(ReadingScoreTest, EditDistance) {
  struct Case {
    std::u16string a, b;
    int32_t distance;
  };
  for (const Case& c : {Case{u"", u"", 0}, Case{u"あ", u"", 1}, Case{u"", u"あい", 2},
                        Case{u"きょう", u"きょー", 1}, Case{u"かきくけこ", u"かくけこさ", 2},
                        Case{u"とうきょう", u"きょうと", 3}}) {
    EXPECT_EQ(EditDistance(c.a, c.b), c.distance);
    EXPECT_EQ(EditDistance(c.b, c.a), c.distance);
  }
}

TEST(ReadingScoreTest, PunctuationGoesLongMarksBecomeTheirVowel) {
  EXPECT_EQ(StripPunctuation(u"えっ、うそ！ ほんと？「とーきょー」・ABC 12。｡､"), u"えっうそほんととーきょーABC12");
  EXPECT_EQ(NormaliseLongVowels(u"とーきょーすーぱーでぃーぜるーあんー"), u"とおきょおすうぱあでぃいぜるうあん");
}

TEST(ReadingScoreTest, AccumulatesOverSentences) {
  ReadingScore score;
  score.Add(u"きょーわ。", u"きょーわ");  // exact once punctuation is dropped
  score.Add(u"とーきょー", u"とうきょう");  // 2 raw edits; normalised とおきょお vs とうきょう: 2
  score.Add(u"せんせー", u"せんせえ");      // 1 raw edit, 0 normalised
  EXPECT_EQ(score.Sentences(), 3);
  EXPECT_DOUBLE_EQ(score.CharacterErrorRate(), 3.0 / 13.0);
  EXPECT_DOUBLE_EQ(score.NormalisedCharacterErrorRate(), 2.0 / 13.0);
  EXPECT_DOUBLE_EQ(score.ExactSentenceRate(), 1.0 / 3.0);
}

}  // namespace
}  // namespace ekoto
