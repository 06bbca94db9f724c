// The pieces behind the dictionary window: the one-pass search for entries,
// edits that keep the rest of the file, edits repeated on a newer file, and
// saves that keep the encoding and refuse to overwrite a file changed outside.
#include <gtest/gtest.h>
#include <fcntl.h>
#include <sys/stat.h>

#include <algorithm>
#include <cstdio>
#include <functional>
#include <string>
#include <vector>

#include "PaTestFiles.h"
#include "conversion/EntryMatcher.h"
#include "conversion/TempleteDocument.h"
#include "conversion/TempleteStore.h"
#include "util/Utf.h"

namespace ekoto {
namespace {

TEST(EntryMatcherTest, FindsEveryKeyThatOccurs) {
  const struct {
    std::vector<std::u16string> keys;
    std::u16string text;
    size_t nBegin, nEnd;  // npos: the whole text
    std::vector<uint32_t> found;
  } rows[] = {
      // Keys that end inside others are found through the fail links.
      {.keys = {u"he", u"she", u"his", u"hers"}, .text = u"ushers", .nBegin = 0, .nEnd = std::u16string::npos, .found = {0, 1, 3}},
      {.keys = {u"a", u"a", u"ab", u"bab"}, .text = u"xbabx", .nBegin = 0, .nEnd = std::u16string::npos, .found = {0, 1, 2, 3}},
      {.keys = {u"abc", u"bcd", u""}, .text = u"abcd", .nBegin = 1, .nEnd = 4, .found = {1}},
      {.keys = {u"abc"}, .text = u"ababab", .nBegin = 0, .nEnd = std::u16string::npos, .found = {}},
      {.keys = {u"𠮷野", u"野家"}, .text = u"𠮷野家", .nBegin = 0, .nEnd = std::u16string::npos, .found = {0, 1}},
      {.keys = {}, .text = u"abc", .nBegin = 0, .nEnd = std::u16string::npos, .found = {}},
  };
  for (const auto& row : rows) {
    EntryMatcher matcher;
    matcher.Build(row.keys);
    std::vector<uint32_t> found;
    matcher.FindIn(row.text, row.nBegin, std::min(row.nEnd, row.text.size()), found);
    std::sort(found.begin(), found.end());
    found.erase(std::unique(found.begin(), found.end()), found.end());
    EXPECT_EQ(found, row.found) << Utf16ToUtf8(row.text);
  }
}

TempleteEntry Word(const char16_t* from, const char16_t* reading) { return DictionaryEntry(from, reading, u"", false); }

TEST(TempleteDocumentTest, EditsKeepTheRestOfTheFile) {
  const struct {
    const char* file;
    std::function<void(TempleteDocument&)> edit;
    const char* text;
  } rows[] = {
      {.file = "// c\r\na\tx\r\nb\ty", .edit = [](TempleteDocument&) {}, .text = "// c\r\na\tx\r\nb\ty"},
      // A new entry follows a last line that had no end, in the file's line ends.
      {.file = "// c\r\na\tx", .edit = [](TempleteDocument& d) { d.Add(Word(u"b", u"ビー")); },
       .text = "// c\r\na\tx\r\n//@\r\nb\tビー\r\n"},
      // A changed entry stays where it was; a removed one takes its "//@" line along.
      {.file = "a\tx\n//@\tword\nb\ty\n// end\n",
       .edit = [](TempleteDocument& d) { d.Replace(0, Word(u"a", u"え[ー")); d.Remove(1); },
       .text = "//@\taccent=え[ー\na\tえー\n// end\n"},
      {.file = "a\tx\n", .edit = [](TempleteDocument& d) { d.Replace(0, d.Entry(0)); }, .text = "a\tx\n"},
  };
  for (const auto& row : rows) {
    TempleteDocument document;
    document.Load(Utf8ToUtf16(row.file));
    row.edit(document);
    EXPECT_EQ(Utf16ToUtf8(document.Text()), row.text) << row.file;
    EXPECT_EQ(document.IsModified(), std::string(row.file) != row.text) << row.file;
  }
}

TEST(TempleteDocumentTest, EditsRepeatOnANewerFile) {
  const struct {
    const char* loaded;
    std::function<void(TempleteDocument&)> edit;
    const char* newer;
    const char* merged;
  } rows[] = {
      {.loaded = "a\tx\nb\ty\n", .edit = [](TempleteDocument& d) { d.Remove(1); d.Add(Word(u"c", u"z")); },
       .newer = "// new\nb\ty\na\tX\n", .merged = "// new\na\tX\n//@\nc\tz\n"},
      // Changed here and there: both kept, the hand edit first. Removed there: stays removed.
      {.loaded = "a\tx\nb\ty\n", .edit = [](TempleteDocument& d) { d.Replace(0, Word(u"a", u"w")); d.Remove(1); },
       .newer = "a\tv\n", .merged = "a\tv\n//@\na\tw\n"},
      // Of two equal lines, the first is the one edited.
      {.loaded = "a\tx\na\tx\n", .edit = [](TempleteDocument& d) { d.Remove(0); }, .newer = "a\tx\na\tx\nb\ty\n",
       .merged = "a\tx\nb\ty\n"},
  };
  for (const auto& row : rows) {
    TempleteDocument mine;
    mine.Load(Utf8ToUtf16(row.loaded));
    row.edit(mine);
    TempleteDocument newer;
    newer.Load(Utf8ToUtf16(row.newer));
    mine.RepeatEditsOn(newer);
    EXPECT_EQ(Utf16ToUtf8(newer.Text()), row.merged) << row.loaded << " then " << row.newer;
  }
}

TEST(TempleteStoreTest, SavesInTheFilesEncodingUnlessChangedOutside) {
  testing::ScratchDir dir;
  const struct {
    const char* name;
    std::string bytes;  // "" : no file yet
    std::string saved;  // after saving "東京\tとうきょう\n"
  } rows[] = {
      {.name = "utf8", .bytes = "x\t\xe3\x81\x82\n", .saved = "東京\tとうきょう\n"},
      {.name = "bom", .bytes = "\xef\xbb\xbfx\ty\n", .saved = "\xef\xbb\xbf東京\tとうきょう\n"},
      {.name = "cp932", .bytes = "x\t\x82\xa0\n", .saved = "\x93\x8c\x8b\x9e\t\x82\xc6\x82\xa4\x82\xab\x82\xe5\x82\xa4\n"},
      {.name = "new", .bytes = "", .saved = "\x93\x8c\x8b\x9e\t\x82\xc6\x82\xa4\x82\xab\x82\xe5\x82\xa4\n"},
  };
  for (const auto& row : rows) {
    if (!row.bytes.empty()) testing::WriteString(dir.Path(row.name), row.bytes);
    TempleteFileText file;
    ASSERT_TRUE(ReadTempleteFile(dir.Path16(row.name), file)) << row.name;
    EXPECT_EQ(SaveTempleteFile(dir.Path16(row.name), u"東京\tとうきょう\n", file), SaveStatus::kSaved) << row.name;
    EXPECT_EQ(testing::ReadString(dir.Path(row.name)), row.saved) << row.name;
  }

  // Same size and time, other bytes: the hash tells. A file removed meanwhile counts too.
  const std::string path = dir.Path("utf8");
  TempleteFileText file;
  ASSERT_TRUE(ReadTempleteFile(dir.Path16("utf8"), file));
  struct stat before {};
  ASSERT_EQ(stat(path.c_str(), &before), 0);
  std::string bytes = testing::ReadString(path);
  bytes[0] = 'X';
  testing::WriteString(path, bytes);
  const timespec times[2] = {before.st_atim, before.st_mtim};
  ASSERT_EQ(utimensat(AT_FDCWD, path.c_str(), times, 0), 0);
  EXPECT_EQ(SaveTempleteFile(dir.Path16("utf8"), u"a\tb\n", file), SaveStatus::kChangedOutside);
  EXPECT_EQ(testing::ReadString(path), bytes);
  ASSERT_TRUE(ReadTempleteFile(dir.Path16("utf8"), file));
  std::remove(path.c_str());
  EXPECT_EQ(SaveTempleteFile(dir.Path16("utf8"), u"a\tb\n", file), SaveStatus::kChangedOutside);
  // A folder in the way cannot be read as a template.
  EXPECT_FALSE(ReadTempleteFile(dir.Path16(""), file));
}

}  // namespace
}  // namespace ekoto
