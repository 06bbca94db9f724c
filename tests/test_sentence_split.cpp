// Cutting text into sentences: the known cases, agreement with a direct
// mark-by-mark search on random texts, and the cutting of sentences too long
// to convert at once.
#include <gtest/gtest.h>

#include <limits>
#include <random>
#include <string>
#include <vector>

#include "conversion/CutLongSentences.h"
#include "conversion/SplitText.h"
#include "engine/clsReadUp.h"

namespace ekoto {
namespace {

using Pieces = std::vector<std::u16string>;

std::u16string Repeat(char16_t c, size_t n) { return std::u16string(n, c); }

TEST(SentenceSplitTest, KnownCases) {
  const std::u16string k60 = Repeat(u'あ', 60);
  const struct {
    std::u16string text;
    Pieces expected;
  } cases[] = {
      {u"今日は晴れ。明日は雨", {u"今日は晴れ。", u"明日は雨"}},
      {k60, {k60}},  // no mark: whole, however long
      {u"晴れ。", {u"晴れ。", u""}},
      {Repeat(u'い', 119) + u"。", {Repeat(u'い', 50), Repeat(u'い', 50), Repeat(u'い', 19) + u"。", u""}},
      {Repeat(u'え', 49) + u"、x", {Repeat(u'え', 49) + u"、", u"x"}},  // exactly 50 is not cut
      {u"。。", {u"。", u"。", u""}},
      {u"", {u""}},
      {u"a,b.c､d｡e，f．g、h。i", {u"a,", u"b.", u"c､", u"d｡", u"e，", u"f．", u"g、", u"h。", u"i"}},
      {u"あ。" + k60, {u"あ。", k60}},
      {u"\u3102\u4e2c", {u"\u3102\u4e2c"}},  // share a mark's low byte
  };
  for (const auto& c : cases) EXPECT_EQ(SplitByChars(c.text, kSentenceMarks), c.expected) << c.text.size();
  const std::vector<TextSpan> spans = SplitSpansByChars(u"ab。c、", kSentenceMarks);
  ASSERT_EQ(spans.size(), 3u);
  EXPECT_EQ(spans[1].lStart, 3);
  EXPECT_EQ(spans[1].lLength, 2);
  EXPECT_EQ(spans[2].lStart, 5);
  EXPECT_EQ(spans[2].lLength, 0);
  EXPECT_EQ(SplitByChars(u"a-b_c", u"-_"), (Pieces{u"a-", u"b_", u"c"}));
}

TEST(SentenceSplitTest, SplitByLengthAndIndexOfNearest) {
  EXPECT_EQ(SplitByLength(u"abcde", 2), (Pieces{u"ab", u"cd", u"e"}));
  EXPECT_TRUE(SplitByLength(u"abc", 0).empty());
  const struct {
    std::vector<int32_t> positions;
    int32_t expected;
  } cases[] = {{{5, 3, 9}, 1}, {{0, 7, -4}, 1}, {{4, 2, 2}, 1}, {{0, 0}, 0}, {{}, -1}};
  for (const auto& c : cases) {
    std::vector<int32_t> positions = c.positions;
    EXPECT_EQ(IndexOfNearest(positions), c.expected);
  }
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
    for (const std::u16string& part : piece.size() > 50 ? SplitByLength(piece, 50) : Pieces{piece}) {
      result.push_back(part);
    }
    last = p;
  }
  result.push_back(text.substr(static_cast<size_t>(last)));
  return result;
}

TEST(SentenceSplitTest, AgreesWithReferenceOnRandomTexts) {
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
    ASSERT_EQ(SplitByChars(text, kSentenceMarks), ReferenceSplit(text, std::u16string(kSentenceMarks))) << i;
  }
}

// Long sentences are cut after a line break, else a space, never in a number or
// a surrogate pair; the pieces cover the text in order, none over the limit.
std::vector<TextSpan> CutAndCheck(const std::u16string& text) {
  const std::vector<TextSpan> spans = CutLongSentences(text, SplitSpansByChars(text, kSentenceMarks));
  int32_t next = 0;
  for (const TextSpan& span : spans) {
    EXPECT_EQ(span.lStart, next);
    EXPECT_LE(span.lLength, kMaxSentenceLength);
    next += span.lLength;
  }
  EXPECT_EQ(next, static_cast<int32_t>(text.size()));
  return spans;
}

TEST(SentenceSplitTest, LongSentencesAreCutWhereTheyMay) {
  const int32_t kMax = kMaxSentenceLength;
  const struct {
    std::u16string text;
    int32_t firstLength;
  } cases[] = {
      {u"今日は晴れ。明日は雨", 6},
      {Repeat(u'あ', 900) + u"\n" + Repeat(u'い', 900), 901},
      {Repeat(u'あ', 700) + u" " + Repeat(u'い', 700), 701},
      {Repeat(u'あ', 10) + u"\n" + Repeat(u'い', 2000), kMax},  // a break too early is passed over
      {Repeat(u'あ', kMax - 3) + u"123456" + Repeat(u'い', 500), kMax - 3},
      {Repeat(u'あ', kMax - 1) + u"𠮷" + Repeat(u'い', 500), kMax - 1},
  };
  for (const auto& c : cases) EXPECT_EQ(CutAndCheck(c.text)[0].lLength, c.firstLength) << c.text.size();
  std::mt19937 random(7);
  const std::u16string alphabet = u"あい 1\n。、";
  for (int round = 0; round < 100; ++round) {
    std::u16string text;
    for (int i = static_cast<int>(random() % 5000); i > 0; --i) {
      const char16_t c = alphabet[random() % alphabet.size()];
      if ((c == u'。' || c == u'、') && random() % 50) continue;  // rare marks: long tails
      text += c;
      if (c == u'1' && random() % 2) text += u"𠮷";
    }
    CutAndCheck(text);
  }
}

class CountingEvents : public IReadUpEvents, public IEventYield, public IReverseConverter {
 public:
  void OnPlay() override {}
  void OnPlayPos(int32_t, int32_t lLength) override { longest = std::max(longest, lLength); }
  void OnPlaySound(std::u16string) override { ++units; }
  void OnPause() override {}
  void OnStop() override {}
  void OnConvertion(std::u16string&) override { ++sentences; }
  void DoEvents() override {}
  bool ReverseConvert(const std::u16string& piece, std::u16string& reading) override {
    reading = piece;
    return true;
  }
  int32_t longest = 0;
  int sentences = 0;
  int units = 0;
};

TEST(SentenceSplitTest, ReaderConvertsALongTextWithoutMarksPieceByPiece) {
  CountingEvents events;
  clsReadUp reader(events, events, events);
  reader.PlayText(Repeat(u'あ', 5000));
  EXPECT_EQ(events.longest, kMaxSentenceLength);
  EXPECT_EQ(events.sentences, 5);
  EXPECT_EQ(events.units, 5000);  // every character is still read once
}

}  // namespace
}  // namespace ekoto
