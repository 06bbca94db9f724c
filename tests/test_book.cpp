// Books: the text of HTML pages (ruby as notation, blocks as lines, charsets),
// EPUB archives with their tables of contents, and hostile archives that must
// give a clear status and no text.
#include <gtest/gtest.h>

#include "EpubTestFiles.h"
#include "PaTestFiles.h"
#include "book/BookLoader.h"
#include "book/EpubReader.h"
#include "book/MarkupText.h"
#include "util/Cp932.h"
#include "util/Utf.h"

namespace ekoto {
namespace {

using testing::ZipBytes;
using testing::ZipEntries;

std::string Utf16Le(std::u16string_view s) {
  std::string out = "\xFF\xFE";
  for (const char16_t c : s) out += {static_cast<char>(c & 0xFF), static_cast<char>(c >> 8)};
  return out;
}

TEST(HtmlText, RubyBlocksWhiteSpaceAndCharsets) {
  struct Row {
    const char* sName;
    std::string sHtml;
    std::u16string sText;
  };
  const Row rows[] = {
      {.sName = "ruby, rp dropped", .sHtml = "<p><ruby>冷<rp>（</rp><rt>ひ</rt><rp>）</rp></ruby>いやり</p>", .sText = u"｜冷《ひ》いやり"},
      {.sName = "a ruby per base", .sHtml = "<ruby>漢<rt>かん</rt>字<rt>じ</rt></ruby>", .sText = u"｜漢《かん》｜字《じ》"},
      {.sName = "rb pairs in order", .sHtml = "<ruby><rb>東</rb><rb>京</rb><rt>とう</rt><rt>きょう</rt></ruby>です",
       .sText = u"｜東《とう》｜京《きょう》です"},
      {.sName = "base in an element", .sHtml = "<ruby><span>跋扈</span> <rt> ばっこ </rt></ruby>",
       .sText = u"｜跋扈《ばっこ》"},
      {.sName = "no ruby text", .sHtml = "<ruby>字<rt></rt></ruby>と<ruby>音</ruby>", .sText = u"字と音"},
      {.sName = "blocks, br, skipped parts",
       .sHtml = "<html><head><title>題</title><style>p{}</style></head><body><script>x()</script>"
                "<p>一行目</p><div>二行目<br>三行目</div><ul><li>a</li><li>b</li></ul></body></html>",
       .sText = u"一行目\n二行目\n三行目\na\nb"},
      {.sName = "white space", .sHtml = "<p>  a \n  <b>b</b>  c </p>\n\n<p> d</p>", .sText = u"a b c\nd"},
      {.sName = "line break between Japanese", .sHtml = "<p>今日は\n  良い 天気\nです a\nb。\nc</p>", .sText = u"今日は良い 天気です a b。 c"},
      {.sName = "pre kept", .sHtml = "<pre>a\r\n  b</pre><p>c</p>", .sText = u"a\n  b\nc"},
      {.sName = "meta charset Shift_JIS", .sHtml = "<meta charset=\"Shift_JIS\"><p>" + *EncodeCp932(u"～①漢字") + "</p>",
       .sText = u"～①漢字"},
      {.sName = "http-equiv charset",
       .sHtml = "<META http-equiv=\"Content-Type\" content=\"text/html; charset=EUC-JP\"><p>\xB4\xC1</p>", .sText = u"漢"},
      {.sName = "UTF-16 with BOM", .sHtml = Utf16Le(u"<p>青空</p>"), .sText = u"青空"},
      {.sName = "unknown charset read as UTF-8", .sHtml = "<meta charset=\"no-such\"><p>本</p>", .sText = u"本"},
  };
  for (const Row& row : rows) {
    EXPECT_EQ(Utf16ToUtf8(BookOfHtml(row.sHtml).sText), Utf16ToUtf8(row.sText)) << row.sName;
  }
}

TEST(HtmlText, HeadingsBecomeChaptersWithoutTheirRuby) {
  const BookText book = BookOfHtml("<h1>第一章</h1><p>本文。</p><h2><ruby>序<rt>じょ</rt></ruby>の二</h2><p>x</p>");
  EXPECT_EQ(Utf16ToUtf8(book.sText), "第一章\n本文。\n｜序《じょ》の二\nx");
  ASSERT_EQ(book.aChapters.size(), 2u);
  EXPECT_EQ(Utf16ToUtf8(book.aChapters[1].sTitle), "序の二");
  EXPECT_EQ(book.aChapters[1].lOffset, static_cast<int32_t>(book.sText.find(u"｜序")));
  EXPECT_EQ(book.aChapters[1].nLevel, 2);
}

TEST(Epub, SpineTextAndTableOfContents) {
  BookText book;
  ASSERT_TRUE(ReadEpubBytes(ZipBytes(testing::SmallBook()), book).ok());
  EXPECT_EQ(Utf16ToUtf8(book.sText), "第一章\n｜冷《ひ》いやりとした風。\n第二章\n朝が来た。\n夜も来た。");
  struct Expected {
    const char* sTitle;
    const char16_t* sAt;
    int nLevel;
  };
  const Expected expected[] = {{"第一章", u"第一章", 1}, {"第二章", u"第二章", 1}, {"その二", u"夜も", 2}};
  ASSERT_EQ(book.aChapters.size(), std::size(expected));
  for (size_t i = 0; i < std::size(expected); ++i) {
    EXPECT_EQ(Utf16ToUtf8(book.aChapters[i].sTitle), expected[i].sTitle);
    EXPECT_EQ(book.aChapters[i].lOffset, static_cast<int32_t>(book.sText.find(expected[i].sAt))) << expected[i].sTitle;
    EXPECT_EQ(book.aChapters[i].nLevel, expected[i].nLevel) << expected[i].sTitle;
  }
}

TEST(Epub, Epub2TableOfContentsFromNcx) {
  ZipEntries entries = testing::SmallBook();
  entries[2].second =
      R"(<package xmlns="http://www.idpf.org/2007/opf"><manifest><item id="ncx" href="toc.ncx" media-type="application/x-dtbncx+xml"/>)"
      R"(<item id="c2" href="text/ch%202.xhtml" media-type="application/xhtml+xml"/></manifest>)"
      R"(<spine toc="ncx"><itemref idref="c2"/></spine></package>)";
  entries.push_back({"OEBPS/toc.ncx",
                     R"(<ncx xmlns="http://www.daisy.org/z3986/2005/ncx/"><navMap><navPoint id="a"><navLabel><text>夜</text></navLabel>)"
                     R"(<content src="text/ch%202.xhtml#s2"/></navPoint></navMap></ncx>)"});
  BookText book;
  ASSERT_TRUE(ReadEpubBytes(ZipBytes(entries), book).ok());
  ASSERT_EQ(book.aChapters.size(), 1u);
  EXPECT_EQ(book.aChapters[0].lOffset, static_cast<int32_t>(book.sText.find(u"夜も")));
}

// Sets the uncompressed size in every local and central header to 1: the
// archive then claims a tiny entry that inflates to much more.
std::string WithLyingSizes(std::string bytes) {
  for (size_t at = 0; (at = bytes.find("PK\x03\x04", at)) != std::string::npos; at += 4) bytes.replace(at + 22, 4, "\x01\0\0\0", 4);
  for (size_t at = 0; (at = bytes.find("PK\x01\x02", at)) != std::string::npos; at += 4) bytes.replace(at + 24, 4, "\x01\0\0\0", 4);
  return bytes;
}

TEST(Epub, HostileAndDamagedArchivesGiveAStatusAndNoText) {
  const std::string sZeros(600 * 1024, '0');
  const auto with = [](const std::string& sName, const std::string& sBytes) {
    ZipEntries entries = testing::SmallBook();
    for (auto& entry : entries) entry.second = entry.first == sName ? sBytes : entry.second;
    return ZipBytes(entries);
  };
  const auto without = [](const std::string& sName) {
    ZipEntries entries = testing::SmallBook();
    std::erase_if(entries, [&](const auto& entry) { return entry.first == sName; });
    return ZipBytes(entries);
  };
  const std::string sOpfPrefix =
      R"(<package xmlns="http://www.idpf.org/2007/opf"><manifest><item id="c1" href=")";
  const std::string sOpfSuffix = R"(" media-type="application/xhtml+xml"/></manifest><spine><itemref idref="c1"/></spine></package>)";
  struct Row {
    const char* sName;
    std::string sArchive;
    BookError error;
    const char* sMessage;
    BookLimits limits = {};
  };
  const Row rows[] = {
      {.sName = "not a zip", .sArchive = "plain text", .error = BookError::kNotAnArchive, .sMessage = "not a zip archive"},
      {.sName = "truncated", .sArchive = ZipBytes(testing::SmallBook()).substr(0, 300), .error = BookError::kNotAnArchive,
       .sMessage = "not a zip archive"},
      {.sName = "no container", .sArchive = without("META-INF/container.xml"), .error = BookError::kDamaged,
       .sMessage = "missing file META-INF/container.xml"},
      {.sName = "container leaves the archive", .sArchive = with("META-INF/container.xml", testing::ContainerXml("../content.opf")),
       .error = BookError::kUnsafePath, .sMessage = "leaves the archive"},
      {.sName = "absolute package path", .sArchive = with("META-INF/container.xml", testing::ContainerXml("/etc/passwd")),
       .error = BookError::kUnsafePath, .sMessage = "leaves the archive"},
      {.sName = "spine entry leaves the archive", .sArchive = with("OEBPS/content.opf", sOpfPrefix + "../../../etc/passwd" + sOpfSuffix),
       .error = BookError::kDamaged, .sMessage = "leaves the archive"},
      {.sName = "bad XML package", .sArchive = with("OEBPS/content.opf", "<package><manifest>"), .error = BookError::kDamaged,
       .sMessage = "OEBPS/content.opf: bad XML, line 1"},
      {.sName = "no spine", .sArchive = with("OEBPS/content.opf", "<package/>"), .error = BookError::kDamaged,
       .sMessage = "no reading order"},
      {.sName = "missing chapter", .sArchive = without("OEBPS/text/ch1.xhtml"), .error = BookError::kDamaged,
       .sMessage = "missing file OEBPS/text/ch1.xhtml"},
      {.sName = "bad XHTML chapter", .sArchive = with("OEBPS/text/ch1.xhtml", "<html><body><p>a</b></body></html>"),
       .error = BookError::kDamaged, .sMessage = "OEBPS/text/ch1.xhtml: bad XML, line 1"},
      {.sName = "entry over its limit", .sArchive = with("OEBPS/text/ch1.xhtml", sZeros), .error = BookError::kTooLarge,
       .sMessage = "too large when unpacked", .limits = {.lMaxEntryBytes = 500 * 1024}},
      {.sName = "entries over the total", .sArchive = with("OEBPS/text/ch 2.xhtml", sZeros),
       .error = BookError::kTooLarge, .sMessage = "the book is too large",
       .limits = {.lMaxEntryBytes = 1024 * 1024, .lMaxTotalBytes = 500 * 1024}},
      {.sName = "header lies about the size", .sArchive = WithLyingSizes(with("OEBPS/text/ch1.xhtml", sZeros)),
       .error = BookError::kTooLarge, .sMessage = "too large", .limits = {.lMaxEntryBytes = 500 * 1024}},
      {.sName = "text over its limit", .sArchive = with("OEBPS/text/ch1.xhtml", testing::Xhtml("<p>" + sZeros + "</p>")),
       .error = BookError::kTooLarge, .sMessage = "longer than", .limits = {.lMaxTextUnits = 1000}},
  };
  for (const Row& row : rows) {
    BookText book{u"before", {}};
    const BookStatus status = ReadEpubBytes(row.sArchive, book, row.limits);
    EXPECT_EQ(status.error, row.error) << row.sName << ": " << Utf16ToUtf8(status.sMessage);
    EXPECT_NE(Utf16ToUtf8(status.sMessage).find(row.sMessage), std::string::npos) << row.sName << ": " << Utf16ToUtf8(status.sMessage);
    EXPECT_EQ(book.sText, u"before") << row.sName;
  }
}

TEST(BookLoader, KindByExtensionAndFailuresByPath) {
  testing::ScratchDir dir;
  testing::WriteString(dir.Path("b.EPUB"), ZipBytes(testing::SmallBook()));
  testing::WriteString(dir.Path("p.htm"), "<p>頁<ruby>字<rt>じ</rt></ruby></p>");
  testing::WriteString(dir.Path("t.txt"), *EncodeCp932(u"<p>そのまま</p>"));
  struct Row {
    const char* sFile;
    BookError error;
    const char16_t* sStart;
  };
  const Row rows[] = {
      {"b.EPUB", BookError::kNone, u"第一章\n"},     {"p.htm", BookError::kNone, u"頁｜字《じ》"},
      {"t.txt", BookError::kNone, u"<p>そのまま</p>"}, {"missing.epub", BookError::kUnreadable, u""},
  };
  for (const Row& row : rows) {
    BookText book;
    const BookStatus status = LoadBook(dir.Path16(row.sFile), book);
    EXPECT_EQ(status.error, row.error) << row.sFile << ": " << Utf16ToUtf8(status.sMessage);
    EXPECT_TRUE(book.sText.starts_with(row.sStart)) << row.sFile;
    if (!status.ok()) {
      EXPECT_NE(status.sMessage.find(Utf8ToUtf16(row.sFile)), std::u16string::npos) << row.sFile;
    }
  }
  // A plain text file from Aozora Bunko: its marked headings are chapters, its missing characters filled in.
  testing::WriteString(dir.Path("a.txt"), *EncodeCp932(u"題\r\n第一章［＃「第一章」は中見出し］\r\n※［＃「口＋世」、U+546D、1-2］\r\n"));
  BookText aozora;
  ASSERT_TRUE(LoadBook(dir.Path16("a.txt"), aozora).ok());
  EXPECT_EQ(aozora.sText, u"題\n第一章［＃「第一章」は中見出し］\n\u546D\n");
  ASSERT_EQ(aozora.aChapters.size(), 1u);
  EXPECT_EQ(std::pair(aozora.aChapters[0].sTitle, aozora.aChapters[0].lOffset), std::pair(std::u16string(u"第一章"), 2));
}

}  // namespace
}  // namespace ekoto
