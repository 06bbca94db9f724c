#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <string>

#include "conversion/ConvTemplete.h"
#include "util/Utf.h"

namespace ekoto {
namespace {

// Entries as "from→to" joined by "|", tabs and CRs made visible.
std::string Describe(const CConvTemplete& table) {
  std::string out;
  for (const TempleteEntry& e : table.Entries()) {
    if (!out.empty()) out += '|';
    out += Utf16ToUtf8(e.sFrom) + "→" + Utf16ToUtf8(e.sTo);
  }
  return out;
}

struct ParseCase {
  const char* file;
  const char* entries;
};

void PrintTo(const ParseCase& c, std::ostream* os) { *os << c.file; }

class TempleteParseTest : public ::testing::TestWithParam<ParseCase> {};

TEST_P(TempleteParseTest, MakesEntries) {
  CConvTemplete table;
  table.LoadFromText(Utf8ToUtf16(GetParam().file));
  EXPECT_EQ(Describe(table), GetParam().entries) << GetParam().file;
}

INSTANTIATE_TEST_SUITE_P(
    Lines, TempleteParseTest,
    ::testing::Values(ParseCase{"", ""}, ParseCase{"//コメント", ""}, ParseCase{"  //x\ty", ""},
                      ParseCase{"abc\tx\ty", "abc→xy"}, ParseCase{" a\tb", " a→b"}, ParseCase{"\tb", ""},
                      ParseCase{"x\t", "x→"}, ParseCase{"no tab here", ""}, ParseCase{"   ", ""},
                      ParseCase{"a/\t//b", "a/→//b"}, ParseCase{"a\tb\r\na\tb", "a→b|a→b"},
                      // Lines end at CR LF and at a bare LF; a lone CR belongs to the line.
                      ParseCase{"a\tb\r\nc\td\r\n", "a→b|c→d"}, ParseCase{"a\tb\nc\td\n", "a→b|c→d"},
                      ParseCase{"a\tb\n\r\n\nc\td", "a→b|c→d"}, ParseCase{"a\tb\rc\td", "a→b\rcd"},
                      ParseCase{"//a\tb\r\n東京\tとうきょう\r\n", "東京→とうきょう"}));

// Longest text to find first; equal lengths keep their order in the file.
INSTANTIATE_TEST_SUITE_P(Order, TempleteParseTest,
                         ::testing::Values(ParseCase{"b\t1\nab\t2\nc\t3\ncd\t4\nabc\t5\na\t6",
                                                     "abc→5|ab→2|cd→4|b→1|c→3|a→6"}));

struct ApplyCase {
  const char* file;
  const char* input;
  const char* output;
};

void PrintTo(const ApplyCase& c, std::ostream* os) { *os << c.file << " on " << c.input; }

class TempleteApplyTest : public ::testing::TestWithParam<ApplyCase> {};

TEST_P(TempleteApplyTest, Replaces) {
  CConvTemplete table;
  table.LoadFromText(Utf8ToUtf16(GetParam().file));
  EXPECT_EQ(Utf16ToUtf8(table.Apply(Utf8ToUtf16(GetParam().input))), GetParam().output)
      << GetParam().file << " on " << GetParam().input;
}

INSTANTIATE_TEST_SUITE_P(
    Replacing, TempleteApplyTest,
    ::testing::Values(ApplyCase{"", "そのまま", "そのまま"}, ApplyCase{"\tb", "abc", "abc"},
                      ApplyCase{"東京\tとうきょう\n東京都\tとうきょうと", "東京都の東京",
                                "とうきょうとのとうきょう"},
                      ApplyCase{"b\t2\nab\t1", "abb", "12"}, ApplyCase{"aa\tb", "aaaaa", "bba"},
                      // A replacement that holds its own text to find is not scanned again.
                      ApplyCase{"a\taa", "aa", "aaaa"}, ApplyCase{"x\t", "xyx", "y"},
                      ApplyCase{"𠮷\tよし", "𠮷野家と𠮷", "よし野家とよし"},
                      // Each entry works on what the entries before it produced.
                      ApplyCase{"abc\txyz\nxy\tQ", "abc", "Qz"},
                      ApplyCase{"b\tc\nc\td", "abc", "add"}));

INSTANTIATE_TEST_SUITE_P(
    IgnoringCase, TempleteApplyTest,
    ::testing::Values(ApplyCase{"abc\tx", "ABC aBc abc", "x x x"}, ApplyCase{"ABC\tx", "abc", "x"},
                      ApplyCase{"ａｂｃ\tx", "ＡＢＣ", "x"}, ApplyCase{"Σ\ts", "σς", "ss"},
                      // Width is not ignored: only case is.
                      ApplyCase{"abc\tx", "ａｂｃ", "ａｂｃ"},
                      // Folds that change length: ß is ss, and a match never cuts ß in two.
                      ApplyCase{"straße\tstreet", "STRASSE", "street"},
                      ApplyCase{"strasse\tstreet", "Straße", "street"}, ApplyCase{"ss\tX", "aßb", "aXb"},
                      ApplyCase{"s\tX", "ß", "ß"}, ApplyCase{"ßa\tZ", "xSSAy", "xZy"},
                      ApplyCase{"b\tQ", "ßßBßb", "ßßQßQ"}, ApplyCase{"ﬃ\tF", "xFFIx", "xFx"}));

class TempleteFileTest : public ::testing::Test {
 protected:
  void SetUp() override {
    m_dir = std::filesystem::temp_directory_path() /
            ("ekoto_templete_" + std::string(::testing::UnitTest::GetInstance()->current_test_info()->name()));
    std::filesystem::create_directories(m_dir);
  }
  void TearDown() override {
    LoadConvTemplete(Write("empty.txt", ""));  // leave the program's table empty for other tests
    std::filesystem::remove_all(m_dir);
  }
  std::u16string Write(const std::string& name, const std::string& bytes) {
    std::ofstream(m_dir / name, std::ios::binary) << bytes;
    return Utf8ToUtf16((m_dir / name).string());
  }
  std::u16string Missing() const { return Utf8ToUtf16((m_dir / "missing.txt").string()); }

