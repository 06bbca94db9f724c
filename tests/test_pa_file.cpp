// The voice source file readers on files built byte by byte: lookups, listing,
// the cipher flag, hostile tables, and re-reading a file that changed on disk.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <chrono>
#include <cstring>
#include <thread>

#include "PaTestFiles.h"
#include "voice/CRC4.h"
#include "voice/PaFile.h"

namespace ekoto {
namespace {

using Bytes = std::vector<uint8_t>;
using testing::RawPa;

const std::string kA = "\x82\xa0";   // あ
const std::string kI = "\x82\xa2";   // い
const std::string kKa = "\x82\xa9";  // か

// A header no reader would hand out, to see whether one was.
PAHEADER Sentinel() {
  PAHEADER h;
  h.lSampleRate = -12345;
  return h;
}

class PaFileTest : public ::testing::Test {
 protected:
  std::u16string Write(const RawPa& pa, const std::string& name = "voice.pa") {
    testing::WriteBytes(m_dir.Path(name), pa.bytes());
    return m_dir.Path16(name);
  }

  struct Lookup {
    bool bFound = false;
    Bytes sample;
    bool bHeader = false;
    PAHEADER header;
  };
  static Lookup Find(const std::u16string& path, const std::u16string& unit) {
    Lookup r;
    r.header = Sentinel();
    r.bFound = FindPASound(path, unit, r.sample, r.header);
    r.bHeader = r.header.lSampleRate != Sentinel().lSampleRate;
    return r;
  }

