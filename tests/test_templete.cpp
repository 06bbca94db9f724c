#include <gtest/gtest.h>

#include <string>

#include "PaTestFiles.h"
#include "conversion/ConvTemplete.h"
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

}  // namespace
}  // namespace ekoto
