// A unit's sample made faster or slower for the tempo setting, its pitch kept:
// the one place the window, the command-line reader and saving stretch units.
#pragma once
#include <cstdint>
#include <vector>

namespace ekoto {

inline constexpr double kMinTempo = 0.5;
inline constexpr double kMaxTempo = 3.0;

// At a tempo other than 1, a mono 8- or 16-bit sample becomes the stretched
// sample as 16-bit PCM bytes and nBits becomes 16. Returns false, leaving both
// alone, at tempo 1 and for samples of other shapes.
bool StretchUnit(std::vector<uint8_t>& bytes, int16_t& nBits, int16_t nChannels, int32_t lSampleRate, double dTempo);

// The same on 16-bit mono PCM; the samples as they are at tempo 1.
std::vector<int16_t> StretchPcm(std::vector<int16_t> pcm, int32_t lSampleRate, double dTempo);

}  // namespace ekoto
