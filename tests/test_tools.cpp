// The command-line tools as a user runs them: ekoto-pa builds, lists and
// checks voice files; ekoto-say writes exactly the units' samples and the
// waits before them to a WAV file. Bad input gives clear errors and no file.
#include <gtest/gtest.h>
#include <sndfile.h>

#include "PaTestFiles.h"
#include "RunTool.h"
#include "util/Cp932.h"
#include "voice/AudioImport.h"
#include "voice/PaFile.h"
#include "voice/PaWriter.h"

namespace ekoto::testing {
namespace {

class ToolTest : public ::testing::Test {
 protected:
  void SetUp() override {
    for (const char* tool : {"/ekoto-pa", "/ekoto-say"})
      if (!std::filesystem::exists(EKOTO_BIN_DIR + std::string(tool))) GTEST_SKIP() << tool << " not built";
  }
  std::string Q(const std::string& name) const { return "'" + dir.Path(name).string() + "'"; }
  ScratchDir dir;
};

TEST_F(ToolTest, PaBuildListCheck) {
  const std::vector<std::pair<std::string, std::vector<uint8_t>>> units = {
      {"あ", {128, 140, 160, 140, 128, 100}}, {"きゃ", {128, 255, 0, 128}}, {"。", {128, 128}}};
  std::filesystem::create_directory(dir.Path("in"));
  for (const auto& [name, sample] : units) WriteBytes(dir.Path("in/" + name + ".wav"), *MakeWavU8(sample, 8000, 1));
  ASSERT_EQ(RunTool("ekoto-pa", "build " + Q("v.pa") + " " + Q("in") + " --cipher").status, 0);
  for (const auto& [name, sample] : units) {
    std::vector<uint8_t> found;
    PAHEADER header;
    ASSERT_TRUE(FindPASound(dir.Path16("v.pa"), Utf8ToUtf16(name), found, header)) << name;
    EXPECT_EQ(found, sample) << name;  // 8-bit at its own rate: unchanged
    EXPECT_EQ(std::make_pair(header.lSampleRate, header.nCipher), std::make_pair(8000, int16_t{1}));
  }
  EXPECT_NE(RunTool("ekoto-pa", "list " + Q("v.pa")).output.find("\tきゃ\t4 bytes"), std::string::npos);
  const ToolResult check = RunTool("ekoto-pa", "check " + Q("v.pa"));  // three units are far from a voice
  EXPECT_EQ(check.status, 1);
  EXPECT_NE(check.output.find("have no sample"), std::string::npos) << check.output;
}

// Speed 0.9 waits 100 ms (800 frames) before each unit, 0.95 waits 50 ms; か is not
// in the voice: its wait is written, its sample is not.
TEST_F(ToolTest, SayWritesEveryUnitAndItsWait) {
  ASSERT_TRUE(WritePAFile(dir.Path16("voice.pa"),
                          {{u"あ", std::vector<uint8_t>(800, 200)}, {u"い", std::vector<uint8_t>(1200, 60)},
                           {u"う", std::vector<uint8_t>(400, 140)}},
                          8000, 1).bOk);
  const std::pair<std::string, sf_count_t> rows[] = {{"0.9 あいう", 3 * 800 + 800 + 1200 + 400}, {"0.95 あか", 2 * 400 + 800}};
  for (const auto& [args, frames] : rows) {
    const ToolResult result = RunTool("ekoto-say", "--voice " + Q("voice.pa") + " -o " + Q("out.wav") + " --speed " + args);
    ASSERT_EQ(result.status, 0) << result.output;
    EXPECT_EQ(result.output.find("1 units had no sample") != std::string::npos, args.ends_with("か"));
    SF_INFO info{};
    sf_close(sf_open(dir.Path("out.wav").c_str(), SFM_READ, &info));
    EXPECT_EQ(std::make_tuple(info.frames, info.samplerate, info.channels), std::make_tuple(frames, 8000, 1)) << args;
  }
}

TEST_F(ToolTest, BadInputGivesClearErrorsAndNoFile) {
  std::filesystem::create_directory(dir.Path("in"));
  WriteString(dir.Path("in/broken.wav"), std::string("RIFF\0\0", 6));
  const std::tuple<const char*, std::string, int, const char*> rows[] = {
      {"ekoto-pa", "build " + Q("v.pa") + " " + Q("in"), 1, "broken.wav"},
      {"ekoto-pa", "build " + Q("v.pa"), 2, "usage"},
      {"ekoto-pa", "list " + Q("in/broken.wav"), 1, "broken.wav"},
      {"ekoto-say", "--voice " + Q("none.pa") + " -o " + Q("out.wav") + " あ", 1, "not a usable voice source file"},
      {"ekoto-say", "--volume 5 あ", 2, "--volume takes a number from 0 to 4"},
      {"ekoto-say", "--bogus", 2, "unknown option --bogus"},
  };
  for (const auto& [tool, args, status, says] : rows) {
    const ToolResult result = RunTool(tool, args);
    EXPECT_EQ(result.status, status) << args << "\n" << result.output;
    EXPECT_NE(result.output.find(says), std::string::npos) << args << "\n" << result.output;
  }
  EXPECT_FALSE(std::filesystem::exists(dir.Path("v.pa")) || std::filesystem::exists(dir.Path("out.wav")));
}

// An Aozora Bunko file (CP932, CRLF): the explanation block and the colophon
// give empty lines, a ruby is read for its base, a note not at all; reading it
// aloud plays the units of the title and the text only.
TEST_F(ToolTest, SayReadsAnAozoraFile) {
  const std::u16string sDashes(55, u'-');
  const std::optional<std::string> file = EncodeCp932(
      u"あい\r\n" + sDashes + u"\r\n【テキスト中に現れる記号について】\r\n《》：ルビ\r\n" + sDashes +
      u"\r\n｜あいう《え》［＃「え」に傍点］あ\r\n底本：「あう」\r\n");
  ASSERT_TRUE(file);
  WriteString(dir.Path("book.txt"), *file);
  const ToolResult units = RunTool("ekoto-say", "--units -f " + Q("book.txt"));
  EXPECT_EQ(units.output, "あ い\n\n\n\n\nえ あ\n\n");
  ASSERT_TRUE(WritePAFile(dir.Path16("voice.pa"),
                          {{u"あ", std::vector<uint8_t>(100, 200)}, {u"い", std::vector<uint8_t>(200, 60)},
                           {u"う", std::vector<uint8_t>(400, 140)}, {u"え", std::vector<uint8_t>(800, 90)}},
                          8000, 1).bOk);
  ASSERT_EQ(RunTool("ekoto-say", "--voice " + Q("voice.pa") + " -o " + Q("out.wav") + " -f " + Q("book.txt")).status, 0);
  SF_INFO info{};
  sf_close(sf_open(dir.Path("out.wav").c_str(), SFM_READ, &info));
  EXPECT_EQ(info.frames, 100 + 200 + 800 + 100);  // あい, えあ
}

// Every program prints the upstream part of the newest debian/changelog
// version, the one the packages carry, and needs no display for it.
TEST_F(ToolTest, EveryProgramPrintsTheChangelogVersion) {
  std::ifstream changelog(std::string(EKOTO_TEST_DATA_DIR) + "/../../debian/changelog");
  std::string name, version;
  changelog >> name >> version;  // ekoto (0.9.0)
  version = version.substr(1, version.find_first_of("-+~)") - 1);
  for (const char* tool : {"ekoto", "ekoto-say", "ekoto-pa", "ekoto-score"})
    EXPECT_EQ(RunTool(tool, "--version", "/dev/null").output, std::string(tool) + " " + version + "\n");
}

}  // namespace
}  // namespace ekoto::testing
