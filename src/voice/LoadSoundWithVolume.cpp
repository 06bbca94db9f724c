// LoadSoundWithVolume and ClipToByte.
#include "voice/LoadSoundWithVolume.h"

#include <cmath>

namespace ekoto {

uint8_t ClipToByte(float v) {
  if (!(v >= 0.0f)) return 0;
  if (v > 255.0f) return 255;
  // lrintf rounds in the current mode, which the program leaves at to-nearest-even.
  return static_cast<uint8_t>(std::lrintf(v));
}

std::vector<uint8_t> LoadSoundWithVolume(const std::u16string& path, const std::u16string& unit, float factor,
                                         PAHEADER& retHeader) {
  std::vector<uint8_t> sample;
  if (!FindPASound(path, unit, sample, retHeader)) {
    // Unit names are CP932 on disk, which has no hiragana ゔ: a voice can only
    // hold that sound under its katakana spelling ヴ.
    if (unit.find(u'ゔ') == std::u16string::npos) return {};
    std::u16string katakana = unit;
    for (char16_t& c : katakana) {
      if (c == u'ゔ') c = u'ヴ';
    }
    if (!FindPASound(path, katakana, sample, retHeader)) return {};
  }
  // Every byte value scales the same way, so the arithmetic runs once per value,
  // and again only when the volume changes.
  thread_local float lastFactor = std::nanf("");
  thread_local uint8_t scaled[256];
  if (!(factor == lastFactor)) {
    for (int b = 0; b < 256; ++b) scaled[b] = ClipToByte(static_cast<float>(b - 127) * factor + 127.0f);
    lastFactor = factor;
  }
  for (uint8_t& b : sample) b = scaled[b];
  return sample;
}

}  // namespace ekoto
