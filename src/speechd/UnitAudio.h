// A unit's sample as 16-bit mono PCM, whatever the voice file stores.
#pragma once
#include <cstdint>
#include <vector>

namespace ekoto {

// bytes as LoadSoundWithVolume gives them: 8-bit unsigned samples become
// (b - 128) * 256, 16-bit signed little-endian ones are taken as they are;
// several channels are averaged into one. Empty for any other width.
std::vector<int16_t> SampleToPcm16(const std::vector<uint8_t>& bytes, int nBits, int nChannels);

}  // namespace ekoto
