// ekoto-say --tempo: the written reading shortens with the tempo; values out
// of range are refused.
#include <gtest/gtest.h>
#include <sndfile.h>

#include "PaTestFiles.h"
#include "RunTool.h"

namespace ekoto::testing {
namespace {

int64_t Frames(const std::filesystem::path& path) {
  SF_INFO info{};
  SNDFILE* file = sf_open(path.c_str(), SFM_READ, &info);
  if (file == nullptr) return -1;
  sf_close(file);
  return info.frames;
}

TEST(SayTempoTest, LengthFollowsTheTempoAndBadValuesAreRefused) {
  struct Row {
    const char* tempo;
    int status;
    double ratio;  // frames against tempo 1; 0 when nothing is written
  };
  const Row rows[] = {{"1", 0, 1.0}, {"2", 0, 0.5}, {"3", 0, 1.0 / 3}, {"0.5", 0, 2.0},
                      {"0.4", 2, 0}, {"3.5", 2, 0}, {"fast", 2, 0}};
  ScratchDir dir;
  int64_t lNormal = 0;
  for (const Row& row : rows) {
    const auto out = dir.Path(std::string("t") + row.tempo + ".wav");
    const ToolResult result = RunTool("ekoto-say", "--tempo " + std::string(row.tempo) + " -o " + out.string() +
                                                       " あいうえおかきくけこ");
    EXPECT_EQ(result.status, row.status) << row.tempo << ": " << result.output;
    if (row.ratio == 0) {
      EXPECT_NE(result.output.find("--tempo"), std::string::npos) << result.output;
      continue;
    }
    if (lNormal == 0) lNormal = Frames(out);
    ASSERT_GT(lNormal, 0);
    EXPECT_NEAR(static_cast<double>(Frames(out)) / lNormal, row.ratio, 0.1 * row.ratio) << row.tempo;
  }
}

}  // namespace
}  // namespace ekoto::testing
