// CFile (src/util/CFile.h): whole-file helpers, path splitting and the escaped forms.
#include "util/CFile.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <csignal>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "util/Cp932.h"
#include "util/Utf.h"

namespace ekoto {
namespace {

namespace fs = std::filesystem;

std::vector<uint8_t> ToBytes(std::string_view s) { return std::vector<uint8_t>(s.begin(), s.end()); }

class CFileTest : public ::testing::Test {
 protected:
  void SetUp() override {
    std::string pattern = ::testing::TempDir() + "ekoto_cfile_XXXXXX";
    ASSERT_NE(::mkdtemp(pattern.data()), nullptr);
    dir_ = pattern;
  }
  void TearDown() override {
    // Give back any write bit a test took away, then remove everything.
    std::error_code ec;
    for (auto it = fs::recursive_directory_iterator(dir_, ec); !ec && it != fs::recursive_directory_iterator();
         it.increment(ec)) {
      if (it->is_directory() && !it->is_symlink()) fs::permissions(it->path(), fs::perms::owner_all, ec);
    }
    fs::permissions(dir_, fs::perms::owner_all, ec);
    fs::remove_all(dir_, ec);
  }

  std::string Fs(const std::string& name) const { return dir_ + "/" + name; }
  std::u16string P(const std::string& name) const { return Utf8ToUtf16(Fs(name)); }

