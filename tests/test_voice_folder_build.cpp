// Voice files built from a folder of recordings: what ends up in the file, the
// units it lacks, and failures that leave the output as it was.
#include <gtest/gtest.h>

#include "PaTestFiles.h"
#include "RecordingFiles.h"
#include "voice/PaFile.h"
#include "voice/RequiredUnits.h"
#include "voice/VoiceFolderBuild.h"

namespace ekoto::testing {
namespace {

class VoiceFolderBuildTest : public ::testing::Test {
 protected:
  void SetUp() override { std::filesystem::create_directories(dir.Path("rec")); }
  std::filesystem::path Rec(const char* name) const { return dir.Path("rec") / std::filesystem::path(name); }
  VoiceBuildSettings Settings(int32_t lRate = 0, bool bCipher = false) const {
    return {dir.Path16("rec"), dir.Path16("out.pa"), lRate, bCipher};
  }
  ScratchDir dir;
};

TEST_F(VoiceFolderBuildTest, RecordingsBecomeUnitsInNameOrderAtTheChosenRate) {
  ASSERT_TRUE(WriteTone(Rec("い.wav"), 16000, 1600));
  ASSERT_TRUE(WriteTone(Rec("あ.WAV"), 16000, 800));
  ASSERT_TRUE(WriteTone(Rec("か.flac"), 16000, 1600, SF_FORMAT_FLAC | SF_FORMAT_PCM_16));
  WriteBytes(Rec("notes.txt"), {'x'});  // not a recording: passed over
  std::vector<std::pair<size_t, size_t>> steps;
  const VoiceBuildResult result = BuildVoiceFromFolder(Settings(8000, true), [&](size_t nDone, size_t nTotal) {
    steps.emplace_back(nDone, nTotal);
    return true;
  });
  ASSERT_TRUE(result.status.bOk) << Utf16ToUtf8(result.status.sMessage);
  EXPECT_EQ(result.nUnits, 3);
  EXPECT_EQ(result.lSampleRate, 8000);
  EXPECT_EQ(steps, (std::vector<std::pair<size_t, size_t>>{{0, 3}, {1, 3}, {2, 3}, {3, 3}}));

  PAHEADER header;
  const auto names = GetPASoundNames(dir.Path16("out.pa"), header);
  ASSERT_TRUE(names.has_value());
  EXPECT_EQ(*names, (std::vector<std::u16string>{u"あ", u"い", u"か"}));  // UTF-8 byte order of the file names
  EXPECT_EQ(header.lSampleRate, 8000);
  EXPECT_EQ(header.nCipher, 1);
  std::vector<uint8_t> sample;
  ASSERT_TRUE(FindPASound(dir.Path16("out.pa"), u"い", sample, header));
  EXPECT_EQ(sample.size(), 800u);  // 0.1 s at 8000 Hz

  const std::vector<std::u16string> required = RequiredUnits();
  EXPECT_EQ(result.missingUnits.size(), required.size() - 3);
  for (const char16_t* held : {u"あ", u"い", u"か"}) {
    EXPECT_EQ(std::count(result.missingUnits.begin(), result.missingUnits.end(), held), 0);
  }
  EXPECT_EQ(std::count(result.missingUnits.begin(), result.missingUnits.end(), u"う"), 1);
}

TEST_F(VoiceFolderBuildTest, RateZeroKeepsTheFirstRecordingsRate) {
  ASSERT_TRUE(WriteTone(Rec("あ.wav"), 11025, 500));
  const VoiceBuildResult result = BuildVoiceFromFolder(Settings(), nullptr);
  ASSERT_TRUE(result.status.bOk);
  EXPECT_EQ(result.lSampleRate, 11025);
}

TEST_F(VoiceFolderBuildTest, FailuresNameTheirCauseAndLeaveTheOutputAsItWas) {
  const struct {
    const char* name;
    std::function<void()> prepare;
    const char* inMessage;
  } cases[] = {
      {"unreadable recording",
       [this] {
         ASSERT_TRUE(WriteTone(Rec("あ.wav"), 8000, 400));
         WriteBytes(Rec("か.wav"), {'n', 'o', 't', ' ', 'a', ' ', 'w', 'a', 'v'});
       },
       "か.wav"},
      {"two files for one unit",
       [this] {
         ASSERT_TRUE(WriteTone(Rec("あ.wav"), 8000, 400));
         ASSERT_TRUE(WriteTone(Rec("あ.flac"), 8000, 400, SF_FORMAT_FLAC | SF_FORMAT_PCM_16));
       },
       "give the same unit"},
      {"no recordings", [this] { WriteBytes(Rec("a.txt"), {'x'}); }, "no WAV"},
      {"no folder", [this] { std::filesystem::remove_all(dir.Path("rec")); }, "cannot read folder"},
      {"a name CP932 cannot spell", [this] { ASSERT_TRUE(WriteTone(Rec("ゔ.wav"), 8000, 400)); },
       "Shift_JIS"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    std::filesystem::remove_all(dir.Path("rec"));
    std::filesystem::create_directories(dir.Path("rec"));
    WriteBytes(dir.Path("out.pa"), {'o', 'l', 'd'});
    c.prepare();
    const VoiceBuildResult result = BuildVoiceFromFolder(Settings(8000), nullptr);
    EXPECT_FALSE(result.status.bOk);
    EXPECT_NE(Utf16ToUtf8(result.status.sMessage).find(c.inMessage), std::string::npos)
        << Utf16ToUtf8(result.status.sMessage);
    EXPECT_EQ(ReadBytes(dir.Path("out.pa")), (std::vector<uint8_t>{'o', 'l', 'd'}));
  }
}

TEST_F(VoiceFolderBuildTest, CancelWritesNothing) {
  ASSERT_TRUE(WriteTone(Rec("あ.wav"), 8000, 400));
  ASSERT_TRUE(WriteTone(Rec("い.wav"), 8000, 400));
  const VoiceBuildResult result = BuildVoiceFromFolder(Settings(), [](size_t nDone, size_t) { return nDone < 1; });
  EXPECT_FALSE(result.status.bOk);
  EXPECT_FALSE(std::filesystem::exists(dir.Path("out.pa")));
}

}  // namespace
}  // namespace ekoto::testing
