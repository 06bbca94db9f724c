// Runs the built ekoto-say on real input: the WAV it writes must hold exactly the
// units' samples and the waits before them; bad input gives clear errors.
#include <gtest/gtest.h>
#include <sndfile.h>
#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <string>

#include "RunTool.h"
#include "util/Utf.h"
#include "voice/PaWriter.h"

namespace ekoto {
namespace {

using testing::ToolResult;

// The output holds stdout and, unless stderr is redirected, stderr.
ToolResult RunSay(const std::string& args, const std::string& stderrTo = "&1") {
  return testing::RunTool("ekoto-say", args, stderrTo);
}

class EkotoSayToolTest : public ::testing::Test {
 protected:
  void SetUp() override {
    if (!std::filesystem::exists(std::string(EKOTO_BIN_DIR) + "/ekoto-say")) GTEST_SKIP() << "ekoto-say not built";
    m_dir = std::filesystem::temp_directory_path() / ("ekoto-say-test-" + std::to_string(getpid()));
    std::filesystem::create_directories(m_dir);
    // Three units of different lengths at 8000 Hz.
    const std::vector<PaUnit> units = {{u"あ", std::vector<uint8_t>(800, 200)},
                                       {u"い", std::vector<uint8_t>(1200, 60)},
                                       {u"う", std::vector<uint8_t>(400, 140)}};
    ASSERT_TRUE(WritePAFile(Utf8ToUtf16(Voice()), units, 8000, 1).bOk);
  }
  void TearDown() override {
    if (!m_dir.empty()) std::filesystem::remove_all(m_dir);
  }
  std::string Voice() const { return (m_dir / "voice.pa").string(); }
  std::string Wav() const { return (m_dir / "out.wav").string(); }

  std::filesystem::path m_dir;
};

sf_count_t FramesOf(const std::string& path, SF_INFO& info) {
  info = {};
  SNDFILE* file = sf_open(path.c_str(), SFM_READ, &info);
  if (!file) return -1;
  sf_close(file);
  return info.frames;
}

TEST_F(EkotoSayToolTest, WavHoldsEveryUnitAndItsWait) {
  // Speed 0.9: 100 ms (800 frames) of silence before each of the three units.
  const ToolResult result = RunSay("--voice " + Voice() + " --speed 0.9 -o " + Wav() + " あいう");
  ASSERT_EQ(result.status, 0) << result.output;
  SF_INFO info;
  EXPECT_EQ(FramesOf(Wav(), info), 3 * 800 + 800 + 1200 + 400);
  EXPECT_EQ(info.samplerate, 8000);
  EXPECT_EQ(info.channels, 1);
}

TEST_F(EkotoSayToolTest, MissingUnitsCostTheirWaitAndAreReported) {
  // か is not in the voice: its wait is written, its sample is not.
  const ToolResult result = RunSay("--voice " + Voice() + " --speed 0.95 -o " + Wav() + " あか");
  ASSERT_EQ(result.status, 0) << result.output;
  SF_INFO info;
  EXPECT_EQ(FramesOf(Wav(), info), 2 * 400 + 800);
  EXPECT_NE(result.output.find("1 units had no sample"), std::string::npos) << result.output;
}

TEST_F(EkotoSayToolTest, BadInputGivesClearErrors) {
  struct Case {
    std::string args;
    int status;
    const char* says;
  };
  const Case cases[] = {
      {"--voice " + (m_dir / "none.pa").string() + " -o " + Wav() + " あ", 1, "not a usable voice source file"},
      {"--volume 5 あ", 2, "--volume takes a number from 0 to 4"},
      {"--speed x あ", 2, "--speed takes a number from 0 to 1"},
      {"--bogus", 2, "unknown option --bogus"},
      {"-f " + (m_dir / "missing.txt").string() + " --kana", 1, "cannot read"},
  };
  for (const Case& c : cases) {
    const ToolResult result = RunSay(c.args);
    EXPECT_EQ(result.status, c.status) << c.args << "\n" << result.output;
    EXPECT_NE(result.output.find(c.says), std::string::npos) << c.args << "\n" << result.output;
  }
  EXPECT_FALSE(std::filesystem::exists(Wav()));
}

TEST_F(EkotoSayToolTest, KanaKeepsOneLinePerLineEvenAfterABadLine) {
  const std::string input = m_dir / "in.txt";
  FILE* file = std::fopen(input.c_str(), "wb");
  ASSERT_NE(file, nullptr);
  std::fputs("あい\n\xff\xfe\nう\n", file);
  std::fclose(file);
  const std::string errors = m_dir / "errors.txt";
  const ToolResult result = RunSay("--kana < " + input, errors);
  EXPECT_EQ(result.status, 1);
  EXPECT_EQ(result.output, "あい\n\nう\n");
  const ToolResult message = RunSay("--kana < " + input);
  EXPECT_NE(message.output.find("line 2 is not valid UTF-8"), std::string::npos) << message.output;
}

}  // namespace
}  // namespace ekoto