  std::filesystem::path m_dir;
};

TEST_F(TempleteFileTest, LoadsFileWithCrLfLines) {
  CConvTemplete table;
  EXPECT_TRUE(table.Load(Write("t.txt", "// 地名\r\n東京\tとうきょう\r\n大阪\tおおさか\r\n")));
  EXPECT_EQ(Describe(table), "東京→とうきょう|大阪→おおさか");
}

TEST_F(TempleteFileTest, LoadsShiftJisFile) {
  CConvTemplete table;
  EXPECT_TRUE(table.Load(Write("sjis.txt", "\x93\x8c\x8b\x9e\t\x82\xc6\x82\xa4\x82\xab\x82\xe5\x82\xa4\r\n")));
  EXPECT_EQ(Describe(table), "東京→とうきょう");
}

TEST_F(TempleteFileTest, MissingFileKeepsTableAndEmptyFileEmptiesIt) {
  CConvTemplete table;
  ASSERT_TRUE(table.Load(Write("t.txt", "a\tb\n")));
  EXPECT_FALSE(table.Load(Missing()));
  EXPECT_FALSE(table.Load(u""));
  EXPECT_EQ(Describe(table), "a→b");
  EXPECT_TRUE(table.Load(Write("empty.txt", "")));
  EXPECT_EQ(Describe(table), "");
}

TEST_F(TempleteFileTest, ProgramTableFollowsLoads) {
  EXPECT_EQ(ConvTemplete(u"東京"), u"東京");
  LoadConvTemplete(Write("t.txt", "東京\tとうきょう\r\n"));
  EXPECT_EQ(ConvTemplete(u"東京へ"), u"とうきょうへ");
  LoadConvTemplete(Missing());
  LoadConvTemplete(u"");
  EXPECT_EQ(ConvTemplete(u"東京へ"), u"とうきょうへ");
  LoadConvTemplete(Write("empty.txt", ""));
  EXPECT_EQ(ConvTemplete(u"東京へ"), u"東京へ");
}

}  // namespace
}  // namespace ekoto
