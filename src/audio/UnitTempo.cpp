#include "audio/UnitTempo.h"

#include <cstring>
#include <string>
#include <unordered_map>

#include "audio/Pcm16.h"
#include "audio/TimeStretch.h"

namespace ekoto {
namespace {

// Shaped units by their samples, rate, tempo and pitch. A reading repeats the
// same hundred-odd units at a few levels, so most units are found here.
class ShapedUnits {
 public:
  const std::vector<int16_t>* Find(const std::string& key) const {
    const auto it = m_units.find(key);
    return it == m_units.end() ? nullptr : &it->second;
  }
  const std::vector<int16_t>& Keep(std::string key, std::vector<int16_t> pcm) {
    if (m_nSamples + pcm.size() > kMaxSamples) {
      m_units.clear();
      m_nSamples = 0;
    }
    m_nSamples += pcm.size();
    return m_units.insert_or_assign(std::move(key), std::move(pcm)).first->second;
  }

 private:
  static constexpr size_t kMaxSamples = size_t{16} << 20;  // 32 MiB of samples
  std::unordered_map<std::string, std::vector<int16_t>> m_units;
  size_t m_nSamples = 0;
};

std::string KeyOf(const std::vector<int16_t>& pcm, int32_t lSampleRate, double dTempo, const UnitPitch& pitch) {
  uint64_t hash = 1469598103934665603ULL;  // FNV-1a over the samples
  for (int16_t s : pcm) hash = (hash ^ static_cast<uint16_t>(s)) * 1099511628211ULL;
  const double fields[] = {static_cast<double>(pcm.size()), static_cast<double>(lSampleRate), dTempo,
                           pitch.dStart, pitch.dHold, pitch.dEnd};
  std::string key(sizeof fields + sizeof hash, '\0');
  std::memcpy(key.data(), fields, sizeof fields);
  std::memcpy(key.data() + sizeof fields, &hash, sizeof hash);
  return key;
}

}  // namespace

bool StretchUnit(std::vector<uint8_t>& bytes, int16_t& nBits, int16_t nChannels, int32_t lSampleRate, double dTempo,
                 const UnitPitch& pitch) {
  const bool bUnchanged = dTempo == 1.0 && pitch.IsFlat();
  if ((bUnchanged && (!pitch.bInContour || nBits == 16)) || nChannels != 1 || (nBits != 8 && nBits != 16)) {
    return false;
  }
  bytes = Pcm16Bytes(StretchPcm(ToPcm16(bytes, nBits), lSampleRate, dTempo, pitch));
  nBits = 16;
  return true;
}

std::vector<int16_t> StretchPcm(std::vector<int16_t> pcm, int32_t lSampleRate, double dTempo, const UnitPitch& pitch) {
  if (dTempo == 1.0 && pitch.IsFlat()) return pcm;
  thread_local ShapedUnits shaped;
  std::string key = KeyOf(pcm, lSampleRate, dTempo, pitch);
  if (const std::vector<int16_t>* found = shaped.Find(key)) return *found;
  return shaped.Keep(std::move(key),
                     ChangeTempoAndGlide(pcm, lSampleRate, dTempo, pitch.dStart, pitch.dHold, pitch.dEnd));
}

}  // namespace ekoto
