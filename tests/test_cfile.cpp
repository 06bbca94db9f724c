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
  EXPECT_FALSE(file_.WriteFileForBinary(P("no/such/folder.bin"), ToBytes("x"), false));
  EXPECT_FALSE(file_.WriteFileForBinary(u"", ToBytes("x"), false));
  EXPECT_EQ(List(), (std::vector<std::string>{"f.txt", "fifo", "sub"}));
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

TEST_F(CFileTest, ModesAndSymlinksSurviveReplacing) {
  Put("perm.txt", "old");
  ASSERT_EQ(::chmod(Fs("perm.txt").c_str(), 0640), 0);
  ASSERT_TRUE(file_.WriteFile(P("perm.txt"), u"new"));
  EXPECT_EQ(Mode("perm.txt"), 0640u);
  EXPECT_EQ(Get("perm.txt"), "new");


  Put("real.txt", "old");
  fs::create_symlink("real.txt", Fs("link.txt"));
  ASSERT_TRUE(file_.WriteFile(P("link.txt"), u"new"));
  EXPECT_TRUE(fs::is_symlink(Fs("link.txt")));
  EXPECT_EQ(Get("real.txt"), "new");
}

// The escaped forms: "%XX" for control and single-byte codes; either form decodes back.
TEST(CFileEscape, FormsAndRoundTrips) {
  CFile f;
  EXPECT_EQ(f.EncodeFromText(u"100% \"hi\"\r\nｱ日本😀"), u"100%% %22hi%22%0D%0A%B1日本😀");
  EXPECT_EQ(f.EncodeFromText2(u"日本a%"), u"%93%FA%96{a%%");
  EXPECT_EQ(f.EncodeFromText2(u"😀"), u"%EF%BB%BF%F0%9F%98%80");  // UTF-8 after a BOM
  for (const std::u16string t : {u"", u"100% \"q\"\r\n\t\u0001\u007F", u"日本語、ｶﾀｶﾅ～①", u"ﾃｩ", u"𠮷😀と日本語",
                                 u"\u0080\uF8F0", u"a%41b"}) {
    EXPECT_EQ(f.DecodeToText(f.EncodeFromText(t)), t) << Utf16ToUtf8(t);
    EXPECT_EQ(f.DecodeToText(f.EncodeFromText2(t)), t) << Utf16ToUtf8(t);
  }
  Bytes back;
  ASSERT_TRUE(f.DecodeToBinary(f.EncodeFromBinary(ToBytes(AllByteValues())), back));
  EXPECT_EQ(back, ToBytes(AllByteValues()));
  ASSERT_TRUE(f.DecodeToBinary(u"%ff%0a", back));
  EXPECT_EQ(back, (Bytes{0xFF, 0x0A}));
  for (const std::u16string bad : {u"%", u"abc%", u"%4", u"%G0", u"x%%%", u"😀"}) {
    Bytes dest = {42};
    EXPECT_FALSE(f.DecodeToBinary(bad, dest)) << Utf16ToUtf8(bad);
    EXPECT_EQ(dest, Bytes{42}) << Utf16ToUtf8(bad);
  }
  EXPECT_EQ(f.DecodeToText(u"%G0%41"), u"%G0A");  // a "%" that starts no escape is kept
}

}  // namespace
}  // namespace ekoto
