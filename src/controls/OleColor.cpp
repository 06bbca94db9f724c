#include "controls/OleColor.h"

namespace ekoto {
namespace {

// The desktop's system colour numbers and the palette roles that play their part.
QPalette::ColorRole RoleOfSystemColor(uint32_t n) {
  switch (n) {
    case 4: return QPalette::Window;          // menu
    case 5: return QPalette::Base;            // window
    case 7: return QPalette::WindowText;      // menu text
    case 8: return QPalette::Text;            // window text
    case 13: return QPalette::Highlight;
    case 14: return QPalette::HighlightedText;
    case 15: return QPalette::Button;         // button face
    case 16: return QPalette::Dark;           // button shadow
    case 18: return QPalette::ButtonText;
    case 20: return QPalette::Light;          // button highlight
    case 21: return QPalette::Shadow;         // 3D dark shadow
    case 22: return QPalette::Midlight;       // 3D light
    case 23: return QPalette::ToolTipText;
    case 24: return QPalette::ToolTipBase;
    default: return QPalette::Button;
  }
}

}  // namespace

QColor OleColorToQColor(uint32_t nColor, const QPalette& palette) {
  if (nColor & 0x80000000u) return palette.color(QPalette::Active, RoleOfSystemColor(nColor & 0x7FFFFFFFu));
  return QColor(static_cast<int>(nColor & 0xFF), static_cast<int>((nColor >> 8) & 0xFF),
                static_cast<int>((nColor >> 16) & 0xFF));
}

}  // namespace ekoto
