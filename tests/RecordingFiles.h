// Tiny recordings for the voice-building tests, written with libsndfile: a
// short 16-bit tone, one file per unit.
#pragma once
#include <sndfile.h>

#include <cmath>
#include <filesystem>
#include <vector>

namespace ekoto::testing {

// nFrames of a 440 Hz tone at half scale; format e.g. SF_FORMAT_WAV | SF_FORMAT_PCM_16.
inline bool WriteTone(const std::filesystem::path& path, int nRate, int nFrames,
                      int format = SF_FORMAT_WAV | SF_FORMAT_PCM_16) {
  SF_INFO info{0, nRate, 1, format, 0, 0};
  SNDFILE* file = sf_open(path.c_str(), SFM_WRITE, &info);
  if (file == nullptr) return false;
  std::vector<short> samples(static_cast<size_t>(nFrames));
  for (size_t i = 0; i < samples.size(); ++i) samples[i] = static_cast<short>(16000 * std::sin(2 * M_PI * 440 * i / nRate));
  const sf_count_t written = sf_writef_short(file, samples.data(), nFrames);
  return sf_close(file) == 0 && written == nFrames;
}

}  // namespace ekoto::testing
