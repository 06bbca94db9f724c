// 16-bit voices: volume scaling of signed samples, ekoto-pa building and unpacking
// them unchanged, and the bundled voice's own limits.
#include <gtest/gtest.h>

#include <cstdlib>

#include "PaTestFiles.h"
#include "RunTool.h"
#include "audio/LoadSoundWithVolume.h"
#include "voice/AudioImport.h"
#include "voice/PaCheck.h"
#include "voice/PaScan.h"
#include "voice/PaWriter.h"

namespace ekoto {
namespace {

using Bytes = std::vector<uint8_t>;

Bytes Le16(std::initializer_list<int> samples) {
  Bytes b;
  for (int s : samples) {
    b.push_back(static_cast<uint8_t>(s & 0xFF));
    b.push_back(static_cast<uint8_t>((s >> 8) & 0xFF));
  }
  return b;
}

std::string Quote(const std::filesystem::path& p) { return "'" + p.string() + "'"; }

TEST(Voice16, ScalesSignedSamplesWithClippingAndEvenTies) {
  const Bytes sample = Le16({0, 1, -1, 3, 5, -3, 8191, 8192, -8192, -8193, 32767, -32768});
  const struct {
    int16_t nBits;
    float factor;
    Bytes expected;
  } rows[] = {
      {16, 1.0f, sample},
      {16, 0.0f, Le16({0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0})},
      // x4, the default volume: 8191 is the largest sample that does not clip.
      {16, 4.0f, Le16({0, 4, -4, 12, 20, -12, 32764, 32767, -32768, -32768, 32767, -32768})},
      // 1.5 -> 2, 2.5 -> 2, -1.5 -> -2: ties to even.
      {16, 0.5f, Le16({0, 0, 0, 2, 2, -2, 4096, 4096, -4096, -4096, 16384, -16384})},
      // An 8-bit voice reads the same bytes as unsigned samples around 127.
      {8, 2.0f, {0, 0, 0, 0, 255, 255, 0, 0, 0, 0, 255, 255, 255, 0, 0, 0, 0, 255, 255, 255, 255, 127, 0, 129}},
  };
  for (const auto& r : rows) {
    Bytes scaled = sample;
    ScaleSample(scaled, r.nBits, r.factor);
    EXPECT_EQ(scaled, r.expected) << r.nBits << " bits, factor " << r.factor;
  }
}

TEST(Voice16, PlaybackLoadsAndScalesA16BitFile) {
  testing::ScratchDir dir;
  ASSERT_TRUE(WritePAFile(dir.Path16("v.pa"), {{u"か", Le16({100, -20000, 7})}}, 24000, 1, 16).bOk);
  PAHEADER header;
  EXPECT_EQ(LoadSoundWithVolume(dir.Path16("v.pa"), u"か", 2.0f, header), Le16({200, -32768, 14}));
  EXPECT_EQ(header.nBitsPerSample, 16);
  // Half a sample cannot be stored.
  EXPECT_FALSE(WritePAFile(dir.Path16("odd.pa"), {{u"か", {1, 2, 3}}}, 24000, 0, 16).bOk);
}

TEST(Voice16, EkotoPaBuildsAndExtracts16BitUnchanged) {
  if (!std::filesystem::exists(std::string(EKOTO_BIN_DIR) + "/ekoto-pa")) GTEST_SKIP() << "ekoto-pa not built";
  testing::ScratchDir dir;
  const Bytes sample = Le16({0, 12345, -12345, 32767, -32768, 1});
  std::filesystem::create_directory(dir.Path("in"));
  testing::WriteBytes(dir.Path("in") / "ぱ.wav", *MakeWavPcm(sample, 24000, 1, 16));
  const auto build = testing::RunTool("ekoto-pa", "build " + Quote(dir.Path("v.pa")) + " " + Quote(dir.Path("in")) +
                                                      " --bits 16 --cipher");
  ASSERT_EQ(build.status, 0) << build.output;
  Bytes found;
  PAHEADER header;
  ASSERT_TRUE(FindPASound(dir.Path16("v.pa"), u"ぱ", found, header));
  EXPECT_EQ(found, sample);
  EXPECT_EQ(header.nBitsPerSample, 16);

  const auto extract = testing::RunTool("ekoto-pa", "extract " + Quote(dir.Path("v.pa")) + " " + Quote(dir.Path("out")));
  ASSERT_EQ(extract.status, 0) << extract.output;
  EXPECT_EQ(testing::ReadBytes(dir.Path("out") / "ぱ.wav"), *MakeWavPcm(sample, 24000, 1, 16));
  EXPECT_NE(testing::RunTool("ekoto-pa", "build " + Quote(dir.Path("w.pa")) + " " + Quote(dir.Path("in")) + " --bits 12")
                .status,
            0);
}

// The voice the program ships: every unit there, 16-bit, small enough, and no
// sample that clips at the default volume of x4.00.
TEST(Voice16, BundledVoiceIsCompleteAndDoesNotClip) {
  const std::u16string path = Utf8ToUtf16(std::string(EKOTO_BIN_DIR) + "/50on.pa");
  const PaCheckResult check = CheckPAFile(path);
  ASSERT_TRUE(check.Passed());
  EXPECT_EQ(check.header.nBitsPerSample, 16);
  EXPECT_LT(std::filesystem::file_size(Utf16ToUtf8(path)), 8u << 20);
  std::u16string error;
  const std::optional<PaContents> contents = ReadPAContents(path, error);
  ASSERT_TRUE(contents.has_value());
  for (const PaEntryData& e : contents->entries) {
    Bytes loud = e.bytSample;
    ScaleSample(loud, 16, 4.0f);
    for (size_t i = 0; i + 1 < loud.size(); i += 2) {
      const int s = static_cast<int16_t>(loud[i] | (loud[i + 1] << 8));
      ASSERT_LT(std::abs(s), 32767) << Utf16ToUtf8(e.sName) << " clips at sample " << i / 2;
    }
  }
}

}  // namespace
}  // namespace ekoto
