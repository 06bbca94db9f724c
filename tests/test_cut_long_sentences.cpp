#include <gtest/gtest.h>

#include <unicode/utf16.h>

#include <random>

#include "conversion/CutLongSentences.h"
#include "engine/clsReadUp.h"

namespace ekoto {
namespace {

std::vector<TextSpan> Cut(const std::u16string& text) {
  return CutLongSentences(text, SplitSpansByChars(text, kSentenceMarks));
}

// The spans cover the text in order, none longer than the limit.
void ExpectCover(const std::u16string& text, const std::vector<TextSpan>& spans) {
  int32_t next = 0;
  for (const TextSpan& span : spans) {
    EXPECT_EQ(span.lStart, next);
    EXPECT_LE(span.lLength, kMaxSentenceLength);
    next += span.lLength;
  }
  EXPECT_EQ(next, static_cast<int32_t>(text.size()));
}

TEST(CutLongSentencesTest, ShortSentencesAreLeftAsTheyAre) {
  const std::u16string text = u"今日は晴れ。明日は雨";
  const auto spans = Cut(text);
  ASSERT_EQ(spans.size(), 2u);
  EXPECT_EQ(spans[1].lLength, 4);
}

TEST(CutLongSentencesTest, PrefersLineBreaksThenSpaces) {
  // 900 kana, a line break, 900 kana: cut right after the break.
  std::u16string text = std::u16string(900, u'あ') + u"\n" + std::u16string(900, u'い');
  auto spans = Cut(text);
  ExpectCover(text, spans);
  ASSERT_EQ(spans.size(), 2u);
  EXPECT_EQ(spans[0].lLength, 901);

  text = std::u16string(700, u'あ') + u" " + std::u16string(700, u'い');
  spans = Cut(text);
  ASSERT_EQ(spans.size(), 2u);
  EXPECT_EQ(spans[0].lLength, 701);

  // A break too early in the piece is passed over for one closer to the limit.
  text = std::u16string(10, u'あ') + u"\n" + std::u16string(2000, u'い');
  spans = Cut(text);
  ExpectCover(text, spans);
  EXPECT_EQ(spans[0].lLength, kMaxSentenceLength);
}

TEST(CutLongSentencesTest, NeverCutsANumberOrASurrogatePair) {
  // A number across the limit is kept whole in the next piece.
  std::u16string text = std::u16string(kMaxSentenceLength - 3, u'あ') + u"123456" + std::u16string(500, u'い');
  auto spans = Cut(text);
  ExpectCover(text, spans);
  EXPECT_EQ(spans[0].lLength, kMaxSentenceLength - 3);

  text = std::u16string(kMaxSentenceLength - 1, u'あ') + u"𠮷" + std::u16string(500, u'い');
  spans = Cut(text);
  ExpectCover(text, spans);
  EXPECT_EQ(spans[0].lLength, kMaxSentenceLength - 1);
}

TEST(CutLongSentencesTest, RandomTextsAreCoveredExactly) {
  std::mt19937 random(7);
  const std::u16string alphabet = u"あい 1\n。、𠮷";
  for (int round = 0; round < 200; ++round) {
    std::u16string text;
    const int length = static_cast<int>(random() % 5000);
    for (int i = 0; i < length; ++i) {
      const char16_t c = alphabet[random() % alphabet.size()];
      if (U16_IS_SURROGATE(c)) continue;
      // Marks are rare, so long tails occur.
      if ((c == u'。' || c == u'、') && random() % 50) continue;
      text += c;
      if (c == u'1' && random() % 2) text += u"𠮷";
    }
    ExpectCover(text, Cut(text));
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

TEST(CutLongSentencesTest, ReaderConvertsALongTextWithoutMarksPieceByPiece) {
  CountingEvents events;
  clsReadUp reader(events, events, events);
  reader.PlayText(std::u16string(5000, u'あ'));
  EXPECT_EQ(events.longest, kMaxSentenceLength);
  EXPECT_EQ(events.sentences, 5);
  EXPECT_EQ(events.units, 5000);  // every character is still read once
}

}  // namespace
}  // namespace ekoto
