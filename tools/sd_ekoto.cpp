// sd_ekoto: Ekoto as a speech-dispatcher output module. The server starts it
// with the module's configuration file as its only argument and talks to it on
// standard input and output.
#include <algorithm>
#include <csignal>
#include <cstdlib>
#include <cstdio>
#include <fstream>
#include <sstream>
#include <string>

#include "conversion/AccentEstimator.h"
#include "conversion/ConvTemplete.h"
#include "conversion/MecabReverseConverter.h"
#include "conversion/TempleteAccent.h"
#include "settings/OptionsLocation.h"
#include "speechd/SpeechModule.h"
#include "speechd/SsipChannel.h"
#include "speechd/UserSetup.h"
#include "util/ProgramFolder.h"
#include "util/Utf.h"

namespace {

// The module's configuration: "Key value" lines, "#" comments. Missing file:
// the defaults.
ekoto::ModuleConfig ReadConfig(const char* path) {
  ekoto::ModuleConfig config;
  std::ifstream in(path ? path : "");
  std::string line;
  while (std::getline(in, line)) {
    std::istringstream words(line);
    std::string key;
    std::string value;
    if (!(words >> key >> value) || key.starts_with('#')) continue;
    if (key == "EkotoRealTime") {
      config.bRealTime = value != "0" && value != "no" && value != "false";
    } else if (key == "EkotoLeadMs") {
      config.nLeadMs = std::max(0, std::atoi(value.c_str()));
    } else {
      std::fprintf(stderr, "sd_ekoto: %s: unknown setting %s\n", path, key.c_str());
    }
  }
  return config;
}

}  // namespace

int main(int argc, char** argv) {
  // A server that has gone is seen as a failed write, not a signal.
  std::signal(SIGPIPE, SIG_IGN);
  const ekoto::ModuleConfig config = ReadConfig(argc > 1 ? argv[1] : nullptr);
  const std::u16string programFolder = ekoto::ProgramFolder();
  ekoto::SsipChannel channel(0, 1);
  ekoto::SpeechModule module(
      channel, config,
      [&] {
        const std::u16string optionsPath = ekoto::UserOptionsFiles(ekoto::WindowProgramFolder(programFolder)).sLoadPath;
        return ekoto::LoadUserSetup(programFolder, optionsPath);
      },
      ekoto::DefaultReverseConverter());
  // Without Open JTalk's dictionary every unit is said at the voice's own pitch.
  ekoto::CAccentEstimator accent;
  // The module reloads the program's template for every message, in place.
  ekoto::CTempleteAccent templeteAccent(accent, ekoto::ConvTempleteTable());
  if (accent.Preload()) {
    module.SetAccentSource(&templeteAccent);
  } else {
    std::fprintf(stderr, "sd_ekoto: %s\n", ekoto::Utf16ToUtf8(accent.LoadError()).c_str());
  }
  return module.Run();
}
