// Colours as the controls' properties hold them: 0x00BBGGRR for a fixed colour,
// or 0x80000000 + n for the desktop's system colour n, taken from a palette.
#pragma once
#include <QColor>
#include <QPalette>
#include <cstdint>

namespace ekoto {

inline constexpr uint32_t kSysButtonFace = 0x8000000F;
inline constexpr uint32_t kSysButtonShadow = 0x80000010;
inline constexpr uint32_t kSysButtonText = 0x80000012;
inline constexpr uint32_t kSysButtonHighlight = 0x80000014;

// The colour that nColor stands for; system colours come from the active group
// of palette (a number without a palette role gives the button face).
QColor OleColorToQColor(uint32_t nColor, const QPalette& palette);

}  // namespace ekoto
