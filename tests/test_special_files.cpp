// Paths that name no regular file: every tool that opens a path the user gave
// refuses a FIFO or a device at once, with the words it has for a missing file. Each tool runs under `timeout`, so an open that blocks shows as
// exit status 124 instead of a hang. A tool also says a failure once, in its own name.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <string>

#include "PaTestFiles.h"
#include "voice/PaWriter.h"

namespace ekoto::testing {
namespace {

struct ToolRun {
  int status = -1;
  std::string output;  // stdout and stderr
};

ToolRun RunWithin10s(const std::string& tool, const std::string& args) {
  ToolRun run;
  const std::string command = "timeout 10 " + std::string(EKOTO_BIN_DIR) + "/" + tool + " " + args + " 2>&1";
  FILE* pipe = popen(command.c_str(), "r");
  if (!pipe) return run;
  char buffer[4096];
  for (size_t n; (n = fread(buffer, 1, sizeof buffer, pipe)) > 0;) run.output.append(buffer, n);
  const int raw = pclose(pipe);
  run.status = WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
  return run;
}

std::string Replaced(std::string text, const std::string& from, const std::string& to) {
  for (size_t at = 0; (at = text.find(from, at)) != std::string::npos; at += to.size()) text.replace(at, from.size(), to);
  return text;
}

TEST(SpecialFiles, EveryUserNamedPathRefusesWhatIsNoRegularFileAsAMissingOne) {
  ScratchDir dir;
  const std::string fifo = dir.Path("v.pa").string();
  ASSERT_EQ(mkfifo(fifo.c_str(), 0600), 0);
  const std::string out = dir.Path("out").string();
  // PATH stands for the path under test.
  const struct { const char* tool; const char* args; } commands[] = {
      {"ekoto-say", "--voice PATH -o OUT.wav あ"},
      {"ekoto-say", "--voice PATH あ"},
      {"ekoto-say", "--kana -f PATH"},
      {"ekoto-say", "--kana --template PATH あ"},
      {"ekoto-pa", "list PATH"},
      {"ekoto-pa", "check PATH"},
      {"ekoto-pa", "extract PATH OUT"},
      {"ekoto-pa", "build OUT.pa PATH"},
  };
  for (const auto& command : commands) {
    const std::string args = Replaced(command.args, "OUT", out);
    const std::string missing = dir.Path("missing.pa").string();
    const ToolRun expected = RunWithin10s(command.tool, Replaced(args, "PATH", missing));
    for (const std::string& path : {fifo, std::string("/dev/zero")}) {
      SCOPED_TRACE(std::string(command.tool) + " " + args + " with " + path);
      const ToolRun run = RunWithin10s(command.tool, Replaced(args, "PATH", path));
      EXPECT_EQ(run.status, expected.status);
      EXPECT_EQ(Replaced(run.output, path, missing), expected.output);
    }
  }
}

TEST(SpecialFiles, AWavFileThatCannotBeWrittenIsToldOnceByTheTool) {
  ScratchDir dir;
  ASSERT_TRUE(WritePAFile(dir.Path16("v.pa"), {{u"あ", std::vector<uint8_t>(800, 200)}}, 8000, 0).bOk);
  const ToolRun run = RunWithin10s("ekoto-say", "--voice " + dir.Path("v.pa").string() + " -o /nonexistent/x.wav あ");
  EXPECT_EQ(run.status, 1);
  EXPECT_EQ(run.output.rfind("ekoto-say: cannot write /nonexistent/x.wav (", 0), 0u) << run.output;
  EXPECT_EQ(std::count(run.output.begin(), run.output.end(), '\n'), 1) << run.output;
}

}  // namespace
}  // namespace ekoto::testing
