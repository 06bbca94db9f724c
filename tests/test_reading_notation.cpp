// Ruby, editors' notes and old kana usage: what is said for a shown text, where
// sentences are cut around the notation, what an Aozora Bunko file shows and
// skips, and which paragraphs are respelled in today's kana.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "conversion/AozoraText.h"
#include "conversion/OldKanaUsage.h"
#include "conversion/ReadingNotation.h"
#include "conversion/SpokenText.h"
#include "util/Utf.h"

namespace ekoto {
namespace {

TEST(ReadingNotationTest, SaysRubyForBaseAndDropsNotes) {
  const struct {
    std::u16string shown;
    std::u16string said;
  } rows[] = {
      {.shown = u"天地｜開闢《かいびゃく》の頃《ころ》おい", .said = u"天地かいびゃくのころおい"},
      {.shown = u"冷《ひ》いやりとした風", .said = u"ひいやりとした風"},
      {.shown = u"関ヶ原《せきがはら》へ", .said = u"せきがはらへ"},
      {.shown = u"ひらがな《ヒラガナ》とカタカナ《かたかな》", .said = u"ヒラガナとかたかな"},
      {.shown = u"第3《さん》章、ABC《エービーシー》", .said = u"第さん章、エービーシー"},
      {.shown = u"これは《《大事》》です", .said = u"これは大事です"},
      {.shown = u"［＃地から２字上げ］（昭和二十一年一月）", .said = u"（昭和二十一年一月）"},
      {.shown = u"一［＃「一」は中見出し］", .said = u"一"},
      {.shown = u"［＃「［」、括弧］あ", .said = u"あ"},  // brackets inside a note
      {.shown = u"※［＃「日＋向」、第3水準1-85-25］の", .said = u"晌の"},
      {.shown = u"※［＃「口＋世」、U+546D、123-4］", .said = u"呭"},
      {.shown = u"※［＃「外字」、第4水準2-94-86］", .said = u"\U0002A6B2"},  // a plane-2 character past the BMP
      {.shown = u"※［＃ローマ数字1、1-13-21］", .said = u"Ⅰ"},
      // A character given by a note belongs to the base with the kanji around it.
      {.shown = u"且※［＃「革＋是」、第3水準1-93-79］侯《そていこう》単于", .said = u"そていこう単于"},
      {.shown = u"は顳※［＃「需＋頁」、第3水準1-94-6］《こめかみ》を", .said = u"はこめかみを"},
      {.shown = u"※［＃「口＋世」、123-4］字", .said = u"字"},  // no code: the character cannot be said
      {.shown = u"漢字［＃傍点］《かんじ》", .said = u"漢字《かんじ》"},  // nothing of one kind before 《
      // Not notation: kept as written.
      {.shown = u"《三国志》を読む", .said = u"《三国志》を読む"},
      {.shown = u"漢字《かん\nじ》", .said = u"漢字《かん\nじ》"},
      {.shown = u"a｜b and ｜《x》", .said = u"a｜b and ｜《x》"},
      {.shown = u"［＃閉じない", .said = u"［＃閉じない"},
      {.shown = u"今日は良い天気です。", .said = u"今日は良い天気です。"},
  };
  for (const auto& row : rows) EXPECT_EQ(Utf16ToUtf8(SpokenTextOf(row.shown)), Utf16ToUtf8(row.said)) << Utf16ToUtf8(row.shown);
}

std::vector<std::u16string> Sentences(const std::u16string& text) {
  std::vector<std::u16string> out;
  for (const TextSpan& span : ReadSentenceSpans(text)) out.push_back(text.substr(span.lStart, span.lLength));
  return out;
}

TEST(ReadingNotationTest, SentencesAreNotCutInsideNotation) {
  const std::u16string sRuby = u"｜一二三四五六七八九十《いち、に、さん、し、ご、ろく、しち、はち、く、じゅう》";
  const std::u16string sLong = std::u16string(45, u'あ') + sRuby + u"。";
  const struct {
    std::u16string text;
    std::vector<std::u16string> sentences;
  } rows[] = {
      {.text = u"※［＃「日＋向」、第3水準1-85-25］だ。次", .sentences = {u"※［＃「日＋向」、第3水準1-85-25］だ。", u"次"}},
      {.text = u"彼《かれ、かの》は。", .sentences = {u"彼《かれ、かの》は。", u""}},
      // A cut for length moves to the start of the ruby's base.
      {.text = sLong, .sentences = {std::u16string(45, u'あ'), sRuby + u"。", u""}},
      {.text = std::u16string(48, u'か') + u"漢字《かんじ》。", .sentences = {std::u16string(48, u'か'), u"漢字《かんじ》。", u""}},
  };
  for (const auto& row : rows) EXPECT_EQ(Sentences(row.text), row.sentences) << Utf16ToUtf8(row.text);
}

// A cut for length counts what is said, so it falls where it would in the text
// written out; inside what an element says it moves before the element.
TEST(ReadingNotationTest, CutsCountWhatIsSaid) {
  const struct {
    std::u16string text;
    int32_t nSaid;
    int32_t lCut;
  } rows[] = {
      {.text = u"あいうえお", .nSaid = 2, .lCut = 2},
      {.text = u"漢字《かんじ》です", .nSaid = 3, .lCut = 7},          // after the ruby: かんじ
      {.text = u"漢字《かんじ》です", .nSaid = 4, .lCut = 8},
      {.text = u"あ漢字《かんじ》です", .nSaid = 2, .lCut = 1},        // inside かんじ: before the base
      {.text = u"漢字《かんじ》です", .nSaid = 2, .lCut = 7},          // the element opens the piece: after it
      {.text = u"あ［＃注］いう", .nSaid = 2, .lCut = 6},              // a note says nothing
      {.text = u"あ※［＃「口＋世」、U+546D］い", .nSaid = 2, .lCut = 17},
      {.text = u"あい", .nSaid = 5, .lCut = 2},                         // says less: the end
      {.text = u"あ漢※［＃「口＋世」、U+546D］《かんじ》い", .nSaid = 3, .lCut = 1},  // base: kanji and the note
  };
  for (const auto& row : rows) {
    EXPECT_EQ(CutAtSaidLength(row.text, 0, static_cast<int32_t>(row.text.size()), row.nSaid), row.lCut)
        << Utf16ToUtf8(row.text) << " " << row.nSaid;
  }
}

const std::u16string kAozoraFile =
    u"桃太郎\r\n芥川龍之介\r\n\r\n-------------------------------------------------------\r\n"
    u"【テキスト中に現れる記号について】\r\n\r\n《》：ルビ\r\n（例）桃《もも》\r\n"
    u"-------------------------------------------------------\r\n\r\n"
    u"［＃８字下げ］一［＃「一」は中見出し］\r\n　むかし、※［＃「日＋向」、第3水準1-85-25］。\r\n"
    u"［＃５字下げ］［＃大見出し］二　｜鬼《おに》［＃大見出し終わり］\r\n　鬼が島。\r\n\r\n\r\n"
    u"底本：「芥川龍之介全集5」ちくま文庫、筑摩書房\r\n入力：j.utiyama\r\n";

TEST(ReadingNotationTest, AozoraFileShowsChaptersAndSkipsHeaderAndColophon) {
  const BookText book = PrepareAozoraText(kAozoraFile);
  EXPECT_EQ(book.sText.find(u'\r'), std::u16string::npos);
  EXPECT_NE(book.sText.find(u"むかし、晌。"), std::u16string::npos);
  ASSERT_EQ(book.aChapters.size(), 2u);
  EXPECT_EQ(book.aChapters[0].sTitle, u"一");
  EXPECT_EQ(book.aChapters[0].nLevel, 2);
  EXPECT_EQ(book.sText.substr(book.aChapters[0].lOffset, 4), u"［＃８字");
  EXPECT_EQ(book.aChapters[1].sTitle, u"二　鬼");
  EXPECT_EQ(book.aChapters[1].nLevel, 1);
  EXPECT_EQ(book.sText.substr(book.aChapters[1].lOffset, 4), u"［＃５字");

  std::u16string said;
  for (const TextSpan& span : ReadSentenceSpans(kAozoraFile)) said += SaidSentence(kAozoraFile, span);
  EXPECT_EQ(Utf16ToUtf8(said), Utf16ToUtf8(u"桃太郎\r\n芥川龍之介\r\n\r\n\r\n一\r\n　むかし、晌。\r\n二　おに\r\n　鬼が島。\r\n\r\n\r\n"));
  // Not an Aozora Bunko file's parts: no closing dashed line, 底本： inside a line.
  EXPECT_TRUE(AozoraUnreadSpans(u"底本が無い。\n----------\n【テキスト中に現れる記号について】").empty());
  EXPECT_TRUE(AozoraUnreadSpans(u"本文。その底本：「本」\n").empty());
  const std::u16string sLate = u"本文\n" + std::u16string(30000, u'あ') + u"\n底本：「本」\n";
  const std::vector<TextSpan> late = AozoraUnreadSpans(sLate);
  ASSERT_EQ(late.size(), 1u);
  EXPECT_EQ(late[0].lStart, 30004);
}

TEST(ReadingNotationTest, HeadingsMarkedByNotesAreChapters) {
  const struct {
    std::u16string text;
    std::vector<std::pair<std::u16string, int>> chapters;  // title, level
  } rows[] = {
      {u"第一［＃「第一」は大見出し］\n本文\n二［＃「二」は小見出し］", {{u"第一", 1}, {u"二", 3}}},
      {u"［＃ここから中見出し］\n上　｜巻《まき》\n［＃ここで中見出し終わり］", {{u"上　巻", 2}}},
      {u"［＃窓中見出し］窓［＃窓中見出し終わり］本文", {{u"窓", 2}}},
      {u"序［＃「序」は同行大見出し］本文", {{u"序", 1}}},
      {u"［＃「本文」に傍点］本文［＃大見出し］閉じない", {}},
  };
  for (const auto& row : rows) {
    std::vector<std::pair<std::u16string, int>> chapters;
    for (const Chapter& chapter : PrepareAozoraText(row.text).aChapters) chapters.emplace_back(chapter.sTitle, chapter.nLevel);
    EXPECT_EQ(chapters, row.chapters) << Utf16ToUtf8(row.text);
  }
}

TEST(OldKanaUsageTest, OnlyParagraphsWithClearSignsAreOld) {
  const struct {
    std::u16string paragraph;
    bool bOld;
  } rows[] = {
      {u"さうして彼は居た。", true},     {u"思ふに、それは違ふ。", true},    {u"彼は行つたのだ。", true},
      {u"そこにゐる。", true},           {u"さうだらう。", true},            {u"言はれて困つた。", true},
      {u"よく考へると分る。", true},     {u"けふは雨だ。", true},            {u"今日は雨でせう。", true},
      {u"その時ふと思った。", false},    {u"東京へ行った。", false},         {u"私は泣かずに言った。", false},
      {u"一つて何だ。", false},          {u"歌はなかなか良い。", false},     {u"駅伝へ行く。", false},
      {u"駅へ向かうと言った。", false},  {u"親に逆らうとは。", false},       {u"人につたえる。", false},
      {u"かつて住まうと決めた。", false}, {u"歌ひとつ歌えない。", false},    {u"私はうれしい。", false},
      {u"もつと早く。", true},           {u"書かうとした。", true},          {u"名を変へる。", true},
  };
  for (const auto& row : rows) EXPECT_EQ(IsOldKanaParagraph(row.paragraph), row.bOld) << Utf16ToUtf8(row.paragraph);
}

TEST(OldKanaUsageTest, RespellsInTodaysKana) {
  const struct {
    std::u16string old;
    std::u16string modern;
  } rows[] = {
      {u"思ふに、言はれた通りに考へる", u"思うに、言われた通りに考える"},
      {u"行つたのでせう。ちよつと待つて", u"行ったのでしょう。ちょっと待って"},
      {u"さうだらう、かうして", u"そうだろう、こうして"},
      {u"ゐる、ゑがく、思はう", u"いる、えがく、思おう"},
      {u"けふ、てふてふ、くわじ", u"きょう、ちょうちょう、かじ"},
      {u"ひとつと、かつて、一つて", u"ひとつと、かつて、一つて"},
      {u"歌はなく、家へ帰る", u"歌はなく、家へ帰る"},
      {u"違ひない、向かふ、いふく", u"違いない、向かう、いふく"},
      {u"しやうがない、やうやく", u"しょうがない、ようやく"},
      {u"もらはう、いづれ、互ひに", u"もらおう、いずれ、互いに"},
  };
  for (const auto& row : rows) EXPECT_EQ(Utf16ToUtf8(ModernKanaSpelling(row.old)), Utf16ToUtf8(row.modern));
}

}  // namespace
}  // namespace ekoto
