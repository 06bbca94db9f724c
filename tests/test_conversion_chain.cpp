#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <string>

#include "conversion/ConvTemplete.h"
#include "conversion/ConversionChain.h"
#include "util/Utf.h"

namespace ekoto {
namespace {

// Loads a template into the program's table for one test and empties it after.
class ConversionChainTest : public ::testing::Test {
 protected:
  void SetUp() override {
    m_path = std::filesystem::temp_directory_path() /
             ("ekoto_chain_" + std::string(::testing::UnitTest::GetInstance()->current_test_info()->name()) +
              ".txt");
  }
  void TearDown() override {
    LoadTemplete("");
    std::filesystem::remove(m_path);
  }
  void LoadTemplete(const std::string& bytes) {
    std::ofstream(m_path, std::ios::binary) << bytes;
    LoadConvTemplete(Utf8ToUtf16(m_path.string()));
  }
  static std::string Apply(const std::string& text, const ReadingOptions& options = {}) {
    return Utf16ToUtf8(ApplyReadingOptions(Utf8ToUtf16(text), options));
  }

  std::filesystem::path m_path;
};

TEST_F(ConversionChainTest, DefaultsApplyEveryStep) {
  EXPECT_EQ(Apply("ｐａｇｅ　１２、ok。"), "PAGE ジュウニ､OK｡");
}

TEST_F(ConversionChainTest, OptionsTurnStepsOff) {
  EXPECT_EQ(Apply("ａ１", {.bAUpperCase = false}), "aイチ");
  EXPECT_EQ(Apply("ａ１", {.bANNarrow = false}), "Ａイチ");
  EXPECT_EQ(Apply("ａ１", {.bNumeric = false}), "A1");
  EXPECT_EQ(Apply("ａ１", {false, false, false}), "ａ１");
}

TEST_F(ConversionChainTest, TemplateSeesUpperCasedNarrowText) {
  // The replacement stays lower case and full width: nothing reshapes it afterwards.
  LoadTemplete("A\tx\nＢ\tｙ\n");
  EXPECT_EQ(Apply("ａ ｂ"), "x B");
  EXPECT_EQ(Apply("ａ ｂ", {.bANNarrow = false}), "Ａ ｙ");
}

TEST_F(ConversionChainTest, TemplateRunsAlwaysAndItsDigitsAreRead) {
  LoadTemplete("百\t100\r\n");
  EXPECT_EQ(Apply("百円"), "ヒャクエン");
  EXPECT_EQ(Apply("百円", {false, false, false}), "100円");
}

}  // namespace
}  // namespace ekoto
