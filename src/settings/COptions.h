// The user's settings while the program runs: one record, owned by the main
// window, read by every consumer at the moment of use. Saved in options.dat.
#pragma once
#include <cstdint>
#include <string>

namespace ekoto {

class COptions {
 public:
  bool bClipboard = false;          // watch the clipboard for new text
  bool bANNarrow = false;           // letters, digits and symbols read half-width
  bool bAUpperCase = false;         // Latin letters read in upper case
  bool bNumeric = false;            // numbers read with place values
  std::u16string sPAPath;           // voice source file
  std::u16string sConvTempletePath; // conversion template
  bool bMute = false;
  bool bPlaybar = false;            // bars shown
  bool bVolumebar = false;
  bool bSpeedbar = false;
  std::u16string sFontName;         // reading text font
  int32_t nFontSize = 0;            // whole points
  bool bFontBold = false;
  bool bFontItalic = false;
  bool bFontStrikethrough = false;
  bool bFontUnderline = false;

  bool operator==(const COptions&) const = default;
};

// A reading font size in points kept to what a text box can show: 6 to 72,
// and 0 or less (no size at all) the start-up 10.
int32_t FontSizeInRange(int32_t nSize);

// Where a bundled data file is looked for: programFolder (with its trailing
// "/") + fileName when that file exists; else the installed data folder
// beside the executable's, programFolder + "../share/ekoto/" written without
// the "..", when the file exists there; else programFolder + fileName.
std::u16string BundledFilePath(const std::u16string& programFolder, const std::u16string& fileName);

// The start-up defaults, set before options.dat is read: the bundled
// "50on.pa" and "templete.txt", the font "ＭＳ Ｐゴシック" 10 pt plain, the three
// bars shown and the three reading flags on. bMute and bClipboard are not touched.
void SetStartupDefaults(COptions& options, const std::u16string& programFolder);

}  // namespace ekoto
