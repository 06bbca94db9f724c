#include "settings/modLoadAndSaveOptions.h"

#include <string_view>
#include <utility>
#include <vector>

#include "settings/OptionsLocation.h"
#include "settings/OptionsValues.h"
#include "util/CFile.h"

namespace ekoto {
namespace {

// Every key is ASCII, and no other character lower-cases to a lone ASCII
// letter of a key, so lowering A-Z matches keys as a full lowering would.
std::u16string LowerCase(std::u16string text) {
  for (char16_t& c : text) {
    if (c >= u'A' && c <= u'Z') c = static_cast<char16_t>(c - u'A' + u'a');
  }
  return text;
}

// Lines end at CR LF or at a bare LF; a lone CR is part of its line.
std::vector<std::u16string> SplitLines(const std::u16string& text) {
  std::vector<std::u16string> lines;
  size_t start = 0;
  while (start < text.size()) {
    size_t end = text.find(u'\n', start);
    if (end == std::u16string::npos) end = text.size();
    const size_t next = end + 1;
    if (end < text.size() && end > start && text[end - 1] == u'\r') --end;
    lines.push_back(text.substr(start, end - start));
    start = next;
  }
  return lines;
}

struct BoolKey {
  std::u16string_view key;
  bool COptions::*field;
};
constexpr BoolKey kBoolKeys[] = {
    {u"mute", &COptions::bMute},
    {u"clipboard", &COptions::bClipboard},
    {u"annarrow", &COptions::bANNarrow},
    {u"auppercase", &COptions::bAUpperCase},
    {u"numeric", &COptions::bNumeric},
    {u"playbar", &COptions::bPlaybar},
    {u"volumebar", &COptions::bVolumebar},
    {u"speedbar", &COptions::bSpeedbar},
    {u"fontbold", &COptions::bFontBold},
    {u"fontitalic", &COptions::bFontItalic},
    {u"fontstrikethrough", &COptions::bFontStrikethrough},
    {u"fontunderline", &COptions::bFontUnderline},
};

struct TextKey {
  std::u16string_view key;
  std::u16string COptions::*field;
};
constexpr TextKey kTextKeys[] = {
    {u"papath", &COptions::sPAPath},
    {u"convtempletepath", &COptions::sConvTempletePath},
    {u"fontname", &COptions::sFontName},
};

struct BoundKey {
  std::u16string_view key;
  void (IOptionsWindow::*setter)(int32_t);
};
constexpr BoundKey kBoundKeys[] = {
    {u"windowleft", &IOptionsWindow::SetWindowLeft},
    {u"windowtop", &IOptionsWindow::SetWindowTop},
    {u"windowwidth", &IOptionsWindow::SetWindowWidth},
    {u"windowheight", &IOptionsWindow::SetWindowHeight},
};

void ApplySetting(const std::u16string& key, const std::u16string& value, COptions& options,
                  IOptionsWindow& window) {
  for (const BoolKey& entry : kBoolKeys) {
    if (key == entry.key) {
      options.*entry.field = TextToBool(value);
      return;
    }
  }
  for (const TextKey& entry : kTextKeys) {
    if (key == entry.key) {
      options.*entry.field = value;
      return;
    }
  }
  for (const BoundKey& entry : kBoundKeys) {
    if (key == entry.key) {
      if (const auto bound = TextToInteger(value)) (window.*entry.setter)(*bound);
      return;
    }
  }
  if (key == u"volume") {
    if (const auto volume = TextToDecimal(value)) window.SetVolume(*volume);
  } else if (key == u"speed") {
    if (const auto speed = TextToDecimal(value)) window.SetSpeed(*speed);
  } else if (key == u"fontsize") {
    if (const auto size = TextToInteger(value)) options.nFontSize = FontSizeInRange(*size);
  }
}

}  // namespace

void LoadOptionsFromText(const std::u16string& text, COptions& options, IOptionsWindow& window) {
  for (const std::u16string& line : SplitLines(text)) {
    if (line.empty()) continue;
    if (RemoveBlanks(line).starts_with(u"//")) continue;
    const size_t equals = line.find(u'=');
    if (equals == std::u16string::npos) continue;
    ApplySetting(LowerCase(line.substr(0, equals)), line.substr(equals + 1), options, window);
  }
}

std::u16string OptionsText(const COptions& options, IOptionsWindow& window) {
  const std::pair<std::u16string_view, std::u16string> settings[] = {
      {u"Volume", DecimalToText(window.GetVolume())},
      {u"Mute", BoolToText(options.bMute)},
      {u"Speed", DecimalToText(window.GetSpeed())},
      {u"Clipboard", BoolToText(options.bClipboard)},
      {u"ANNarrow", BoolToText(options.bANNarrow)},
      {u"AUpperCase", BoolToText(options.bAUpperCase)},
      {u"Numeric", BoolToText(options.bNumeric)},
      {u"PAPath", options.sPAPath},
      {u"ConvTempletePath", options.sConvTempletePath},
      {u"WindowLeft", IntegerToText(window.WindowLeft())},
      {u"WindowTop", IntegerToText(window.WindowTop())},
      {u"WindowWidth", IntegerToText(window.WindowWidth())},
      {u"WindowHeight", IntegerToText(window.WindowHeight())},
      {u"Playbar", BoolToText(options.bPlaybar)},
      {u"Volumebar", BoolToText(options.bVolumebar)},
      {u"Speedbar", BoolToText(options.bSpeedbar)},
      {u"FontName", options.sFontName},
      {u"FontSize", IntegerToText(options.nFontSize)},
      {u"FontBold", BoolToText(options.bFontBold)},
      {u"FontItalic", BoolToText(options.bFontItalic)},
      {u"FontStrikethrough", BoolToText(options.bFontStrikethrough)},
      {u"FontUnderline", BoolToText(options.bFontUnderline)},
  };
  std::u16string text = u"// \r\n";
  for (const auto& [key, value] : settings) {
    text += key;
    text += u'=';
    text += value;
    text += u"\r\n";
  }
  return text;
}

void LoadOptions(const std::u16string& path, COptions& options, IOptionsWindow& window) {
  std::u16string text;
  if (CFile().ReadFile(path, text)) LoadOptionsFromText(text, options, window);
}

bool SaveOptions(const std::u16string& path, const COptions& options, IOptionsWindow& window) {
  if (!CreateFolderFor(path)) return false;
  return CFile().WriteFile(path, OptionsText(options, window));
}

}  // namespace ekoto
