#include <gtest/gtest.h>

#include <string>

#include "PaTestFiles.h"
#include "conversion/AccentNotation.h"
#include "conversion/ConvTemplete.h"
#include "conversion/TempleteAccent.h"
#include "conversion/TempleteFile.h"
#include "conversion/WordList.h"
#include "util/Utf.h"

namespace ekoto {
namespace {

// Entries as "from→to" joined by "|".
std::string Describe(const CConvTemplete& table) {
  std::string out;
  for (const TempleteEntry& e : table.Entries()) out += (out.empty() ? "" : "|") + Utf16ToUtf8(e.sFrom) + "→" + Utf16ToUtf8(e.sTo);
  return out;
}

TEST(TempleteTest, LinesMakeEntriesLongestFirst) {
  const std::pair<const char*, const char*> rows[] = {
      {"//コメント\n  //x\ty\n\tb\nno tab here\n   ", ""},
      {"abc\tx\ty", "abc→xy"},
      {" a\tb", " a→b"},
      {"x\t", "x→"},
      {"a/\t//b", "a/→//b"},
      // Lines end at CR LF and at a bare LF; a lone CR belongs to the line.
      {"a\tb\r\nc\td\n\r\n\ne\tf", "a→b|c→d|e→f"},
      {"a\tb\rc\td", "a→b\rcd"},
      // Longest text to find first; equal lengths keep their order in the file.
      {"b\t1\nab\t2\nc\t3\ncd\t4\nabc\t5\na\t6", "abc→5|ab→2|cd→4|b→1|c→3|a→6"},
  };
  for (const auto& [file, entries] : rows) {
    CConvTemplete table;
    table.LoadFromText(Utf8ToUtf16(file));
    EXPECT_EQ(Describe(table), entries) << file;
  }
}

TEST(TempleteTest, Replaces) {
  const struct {
    const char* file;
    const char* input;
    const char* output;
  } rows[] = {
      {"東京\tとうきょう\n東京都\tとうきょうと", "東京都の東京", "とうきょうとのとうきょう"},
      {"aa\tb", "aaaaa", "bba"},
      {"a\taa", "aa", "aaaa"},  // a replacement is not scanned again by its own entry
      {"x\t", "xyx", "y"},
      {"𠮷\tよし", "𠮷野家と𠮷", "よし野家とよし"},
      {"abc\txyz\nxy\tQ", "abc", "Qz"},  // each entry works on what the ones before produced
      {"b\tc\nc\td", "abc", "add"},
      // Case is ignored, width is not; folds that change length never cut a character.
      {"abc\tx", "ABC aBc ａｂｃ", "x x ａｂｃ"},
      {"Σ\ts", "σς", "ss"},
      {"straße\tstreet", "STRASSE", "street"},
      {"strasse\tstreet", "Straße", "street"},
      {"ss\tX", "aßb", "aXb"},
      {"s\tX", "ß", "ß"},
      {"b\tQ", "ßßBßb", "ßßQßQ"},
      {"ﬃ\tF", "xFFIx", "xFx"},
  };
  for (const auto& row : rows) {
    CConvTemplete table;
    table.LoadFromText(Utf8ToUtf16(row.file));
    EXPECT_EQ(Utf16ToUtf8(table.Apply(Utf8ToUtf16(row.input))), row.output) << row.file << " on " << row.input;
    EXPECT_EQ(Utf16ToUtf8(table.ApplyTryingEveryEntry(Utf8ToUtf16(row.input))), row.output) << row.file;
  }
}

// Entries as the reader applies them, with the fields of "//@" lines.
std::string DescribeFields(const CConvTemplete& table) {
  std::string out;
  for (const TempleteEntry& e : table.Entries()) {
    out += (out.empty() ? "" : "|") + Utf16ToUtf8(e.sFrom) + "→" + Utf16ToUtf8(e.sTo);
    if (!e.sAccent.empty()) out += " accent " + Utf16ToUtf8(e.sAccent);
    if (!e.sNote.empty()) out += " note " + Utf16ToUtf8(e.sNote);
    if (e.bWholeWord) out += " word";
  }
  return out;
}

TEST(TempleteTest, DictionaryFields) {
  const struct {
    const char* file;
    const char* entries;
  } rows[] = {
      {.file = "//@\tword\taccent=み[たか\tnote=東京の市\n三鷹\tみたか", .entries = "三鷹→みたか accent み[たか note 東京の市 word"},
      // Katakana readings and marks on the entry line of the window's entries; plain entries stay as written.
      {.file = "//@\n東京\tト[ーキョー\nABC\tエービーシー", .entries = "ABC→エービーシー|東京→とーきょー accent ト[ーキョー"},
      // An accent that no longer spells the reading was left behind by a hand edit.
      {.file = "//@ \taccent=み[たか \nX\tみたけ", .entries = "X→みたけ"},
      // Fields reach only the line right after them; unknown fields are ignored.
      {.file = "//@\tword\n\n甲\tこう\n//@\tcolour=red\t word \n乙\tおつ", .entries = "甲→こう|乙→おつ word"},
      {.file = "//@\tword\n//x\n丙\tへい", .entries = "丙→へい"},
  };
  for (const auto& row : rows) {
    CConvTemplete table;
    table.LoadFromText(Utf8ToUtf16(row.file));
    EXPECT_EQ(DescribeFields(table), row.entries) << row.file;
  }
}

// A file's lines join back byte for byte, and entries the window writes read
// back as they were.
TEST(TempleteTest, LinesRoundTrip) {
  for (const char* file : {"", "a\tb", "a\tb\r\n", "//x\r\na\tb\n\nc\td", "x\ry\n", "\n\n"}) {
    EXPECT_EQ(Utf16ToUtf8(JoinTempleteLines(ParseTempleteLines(Utf8ToUtf16(file)))), file);
  }
  const TempleteEntry entries[] = {
      {.sFrom = u"三鷹", .sTo = u"みたか", .sAccent = u"み[たか", .sNote = u"市", .bWholeWord = true, .bDictionary = true},
      {.sFrom = u" a", .sTo = u"", .sAccent = u"", .sNote = u"", .bWholeWord = false, .bDictionary = true},
      {.sFrom = u"b", .sTo = u"c", .sAccent = u"", .sNote = u"", .bWholeWord = false, .bDictionary = false},
  };
  for (const TempleteEntry& entry : entries) {
    std::u16string text;
    for (const std::u16string& line : TempleteEntryLines(entry)) text += line + u"\r\n";
    const TempleteLines lines = ParseTempleteLines(text);
    ASSERT_EQ(lines.entries.size(), 1U) << Utf16ToUtf8(text);
    EXPECT_EQ(lines.entries[0].entry, entry) << Utf16ToUtf8(text);
  }
}

// Whole-word entries: a name inside a longer word the analyser finds stays.
TEST(TempleteTest, WholeWords) {
  const struct {
    const char* file;
    const char* input;
    const char* output;
  } rows[] = {
      {.file = "//@\tword\n京\tみやこ", .input = "東京に行く。京の都。", .output = "東京に行く。みやこの都。"},
      {.file = "京\tみやこ", .input = "東京に行く", .output = "東みやこに行く"},
      {.file = "//@\tword\n三鷹\tみたか", .input = "三鷹市と三鷹", .output = "みたか市とみたか"},
      // After a whole-word entry was refused, a plain one still applies there.
      {.file = "//@\tword\n京\tみやこ\n東\tひがし", .input = "東京", .output = "ひがし京"},
  };
  for (const auto& row : rows) {
    CConvTemplete table;
    table.LoadFromText(Utf8ToUtf16(row.file));
    EXPECT_EQ(Utf16ToUtf8(table.Apply(Utf8ToUtf16(row.input))), row.output) << row.file << " on " << row.input;
  }
}

// The program's table is read from a file (CP932 or UTF-8) at every play: a
// missing file keeps what it had, an empty one empties it.
TEST(TempleteTest, ProgramTableFollowsFiles) {
  testing::ScratchDir dir;
  testing::WriteString(dir.Path("sjis.txt"), "// \x92\x6e\x96\xbc\r\n\x93\x8c\x8b\x9e\t\x82\xc6\x82\xa4\x82\xab\x82\xe5\x82\xa4\r\n");
  testing::WriteString(dir.Path("empty.txt"), "");
  EXPECT_EQ(ConvTemplete(u"東京"), u"東京");
  LoadConvTemplete(dir.Path16("sjis.txt"));
  EXPECT_EQ(ConvTemplete(u"東京へ"), u"とうきょうへ");
  CConvTemplete table;
  EXPECT_FALSE(table.Load(dir.Path16("missing.txt")));
  LoadConvTemplete(dir.Path16("missing.txt"));
  LoadConvTemplete(u"");
  EXPECT_EQ(ConvTemplete(u"東京へ"), u"とうきょうへ");
  LoadConvTemplete(dir.Path16("empty.txt"));
  EXPECT_EQ(ConvTemplete(u"東京へ"), u"東京へ");
}

// Plans every sentence as plan, as a stand-in for the estimator.
struct FixedAccent : IAccentSource {
  AccentPlan plan;
  AccentPlan PlanAccent(const std::u16string&, const std::u16string&, const std::u16string&) override { return plan; }
};

// An entry's accent marks over the estimator's plan of the sentence the template made.
TEST(TempleteTest, AccentMarksOverrideTheirMorae) {
  const char* kFalls = "//@\taccent=み]たか\n三鷹\tみたか\n";
  const struct {
    const char *templete, *sentence, *inner, *expected;
  } rows[] = {
      // At the start; its particle low after the fall.
      {.templete = kFalls, .sentence = "みたかに行く", .inner = "^み[たかに#い[く$", .expected = "^み]たかに#い[く$"},
      // Flat, in the middle: high up to the estimator's fall in its particles.
      {.templete = "//@\taccent=み[たか\n三鷹\tみたか\n", .sentence = "今日はみたかです", .inner = "^きょ]ーわ#み]たかで]す$", .expected = "^きょ]ーわ#み[たかで]す$"},
      // At the end, inside the estimator's phrase: a phrase of its own.
      {.templete = kFalls, .sentence = "東京のみたか", .inner = "^と[ーきょーのみたか$", .expected = "^と[ーきょーの#み]たか$"},
      // Twice; the estimator's fall inside it gives way.
      {.templete = kFalls, .sentence = "みたか駅からみたかまで", .inner = "^み[たか]えきから#み[たかまで$", .expected = "^み]たかえきから#み]たかまで$"},
      // Said with long vowels where the entry writes う; marks between phrases.
      {.templete = "//@\taccent=ちゅ]うおう#せ[ん\n中央線\tちゅうおうせん\n", .sentence = "ちゅうおうせんで", .inner = "^ちゅ[ーおーせんで$", .expected = "^ちゅ]ーおー#せ[んで$"},
      // A kanji said the same elsewhere: the kana between tell which one the entry made, or nothing does.
      {.templete = "//@\taccent=は[し\n橋\tはし\n", .sentence = "はしを走る", .inner = "^は]しを#は[し]る$", .expected = "^は[しを#は[し]る$"},
      {.templete = "//@\taccent=は[し\n橋\tはし\n", .sentence = "端はし", .inner = "^は]し#は]し$", .expected = "^は]し#は]し$"},
      // The longer entry first; the shorter one inside it stays out.
      {.templete = "//@\taccent=み]たか\n三鷹\tみたか\n//@\taccent=み[たかえ]き\n三鷹駅\tみたかえき\n", .sentence = "みたかえきで", .inner = "^み]たかえきで$", .expected = "^み[たかえ]きで$"},
      // No marks: a plain entry, the window's without them, marks that no longer spell the reading.
      {.templete = "三鷹\tみたか\n", .sentence = "みたかに行く", .inner = "^み[たかに#い[く$", .expected = "^み[たかに#い[く$"},
      {.templete = "//@\tword\n三鷹\tみたか\n//@\taccent=み]たけ\n三鷹市\tみたかし\n", .sentence = "みたかし", .inner = "^み[たかし$", .expected = "^み[たかし$"},
      {.templete = kFalls, .sentence = "みたか", .inner = "", .expected = "^$"},
  };
  for (const auto& row : rows) {
    CConvTemplete table;
    table.LoadFromText(Utf8ToUtf16(row.templete));
    FixedAccent inner;
    inner.plan = ParseAccentNotation(Utf8ToUtf16(row.inner));
    const AccentPlan plan = CTempleteAccent(inner, table).PlanAccent(u"", Utf8ToUtf16(row.sentence), u"");
    EXPECT_EQ(Utf16ToUtf8(FormatAccentNotation(plan)), row.expected) << row.sentence;
  }
}

// Shared word lists: both separators, both encodings, and hostile lists that
// end at once with a message.
TEST(TempleteTest, WordLists) {
  std::string million;
  for (int i = 0; i < 1000000; ++i) million += "a\tb\n";
  const struct {
    std::string bytes;
    const char* entries;
    size_t nSkipped;
    const char* error;
  } rows[] = {
      {.bytes = "表記,読み,注釈\r\n三鷹,ミタカ,市\r\n\"a,\"\"b\"\"\",え[ー,\n", .entries = "三鷹→ミタカ|a,\"b\"→えー", .nSkipped = 0, .error = ""},
      {.bytes = "\x8e\x4f\x91\xe9\t\x82\xdd\x82\xbd\x82\xa9\nx\n\t\x82\xa0", .entries = "三鷹→みたか", .nSkipped = 2, .error = ""},
      {.bytes = "a\tb\n" + std::string(5000, 'x') + "\tlong\n", .entries = "a→b", .nSkipped = 1, .error = ""},
      {.bytes = std::string("a\tb\0\x01", 5), .entries = "", .nSkipped = 0, .error = "文字の一覧ではありません。"},
      {.bytes = million, .entries = "", .nSkipped = 0, .error = "語が多すぎます (10 万語まで)。"},
  };
  for (const auto& row : rows) {
    const WordListRead list = ReadWordList(row.bytes);
    CConvTemplete table;
    table.LoadEntries(list.entries);
    std::string entries;
    for (const TempleteEntry& e : list.entries) entries += (entries.empty() ? "" : "|") + Utf16ToUtf8(e.sFrom) + "→" + Utf16ToUtf8(e.sTo);
    EXPECT_EQ(entries, row.entries) << row.bytes.substr(0, 40);
    EXPECT_EQ(list.nSkipped, row.nSkipped) << row.bytes.substr(0, 40);
    EXPECT_EQ(Utf16ToUtf8(list.sError), row.error) << row.bytes.substr(0, 40);
  }
  // What is written reads back, accent marks and commas included.
  const std::vector<TempleteEntry> entries = ReadWordList(rows[0].bytes).entries;
  for (const WordListFormat format : {WordListFormat::kTsvUtf8, WordListFormat::kCsvUtf8, WordListFormat::kCsvCp932}) {
    std::string bytes;
    ASSERT_TRUE(WriteWordList(entries, format, bytes));
    EXPECT_EQ(ReadWordList(bytes).entries, entries) << bytes;
  }
  std::string bytes;
  EXPECT_FALSE(WriteWordList({DictionaryEntry(u"𠮷", u"よし", u"", false)}, WordListFormat::kCsvCp932, bytes));
}

}  // namespace
}  // namespace ekoto
