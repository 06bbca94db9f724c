// Paths that name no regular file: every tool that opens a path the user gave
// refuses a FIFO or a device at once, with the words it has for a missing file;
// ekoto-say says a failure once, in its own name. Each tool runs under `timeout`, so an
// open that blocks shows as exit status 124 instead of a hang.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <algorithm>
#include <cstdlib>
#include <tuple>

#include "PaTestFiles.h"
#include "RunTool.h"
#include "voice/PaWriter.h"

namespace ekoto::testing {
namespace {

std::string Replaced(std::string text, const std::string& from, const std::string& to) {
  for (size_t at = 0; (at = text.find(from, at)) != std::string::npos; at += to.size()) text.replace(at, from.size(), to);
  return text;
}

TEST(SpecialFiles, EveryUserNamedPathRefusesWhatIsNoRegularFileAsAMissingOne) {
  ScratchDir dir;
  const std::string fifo = dir.Path("v.pa").string(), missing = dir.Path("missing.pa").string();
  ASSERT_EQ(mkfifo(fifo.c_str(), 0600), 0);
  ASSERT_TRUE(WritePAFile(dir.Path16("voice.pa"), {{u"あ", std::vector<uint8_t>(800, 200)}}, 8000, 0).bOk);
  const auto run = [&](const std::string& tool, const std::string& args) {
    const int raw = std::system(("timeout 10 " EKOTO_BIN_DIR "/" + tool + " " + args + " >" + dir.Path("log").string() + " 2>&1").c_str());
    return ToolResult{WIFEXITED(raw) ? WEXITSTATUS(raw) : -1, ReadString(dir.Path("log"))};
  };
  // PATH stands for the path under test.
  const struct { std::string tool; const char* args; bool bToldOnce = false; } commands[] = {
      {"ekoto-say", "--voice PATH -o OUT.wav あ"},
      {"ekoto-say", "--voice PATH あ"},
      {"ekoto-say", "--kana -f PATH"},
      {"ekoto-say", "--kana --template PATH あ"},
      {"ekoto-say", "--voice VOICE -o /nonexistent/x.wav あ", true},  // no path under test: told once, by name
      {"ekoto-pa", "list PATH"},
      {"ekoto-pa", "check PATH"},
      {"ekoto-pa", "extract PATH OUT"},
      {"ekoto-pa", "build OUT.pa PATH"},
  };
  for (const auto& command : commands) {
    const std::string args = Replaced(Replaced(command.args, "OUT", dir.Path("out").string()), "VOICE", dir.Path("voice.pa").string());
    const ToolResult expected = run(command.tool, Replaced(args, "PATH", missing));
    SCOPED_TRACE(command.tool + " " + args);
    if (command.bToldOnce) {
      EXPECT_EQ(std::tuple(expected.status, expected.output.rfind(command.tool + ": ", 0),
                           std::count(expected.output.begin(), expected.output.end(), '\n')),
                std::tuple(1, size_t{0}, std::ptrdiff_t{1})) << expected.output;
    }
    for (const std::string& path : {fifo, std::string("/dev/zero")}) {
      const ToolResult got = run(command.tool, Replaced(args, "PATH", path));
      EXPECT_EQ(got.status, expected.status) << path;
      EXPECT_EQ(Replaced(got.output, path, missing), expected.output) << path;
    }
  }
}

}  // namespace
}  // namespace ekoto::testing
