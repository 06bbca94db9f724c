// A unit's sample made faster or slower for the tempo setting and played at the
// pitch its mora has: the one place the window, the command-line reader, saving
// and the speech module shape units.
#pragma once
#include <cstdint>
#include <vector>

#include "engine/UnitPitch.h"

namespace ekoto {

inline constexpr double kMinTempo = 0.5;
inline constexpr double kMaxTempo = 3.0;

// At a tempo other than 1 or a pitch that is not flat, a mono 8- or 16-bit
// sample becomes the shaped sample as 16-bit PCM bytes and nBits becomes 16; its
// length depends on the tempo alone; an 8-bit unit in a contour becomes 16-bit
// even at its own pitch. Returns false, leaving both alone, at tempo 1 with a
// flat pitch (in a contour: a 16-bit one) and for samples of other shapes.
bool StretchUnit(std::vector<uint8_t>& bytes, int16_t& nBits, int16_t nChannels, int32_t lSampleRate, double dTempo,
                 const UnitPitch& pitch = {});

// The same on 16-bit mono PCM; the samples as they are at tempo 1 and a flat pitch.
// The results of the calling thread's recent calls (up to 32 MiB) are kept, so
// a unit said again at the same tempo and pitch costs no new shaping.
std::vector<int16_t> StretchPcm(std::vector<int16_t> pcm, int32_t lSampleRate, double dTempo,
                                const UnitPitch& pitch = {});

}  // namespace ekoto
