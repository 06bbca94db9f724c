// The CP932 / UTF-8 text codec of src/util/Cp932.h.
#include "util/Cp932.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace ekoto {
namespace {

std::string Bytes(std::initializer_list<int> values) {
  std::string s;
  for (int v : values) s.push_back(static_cast<char>(v));
  return s;
}

// "日本語のテキスト" in CP932.
const std::string kNihongoCp932 = Bytes({0x93, 0xFA, 0x96, 0x7B, 0x8C, 0xEA, 0x82, 0xCC, 0x83, 0x65, 0x83, 0x4C,
                                         0x83, 0x58, 0x83, 0x67});
// The same in UTF-8.
const std::string kNihongoUtf8 = "\xE6\x97\xA5\xE6\x9C\xAC\xE8\xAA\x9E\xE3\x81\xAE\xE3\x83\x86\xE3\x82\xAD\xE3\x82\xB9\xE3\x83\x88";

TEST(Cp932, AsciiIsAsciiExactly) {
  // Every byte 0x00-0x7F is its own character: 0x5C is the backslash (not yen),
  // 0x7E the tilde, and 0x1A, 0x1C, 0x7F are not swapped as in ICU's IBM table.
  std::string all;
  std::u16string expected;
  for (int b = 0; b < 0x80; ++b) {
    all.push_back(static_cast<char>(b));
    expected.push_back(static_cast<char16_t>(b));
  }
  EXPECT_EQ(DecodeCp932(all), expected);
  auto back = EncodeCp932(expected);
  ASSERT_TRUE(back.has_value());
  EXPECT_EQ(*back, all);
  EXPECT_EQ(DecodeCp932("\x1A\x1C\x7F"), std::u16string(u"\u001A\u001C\u007F"));
  EXPECT_EQ(EncodeCp932(u"\u001A\u001C\u007F"), std::optional<std::string>("\x1A\x1C\x7F"));
  EXPECT_EQ(EncodeCp932(u""), std::optional<std::string>(""));  // empty, not "no form"
  EXPECT_EQ(DecodeCp932(""), u"");
}

TEST(Cp932, WindowsMappings) {
  EXPECT_EQ(DecodeCp932(Bytes({0x81, 0x60})), u"\uFF5E");  // full-width tilde, not wave dash
  EXPECT_EQ(DecodeCp932(Bytes({0x81, 0x5C})), u"\u2015");
  EXPECT_EQ(DecodeCp932(Bytes({0x87, 0x40})), u"\u2460");  // NEC special: circled 1
  EXPECT_EQ(DecodeCp932(Bytes({0xFA, 0x40})), u"\u2170");  // IBM extension: small roman 1
  EXPECT_EQ(DecodeCp932(Bytes({0xED, 0x40})), u"\u7E8A");  // NEC-selected IBM extension
  EXPECT_EQ(DecodeCp932(Bytes({0xB1, 0xDE})), u"\uFF71\uFF9E");  // half-width katakana
  // Windows' single bytes outside the table.
  EXPECT_EQ(DecodeCp932(Bytes({0x80, 0xA0, 0xFD, 0xFE, 0xFF})), u"\u0080\uF8F0\uF8F1\uF8F2\uF8F3");
  EXPECT_EQ(EncodeCp932(u"\u0080\uF8F0\uF8F1\uF8F2\uF8F3"), Bytes({0x80, 0xA0, 0xFD, 0xFE, 0xFF}));
  EXPECT_EQ(EncodeCp932(u"\uFF5E"), Bytes({0x81, 0x60}));
  EXPECT_EQ(EncodeCp932(u"\u2252"), Bytes({0x81, 0xE0}));  // the JIS form, not NEC's 0x8790
  EXPECT_EQ(EncodeCp932(u"\\~"), std::optional<std::string>("\\~"));
}

TEST(Cp932, InvalidBytesBecomeReplacementCharacters) {
  EXPECT_EQ(DecodeCp932(Bytes({0x41, 0x81})), u"A\uFFFD");        // lead byte at the end
  EXPECT_EQ(DecodeCp932(Bytes({0x85, 0x40, 0x41})), u"\uFFFDA");  // unassigned pair
  const std::u16string bad = DecodeCp932(Bytes({0x81, 0x20}));    // bad trail byte
  ASSERT_FALSE(bad.empty());
  EXPECT_EQ(bad.front(), u'\uFFFD');
  EXPECT_EQ(bad.back(), u' ');
}

TEST(Cp932, NoCp932FormGivesNullopt) {
  EXPECT_FALSE(EncodeCp932(u"😀").has_value());
  EXPECT_FALSE(EncodeCp932(u"𠮷野家").has_value());
  EXPECT_FALSE(EncodeCp932(u"日本\u301C").has_value());  // wave dash: only U+FF5E maps
  EXPECT_FALSE(EncodeCp932(u"\u00A5").has_value());      // yen sign: no best-fit to 0x5C
  EXPECT_FALSE(EncodeCp932(std::u16string(1, u'\xD800')).has_value());  // unpaired surrogate
  EXPECT_FALSE(EncodeCp932(u"abc" + std::u16string(1, u'\xDC00')).has_value());
}

struct DetectCase {
  const char* name;
  std::string bytes;
  std::u16string text;
};

TEST(DecodeTextBytes, DetectionTable) {
  const std::vector<DetectCase> cases = {
      {"empty", "", u""},
      {"BOM only", "\xEF\xBB\xBF", u""},
      {"BOM and Japanese", "\xEF\xBB\xBF" + kNihongoUtf8, u"日本語のテキスト"},
      {"BOM and ill-formed UTF-8", "\xEF\xBB\xBF" "a\xFF" "b", u"a\uFFFDb"},
      {"BOM and CP932 bytes stay UTF-8", "\xEF\xBB\xBF" + kNihongoCp932.substr(0, 2), u"\uFFFD\uFFFD"},
      {"UTF-16LE with BOM", std::string("\xFF\xFE" "\xE5\x65" "a\0", 6), u"日a"},
      {"UTF-16BE with BOM, odd last byte", std::string("\xFE\xFF" "\x65\xE5" "\0a" "x", 7), u"日a\uFFFD"},
      {"plain ASCII", "x=1\\path~\r\n", u"x=1\\path~\r\n"},
      {"valid UTF-8 Japanese", kNihongoUtf8, u"日本語のテキスト"},
      {"CP932 Japanese, invalid UTF-8", kNihongoCp932, u"日本語のテキスト"},
      {"CP932 with ASCII", "a=" + kNihongoCp932 + "\r\n", u"a=日本語のテキスト\r\n"},
      // Overlong and surrogate forms are not UTF-8: CP932 decides.
      {"overlong slash is not UTF-8", "\xC0\xAF", u"\uFF80\uFF6F"},
      // ED A0 is a CP932 pair (U+605D), 80 is U+0080 in Windows' table.
      {"encoded surrogate is not UTF-8", "\xED\xA0\x80", u"\u605D\u0080"},
      // CP932 bytes that happen to be well-formed UTF-8 are read as UTF-8:
      // "ﾃｩ" (C3 A9) is "é". The rule's known ambiguity, rare in practice.
      {"CP932 that is valid UTF-8 by chance", "\xC3\xA9", u"é"},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(DecodeTextBytes(c.bytes), c.text) << c.name;
  }
}

TEST(EncodeTextBytes, Cp932WhenPossibleElseUtf8WithBom) {
  EXPECT_EQ(EncodeTextBytes(u""), "");
  EXPECT_EQ(EncodeTextBytes(u"plain\r\n"), "plain\r\n");
  EXPECT_EQ(EncodeTextBytes(u"日本語のテキスト"), kNihongoCp932);
  EXPECT_EQ(EncodeTextBytes(u"😀"), "\xEF\xBB\xBF\xF0\x9F\x98\x80");
  // One character outside CP932 makes the whole text UTF-8.
  EXPECT_EQ(EncodeTextBytes(u"日本語のテキスト😀"), "\xEF\xBB\xBF" + kNihongoUtf8 + "\xF0\x9F\x98\x80");
  // An unpaired surrogate cannot be kept in UTF-8 either.
  EXPECT_EQ(EncodeTextBytes(std::u16string(1, u'\xD800')), "\xEF\xBB\xBF\xEF\xBF\xBD");
}

TEST(Cp932, LargeInputCrossesChunkBoundaries) {
  // 1 MiB pieces inside: put double-byte characters across the boundary.
  std::u16string text = u"a";
  while (text.size() < 1'500'000) text += u"あ漢ｶ";
  const auto bytes = EncodeCp932(text);
  ASSERT_TRUE(bytes.has_value());
  EXPECT_EQ(DecodeCp932(*bytes), text);
  EXPECT_EQ(DecodeTextBytes(*bytes), text);

  std::u16string wide = u"a";
  while (wide.size() < 1'500'000) wide += u"😀あ";
  const std::string utf8 = EncodeTextBytes(wide);
  ASSERT_EQ(utf8.substr(0, 3), "\xEF\xBB\xBF");
  EXPECT_EQ(DecodeTextBytes(utf8), wide);
  EXPECT_EQ(DecodeTextBytes(utf8.substr(3)), wide);
}

}  // namespace
}  // namespace ekoto
