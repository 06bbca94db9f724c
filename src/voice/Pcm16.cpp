#include "voice/Pcm16.h"

#include <cstddef>

namespace ekoto {

std::vector<int16_t> ToPcm16(const std::vector<uint8_t>& bytes, int nBitsPerSample) {
  std::vector<int16_t> pcm;
  if (nBitsPerSample == 8) {
    pcm.reserve(bytes.size());
    for (uint8_t b : bytes) pcm.push_back(static_cast<int16_t>((b - 128) * 256));
  } else if (nBitsPerSample == 16) {
    pcm.reserve(bytes.size() / 2);
    for (size_t i = 0; i + 1 < bytes.size(); i += 2) {
      pcm.push_back(static_cast<int16_t>(static_cast<uint16_t>(bytes[i] | (bytes[i + 1] << 8))));
    }
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