  void PutBytes(const std::string& name, std::string_view bytes) const {
    std::ofstream out(Fs(name), std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
  }
  std::string GetBytes(const std::string& name) const {
    std::ifstream in(Fs(name), std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
  }
  bool Exists(const std::string& name) const {
    struct stat st;
    return ::lstat(Fs(name).c_str(), &st) == 0;
  }
  // Names in a folder of the test area, sorted.
  std::vector<std::string> List(const std::string& sub = "") const {
    std::vector<std::string> names;
    for (const auto& e : fs::directory_iterator(sub.empty() ? dir_ : Fs(sub))) {
      names.push_back(e.path().filename().string());
    }
    std::sort(names.begin(), names.end());
    return names;
  }

  std::string dir_;
  CFile file_;
};

// ---- ReadFile / WriteFile ----

TEST_F(CFileTest, JapaneseTextIsWrittenAsCp932AndReadBack) {
  const std::u16string text = u"日本語のテキスト\r\n二行目、ｶﾀｶﾅ～①\r\n";
  ASSERT_TRUE(file_.WriteFile(P("a.txt"), text));
  const std::string bytes = GetBytes("a.txt");
  EXPECT_EQ(bytes.substr(0, 4), "\x93\xFA\x96\x7B");  // 日本, no BOM
  EXPECT_EQ(bytes, *EncodeCp932(text));
  std::u16string back = u"old";
  ASSERT_TRUE(file_.ReadFile(P("a.txt"), back));
  EXPECT_EQ(back, text);
}

TEST_F(CFileTest, TextOutsideCp932IsWrittenAsUtf8WithBom) {
  for (const std::u16string text : {u"😀", u"𠮷野家で日本語", u"wave dash 〜 and é"}) {
    ASSERT_TRUE(file_.WriteFile(P("u.txt"), text));
    const std::string bytes = GetBytes("u.txt");
    EXPECT_EQ(bytes, std::string(kUtf8Bom) + Utf16ToUtf8(text));
    std::u16string back;
    ASSERT_TRUE(file_.ReadFile(P("u.txt"), back));
    EXPECT_EQ(back, text);
  }
}

TEST_F(CFileTest, ReadFileDecodesUtf8WithoutBomAndCp932) {
  PutBytes("utf8.txt", "\xE6\x97\xA5\xE6\x9C\xAC");
  PutBytes("sjis.txt", "\x93\xFA\x96\x7B");
  PutBytes("ascii.txt", "C:\\voice~");
  std::u16string text;
  ASSERT_TRUE(file_.ReadFile(P("utf8.txt"), text));
  EXPECT_EQ(text, u"日本");
  ASSERT_TRUE(file_.ReadFile(P("sjis.txt"), text));
  EXPECT_EQ(text, u"日本");
  ASSERT_TRUE(file_.ReadFile(P("ascii.txt"), text));
  EXPECT_EQ(text, u"C:\\voice~");
}

TEST_F(CFileTest, WriteFileOfEmptyTextTruncates) {
  PutBytes("e.txt", "something long enough");
  EXPECT_TRUE(file_.WriteFile(P("e.txt"), u""));
  EXPECT_EQ(fs::file_size(Fs("e.txt")), 0u);
}

TEST_F(CFileTest, ReadFileOfEmptyFileGivesEmptyText) {
  PutBytes("empty.txt", "");
  std::u16string text = u"previous";
  EXPECT_TRUE(file_.ReadFile(P("empty.txt"), text));
  EXPECT_EQ(text, u"");
}

TEST_F(CFileTest, ReadFileOfMissingFileLeavesTextUntouched) {
  std::u16string text = u"previous";
  EXPECT_FALSE(file_.ReadFile(P("missing.txt"), text));
  EXPECT_EQ(text, u"previous");
  EXPECT_FALSE(file_.ReadFile(u"", text));
  EXPECT_EQ(text, u"previous");
}

TEST_F(CFileTest, ReadFileForBinary) {
  std::string all;
  for (int b = 0; b < 256; ++b) all.push_back(static_cast<char>(b));
  PutBytes("all.bin", all);
  std::vector<uint8_t> bytes = {9, 9};
  ASSERT_TRUE(file_.ReadFileForBinary(P("all.bin"), bytes));
  EXPECT_EQ(bytes, ToBytes(all));

  // Missing: false and untouched. Empty: true and untouched.
  bytes = {1, 2, 3};
  EXPECT_FALSE(file_.ReadFileForBinary(P("missing.bin"), bytes));
  EXPECT_EQ(bytes, (std::vector<uint8_t>{1, 2, 3}));
  PutBytes("empty.bin", "");
  EXPECT_TRUE(file_.ReadFileForBinary(P("empty.bin"), bytes));
  EXPECT_EQ(bytes, (std::vector<uint8_t>{1, 2, 3}));
}

TEST_F(CFileTest, ReadingAFolderFails) {
  fs::create_directory(Fs("sub"));
  std::vector<uint8_t> bytes = {7};
  EXPECT_FALSE(file_.ReadFileForBinary(P("sub"), bytes));
  EXPECT_EQ(bytes, std::vector<uint8_t>{7});
  std::u16string text = u"keep";
  EXPECT_FALSE(file_.ReadFile(P("sub"), text));
  EXPECT_EQ(text, u"keep");
  EXPECT_FALSE(file_.IsFile(P("sub")));
}

TEST_F(CFileTest, ReadingAFifoFailsWithoutBlocking) {
  ASSERT_EQ(::mkfifo(Fs("fifo").c_str(), 0600), 0);
  std::vector<uint8_t> bytes;
  EXPECT_FALSE(file_.ReadFileForBinary(P("fifo"), bytes));
  EXPECT_FALSE(file_.IsFile(P("fifo")));
}

TEST_F(CFileTest, LargeFileIsReadWhole) {
  std::string big(3 * 1024 * 1024 + 17, 'x');
  for (size_t i = 0; i < big.size(); i += 4099) big[i] = static_cast<char>(i & 0xFF);
  ASSERT_TRUE(file_.WriteFileForBinary(P("big.bin"), ToBytes(big), false));
  std::vector<uint8_t> bytes;
  ASSERT_TRUE(file_.ReadFileForBinary(P("big.bin"), bytes));
  EXPECT_EQ(bytes, ToBytes(big));
}

// ---- WriteFileForBinary ----

TEST_F(CFileTest, WriteFileForBinaryWritesExactBytesAndLeavesNoTemporaryFile) {
  std::string all;
  for (int b = 0; b < 256; ++b) all.push_back(static_cast<char>(b));
  PutBytes("out.bin", std::string(10000, 'z'));  // longer than the new content
  ASSERT_TRUE(file_.WriteFileForBinary(P("out.bin"), ToBytes(all), false));
  EXPECT_EQ(GetBytes("out.bin"), all);
  EXPECT_EQ(List(), std::vector<std::string>{"out.bin"});
  ASSERT_TRUE(file_.WriteFileForBinary(P("new.bin"), {}, false));
  EXPECT_EQ(fs::file_size(Fs("new.bin")), 0u);
  EXPECT_EQ(List(), (std::vector<std::string>{"new.bin", "out.bin"}));
}

TEST_F(CFileTest, WriteIntoMissingFolderFails) {
  EXPECT_FALSE(file_.WriteFileForBinary(P("no/such/folder.bin"), ToBytes("x"), false));
  EXPECT_FALSE(file_.WriteFile(P("nofolder/a.txt"), u"x"));
  EXPECT_TRUE(List().empty());
  EXPECT_FALSE(file_.WriteFileForBinary(u"", ToBytes("x"), false));
  EXPECT_FALSE(file_.WriteFileForBinary(P("sub/"), ToBytes("x"), false));
}

TEST_F(CFileTest, WriteOverAFolderFails) {
  fs::create_directory(Fs("sub"));
  EXPECT_FALSE(file_.WriteFileForBinary(P("sub"), ToBytes("x"), false));
  EXPECT_TRUE(fs::is_directory(Fs("sub")));
  EXPECT_EQ(List(), std::vector<std::string>{"sub"});
}

TEST_F(CFileTest, FailedWriteKeepsOldContent) {
  // A file size limit makes write() fail part-way, even for root.
  PutBytes("keep.txt", "old content");
  struct rlimit old {};
  ASSERT_EQ(::getrlimit(RLIMIT_FSIZE, &old), 0);
  auto oldHandler = std::signal(SIGXFSZ, SIG_IGN);
  struct rlimit small = old;
  small.rlim_cur = 1000;
  ASSERT_EQ(::setrlimit(RLIMIT_FSIZE, &small), 0);
  const bool ok = file_.WriteFileForBinary(P("keep.txt"), std::vector<uint8_t>(5000, 'n'), false);
  ::setrlimit(RLIMIT_FSIZE, &old);
  std::signal(SIGXFSZ, oldHandler);
  EXPECT_FALSE(ok);
  EXPECT_EQ(GetBytes("keep.txt"), "old content");
  EXPECT_EQ(List(), std::vector<std::string>{"keep.txt"});
}

TEST_F(CFileTest, WriteInReadOnlyFolderFailsAndKeepsOldContent) {
  if (::geteuid() == 0) GTEST_SKIP() << "root ignores folder permissions";
  fs::create_directory(Fs("ro"));
  PutBytes("ro/keep.txt", "old");
  fs::permissions(Fs("ro"), fs::perms::owner_read | fs::perms::owner_exec);
  EXPECT_FALSE(file_.WriteFile(P("ro/keep.txt"), u"new"));
  fs::permissions(Fs("ro"), fs::perms::owner_all);
  EXPECT_EQ(GetBytes("ro/keep.txt"), "old");
  EXPECT_EQ(List("ro"), std::vector<std::string>{"keep.txt"});
}

TEST_F(CFileTest, ReadOnlyFileIsNotReplaced) {
  if (::geteuid() == 0) GTEST_SKIP() << "root may write any file";
  PutBytes("ro.txt", "old");
  ::chmod(Fs("ro.txt").c_str(), 0444);
  EXPECT_FALSE(file_.WriteFile(P("ro.txt"), u"new"));
  EXPECT_EQ(GetBytes("ro.txt"), "old");
}

TEST_F(CFileTest, ReplacingKeepsPermissionBits) {
  PutBytes("perm.txt", "old");
  ASSERT_EQ(::chmod(Fs("perm.txt").c_str(), 0640), 0);
  ASSERT_TRUE(file_.WriteFile(P("perm.txt"), u"new"));
  struct stat st;
  ASSERT_EQ(::stat(Fs("perm.txt").c_str(), &st), 0);
  EXPECT_EQ(st.st_mode & 07777, 0640u);
  EXPECT_EQ(GetBytes("perm.txt"), "new");

  ASSERT_EQ(::chmod(Fs("perm.txt").c_str(), 0755), 0);
  ASSERT_TRUE(file_.WriteFileForBinary(P("perm.txt"), ToBytes("#!/bin/sh\n"), false));
  ASSERT_EQ(::stat(Fs("perm.txt").c_str(), &st), 0);
  EXPECT_EQ(st.st_mode & 07777, 0755u);
}

TEST_F(CFileTest, NewFileGetsUmaskDefaultMode) {
  const mode_t mask = ::umask(022);
  ASSERT_TRUE(file_.WriteFile(P("fresh.txt"), u"x"));
  ::umask(mask);
  struct stat st;
  ASSERT_EQ(::stat(Fs("fresh.txt").c_str(), &st), 0);
  EXPECT_EQ(st.st_mode & 07777, 0644u);
}

TEST_F(CFileTest, WritingThroughASymlinkReplacesItsTarget) {
  PutBytes("real.txt", "old");
  fs::create_symlink("real.txt", Fs("link.txt"));
  ASSERT_TRUE(file_.WriteFile(P("link.txt"), u"new"));
  EXPECT_TRUE(fs::is_symlink(Fs("link.txt")));
  EXPECT_EQ(GetBytes("real.txt"), "new");
}

TEST_F(CFileTest, WriteWithReNameGoesToTheNextFreeName) {
  PutBytes("report.txt", "first");
  ASSERT_TRUE(file_.WriteFileForBinary(P("report.txt"), ToBytes("second"), true));
  EXPECT_EQ(GetBytes("report.txt"), "first");
  EXPECT_EQ(GetBytes("report(1).txt"), "second");
  ASSERT_TRUE(file_.WriteFileForBinary(P("report.txt"), ToBytes("third"), true));
  EXPECT_EQ(GetBytes("report(2).txt"), "third");
}

TEST_F(CFileTest, AppendFileForBinary) {
  ASSERT_TRUE(file_.AppendFileForBinary(P("log.bin"), ToBytes("ab")));
  ASSERT_TRUE(file_.AppendFileForBinary(P("log.bin"), ToBytes("cd")));
  ASSERT_TRUE(file_.AppendFileForBinary(P("log.bin"), {}));
  EXPECT_EQ(GetBytes("log.bin"), "abcd");
  EXPECT_FALSE(file_.AppendFileForBinary(P("missing/log.bin"), ToBytes("x")));
  fs::create_directory(Fs("sub"));
  EXPECT_FALSE(file_.AppendFileForBinary(P("sub"), ToBytes("x")));
}

// ---- SameFileToReName ----

TEST_F(CFileTest, SameFileToReNameSequence) {
  EXPECT_EQ(file_.SameFileToReName(P("report.txt")), P("report.txt"));
  PutBytes("report.txt", "");
  EXPECT_EQ(file_.SameFileToReName(P("report.txt")), P("report(1).txt"));
  PutBytes("report(1).txt", "");
  EXPECT_EQ(file_.SameFileToReName(P("report.txt")), P("report(2).txt"));
  PutBytes("report(2).txt", "");
  EXPECT_EQ(file_.SameFileToReName(P("report.txt")), P("report(3).txt"));
}

TEST_F(CFileTest, SameFileToReNameContinuesANumberInTheName) {
  PutBytes("report(3).txt", "");
  EXPECT_EQ(file_.SameFileToReName(P("report(3).txt")), P("report(4).txt"));
  PutBytes("report(4).txt", "");
  EXPECT_EQ(file_.SameFileToReName(P("report(3).txt")), P("report(5).txt"));
  // Not a number: the parenthesis stays part of the name.
  PutBytes("a(b).txt", "");
  EXPECT_EQ(file_.SameFileToReName(P("a(b).txt")), P("a(b)(1).txt"));
  PutBytes("a().txt", "");
  EXPECT_EQ(file_.SameFileToReName(P("a().txt")), P("a()(1).txt"));
  // A number not at the end of the name is kept as text.
  PutBytes("x(7)y.txt", "");
  EXPECT_EQ(file_.SameFileToReName(P("x(7)y.txt")), P("x(7)y(1).txt"));
}

TEST_F(CFileTest, SameFileToReNameWithoutExtensionAndDottedFolders) {
  fs::create_directory(Fs("dir.d"));
  PutBytes("dir.d/noext", "");
  EXPECT_EQ(file_.SameFileToReName(P("dir.d/noext")), P("dir.d/noext(1)"));
  PutBytes(".profile", "");
  EXPECT_EQ(file_.SameFileToReName(P(".profile")), P("(1).profile"));
  PutBytes("日本語.txt", "");
  EXPECT_EQ(file_.SameFileToReName(P("日本語.txt")), P("日本語(1).txt"));
  // A folder of that name is taken too.
  fs::create_directory(Fs("taken"));
  EXPECT_EQ(file_.SameFileToReName(P("taken")), P("taken(1)"));
}

// ---- IsFile, FindFile, CreateTempPath, GetFileDateTime ----

TEST_F(CFileTest, IsFile) {
  PutBytes("f.txt", "x");
  EXPECT_TRUE(file_.IsFile(P("f.txt")));
  EXPECT_FALSE(file_.IsFile(P("missing.txt")));
  EXPECT_FALSE(file_.IsFile(u""));
}

TEST_F(CFileTest, FindFileSearchesDepthFirstByName) {
  fs::create_directories(Fs("root/a/b"));
  fs::create_directories(Fs("root/c"));
  PutBytes("root/a/b/target.txt", "");
  PutBytes("root/c/target.txt", "");
  EXPECT_EQ(file_.FindFile(P("root"), u"target.txt"), P("root/a/b/target.txt"));
  EXPECT_EQ(file_.FindFile(P("root/"), u"target.txt"), P("root/a/b/target.txt"));
  PutBytes("root/target.txt", "");
  EXPECT_EQ(file_.FindFile(P("root"), u"target.txt"), P("root/target.txt"));
  EXPECT_EQ(file_.FindFile(P("root"), u"none.txt"), u"");
  EXPECT_EQ(file_.FindFile(P("root"), u"a"), u"");  // a folder is no file
  EXPECT_EQ(file_.FindFile(P("missing"), u"target.txt"), u"");
  EXPECT_EQ(file_.FindFile(P("root"), u""), u"");
  EXPECT_EQ(file_.FindFile(P("root"), u"b/target.txt"), u"");
  fs::create_directories(Fs("root/日本"));
  PutBytes("root/日本/声源.pa", "");
  EXPECT_EQ(file_.FindFile(P("root"), u"声源.pa"), P("root/日本/声源.pa"));
}

TEST_F(CFileTest, FindFileDoesNotFollowFolderLinks) {
  fs::create_directories(Fs("root/sub"));
  fs::create_directories(Fs("outside"));
  PutBytes("outside/hidden.txt", "");
  fs::create_directory_symlink(Fs("root"), Fs("root/sub/loop"));
  fs::create_directory_symlink(Fs("outside"), Fs("root/out"));
  EXPECT_EQ(file_.FindFile(P("root"), u"hidden.txt"), u"");
  EXPECT_EQ(file_.FindFile(P("root"), u"nothing"), u"");
}

TEST_F(CFileTest, CreateTempPathMakesAFreshEmptyFile) {
  const char* saved = std::getenv("TMPDIR");
  const std::string savedValue = saved ? saved : "";
  ::setenv("TMPDIR", (dir_ + "/").c_str(), 1);
  const std::u16string a = file_.CreateTempPath(u"ekoto");
  const std::u16string b = file_.CreateTempPath(u"ekoto");
  if (saved) {
    ::setenv("TMPDIR", savedValue.c_str(), 1);
  } else {
    ::unsetenv("TMPDIR");
  }
  ASSERT_FALSE(a.empty());
  EXPECT_NE(a, b);
  EXPECT_EQ(a.substr(0, P("ekoto").size()), P("ekoto"));
  EXPECT_TRUE(file_.IsFile(a));
  EXPECT_EQ(fs::file_size(Utf16ToUtf8(a)), 0u);
}

TEST_F(CFileTest, GetFileDateTime) {
  PutBytes("t.txt", "x");
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

// ---- Path splitting ----

struct SplitCase {
  std::u16string path, folder, name;
  std::optional<std::u16string> ext;
  std::u16string base;
};

TEST(CFilePaths, SplittingTable) {
  CFile f;
  const std::vector<SplitCase> cases = {
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
  EXPECT_EQ(f.MyRight(u"abcdef", 2), u"ef");
  EXPECT_EQ(f.MyRight(u"abcdef", 6), u"abcdef");
  EXPECT_EQ(f.MyRight(u"abcdef", 10), u"abcdef");
  EXPECT_EQ(f.MyRight(u"abcdef", 0), u"");
  EXPECT_EQ(f.MyRight(u"abcdef", -3), u"");
  EXPECT_EQ(f.MyRight(u"", 3), u"");
  EXPECT_EQ(f.MyRight(u"日本語", 2), u"本語");
}

TEST(CFileText, Inside) {
  CFile f;
  int32_t end = -1;
  // Positions: a1 [2 b3 ]4 c5 [6 d7 ]8 e9
  EXPECT_EQ(f.Inside(u"a[b]c[d]e", u"[", u"]", 1, end), u"b");
  EXPECT_EQ(end, 5);
  EXPECT_EQ(f.Inside(u"a[b]c[d]e", u"[", u"]", end, end), u"d");
  EXPECT_EQ(end, 9);
  EXPECT_EQ(f.Inside(u"a[b]c[d]e", u"[", u"]", end, end), u"");
  EXPECT_EQ(end, 0);
  EXPECT_EQ(f.Inside(u"a[b]c[d]e", u"[", u"]", 3, end), u"d");  // from b on
  EXPECT_EQ(end, 9);
  EXPECT_EQ(f.Inside(u"a[b]c[d]e", u"[", u"]", 0, end), u"b");  // below 1 counts as 1
  // Positions: x1 <2 <3 名4 前5 >6 >7 y8
  EXPECT_EQ(f.Inside(u"x<<名前>>y", u"<<", u">>", 1, end), u"名前");
  EXPECT_EQ(end, 8);
  EXPECT_EQ(f.Inside(u"[]", u"[", u"]", 1, end), u"");  // empty but enclosed
  EXPECT_EQ(end, 3);
  EXPECT_EQ(f.Inside(u"a[b", u"[", u"]", 1, end), u"");  // no closing token
  EXPECT_EQ(end, 0);
  EXPECT_EQ(f.Inside(u"abc", u"[", u"]", 1, end), u"");
  EXPECT_EQ(end, 0);
  EXPECT_EQ(f.Inside(u"a[b]", u"", u"]", 1, end), u"");
  EXPECT_EQ(end, 0);
  EXPECT_EQ(f.Inside(u"a[b]", u"[", u"]", 99, end), u"");
  EXPECT_EQ(end, 0);
}

TEST(CFileText, InsideArray) {
  CFile f;
  EXPECT_EQ(f.InsideArray(u"a[b]c[d]e[", u"[", u"]"), (std::vector<std::u16string>{u"b", u"d"}));
  EXPECT_EQ(f.InsideArray(u"[x][][y]", u"[", u"]"), (std::vector<std::u16string>{u"x", u"", u"y"}));
  EXPECT_EQ(f.InsideArray(u"<a>b</a><a>c</a>", u"<a>", u"</a>"), (std::vector<std::u16string>{u"b", u"c"}));
  EXPECT_TRUE(f.InsideArray(u"nothing", u"[", u"]").empty());
  EXPECT_TRUE(f.InsideArray(u"[a]", u"", u"").empty());
  // Same token on both sides.
  EXPECT_EQ(f.InsideArray(u"'a' and 'b'", u"'", u"'"), (std::vector<std::u16string>{u"a", u"b"}));
}

// ---- Escaped forms ----

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
  std::vector<uint8_t> all;
  for (int b = 0; b < 256; ++b) all.push_back(static_cast<uint8_t>(b));
  const std::u16string enc = f.EncodeFromBinary(all);
  for (char16_t c : enc) ASSERT_LT(c, 0x80);
  std::vector<uint8_t> back;
  ASSERT_TRUE(f.DecodeToBinary(enc, back));
  EXPECT_EQ(back, all);
  EXPECT_EQ(f.EncodeFromBinary(ToBytes("A%\"\n\xFF")), u"A%%%22%0A%FF");
  EXPECT_EQ(f.EncodeFromBinary({}), u"");
  ASSERT_TRUE(f.DecodeToBinary(u"", back));
  EXPECT_TRUE(back.empty());
  // Lower-case hex digits are accepted.
  ASSERT_TRUE(f.DecodeToBinary(u"%ff%0a", back));
  EXPECT_EQ(back, (std::vector<uint8_t>{0xFF, 0x0A}));
  // Characters that EncodeFromText keeps become their CP932 bytes.
  ASSERT_TRUE(f.DecodeToBinary(f.EncodeFromText(u"日本ｱ%"), back));
  EXPECT_EQ(back, ToBytes("\x93\xFA\x96\x7B\xB1%"));
}

TEST(CFileEscape, MalformedEscapes) {
  CFile f;
  const std::vector<uint8_t> before = {42};
  for (const std::u16string bad : {u"%", u"abc%", u"%4", u"%G0", u"%4G", u"x%%%", u"😀"}) {
    std::vector<uint8_t> dest = before;
    EXPECT_FALSE(f.DecodeToBinary(bad, dest)) << Utf16ToUtf8(bad);
    EXPECT_EQ(dest, before) << Utf16ToUtf8(bad);
  }
  // DecodeToText keeps a "%" that starts no escape.
  EXPECT_EQ(f.DecodeToText(u"100%"), u"100%");
  EXPECT_EQ(f.DecodeToText(u"%G0%41"), u"%G0A");
}

}  // namespace
}  // namespace ekoto
