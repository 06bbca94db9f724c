// CFile (src/util/CFile.h): whole-file helpers, path splitting and the escaped forms.
#include "util/CFile.h"

#include <fcntl.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <csignal>
#include <cstdlib>
#include <string>
#include <vector>

#include "PaTestFiles.h"
#include "util/Cp932.h"
#include "util/Utf.h"

namespace ekoto {
namespace {

namespace fs = std::filesystem;
using Bytes = std::vector<uint8_t>;

Bytes ToBytes(std::string_view s) { return Bytes(s.begin(), s.end()); }

std::string AllByteValues() {
  std::string all;
  for (int b = 0; b < 256; ++b) all.push_back(static_cast<char>(b));
  return all;
}

class CFileTest : public ::testing::Test {
 protected:
  std::string Fs(const std::string& name) const { return dir_.Path(name).string(); }
  std::u16string P(const std::string& name) const { return dir_.Path16(name); }
  void Put(const std::string& name, std::string_view bytes) const { testing::WriteString(dir_.Path(name), bytes); }
  std::string Get(const std::string& name) const { return testing::ReadString(dir_.Path(name)); }
  mode_t Mode(const std::string& name) const {
    struct stat st {};
    EXPECT_EQ(::stat(Fs(name).c_str(), &st), 0) << name;
    return st.st_mode & 07777;
  }
  // Names in a folder of the test area, sorted.
  std::vector<std::string> List(const std::string& sub = "") const {
    std::vector<std::string> names;
    for (const auto& e : fs::directory_iterator(sub.empty() ? dir_.Root() : dir_.Path(sub))) {
      names.push_back(e.path().filename().string());
    }
    std::sort(names.begin(), names.end());
    return names;
  }

