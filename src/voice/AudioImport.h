// Sound files in and out for voice authoring: recordings in any format libsndfile
// reads (WAV, FLAC, OGG...) become 8- or 16-bit mono samples at a chosen rate,
// and samples become WAV files again.
#pragma once
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "voice/PaStatus.h"

namespace ekoto {

// A recording mixed down to one channel, samples in -1..1.
struct MonoClip {
  int32_t lSampleRate = 0;
  std::vector<float> samples;
};

// Reads the sound file at path, averaging its channels.
PaStatus ReadMonoClip(const std::u16string& path, MonoClip& retClip);

// Resamples clip to lSampleRate (when it differs) and quantises to unsigned 8 bit,
// 128 being silence. An 8-bit recording at the same rate comes back unchanged.
PaStatus ConvertToU8(const MonoClip& clip, int32_t lSampleRate, std::vector<uint8_t>& retSample);

// The same at nBitsPerSample: 8 as ConvertToU8; 16 signed little-endian, full
// scale 32768, clipped. A 16-bit recording at the same rate comes back unchanged.
PaStatus ConvertToPcm(const MonoClip& clip, int32_t lSampleRate, int16_t nBitsPerSample,
                      std::vector<uint8_t>& retSample);

// The bytes of a WAV file holding sample as unsigned 8-bit PCM; std::nullopt on a
// rate or channel count libsndfile refuses.
std::optional<std::vector<uint8_t>> MakeWavU8(const std::vector<uint8_t>& sample, int32_t lSampleRate,
                                              int16_t nChannels);

// The same for raw PCM as a voice file holds it: 8-bit unsigned or 16-bit signed
// little-endian; std::nullopt for other widths.
std::optional<std::vector<uint8_t>> MakeWavPcm(const std::vector<uint8_t>& sample, int32_t lSampleRate,
                                               int16_t nChannels, int16_t nBitsPerSample);

}  // namespace ekoto