  testing::ScratchDir m_dir;
};

TEST_F(PaFileTest, SampleIsLBytesOfTheArea) {
  const std::u16string path = Write(RawPa().Header(1).Int32(2).Raw(kA).Int32(3).Raw(Bytes{10, 20, 30, 40}));
  Lookup a = Find(path, u"あ");
  ASSERT_TRUE(a.bFound);
  EXPECT_EQ(a.sample, (Bytes{10, 20, 30}));
  EXPECT_EQ(std::memcmp(a.header.magic, "PA  ", 4), 0);
  EXPECT_EQ(a.header.version, 1);
  EXPECT_EQ(a.header.lSampleRate, 22050);
  EXPECT_EQ(a.header.nBitsPerSample, 8);
  EXPECT_EQ(a.header.nChannels, 1);
  EXPECT_EQ(a.header.lEntryCount, 1);
  EXPECT_EQ(a.header.lTableOffset, 23);
  EXPECT_EQ(a.header.nCipher, 0);

  Lookup i = Find(path, u"い");
  EXPECT_FALSE(i.bFound);
  EXPECT_TRUE(i.bHeader);  // the scan read every entry
}

TEST_F(PaFileTest, FirstEntryWithASampleWins) {
  const std::u16string skipEmpty = Write(RawPa().Header(2).Entry(kKa, {}).Entry(kKa, {7, 8}), "a.pa");
  EXPECT_EQ(Find(skipEmpty, u"か").sample, (Bytes{7, 8}));

  const std::u16string twice = Write(RawPa().Header(3).Entry(kKa, {1}).Entry(kA, {2}).Entry(kKa, {3, 3}), "b.pa");
  EXPECT_EQ(Find(twice, u"か").sample, (Bytes{1}));
  PAHEADER header = Sentinel();
  EXPECT_EQ(GetPASoundNames(twice, header), (std::vector<std::u16string>{u"か", u"あ", u"か"}));
  EXPECT_EQ(header.lEntryCount, 3);

  // Only L = 0: passed over, the scan ends normally.
  const std::u16string empty = Write(RawPa().Header(1).Entry(kKa, {}), "c.pa");
  Lookup ka = Find(empty, u"か");
  EXPECT_FALSE(ka.bFound);
  EXPECT_TRUE(ka.bHeader);
}

TEST_F(PaFileTest, NamesCompareExactly) {
  // Half-width and full-width A, hiragana and katakana are different units.
  const std::u16string path = Write(RawPa().Header(2).Entry("A", {1}).Entry("\x83\x41", {2}));  // A, ア
  EXPECT_EQ(Find(path, u"A").sample, (Bytes{1}));
  EXPECT_EQ(Find(path, u"ア").sample, (Bytes{2}));
  for (const std::u16string unit : {u"a", u"Ａ", u"あ", u"A ", u""}) {
    Lookup r = Find(path, unit);
    EXPECT_FALSE(r.bFound) << Utf16ToUtf8(unit);
    EXPECT_TRUE(r.bHeader);
  }
}

TEST_F(PaFileTest, HeaderCheckFailures) {
  struct Row {
    const char* label;
    RawPa pa;
  };
  const Row rows[] = {
      {"fourth magic byte", RawPa().Header(1, 0, 23, "PA \x01").Entry(kA, {1})},
      {"lower-case magic", RawPa().Header(1, 0, 23, "pa  ").Entry(kA, {1})},
      {"version 2", RawPa().Header(1, 0, 23, "PA  ", 2).Entry(kA, {1})},
      {"version 0", RawPa().Header(1, 0, 23, "PA  ", 0).Entry(kA, {1})},
      {"short header", RawPa().Header(1).Truncate(22)},
      {"empty file", RawPa()},
  };
  for (const Row& row : rows) {
    const std::u16string path = Write(row.pa);
    Lookup r = Find(path, u"あ");
    EXPECT_FALSE(r.bFound) << row.label;
    EXPECT_FALSE(r.bHeader) << row.label;
    PAHEADER header = Sentinel();
    EXPECT_EQ(GetPASoundNames(path, header), std::nullopt) << row.label;
    EXPECT_EQ(header.lSampleRate, Sentinel().lSampleRate) << row.label;
  }
  EXPECT_FALSE(Find(m_dir.Path16("missing.pa"), u"あ").bFound);
  EXPECT_FALSE(Find(m_dir.Root().u16string(), u"あ").bFound);  // a folder
}

TEST_F(PaFileTest, CipherFlag) {
  const Bytes stored1 = {0x00, 0x11, 0x22, 0x33, 0x44};
  const Bytes stored2 = {0x55, 0x66, 0x77};
  // Each sample deciphers from a fresh keystream.
  Bytes plain1 = stored1, plain2 = stored2;
  ASSERT_TRUE(CRC4().DecryptByte(plain1, u"tun7"));
  ASSERT_TRUE(CRC4().DecryptByte(plain2, u"tun7"));
  ASSERT_NE(plain1, stored1);

  struct Row {
    int16_t cipher;
    Bytes expected1, expected2;
  };
  const Row rows[] = {{1, plain1, plain2}, {0, stored1, stored2}, {2, stored1, stored2}, {-1, stored1, stored2}};
  for (const Row& row : rows) {
    const std::u16string path = Write(RawPa().Header(2, row.cipher).Entry(kA, stored1).Entry(kI, stored2));
    EXPECT_EQ(Find(path, u"あ").sample, row.expected1) << "cipher " << row.cipher;
    EXPECT_EQ(Find(path, u"い").sample, row.expected2) << "cipher " << row.cipher;
    // Asking again gives the same bytes: no keystream carries over.
    EXPECT_EQ(Find(path, u"い").sample, row.expected2) << "cipher " << row.cipher;
  }
}

TEST_F(PaFileTest, EntryCountsOfZeroOrLess) {
  for (int32_t count : {0, -1, INT32_MIN}) {
    const std::u16string path = Write(RawPa().Header(count).Entry(kA, {1}));
    Lookup r = Find(path, u"あ");
    EXPECT_FALSE(r.bFound) << count;
    EXPECT_TRUE(r.bHeader) << count;
    PAHEADER header = Sentinel();
    EXPECT_EQ(GetPASoundNames(path, header), std::nullopt) << count;
  }
}

TEST_F(PaFileTest, TableOffsetAndGap) {
  // Bytes between the header and the table are not read.
  const std::u16string gap = Write(RawPa().Header(1, 0, 30).Raw("garbage").Entry(kA, {9}), "gap.pa");
  EXPECT_EQ(Find(gap, u"あ").sample, (Bytes{9}));

  for (int32_t offset : {1000, INT32_MAX, -1, INT32_MIN}) {
    const std::u16string path = Write(RawPa().Header(1, 0, offset).Entry(kA, {9}));
    Lookup r = Find(path, u"あ");
    EXPECT_FALSE(r.bFound) << offset;
    EXPECT_FALSE(r.bHeader) << offset;
    PAHEADER header = Sentinel();
    EXPECT_EQ(GetPASoundNames(path, header), std::nullopt) << offset;
  }
}

// Tables that break off: names read before the break still play; everything
// else gives false without the header, and the list is withheld.
TEST_F(PaFileTest, HostileTables) {
  const RawPa good = RawPa().Header(3).Entry(kA, {1, 2});
  struct Row {
    const char* label;
    RawPa pa;
  };
  const Row rows[] = {
      {"truncated mid-name", RawPa(good).Int32(2).Raw("\x82")},
      {"truncated in the length field", RawPa(good).Int32(2).Raw(kI).Raw(Bytes{1, 0})},
      {"truncated before an entry", RawPa(good)},
      {"name length 0x7fffffff", RawPa(good).Int32(INT32_MAX).Raw(kI).Int32(1).Raw(Bytes{5, 0})},
      {"name length 0", RawPa(good).Int32(0).Int32(1).Raw(Bytes{5, 0})},
      {"negative name length", RawPa(good).Int32(-4).Raw(kI).Int32(1).Raw(Bytes{5, 0})},
      {"negative sample length", RawPa(good).Int32(2).Raw(kI).Int32(-1).Raw(Bytes{5, 0}).Entry(kKa, {6})},
      {"sample length beyond the file", RawPa(good).Int32(2).Raw(kI).Int32(1 << 30).Raw(Bytes{5, 0}).Entry(kKa, {6})},
      // 2^31 - 1 entries claimed on a tiny file: the walk ends at the end of the file.
      {"entry count 2^31-1", RawPa().Header(INT32_MAX).Entry(kA, {1, 2})},
  };
  for (const Row& row : rows) {
    const std::u16string path = Write(row.pa);
    Lookup a = Find(path, u"あ");
    EXPECT_TRUE(a.bFound) << row.label;
    EXPECT_EQ(a.sample, (Bytes{1, 2})) << row.label;
    EXPECT_TRUE(a.bHeader) << row.label;
    for (const std::u16string unit : {u"い", u"か", u"ん", u""}) {  // "" never matches a nameless entry
      Lookup r = Find(path, unit);
      EXPECT_FALSE(r.bFound) << row.label;
      EXPECT_FALSE(r.bHeader) << row.label;
    }
    PAHEADER header = Sentinel();
    EXPECT_EQ(GetPASoundNames(path, header), std::nullopt) << row.label;
  }
}

TEST_F(PaFileTest, SampleCutShortIsNeverReturned) {
  // The matching entry's sample runs past the end: no bytes from beyond it.
  const std::u16string cut = Write(RawPa().Header(1).Int32(2).Raw(kA).Int32(100).Raw(Bytes{1, 2, 3}), "cut.pa");
  Lookup r = Find(cut, u"あ");
  EXPECT_FALSE(r.bFound);
  EXPECT_TRUE(r.sample.empty());
  EXPECT_FALSE(r.bHeader);

  // The last sample fills the file but lacks its spare byte, which no reader reads.
  const std::u16string tight = Write(RawPa().Header(1).Int32(2).Raw(kA).Int32(3).Raw(Bytes{1, 2, 3}), "tight.pa");
  EXPECT_EQ(Find(tight, u"あ").sample, (Bytes{1, 2, 3}));
  PAHEADER header = Sentinel();
  EXPECT_EQ(GetPASoundNames(tight, header), (std::vector<std::u16string>{u"あ"}));

  // A huge last sample: the name is listed (the list never reads samples), the lookup fails.
  const std::u16string huge =
      Write(RawPa().Header(2).Entry(kI, {4}).Int32(2).Raw(kA).Int32(INT32_MAX).Raw(Bytes{1}), "huge.pa");
  EXPECT_FALSE(Find(huge, u"あ").bFound);
  EXPECT_EQ(Find(huge, u"い").sample, (Bytes{4}));
  EXPECT_EQ(GetPASoundNames(huge, header), (std::vector<std::u16string>{u"い", u"あ"}));
}

TEST_F(PaFileTest, InvalidNameBytesDecodeLikeAnyOther) {
  // 0x82 0x20 is no CP932 character: the name decodes to U+FFFD and a space, which no
  // unit equals, and the scan goes on past it.
  const std::u16string path = Write(RawPa().Header(2).Entry("\x82\x20", {1}).Entry(kA, {2}));
  EXPECT_EQ(Find(path, u"あ").sample, (Bytes{2}));
  PAHEADER header = Sentinel();
  const auto names = GetPASoundNames(path, header);
  ASSERT_TRUE(names);
  EXPECT_EQ(names->size(), 2u);
}

// A file that changes on disk is read afresh at the next call, whether it is rewritten
// in place with the same size or replaced. The file is first made older than the time
// within which the readers never trust what they kept, so that the kept index is used.
TEST_F(PaFileTest, ChangedFileIsReadAfresh) {
  const std::u16string path = Write(RawPa().Header(1).Entry(kA, {1, 1}));
  Write(RawPa().Header(2).Entry(kKa, {5}).Entry(kA, {6, 6, 6}), "other.pa");
  std::this_thread::sleep_for(std::chrono::milliseconds(2200));
  EXPECT_EQ(Find(path, u"あ").sample, (Bytes{1, 1}));
  EXPECT_EQ(Find(path, u"あ").sample, (Bytes{1, 1}));

  // Same size, same name, new sample, rewritten in place (same inode).
  {
    std::fstream f(m_dir.Path("voice.pa"), std::ios::in | std::ios::out | std::ios::binary);
    f.seekp(23 + 4 + 2 + 4);
    f.write("\x02\x03", 2);
  }
  EXPECT_EQ(Find(path, u"あ").sample, (Bytes{2, 3}));

  // Replaced by another file through a rename.
  std::filesystem::rename(m_dir.Path("other.pa"), m_dir.Path("voice.pa"));
  EXPECT_EQ(Find(path, u"あ").sample, (Bytes{6, 6, 6}));
  PAHEADER header = Sentinel();
  EXPECT_EQ(GetPASoundNames(path, header), (std::vector<std::u16string>{u"か", u"あ"}));

  // Cut short: the sample is gone, not served from memory.
  std::filesystem::resize_file(m_dir.Path("voice.pa"), 46);
  EXPECT_FALSE(Find(path, u"あ").bFound);
  std::filesystem::remove(m_dir.Path("voice.pa"));
  EXPECT_FALSE(Find(path, u"か").bFound);
}

}  // namespace
}  // namespace ekoto