  testing::ScratchDir dir_;
  CFile file_;
};

// ---- Text files: CP932 when it can, else UTF-8 with a BOM; either read back ----

TEST_F(CFileTest, TextIsWrittenAsCp932OrUtf8WithBomAndReadBack) {
  const std::u16string sjis = u"日本語のテキスト\r\n二行目、ｶﾀｶﾅ～①\r\n";
  ASSERT_TRUE(file_.WriteFile(P("a.txt"), sjis));
  EXPECT_EQ(Get("a.txt").substr(0, 4), "\x93\xFA\x96\x7B");  // 日本, no BOM
  EXPECT_EQ(Get("a.txt"), *EncodeCp932(sjis));
  for (const std::u16string& text : {sjis, std::u16string(u"😀"), std::u16string(u"𠮷野家で日本語"),
                                     std::u16string(u"wave dash 〜 and é")}) {
    ASSERT_TRUE(file_.WriteFile(P("u.txt"), text));
    if (text != sjis) {
      EXPECT_EQ(Get("u.txt"), std::string(kUtf8Bom) + Utf16ToUtf8(text));
    }
    std::u16string back = u"old";
    ASSERT_TRUE(file_.ReadFile(P("u.txt"), back));
    EXPECT_EQ(back, text);
  }
  // Files from elsewhere: UTF-8 without a BOM, CP932, plain ASCII with "\" and "~".
  for (const auto& [bytes, text] : {std::pair<std::string, std::u16string>{"\xE6\x97\xA5\xE6\x9C\xAC", u"日本"},
                                    {"\x93\xFA\x96\x7B", u"日本"}, {"C:\\voice~", u"C:\\voice~"}}) {
    Put("in.txt", bytes);
    std::u16string back;
    ASSERT_TRUE(file_.ReadFile(P("in.txt"), back));
    EXPECT_EQ(back, text);
  }
}

// Empty and missing files: text reads clear, binary reads leave the buffer alone.
TEST_F(CFileTest, EmptyAndMissingFiles) {
  Put("e.txt", "something long enough");
  EXPECT_TRUE(file_.WriteFile(P("e.txt"), u""));
  EXPECT_EQ(fs::file_size(Fs("e.txt")), 0u);
  std::u16string text = u"previous";
  EXPECT_TRUE(file_.ReadFile(P("e.txt"), text));
  EXPECT_EQ(text, u"");
  text = u"previous";
  EXPECT_FALSE(file_.ReadFile(P("missing.txt"), text));
  EXPECT_FALSE(file_.ReadFile(u"", text));
  EXPECT_EQ(text, u"previous");

  Bytes bytes = {1, 2, 3};
  EXPECT_FALSE(file_.ReadFileForBinary(P("missing.bin"), bytes));
  EXPECT_TRUE(file_.ReadFileForBinary(P("e.txt"), bytes));
  EXPECT_EQ(bytes, (Bytes{1, 2, 3}));
}

// Every byte value, a file of several megabytes, and a shorter file replacing a longer one.
TEST_F(CFileTest, BinaryWritesExactBytesAndLeavesNoTemporaryFile) {
  std::string big(3 * 1024 * 1024 + 17, 'x');
  for (size_t i = 0; i < big.size(); i += 4099) big[i] = static_cast<char>(i & 0xFF);
  ASSERT_TRUE(file_.WriteFileForBinary(P("out.bin"), ToBytes(big), false));
  Bytes bytes;
  ASSERT_TRUE(file_.ReadFileForBinary(P("out.bin"), bytes));
  EXPECT_EQ(bytes, ToBytes(big));

  ASSERT_TRUE(file_.WriteFileForBinary(P("out.bin"), ToBytes(AllByteValues()), false));
  EXPECT_EQ(Get("out.bin"), AllByteValues());
  ASSERT_TRUE(file_.ReadFileForBinary(P("out.bin"), bytes));
  EXPECT_EQ(bytes, ToBytes(AllByteValues()));
  ASSERT_TRUE(file_.WriteFileForBinary(P("new.bin"), {}, false));
  EXPECT_EQ(fs::file_size(Fs("new.bin")), 0u);
  EXPECT_EQ(List(), (std::vector<std::string>{"new.bin", "out.bin"}));
}

// Folders and FIFOs are no files: not read (and a FIFO read must not block), not written over.
TEST_F(CFileTest, FoldersAndFifosAreNoFiles) {
  fs::create_directory(Fs("sub"));
  ASSERT_EQ(::mkfifo(Fs("fifo").c_str(), 0600), 0);
  Put("f.txt", "x");
  for (const char* name : {"sub", "fifo"}) {
    Bytes bytes = {7};
    EXPECT_FALSE(file_.ReadFileForBinary(P(name), bytes)) << name;
    EXPECT_EQ(bytes, Bytes{7}) << name;
    EXPECT_FALSE(file_.IsFile(P(name))) << name;
  }
  EXPECT_TRUE(file_.IsFile(P("f.txt")));
  EXPECT_FALSE(file_.IsFile(P("missing.txt")));
  EXPECT_FALSE(file_.IsFile(u""));
  EXPECT_FALSE(file_.WriteFileForBinary(P("sub"), ToBytes("x"), false));
  EXPECT_TRUE(fs::is_directory(Fs("sub")));
  EXPECT_FALSE(file_.AppendFileForBinary(P("sub"), ToBytes("x")));
}

TEST_F(CFileTest, WriteIntoMissingFolderFails) {
  EXPECT_FALSE(file_.WriteFileForBinary(P("no/such/folder.bin"), ToBytes("x"), false));
  EXPECT_FALSE(file_.WriteFile(P("nofolder/a.txt"), u"x"));
  EXPECT_FALSE(file_.WriteFileForBinary(u"", ToBytes("x"), false));
  EXPECT_FALSE(file_.WriteFileForBinary(P("sub/"), ToBytes("x"), false));
  EXPECT_TRUE(List().empty());
}

// ---- Replacing a file: the old content survives any failure ----

TEST_F(CFileTest, FailedWriteKeepsOldContent) {
  // A file size limit makes write() fail part-way, even for root.
  Put("keep.txt", "old content");
  struct rlimit old {};
  ASSERT_EQ(::getrlimit(RLIMIT_FSIZE, &old), 0);
  auto oldHandler = std::signal(SIGXFSZ, SIG_IGN);
  struct rlimit small = old;
  small.rlim_cur = 1000;
  ASSERT_EQ(::setrlimit(RLIMIT_FSIZE, &small), 0);
  const bool ok = file_.WriteFileForBinary(P("keep.txt"), Bytes(5000, 'n'), false);
  ::setrlimit(RLIMIT_FSIZE, &old);
  std::signal(SIGXFSZ, oldHandler);
  EXPECT_FALSE(ok);
  EXPECT_EQ(Get("keep.txt"), "old content");
  EXPECT_EQ(List(), std::vector<std::string>{"keep.txt"});
}

TEST_F(CFileTest, ReadOnlyFolderOrFileIsNotReplaced) {
  if (::geteuid() == 0) GTEST_SKIP() << "root ignores permissions";
  fs::create_directory(Fs("ro"));
  Put("ro/keep.txt", "old");
  fs::permissions(Fs("ro"), fs::perms::owner_read | fs::perms::owner_exec);
  EXPECT_FALSE(file_.WriteFile(P("ro/keep.txt"), u"new"));
  fs::permissions(Fs("ro"), fs::perms::owner_all);
  EXPECT_EQ(Get("ro/keep.txt"), "old");
  EXPECT_EQ(List("ro"), std::vector<std::string>{"keep.txt"});
  Put("ro.txt", "old");
  ::chmod(Fs("ro.txt").c_str(), 0444);
  EXPECT_FALSE(file_.WriteFile(P("ro.txt"), u"new"));
  EXPECT_EQ(Get("ro.txt"), "old");
}

TEST_F(CFileTest, ModesAndSymlinksSurviveReplacing) {
  Put("perm.txt", "old");
  ASSERT_EQ(::chmod(Fs("perm.txt").c_str(), 0640), 0);
  ASSERT_TRUE(file_.WriteFile(P("perm.txt"), u"new"));
  EXPECT_EQ(Mode("perm.txt"), 0640u);
  EXPECT_EQ(Get("perm.txt"), "new");

  const mode_t mask = ::umask(022);
  ASSERT_TRUE(file_.WriteFile(P("fresh.txt"), u"x"));
  ::umask(mask);
  EXPECT_EQ(Mode("fresh.txt"), 0644u);  // a new file: the umask's default

  Put("real.txt", "old");
  fs::create_symlink("real.txt", Fs("link.txt"));
  ASSERT_TRUE(file_.WriteFile(P("link.txt"), u"new"));
  EXPECT_TRUE(fs::is_symlink(Fs("link.txt")));
  EXPECT_EQ(Get("real.txt"), "new");
}

TEST_F(CFileTest, WriteWithReNameAndAppend) {
  Put("report.txt", "first");
  ASSERT_TRUE(file_.WriteFileForBinary(P("report.txt"), ToBytes("second"), true));
  ASSERT_TRUE(file_.WriteFileForBinary(P("report.txt"), ToBytes("third"), true));
  EXPECT_EQ(Get("report.txt"), "first");
  EXPECT_EQ(Get("report(1).txt"), "second");
  EXPECT_EQ(Get("report(2).txt"), "third");

  ASSERT_TRUE(file_.AppendFileForBinary(P("log.bin"), ToBytes("ab")));
  ASSERT_TRUE(file_.AppendFileForBinary(P("log.bin"), ToBytes("cd")));
  ASSERT_TRUE(file_.AppendFileForBinary(P("log.bin"), {}));
  EXPECT_EQ(Get("log.bin"), "abcd");
  EXPECT_FALSE(file_.AppendFileForBinary(P("missing/log.bin"), ToBytes("x")));
}

// ---- SameFileToReName: the next free "(n)" name ----

TEST_F(CFileTest, SameFileToReName) {
  fs::create_directory(Fs("dir.d"));
  fs::create_directory(Fs("taken"));  // a folder of that name is taken too
  const struct {
    const char* create;  // made before asking, "" for nothing
    const char* ask;
    const char* expected;
  } rows[] = {
      {"", "report.txt", "report.txt"},
      {"report.txt", "report.txt", "report(1).txt"},
      {"report(1).txt", "report.txt", "report(2).txt"},
      {"report(2).txt", "report.txt", "report(3).txt"},
      {"r(3).txt", "r(3).txt", "r(4).txt"},  // a number in the name goes on counting
      {"r(4).txt", "r(3).txt", "r(5).txt"},
      {"a(b).txt", "a(b).txt", "a(b)(1).txt"},  // not a number: part of the name
      {"a().txt", "a().txt", "a()(1).txt"},
      {"x(7)y.txt", "x(7)y.txt", "x(7)y(1).txt"},  // not at the end: kept as text
      {"dir.d/noext", "dir.d/noext", "dir.d/noext(1)"},
      {".profile", ".profile", "(1).profile"},
      {"日本語.txt", "日本語.txt", "日本語(1).txt"},
      {"", "taken", "taken(1)"},
  };
  for (const auto& row : rows) {
    if (*row.create) Put(row.create, "");
    EXPECT_EQ(file_.SameFileToReName(P(row.ask)), P(row.expected)) << row.ask;
  }
}

// ---- FindFile, CreateTempPath, GetFileDateTime ----

TEST_F(CFileTest, FindFileSearchesDepthFirstByNameWithoutFollowingLinks) {
  fs::create_directories(Fs("root/a/b"));
  fs::create_directories(Fs("root/c"));
  Put("root/a/b/target.txt", "");
  Put("root/c/target.txt", "");
  EXPECT_EQ(file_.FindFile(P("root"), u"target.txt"), P("root/a/b/target.txt"));
  EXPECT_EQ(file_.FindFile(P("root/"), u"target.txt"), P("root/a/b/target.txt"));
  Put("root/target.txt", "");
  EXPECT_EQ(file_.FindFile(P("root"), u"target.txt"), P("root/target.txt"));
  for (const auto& [folder, name] : {std::pair<const char*, const char16_t*>{"root", u"none.txt"},
                                     {"root", u"a"},  // a folder is no file
                                     {"missing", u"target.txt"}, {"root", u""}, {"root", u"b/target.txt"}}) {
    EXPECT_EQ(file_.FindFile(P(folder), name), u"") << folder << " " << Utf16ToUtf8(name);
  }
  fs::create_directories(Fs("root/日本"));
  Put("root/日本/声源.pa", "");
  EXPECT_EQ(file_.FindFile(P("root"), u"声源.pa"), P("root/日本/声源.pa"));
  // Folder links: a loop and a way out, neither followed.
  fs::create_directories(Fs("outside"));
  Put("outside/hidden.txt", "");
  fs::create_directory_symlink(Fs("root"), Fs("root/c/loop"));
  fs::create_directory_symlink(Fs("outside"), Fs("root/out"));
  EXPECT_EQ(file_.FindFile(P("root"), u"hidden.txt"), u"");
}

TEST_F(CFileTest, CreateTempPathMakesAFreshEmptyFile) {
  const char* saved = std::getenv("TMPDIR");
  const std::string savedValue = saved ? saved : "";
  ::setenv("TMPDIR", (dir_.Root().string() + "/").c_str(), 1);
  const std::u16string a = file_.CreateTempPath(u"ekoto");
  const std::u16string b = file_.CreateTempPath(u"ekoto");
  saved ? ::setenv("TMPDIR", savedValue.c_str(), 1) : ::unsetenv("TMPDIR");
  ASSERT_FALSE(a.empty());
  EXPECT_NE(a, b);
  EXPECT_EQ(a.substr(0, P("ekoto").size()), P("ekoto"));
  EXPECT_TRUE(file_.IsFile(a));
  EXPECT_EQ(fs::file_size(Utf16ToUtf8(a)), 0u);
}

TEST_F(CFileTest, GetFileDateTime) {
  Put("t.txt", "x");
  const time_t atime = 1'000'000'000;  // 2001-09-09
  const time_t mtime = 1'234'567'890;  // 2009-02-13
  const struct timespec times[2] = {{atime, 0}, {mtime, 0}};
  ASSERT_EQ(::utimensat(AT_FDCWD, Fs("t.txt").c_str(), times, 0), 0);
  std::tm expected{};
  std::tm got{};
  ASSERT_TRUE(file_.GetFileDateTime(P("t.txt"), 2, got));
  ::localtime_r(&mtime, &expected);
  EXPECT_EQ(std::mktime(&got), std::mktime(&expected));
  EXPECT_EQ(got.tm_year, expected.tm_year);
  ASSERT_TRUE(file_.GetFileDateTime(P("t.txt"), 1, got));
  ::localtime_r(&atime, &expected);
  EXPECT_EQ(std::mktime(&got), std::mktime(&expected));
  ASSERT_TRUE(file_.GetFileDateTime(P("t.txt"), 0, got));
  EXPECT_GT(std::mktime(&got), mtime);  // the status changed just now

  std::tm untouched{};
  untouched.tm_year = 42;
  EXPECT_FALSE(file_.GetFileDateTime(P("t.txt"), 3, untouched));
  EXPECT_FALSE(file_.GetFileDateTime(P("missing"), 2, untouched));
  EXPECT_EQ(untouched.tm_year, 42);
}

// ---- Path splitting and text helpers ----

TEST(CFilePaths, SplittingTable) {
  CFile f;
  const struct {
    std::u16string path, folder, name;
    std::optional<std::u16string> ext;
    std::u16string base;
  } cases[] = {
      // The splitting table, with "/" for "\".
      {u"/voice/50on.pa", u"/voice/", u"50on.pa", u"pa", u"50on"},
      {u"50on.pa", u"", u"50on.pa", u"pa", u"50on"},
      {u"/voice/", u"/voice/", u"", std::nullopt, u""},
      {u"/voice/readme", u"/voice/", u"readme", u"readme", u""},
      {u"", u"", u"", u"", u""},
      // A leading dot only.
      {u".profile", u"", u".profile", u"profile", u""},
      {u"/home/me/.profile", u"/home/me/", u".profile", u"profile", u""},
      {u"archive.tar.gz", u"", u"archive.tar.gz", u"gz", u"archive.tar"},
      {u"name.", u"", u"name.", u"", u"name"},
      {u"dir.d/file", u"dir.d/", u"file", u"file", u""},
      {u"/", u"/", u"", std::nullopt, u""},
      {u"日本/声源.pa", u"日本/", u"声源.pa", u"pa", u"声源"},
      // "\" is no separator on Linux.
      {u"C:\\voice\\50on.pa", u"", u"C:\\voice\\50on.pa", u"pa", u"C:\\voice\\50on"},
  };
  for (const auto& c : cases) {
    const std::string label = Utf16ToUtf8(c.path);
    EXPECT_EQ(f.GetFolderPathOnly(c.path), c.folder) << label;
    EXPECT_EQ(f.GetFileNameOnly(c.path), c.name) << label;
    EXPECT_EQ(f.GetExtOnly(c.path), c.ext) << label;
    EXPECT_EQ(f.GetNameOnly(c.path), c.base) << label;
  }
}

TEST(CFileText, MyRight) {
  CFile f;
  const std::tuple<std::u16string, int32_t, std::u16string> rows[] = {
      {u"abcdef", 2, u"ef"}, {u"abcdef", 6, u"abcdef"}, {u"abcdef", 10, u"abcdef"}, {u"abcdef", 0, u""},
      {u"abcdef", -3, u""},  {u"", 3, u""},             {u"日本語", 2, u"本語"},
  };
  for (const auto& [text, n, expected] : rows) EXPECT_EQ(f.MyRight(text, n), expected) << n;
}

TEST(CFileText, Inside) {
  CFile f;
  // Positions count from 1; end is where the search goes on, 0 when nothing was found.
  const struct {
    std::u16string text, open, close;
    int32_t start;
    std::u16string expected;
    int32_t end;
  } rows[] = {
      {u"a[b]c[d]e", u"[", u"]", 1, u"b", 5},
      {u"a[b]c[d]e", u"[", u"]", 5, u"d", 9},
      {u"a[b]c[d]e", u"[", u"]", 9, u"", 0},
      {u"a[b]c[d]e", u"[", u"]", 3, u"d", 9},  // from b on
      {u"a[b]c[d]e", u"[", u"]", 0, u"b", 5},  // below 1 counts as 1
      {u"x<<名前>>y", u"<<", u">>", 1, u"名前", 8},
      {u"[]", u"[", u"]", 1, u"", 3},  // empty but enclosed
      {u"a[b", u"[", u"]", 1, u"", 0},  // no closing token
      {u"abc", u"[", u"]", 1, u"", 0},
      {u"a[b]", u"", u"]", 1, u"", 0},
      {u"a[b]", u"[", u"]", 99, u"", 0},
  };
  for (const auto& r : rows) {
    int32_t end = -1;
    EXPECT_EQ(f.Inside(r.text, r.open, r.close, r.start, end), r.expected) << Utf16ToUtf8(r.text) << " " << r.start;
    EXPECT_EQ(end, r.end) << Utf16ToUtf8(r.text) << " " << r.start;
  }
}

TEST(CFileText, InsideArray) {
  CFile f;
  using V = std::vector<std::u16string>;
  EXPECT_EQ(f.InsideArray(u"a[b]c[d]e[", u"[", u"]"), (V{u"b", u"d"}));
  EXPECT_EQ(f.InsideArray(u"[x][][y]", u"[", u"]"), (V{u"x", u"", u"y"}));
  EXPECT_EQ(f.InsideArray(u"<a>b</a><a>c</a>", u"<a>", u"</a>"), (V{u"b", u"c"}));
  EXPECT_EQ(f.InsideArray(u"'a' and 'b'", u"'", u"'"), (V{u"a", u"b"}));  // same token on both sides
  EXPECT_TRUE(f.InsideArray(u"nothing", u"[", u"]").empty());
  EXPECT_TRUE(f.InsideArray(u"[a]", u"", u"").empty());
}

// ---- Escaped forms: "%XX" for control and single-byte codes, round trips ----

TEST(CFileEscape, EncodeFromText) {
  CFile f;
  EXPECT_EQ(f.EncodeFromText(u"100%"), u"100%%");
  EXPECT_EQ(f.EncodeFromText(u"say \"hi\"\r\n\t"), u"say %22hi%22%0D%0A%09");
  EXPECT_EQ(f.EncodeFromText(u"\u007F"), u"%7F");
  EXPECT_EQ(f.EncodeFromText(u"ｱｲ"), u"%B1%B2");     // single-byte codes 128-255
  EXPECT_EQ(f.EncodeFromText(u"日本"), u"日本");      // double-byte characters stay
  EXPECT_EQ(f.EncodeFromText(u"😀〜"), u"😀〜");      // no CP932 form: kept as they are
  EXPECT_EQ(f.EncodeFromText(u"a\\b~"), u"a\\b~");
}

TEST(CFileEscape, EncodeFromText2IsPureAscii) {
  CFile f;
  EXPECT_EQ(f.EncodeFromText2(u"日本"), u"%93%FA%96{");  // 0x7B is "{"
  EXPECT_EQ(f.EncodeFromText2(u"a%\""), u"a%%%22");
  EXPECT_EQ(f.EncodeFromText2(u"😀"), u"%EF%BB%BF%F0%9F%98%80");  // UTF-8 after a BOM
  for (const std::u16string text : {u"日本語のテキスト", u"ｶﾀｶﾅ", u"𠮷野家😀", u"mixed 日本 and 😀 %\"\r\n"}) {
    const std::u16string enc = f.EncodeFromText2(text);
    for (char16_t c : enc) ASSERT_LT(c, 0x80) << Utf16ToUtf8(text);
  }
}

TEST(CFileEscape, TextRoundTrips) {
  CFile f;
  const std::vector<std::u16string> texts = {
      u"",
      u"plain",
      u"100% \"quoted\"\r\n\ttabbed\u0001\u007F",
      u"日本語のテキスト、ｶﾀｶﾅ～①",
      u"ﾃｩ",  // CP932 bytes C3 A9, which are UTF-8 "é": must stay ﾃｩ
      u"é",
      u"𠮷野家😀と日本語",
      u"\u0080\uF8F0",
      u"a%41b",  // a literal "%41" is escaped, not decoded
  };
  for (const auto& t : texts) {
    EXPECT_EQ(f.DecodeToText(f.EncodeFromText(t)), t) << Utf16ToUtf8(t);
    EXPECT_EQ(f.DecodeToText(f.EncodeFromText2(t)), t) << Utf16ToUtf8(t);
  }
}

TEST(CFileEscape, BinaryRoundTrips) {
  CFile f;
  const Bytes all = ToBytes(AllByteValues());
  const std::u16string enc = f.EncodeFromBinary(all);
  for (char16_t c : enc) ASSERT_LT(c, 0x80);
  Bytes back;
  ASSERT_TRUE(f.DecodeToBinary(enc, back));
  EXPECT_EQ(back, all);
  EXPECT_EQ(f.EncodeFromBinary(ToBytes("A%\"\n\xFF")), u"A%%%22%0A%FF");
  EXPECT_EQ(f.EncodeFromBinary({}), u"");
  ASSERT_TRUE(f.DecodeToBinary(u"", back));
  EXPECT_TRUE(back.empty());
  // Lower-case hex digits are accepted.
  ASSERT_TRUE(f.DecodeToBinary(u"%ff%0a", back));
  EXPECT_EQ(back, (Bytes{0xFF, 0x0A}));
  // Characters that EncodeFromText keeps become their CP932 bytes.
  ASSERT_TRUE(f.DecodeToBinary(f.EncodeFromText(u"日本ｱ%"), back));
  EXPECT_EQ(back, ToBytes("\x93\xFA\x96\x7B\xB1%"));
}

TEST(CFileEscape, MalformedEscapes) {
  CFile f;
  for (const std::u16string bad : {u"%", u"abc%", u"%4", u"%G0", u"%4G", u"x%%%", u"😀"}) {
    Bytes dest = {42};
    EXPECT_FALSE(f.DecodeToBinary(bad, dest)) << Utf16ToUtf8(bad);
    EXPECT_EQ(dest, Bytes{42}) << Utf16ToUtf8(bad);
  }
  // DecodeToText keeps a "%" that starts no escape.
  EXPECT_EQ(f.DecodeToText(u"100%"), u"100%");
  EXPECT_EQ(f.DecodeToText(u"%G0%41"), u"%G0A");
}

}  // namespace
}  // namespace ekoto
