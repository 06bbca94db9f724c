// A unit's sample as signed 16-bit mono PCM, whatever width the voice file
// stores: the form time-stretching, the speech module and the audio files
// written by the program take.
#pragma once
#include <cstdint>
#include <vector>

namespace ekoto {

// 8-bit samples are unsigned around 128 and become (b - 128) * 256, 16-bit
// ones are signed little-endian; several channels are averaged into one.
// Empty for any other width or a channel count below 1; a partial last frame
// is left out.
std::vector<int16_t> ToPcm16(const std::vector<uint8_t>& bytes, int nBitsPerSample, int nChannels = 1);

// The samples as signed 16-bit little-endian bytes, as a 16-bit voice holds them.
std::vector<uint8_t> Pcm16Bytes(const std::vector<int16_t>& pcm);

}  // namespace ekoto
