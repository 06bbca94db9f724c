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
  for (uint8_t& b : sample) {
    const float v = static_cast<float>(static_cast<int>(b) - 127) * factor + 127.0f;
    b = ClipToByte(v);
  }
  return sample;
}

}  // namespace ekoto
