#include "speechd/UnitAudio.h"

#include <cstddef>

namespace ekoto {

std::vector<int16_t> SampleToPcm16(const std::vector<uint8_t>& bytes, int nBits, int nChannels) {
  if ((nBits != 8 && nBits != 16) || nChannels < 1) return {};
  const size_t bytesPerFrame = static_cast<size_t>(nBits / 8) * static_cast<size_t>(nChannels);
  const size_t frames = bytes.size() / bytesPerFrame;
  std::vector<int16_t> pcm(frames);
  for (size_t f = 0; f < frames; ++f) {
    int32_t sum = 0;
    for (int ch = 0; ch < nChannels; ++ch) {
      const size_t at = f * bytesPerFrame + static_cast<size_t>(ch) * static_cast<size_t>(nBits / 8);
      sum += nBits == 8 ? (bytes[at] - 128) * 256 : static_cast<int16_t>(bytes[at] | (bytes[at + 1] << 8));
    }
    pcm[f] = static_cast<int16_t>(sum / nChannels);
  }
  return pcm;
}

}  // namespace ekoto
