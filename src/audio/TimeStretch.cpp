#include "audio/TimeStretch.h"

#include <soundtouch/SoundTouch.h>

#include <algorithm>
#include <cmath>

namespace ekoto {

std::vector<int16_t> TimeStretch(const std::vector<int16_t>& pcm, int sampleRate, double tempo) {
  return ChangeTempoAndPitch(pcm, sampleRate, tempo, 0.0);
}

std::vector<int16_t> ChangeTempoAndPitch(const std::vector<int16_t>& pcm, int sampleRate, double tempo,
                                         double semitones) {
  if (!(tempo > 0.0) || !std::isfinite(tempo)) tempo = 1.0;
  if (!std::isfinite(semitones)) semitones = 0.0;
  if ((tempo == 1.0 && semitones == 0.0) || pcm.empty() || sampleRate <= 0) return pcm;

  soundtouch::SoundTouch st;
  st.setSampleRate(static_cast<unsigned>(sampleRate));
  st.setChannels(1);
  st.setTempo(tempo);
  st.setPitchSemiTones(semitones);
  // Quick seeking keeps the cost to a small part of the playing time.
  st.setSetting(SETTING_USE_QUICKSEEK, 1);

  std::vector<soundtouch::SAMPLETYPE> in(pcm.size());
  std::transform(pcm.begin(), pcm.end(), in.begin(), [](int16_t s) {
#ifdef SOUNDTOUCH_FLOAT_SAMPLES
    return static_cast<soundtouch::SAMPLETYPE>(s / 32768.0f);
#else
    return static_cast<soundtouch::SAMPLETYPE>(s);
#endif
  });
  st.putSamples(in.data(), static_cast<unsigned>(in.size()));
  st.flush();

  std::vector<soundtouch::SAMPLETYPE> out(st.numSamples());
  out.resize(st.receiveSamples(out.data(), static_cast<unsigned>(out.size())));
  // flush() pads with silence to push the last window out; cut back to the stretched length.
  const size_t nWanted = static_cast<size_t>(std::lround(pcm.size() / tempo));
  if (out.size() > nWanted) out.resize(nWanted);

  std::vector<int16_t> result(out.size());
  std::transform(out.begin(), out.end(), result.begin(), [](soundtouch::SAMPLETYPE v) {
#ifdef SOUNDTOUCH_FLOAT_SAMPLES
    const float f = std::clamp(static_cast<float>(v) * 32768.0f, -32768.0f, 32767.0f);
    return static_cast<int16_t>(std::lround(f));
#else
    return static_cast<int16_t>(std::clamp<int>(v, -32768, 32767));
#endif
  });
  return result;
}

}  // namespace ekoto
