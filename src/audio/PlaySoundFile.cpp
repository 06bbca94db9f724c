// PlayWaveFile: libsndfile decodes the whole file to 16-bit PCM, which is played
// as one buffer so that the wait ends exactly when the sound does.
#include "audio/PlaySoundFile.h"

#include <sndfile.h>

#include <bit>
#include <cstring>
#include <vector>

#include "util/RegularFile.h"
#include "util/Utf.h"

namespace ekoto {

namespace {

// Larger files are refused rather than decoded into memory.
constexpr sf_count_t kMaxBytes = sf_count_t{256} << 20;

}  // namespace

void PlayWaveFile(const std::u16string& path, clsPlaySound& player) {
  const int fd = OpenRegularFile(Utf16ToUtf8(path));
  if (fd < 0) return;
  SF_INFO info{};
  SNDFILE* file = sf_open_fd(fd, SFM_READ, &info, SF_TRUE);
  if (file == nullptr) return;
  std::vector<uint8_t> bWave;
  const bool bUsable = info.channels >= 1 && info.channels <= 8 && info.samplerate >= 1 && info.frames >= 0 &&
                       info.frames <= kMaxBytes / (2 * info.channels);
  if (bUsable) {
    std::vector<int16_t> samples(static_cast<size_t>(info.frames) * static_cast<size_t>(info.channels));
    const sf_count_t nRead = sf_readf_short(file, samples.data(), info.frames);
    samples.resize(static_cast<size_t>(nRead) * static_cast<size_t>(info.channels));
    // The output takes little-endian bytes, which is also the host's order here.
    static_assert(std::endian::native == std::endian::little);
    bWave.resize(samples.size() * sizeof(int16_t));
    if (!bWave.empty()) std::memcpy(bWave.data(), samples.data(), bWave.size());
  }
  sf_close(file);
  if (bWave.empty()) return;
  player.PlaySound(0, bWave, info.samplerate, 16, static_cast<int16_t>(info.channels));
}

}  // namespace ekoto
