#include "settings/COptions.h"

#include <algorithm>

#include "util/CFile.h"

namespace ekoto {
namespace {

// "/usr/local/bin/" gives "/usr/local/share/ekoto/".
std::u16string InstalledDataFolder(const std::u16string& programFolder) {
  std::u16string folder = programFolder;
  while (!folder.empty() && folder.back() == u'/') folder.pop_back();
  const size_t slash = folder.rfind(u'/');
  if (slash == std::u16string::npos) return u"";
  return folder.substr(0, slash + 1) + u"share/ekoto/";
}

}  // namespace

int32_t FontSizeInRange(int32_t nSize) {
  constexpr int32_t kDefault = 10, kMin = 6, kMax = 72;
  return nSize <= 0 ? kDefault : std::clamp(nSize, kMin, kMax);
}

std::u16string BundledFilePath(const std::u16string& programFolder, const std::u16string& fileName) {
  const std::u16string beside = programFolder + fileName;
  if (CFile().IsFile(beside)) return beside;
  const std::u16string dataFolder = InstalledDataFolder(programFolder);
  if (!dataFolder.empty() && CFile().IsFile(dataFolder + fileName)) return dataFolder + fileName;
  return beside;
}

void SetStartupDefaults(COptions& options, const std::u16string& programFolder) {
  options.sPAPath = BundledFilePath(programFolder, u"50on.pa");
  options.sConvTempletePath = BundledFilePath(programFolder, u"templete.txt");
  options.sFontName = u"ＭＳ Ｐゴシック";
  options.nFontSize = 10;
  options.bFontBold = false;
  options.bFontItalic = false;
  options.bFontStrikethrough = false;
  options.bFontUnderline = false;
  options.bANNarrow = true;
  options.bAUpperCase = true;
  options.bNumeric = true;
  options.bPlaybar = true;
  options.bVolumebar = true;
  options.bSpeedbar = true;
}

}  // namespace ekoto
