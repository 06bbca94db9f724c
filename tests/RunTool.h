// Runs one of the built command-line tools as a user would, through the shell.
#pragma once
#include <sys/wait.h>

#include <cstdio>
#include <string>

namespace ekoto::testing {

struct ToolResult {
  int status = -1;     // the exit status, -1 when the tool did not exit normally
  std::string output;  // stdout and, unless stderrTo sends it elsewhere, stderr
};

// Runs EKOTO_BIN_DIR/tool with args (shell syntax) and collects its output.
inline ToolResult RunTool(const std::string& tool, const std::string& args, const std::string& stderrTo = "&1") {
  ToolResult result;
  FILE* pipe = popen((std::string(EKOTO_BIN_DIR) + "/" + tool + " " + args + " 2>" + stderrTo).c_str(), "r");
  if (!pipe) return result;
  char buffer[4096];
  for (size_t n; (n = fread(buffer, 1, sizeof buffer, pipe)) > 0;) result.output.append(buffer, n);
  const int raw = pclose(pipe);
  result.status = WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
  return result;
}

}  // namespace ekoto::testing
