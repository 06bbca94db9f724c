#include "audio/Pcm16.h"

#include <cstddef>

namespace ekoto {

std::vector<int16_t> ToPcm16(const std::vector<uint8_t>& bytes, int nBitsPerSample, int nChannels) {
  if ((nBitsPerSample != 8 && nBitsPerSample != 16) || nChannels < 1) return {};
  const size_t bytesPerSample = static_cast<size_t>(nBitsPerSample / 8);
  const size_t bytesPerFrame = bytesPerSample * static_cast<size_t>(nChannels);
  const size_t frames = bytes.size() / bytesPerFrame;
  std::vector<int16_t> pcm(frames);
  for (size_t f = 0; f < frames; ++f) {
    int32_t sum = 0;
    for (size_t at = f * bytesPerFrame; at < (f + 1) * bytesPerFrame; at += bytesPerSample) {
      sum += nBitsPerSample == 8 ? (bytes[at] - 128) * 256
                                 : static_cast<int16_t>(static_cast<uint16_t>(bytes[at] | (bytes[at + 1] << 8)));
    }
    pcm[f] = static_cast<int16_t>(sum / nChannels);
  }
  return pcm;
}

std::vector<uint8_t> Pcm16Bytes(const std::vector<int16_t>& pcm) {
  std::vector<uint8_t> bytes;
  bytes.reserve(pcm.size() * 2);
  for (int16_t v : pcm) {
    const auto u = static_cast<uint16_t>(v);
    bytes.push_back(static_cast<uint8_t>(u & 0xFF));
    bytes.push_back(static_cast<uint8_t>(u >> 8));
  }
  return bytes;
}

}  // namespace ekoto
