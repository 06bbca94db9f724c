// Cutting text into sentences: the known cases, and agreement with a direct
// mark-by-mark search on random texts.
#include <gtest/gtest.h>

#include <limits>
#include <random>
#include <string>
#include <vector>

#include "conversion/SplitText.h"

namespace ekoto {
namespace {

using Pieces = std::vector<std::u16string>;

std::u16string Repeat(char16_t c, size_t n) { return std::u16string(n, c); }

struct SplitCase {
  const char* name;
  std::u16string text;
  Pieces expected;
};

TEST(SplitTextTest, SplitByCharsKnownCases) {
  const std::u16string k60 = Repeat(u'あ', 60);
  const std::u16string k119 = Repeat(u'い', 119);
  const std::u16string k99 = Repeat(u'う', 99);
  const std::vector<SplitCase> cases = {
      {"two sentences", u"今日は晴れ。明日は雨", {u"今日は晴れ。", u"明日は雨"}},
      {"no mark over 50 stays whole", k60, {k60}},
      {"ends with a mark", u"晴れ。", {u"晴れ。", u""}},
      {"120 ending with mark", k119 + u"。", {Repeat(u'い', 50), Repeat(u'い', 50), Repeat(u'い', 19) + u"。", u""}},
      {"exactly 100 ending with mark", k99 + u"。", {Repeat(u'う', 50), Repeat(u'う', 49) + u"。", u""}},
      {"exactly 50 is not cut", Repeat(u'え', 49) + u"、x", {Repeat(u'え', 49) + u"、", u"x"}},
      {"ascii full stop", u"a.b", {u"a.", u"b"}},
      {"consecutive marks", u"。。", {u"。", u"。", u""}},
      {"empty text", u"", {u""}},
      {"every mark", u"a,b.c､d｡e，f．g、h。i", {u"a,", u"b.", u"c､", u"d｡", u"e，", u"f．", u"g、", u"h。", u"i"}},
      {"rest after last mark is not cut", u"あ。" + k60, {u"あ。", k60}},
      {"lookalike of a mark's low byte", u"\u3102\u4e2c", {u"\u3102\u4e2c"}},
  };
  for (const SplitCase& c : cases) {
    EXPECT_EQ(SplitByChars(c.text, kSentenceMarks), c.expected) << c.name;
  }
}

TEST(SplitTextTest, SplitSpansGiveOffsets) {
  const std::vector<TextSpan> spans = SplitSpansByChars(u"ab。c、", kSentenceMarks);
  ASSERT_EQ(spans.size(), 3u);
  EXPECT_EQ(spans[0].lStart, 0);
  EXPECT_EQ(spans[0].lLength, 3);
  EXPECT_EQ(spans[1].lStart, 3);
  EXPECT_EQ(spans[1].lLength, 2);
  EXPECT_EQ(spans[2].lStart, 5);
  EXPECT_EQ(spans[2].lLength, 0);
}

TEST(SplitTextTest, SplitByLength) {
  EXPECT_EQ(SplitByLength(u"abcde", 2), (Pieces{u"ab", u"cd", u"e"}));
  EXPECT_EQ(SplitByLength(u"abcd", 2), (Pieces{u"ab", u"cd"}));
  EXPECT_EQ(SplitByLength(u"abc", 5), (Pieces{u"abc"}));
  EXPECT_EQ(SplitByLength(u"、。", 1), (Pieces{u"、", u"。"}));
  EXPECT_TRUE(SplitByLength(u"", 3).empty());
  EXPECT_TRUE(SplitByLength(u"abc", 0).empty());
  EXPECT_TRUE(SplitByLength(u"abc", -1).empty());
}

TEST(SplitTextTest, IndexOfNearest) {
  struct Case {
    std::vector<int32_t> positions;
    int32_t expected;
  };
  const std::vector<Case> cases = {
      {{5, 3, 9}, 1},
      {{0, 7, 0}, 1},      // 0 means not found
      {{-4, 2}, 1},        // negative too
      {{4, 2, 2}, 1},      // lowest index on a tie
      {{0, 0, 0}, 0},      // nothing found
      {{1}, 0},
      {{}, -1},
  };
  for (const Case& c : cases) {
    std::vector<int32_t> positions = c.positions;
    EXPECT_EQ(IndexOfNearest(positions), c.expected);
  }
  std::vector<int32_t> positions = {0, 6, -1};
  IndexOfNearest(positions);
  const int32_t kMax = std::numeric_limits<int32_t>::max();
  EXPECT_EQ(positions, (std::vector<int32_t>{kMax, 6, kMax}));
}

// The splitting as first written: for every mark, search its next occurrence
// from the last cut, take the nearest, and repeat.
Pieces ReferenceSplit(const std::u16string& text, const std::u16string& marks) {
  const Pieces markChars = SplitByLength(marks, 1);
  Pieces result;
  int32_t last = 0;  // 1-based position of the last mark used
  for (;;) {
    std::vector<int32_t> positions;
    for (const std::u16string& mark : markChars) {
      const size_t found = text.find(mark, static_cast<size_t>(last));
      positions.push_back(found == std::u16string::npos ? 0 : static_cast<int32_t>(found) + 1);
    }
    const int32_t nearest = IndexOfNearest(positions);
    if (nearest < 0 || positions[nearest] == std::numeric_limits<int32_t>::max()) break;
    const int32_t p = positions[nearest];
    const std::u16string piece = text.substr(static_cast<size_t>(last), static_cast<size_t>(p - last));
    if (piece.size() > 50) {
      for (const std::u16string& part : SplitByLength(piece, 50)) result.push_back(part);
    } else {
      result.push_back(piece);
    }
    last = p;
  }
  result.push_back(text.substr(static_cast<size_t>(last)));
  return result;
}

TEST(SplitTextTest, AgreesWithReferenceOnRandomTexts) {
  // Marks are rare in the second alphabet, so long pieces that must be cut occur.
  const std::u16string kDense = u"あ漢a。、.,";
  const std::u16string kSparse = u"あいうえお漢字abcdefghijklmnopq。";
  std::mt19937 random(20240601);
  for (int i = 0; i < 2000; ++i) {
    const std::u16string& alphabet = (i % 2 == 0) ? kDense : kSparse;
    std::uniform_int_distribution<size_t> pick(0, alphabet.size() - 1);
    std::uniform_int_distribution<size_t> length(0, i % 2 == 0 ? 40 : 400);
    std::u16string text;
    for (size_t n = length(random); n > 0; --n) text += alphabet[pick(random)];

    const Pieces pieces = SplitByChars(text, kSentenceMarks);
    ASSERT_EQ(pieces, ReferenceSplit(text, std::u16string(kSentenceMarks))) << i;
    std::u16string joined;
    for (const std::u16string& piece : pieces) joined += piece;
    ASSERT_EQ(joined, text) << i;
  }
}

TEST(SplitTextTest, OtherMarkSets) {
  EXPECT_EQ(SplitByChars(u"a-b_c", u"-_"), (Pieces{u"a-", u"b_", u"c"}));
  EXPECT_EQ(SplitByChars(u"a。b", u""), (Pieces{u"a。b"}));
}

}  // namespace
}  // namespace ekoto
