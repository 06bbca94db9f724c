#include "speechd/UserSetup.h"

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <string>
#include <system_error>

#include "settings/COptions.h"
#include "settings/IOptionsWindow.h"
#include "settings/modLoadAndSaveOptions.h"
#include "util/CFile.h"
#include "util/Utf.h"

namespace ekoto {
namespace {

// The settings options.dat keeps for the window: only the volume matters here.
class VolumeOnly : public IOptionsWindow {
 public:
  float GetVolume() override { return m_fVolume; }
  void SetVolume(float volume) override {
    if (volume >= 0.0f && volume <= 4.0f) m_fVolume = volume;
  }
  float GetSpeed() override { return 1.0f; }
  void SetSpeed(float) override {}
  int32_t WindowLeft() override { return 0; }
  int32_t WindowTop() override { return 0; }
  int32_t WindowWidth() override { return 0; }
  int32_t WindowHeight() override { return 0; }
  void SetWindowLeft(int32_t) override {}
  void SetWindowTop(int32_t) override {}
  void SetWindowWidth(int32_t) override {}
  void SetWindowHeight(int32_t) override {}

 private:
  float m_fVolume = 4.0f;  // the program starts at x4.00
};

std::filesystem::path PathOf(const std::u16string& s) { return std::filesystem::path(Utf16ToUtf8(s)); }

void AddVoice(std::vector<ModuleVoice>& voices, const std::filesystem::path& path) {
  std::error_code ec;
  if (!std::filesystem::is_regular_file(path, ec)) return;
  const std::filesystem::path canonical = std::filesystem::weakly_canonical(path, ec);
  const std::u16string sPath = Utf8ToUtf16((ec ? path : canonical).string());
  std::string name = path.stem().string();
  std::replace_if(name.begin(), name.end(), [](unsigned char c) { return c < 0x20 || c == 0x7f; }, '_');
  for (const ModuleVoice& voice : voices) {
    if (voice.sPath == sPath) return;
  }
  // Two files of one name in different folders: the later one is numbered.
  const std::string base = name;
  for (int n = 2; std::any_of(voices.begin(), voices.end(), [&](const ModuleVoice& v) { return v.sName == name; }); ++n) {
    name = base + "-" + std::to_string(n);
  }
  voices.push_back({name, sPath});
}

void AddVoicesIn(std::vector<ModuleVoice>& voices, const std::filesystem::path& folder) {
  std::error_code ec;
  std::vector<std::filesystem::path> files;
  for (const auto& entry : std::filesystem::directory_iterator(folder, ec)) {
    if (entry.path().extension() == ".pa") files.push_back(entry.path());
  }
  std::sort(files.begin(), files.end());
  for (const auto& file : files) AddVoice(voices, file);
}

}  // namespace

std::u16string ModuleDataBase(const std::u16string& programFolder) {
  if (programFolder.empty() || CFile().IsFile(programFolder + u"50on.pa")) return programFolder;
  const size_t slash = programFolder.find_last_of(u'/', programFolder.size() - 2);
  return slash == std::u16string::npos ? programFolder : programFolder.substr(0, slash + 1);
}

std::u16string WindowProgramFolder(const std::u16string& moduleFolder) {
  constexpr char16_t kWindow[] = u"ekoto";
  if (moduleFolder.empty() || CFile().IsFile(moduleFolder + kWindow)) return moduleFolder;
  const std::filesystem::path prefix = PathOf(moduleFolder).parent_path().parent_path().parent_path();
  const std::u16string bin = Utf8ToUtf16((prefix / "bin").string()) + u"/";
  return CFile().IsFile(bin + kWindow) ? bin : u"";
}

namespace {

// The window's 抑揚 setting in its ekoto.ini (Qt's ini format: "Intonation=false"
// under [General]); on when the file or the line is missing.
bool IntonationIn(const std::filesystem::path& iniPath) {
  std::ifstream in(iniPath);
  std::string line;
  bool bGeneral = false;
  while (std::getline(in, line)) {
    if (!line.empty() && line.back() == '\r') line.pop_back();
    if (line.starts_with('[')) bGeneral = line == "[General]";
    if (bGeneral && line == "Intonation=false") return false;
  }
  return true;
}

}  // namespace

UserSetup LoadUserSetup(const std::u16string& programFolder, const std::u16string& optionsPath) {
  const std::u16string base = ModuleDataBase(programFolder);
  COptions options;
  SetStartupDefaults(options, base);
  VolumeOnly window;
  if (!optionsPath.empty()) LoadOptions(optionsPath, options, window);

  UserSetup setup;
  setup.sTemplatePath = options.sConvTempletePath;
  setup.reading = {options.bAUpperCase, options.bANNarrow, options.bNumeric};
  setup.fVolume = window.GetVolume();
  if (!optionsPath.empty()) setup.bIntonation = IntonationIn(PathOf(optionsPath).parent_path() / "ekoto.ini");
  AddVoice(setup.voices, PathOf(options.sPAPath));
  AddVoicesIn(setup.voices, PathOf(options.sPAPath).parent_path());
  AddVoicesIn(setup.voices, PathOf(BundledFilePath(base, u"50on.pa")).parent_path());
  return setup;
}

}  // namespace ekoto
