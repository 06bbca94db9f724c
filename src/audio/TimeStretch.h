// Changing the speed of a recording without changing its pitch, for fast
// listening (screen readers) and slow reading alike.
#pragma once
#include <cstdint>
#include <vector>

namespace ekoto {

// Plays 16-bit mono PCM faster (tempo > 1) or slower without changing its pitch.
// tempo 1.0 (and a tempo that is not a positive number, or an empty input)
// returns the input unchanged. The result holds about pcm.size() / tempo samples.
std::vector<int16_t> TimeStretch(const std::vector<int16_t>& pcm, int sampleRate, double tempo);

// TimeStretch that also moves the pitch by semitones (0: kept), in one pass.
// semitones that are not a finite number count as 0.
std::vector<int16_t> ChangeTempoAndPitch(const std::vector<int16_t>& pcm, int sampleRate, double tempo,
                                         double semitones);

// ChangeTempoAndPitch whose pitch moves while the sound plays: from dStart
// semitones at its beginning to dHold at kGlideIn of its length, held to the
// half, then to dEnd at its end. The length is that of TimeStretch.
inline constexpr double kGlideIn = 0.3;
std::vector<int16_t> ChangeTempoAndGlide(const std::vector<int16_t>& pcm, int sampleRate, double tempo, double dStart,
                                         double dHold, double dEnd);

}  // namespace ekoto
