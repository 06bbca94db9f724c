#include "audio/UnitTempo.h"

#include "audio/Pcm16.h"
#include "audio/TimeStretch.h"

namespace ekoto {

bool StretchUnit(std::vector<uint8_t>& bytes, int16_t& nBits, int16_t nChannels, int32_t lSampleRate, double dTempo) {
  if (dTempo == 1.0 || nChannels != 1 || (nBits != 8 && nBits != 16)) return false;
  bytes = Pcm16Bytes(TimeStretch(ToPcm16(bytes, nBits), lSampleRate, dTempo));
  nBits = 16;
  return true;
}

std::vector<int16_t> StretchPcm(std::vector<int16_t> pcm, int32_t lSampleRate, double dTempo) {
  if (dTempo == 1.0) return pcm;
  return TimeStretch(pcm, lSampleRate, dTempo);
}

}  // namespace ekoto
