// LoadSoundWithVolume, ScaleSample, ClipToByte and ClipToInt16.
#include "audio/LoadSoundWithVolume.h"

#include <cmath>

namespace ekoto {

uint8_t ClipToByte(float v) {
  if (!(v >= 0.0f)) return 0;
  if (v > 255.0f) return 255;
  // lrintf rounds in the current mode, which the program leaves at to-nearest-even.
  return static_cast<uint8_t>(std::lrintf(v));
}

int16_t ClipToInt16(float v) {
  if (std::isnan(v)) return 0;
  if (v < -32768.0f) return -32768;
  if (v > 32767.0f) return 32767;
  return static_cast<int16_t>(std::lrintf(v));
}

void ScaleSample(std::vector<uint8_t>& sample, int16_t nBitsPerSample, float factor) {
  if (nBitsPerSample == 8) {
    // Every byte value scales the same way, so the arithmetic runs once per value,
    // and again only when the volume changes.
    thread_local float lastFactor = std::nanf("");
    thread_local uint8_t scaled[256];
    if (!(factor == lastFactor)) {
      for (int b = 0; b < 256; ++b) scaled[b] = ClipToByte(static_cast<float>(b - 127) * factor + 127.0f);
      lastFactor = factor;
    }
    for (uint8_t& b : sample) b = scaled[b];
  } else if (nBitsPerSample == 16) {
    if (factor == 1.0f) return;
    for (size_t i = 0; i + 1 < sample.size(); i += 2) {
      const auto s = static_cast<int16_t>(static_cast<uint16_t>(sample[i] | (sample[i + 1] << 8)));
      const auto v = static_cast<uint16_t>(ClipToInt16(static_cast<float>(s) * factor));
      sample[i] = static_cast<uint8_t>(v & 0xFF);
      sample[i + 1] = static_cast<uint8_t>(v >> 8);
    }
  }
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
  ScaleSample(sample, retHeader.nBitsPerSample, factor);
  return sample;
}

}  // namespace ekoto
