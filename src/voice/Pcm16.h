// A unit's sample as signed 16-bit PCM, whatever width the voice file stores:
// the form time-stretching and the audio files written by the program take.
#pragma once
#include <cstdint>
#include <vector>

namespace ekoto {

// 8-bit samples are unsigned around 128, 16-bit ones signed little-endian.
// Empty for any other width, and for a 16-bit sample with an odd byte count
// the last byte is left out.
std::vector<int16_t> ToPcm16(const std::vector<uint8_t>& bytes, int nBitsPerSample);

// The samples as signed 16-bit little-endian bytes, as a 16-bit voice holds them.
std::vector<uint8_t> Pcm16Bytes(const std::vector<int16_t>& pcm);

}  // namespace ekoto
