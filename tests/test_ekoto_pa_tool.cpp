// The ekoto-pa tool as a user runs it: build from a folder of recordings, list,
// extract, check, and a failed build that leaves no file behind.
#include <gtest/gtest.h>

#include <cstdio>

#include "PaTestFiles.h"
#include "RunTool.h"
#include "voice/AudioImport.h"
#include "voice/PaFile.h"

namespace ekoto {
namespace {

testing::ToolResult RunTool(const std::string& args) { return testing::RunTool("ekoto-pa", args); }

std::string Quote(const std::filesystem::path& p) { return "'" + p.string() + "'"; }

class EkotoPaTool : public ::testing::Test {
 protected:
  void SetUp() override {
    if (!std::filesystem::exists(std::string(EKOTO_BIN_DIR) + "/ekoto-pa")) GTEST_SKIP() << "ekoto-pa not built";
    std::filesystem::create_directory(m_dir.Path("in"));
    for (const auto& [name, sample] : m_units) {
      testing::WriteBytes(m_dir.Path("in") / (name + ".wav"), *MakeWavU8(sample, 8000, 1));
    }
  }

  testing::ScratchDir m_dir;
  const std::vector<std::pair<std::string, std::vector<uint8_t>>> m_units = {
      {"あ", {128, 140, 160, 140, 128, 100}}, {"きゃ", {128, 255, 0, 128}}, {"。", {128, 128}}};
};

TEST_F(EkotoPaTool, BuildListExtractCheck) {
  const testing::ToolResult build = RunTool("build " + Quote(m_dir.Path("v.pa")) + " " + Quote(m_dir.Path("in")) + " --cipher");
  ASSERT_EQ(build.status, 0) << build.output;
  for (const auto& [name, sample] : m_units) {
    std::vector<uint8_t> found;
    PAHEADER header;
    ASSERT_TRUE(FindPASound(m_dir.Path16("v.pa"), Utf8ToUtf16(name), found, header)) << name;
    EXPECT_EQ(found, sample) << name;  // 8-bit at its own rate: unchanged
    EXPECT_EQ(header.lSampleRate, 8000);
    EXPECT_EQ(header.nCipher, 1);
  }

  const testing::ToolResult list = RunTool("list " + Quote(m_dir.Path("v.pa")));
  EXPECT_EQ(list.status, 0);
  EXPECT_NE(list.output.find("\tきゃ\t4 bytes"), std::string::npos) << list.output;

  const testing::ToolResult extract = RunTool("extract " + Quote(m_dir.Path("v.pa")) + " " + Quote(m_dir.Path("out")));
  ASSERT_EQ(extract.status, 0) << extract.output;
  for (const auto& [name, sample] : m_units) {
    MonoClip clip;
    std::vector<uint8_t> back;
    ASSERT_TRUE(ReadMonoClip(Utf8ToUtf16((m_dir.Path("out") / (name + ".wav")).string()), clip).bOk) << name;
    ASSERT_TRUE(ConvertToU8(clip, 8000, back).bOk);
    EXPECT_EQ(back, sample) << name;
  }

  // Three units are far from a voice for ordinary text.
  const testing::ToolResult check = RunTool("check " + Quote(m_dir.Path("v.pa")));
  EXPECT_EQ(check.status, 1);
  EXPECT_NE(check.output.find("have no sample"), std::string::npos) << check.output;
}

TEST_F(EkotoPaTool, FailuresLeaveNoFile) {
  testing::WriteBytes(m_dir.Path("in") / "broken.wav", {'R', 'I', 'F', 'F', 0, 0});
  const testing::ToolResult broken = RunTool("build " + Quote(m_dir.Path("v.pa")) + " " + Quote(m_dir.Path("in")));
  EXPECT_NE(broken.status, 0);
  EXPECT_NE(broken.output.find("broken.wav"), std::string::npos) << broken.output;
  EXPECT_FALSE(std::filesystem::exists(m_dir.Path("v.pa")));

  EXPECT_EQ(RunTool("build " + Quote(m_dir.Path("v.pa"))).status, 2);
  EXPECT_EQ(RunTool("frobnicate").status, 2);
  EXPECT_NE(RunTool("list " + Quote(m_dir.Path("in") / "あ.wav")).status, 0);
  EXPECT_NE(RunTool("check " + Quote(m_dir.Path("nothing.pa"))).status, 0);
}

}  // namespace
}  // namespace ekoto
