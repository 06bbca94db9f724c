// Twips (1/1440 inch), the unit the window's layout is designed in, and the
// logical pixels Qt places widgets in: 15 twips per pixel at 96 DPI.
#pragma once
#include <cmath>

namespace ekoto {

inline constexpr double kTwipsPerInch = 1440.0;

// Nearest whole pixel for a length in twips at dpi logical dots per inch.
inline int TwipsToPixels(int nTwips, double dpi) {
  return static_cast<int>(std::lround(nTwips * dpi / kTwipsPerInch));
}

// Nearest whole twip for a length in pixels at dpi logical dots per inch.
inline int PixelsToTwips(int nPixels, double dpi) {
  return static_cast<int>(std::lround(nPixels * kTwipsPerInch / dpi));
}

}  // namespace ekoto
