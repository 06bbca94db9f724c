// The fundamental frequency of a stretch of voiced sound (YIN: the lag at which
// the signal best repeats itself, normalised by the mean difference over the
// shorter lags). Checks and benchmarks use it to hear the pitch in the sound.
#pragma once
#include <cstddef>
#include <cstdint>
#include <vector>

namespace ekoto {

// F0 in Hz of the nFrame samples of pcm centred at share dAt (0 to 1) of its
// length, looked for between dMinHz and dMaxHz; 0 when the frame does not
// repeat itself clearly enough (silence, noise, a voiceless consonant).
double EstimateF0(const std::vector<int16_t>& pcm, int nSampleRate, double dAt, size_t nFrame = 1024,
                  double dMinHz = 70.0, double dMaxHz = 500.0);

// The pitch a listener gives a unit: the median of EstimateF0 (frames of 512)
// at every tenth of its length from dFrom to dTo, over the frames that repeat
// themselves; 0 when none does.
double UnitF0(const std::vector<int16_t>& pcm, int nSampleRate, double dFrom = 0.3, double dTo = 0.9);

}  // namespace ekoto
