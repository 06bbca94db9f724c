// The voice source file readers on files built byte by byte: lookups, listing,
// the cipher flag, hostile tables, and re-reading a file that changed on disk.
// Any bytes at all are the fuzz target's: found exactly when the first entry of a
// name with a sample lies inside the file, with exactly its bytes.
#include <gtest/gtest.h>

#include <chrono>
#include <cstring>
#include <optional>
#include <thread>
#include <tuple>

#include "PaTestFiles.h"
#include "voice/CRC4.h"
#include "voice/PaFile.h"

namespace ekoto {
namespace {

using Bytes = std::vector<uint8_t>;
using Names = std::optional<std::vector<std::u16string>>;
using testing::RawPa;

const std::string kA = "\x82\xa0", kI = "\x82\xa2", kKa = "\x82\xa9";  // あ, い, か
constexpr int32_t kNoHeader = -12345;  // a rate no reader hands out, to see whether a header came back

class PaFileTest : public ::testing::Test {
 protected:
  std::u16string Write(const RawPa& pa, const std::string& name = "voice.pa") {
    testing::WriteBytes(m_dir.Path(name), pa.bytes());
    return m_dir.Path16(name);
  }
  // The sample found for unit (nullopt when none), and whether the header came back.
  static std::pair<std::optional<Bytes>, bool> Find(const std::u16string& path, const std::u16string& unit) {
    Bytes sample;
    PAHEADER header;
    header.lSampleRate = kNoHeader;
    const bool bFound = FindPASound(path, unit, sample, header);
    return {bFound ? std::optional<Bytes>(sample) : std::nullopt, header.lSampleRate != kNoHeader};
  }
  static Names List(const std::u16string& path) {
    PAHEADER header;
    header.lSampleRate = kNoHeader;
    const Names names = GetPASoundNames(path, header);
    EXPECT_EQ(names.has_value(), header.lSampleRate != kNoHeader);
    return names;
  }
  testing::ScratchDir m_dir;
};

TEST_F(PaFileTest, LookupsAndListing) {
  const RawPa kana = RawPa().Header(2).Entry("A", {1}).Entry("\x83\x41", {2});  // half-width A, katakana ア
  const RawPa good = RawPa().Header(3).Entry(kA, {1, 2});
  const Bytes stored = {0x00, 0x11, 0x22};
  Bytes plain = stored;
  ASSERT_TRUE(CRC4().DecryptByte(plain, u"tun7"));
  const std::tuple<const char*, RawPa, std::u16string, std::optional<Bytes>, bool, Names> rows[] = {
      {"sample is L bytes of the area", RawPa().Header(1).Int32(2).Raw(kA).Int32(3).Raw(Bytes{10, 20, 30, 40}), u"あ",
       Bytes{10, 20, 30}, true, Names{{u"あ"}}},
      {"not held: header after a full scan", RawPa().Header(1).Entry(kA, {1}), u"い", {}, true, Names{{u"あ"}}},
      {"first with a sample wins", RawPa().Header(3).Entry(kKa, {}).Entry(kKa, {7}).Entry(kKa, {3, 3}), u"か", Bytes{7},
       true, Names{{u"か", u"か", u"か"}}},
      {"half-width A", kana, u"A", Bytes{1}, true, Names{{u"A", u"ア"}}},
      {"full-width A", kana, u"Ａ", {}, true, Names{{u"A", u"ア"}}},
      // Each sample deciphers from a fresh keystream, only under cipher flag 1.
      {"cipher 1", RawPa().Header(2, 1).Entry(kA, {9, 9}).Entry(kI, stored), u"い", plain, true, Names{{u"あ", u"い"}}},
      {"cipher 2", RawPa().Header(1, 2).Entry(kI, stored), u"い", stored, true, Names{{u"い"}}},
      {"fourth magic byte", RawPa().Header(1, 0, 23, "PA \x01").Entry(kA, {1}), u"あ", {}, false, {}},
      {"version 2", RawPa().Header(1, 0, 23, "PA  ", 2).Entry(kA, {1}), u"あ", {}, false, {}},
      {"version 0", RawPa().Header(1, 0, 23, "PA  ", 0).Entry(kA, {1}), u"あ", {}, false, {}},
      {"entry count 0", RawPa().Header(0).Entry(kA, {1}), u"あ", {}, true, {}},
      {"table offset past the end", RawPa().Header(1, 0, 1000).Entry(kA, {9}), u"あ", {}, false, {}},
      // The last sample needs no spare byte; one that runs past the end is never returned.
      {"last sample fills the file", RawPa().Header(1).Int32(2).Raw(kA).Int32(3).Raw(Bytes{1, 2, 3}), u"あ",
       Bytes{1, 2, 3}, true, Names{{u"あ"}}},
      {"last sample one byte short", RawPa().Header(1).Int32(2).Raw(kA).Int32(4).Raw(Bytes{1, 2, 3}), u"あ", {},
       false, Names{{u"あ"}}},
      // Tables that break off: names read before the break still play, nothing else does.
      {"truncated mid-name", RawPa(good).Int32(2).Raw("\x82"), u"あ", Bytes{1, 2}, true, {}},
      {"name length INT32_MAX", RawPa(good).Int32(INT32_MAX).Raw(kI).Int32(1).Raw(Bytes{5, 0}), u"い", {}, false, {}},
      {"name length 0", RawPa(good).Int32(0).Int32(1).Raw(Bytes{5, 0}), u"", {}, false, {}},
      {"negative name length", RawPa(good).Int32(-4).Raw(kI).Int32(1).Raw(Bytes{5, 0}), u"い", {}, false, {}},
      {"entry count INT32_MAX", RawPa().Header(INT32_MAX).Entry(kA, {1, 2}), u"あ", Bytes{1, 2}, true, {}},
  };
  for (const auto& [label, pa, unit, sample, bHeader, names] : rows) {
    const std::u16string path = Write(pa);
    EXPECT_EQ(Find(path, unit), std::make_pair(sample, bHeader)) << label;
    EXPECT_EQ(Find(path, unit), std::make_pair(sample, bHeader)) << label << ", asked again";
    EXPECT_EQ(List(path), names) << label;
  }
  EXPECT_FALSE(Find(m_dir.Path16("missing.pa"), u"あ").first);
  EXPECT_FALSE(Find(m_dir.Root().u16string(), u"あ").first);  // a folder

  PAHEADER h;
  Bytes sample;
  ASSERT_TRUE(FindPASound(Write(RawPa().Header(1).Entry(kA, {1})), u"あ", sample, h));
  EXPECT_EQ(std::tie(h.magic[0], h.version, h.lSampleRate, h.nBitsPerSample, h.nChannels, h.lEntryCount, h.lTableOffset, h.nCipher),
            std::make_tuple('P', uint8_t{1}, 22050, int16_t{8}, int16_t{1}, 1, 23, int16_t{0}));
}

// A file that changes on disk is read afresh at the next call, whether it is rewritten
// in place with the same size or replaced. The file is first made older than the time
// within which the readers never trust what they kept, so that the kept index is used.
TEST_F(PaFileTest, ChangedFileIsReadAfresh) {
  const std::u16string path = Write(RawPa().Header(1).Entry(kA, {1, 1}));
  Write(RawPa().Header(2).Entry(kKa, {5}).Entry(kA, {6, 6, 6}), "other.pa");
  std::this_thread::sleep_for(std::chrono::milliseconds(2200));
  EXPECT_EQ(Find(path, u"あ").first, (Bytes{1, 1}));
  std::fstream(m_dir.Path("voice.pa"), std::ios::in | std::ios::out | std::ios::binary).seekp(33).write("\x02\x03", 2);
  EXPECT_EQ(Find(path, u"あ").first, (Bytes{2, 3}));  // same size, same inode, new sample
  std::filesystem::rename(m_dir.Path("other.pa"), m_dir.Path("voice.pa"));
  EXPECT_EQ(Find(path, u"あ").first, (Bytes{6, 6, 6}));
  EXPECT_EQ(List(path), (Names{{u"か", u"あ"}}));
  std::filesystem::resize_file(m_dir.Path("voice.pa"), 46);  // cut short: not served from memory
  EXPECT_FALSE(Find(path, u"あ").first);
  std::filesystem::remove(m_dir.Path("voice.pa"));
  EXPECT_FALSE(Find(path, u"か").first);
}

}  // namespace
}  // namespace ekoto
