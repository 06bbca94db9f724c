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
  return ChangeTempoAndGlide(pcm, sampleRate, tempo, semitones, semitones, semitones);
}

namespace {

double Finite(double v) { return std::isfinite(v) ? v : 0.0; }

std::vector<soundtouch::SAMPLETYPE> ToSoundTouch(const std::vector<int16_t>& pcm) {
  std::vector<soundtouch::SAMPLETYPE> samples(pcm.size());
  std::transform(pcm.begin(), pcm.end(), samples.begin(), [](int16_t s) {
#ifdef SOUNDTOUCH_FLOAT_SAMPLES
    return static_cast<soundtouch::SAMPLETYPE>(s / 32768.0f);
#else
    return static_cast<soundtouch::SAMPLETYPE>(s);
#endif
  });
  return samples;
}

float AsFloat(soundtouch::SAMPLETYPE v) {
#ifdef SOUNDTOUCH_FLOAT_SAMPLES
  return static_cast<float>(v) * 32768.0f;
#else
  return static_cast<float>(v);
#endif
}

// The pitch, in semitones, at share x of the sound: dStart gliding to dHold by
// kGlideIn, held to the half, gliding to dEnd at the end.
double SemitonesAt(double x, double dStart, double dHold, double dEnd) {
  if (x < kGlideIn) return dStart + (dHold - dStart) * x / kGlideIn;
  if (x < 0.5) return dHold;
  return dHold + (dEnd - dHold) * (x - 0.5) / 0.5;
}

}  // namespace

// Two steps. SoundTouch stretches the sound by the factor the pitch will raise
// it (in pieces, each at its own tempo: a changing tempo never reorders its
// pipeline, a pitch crossing zero does, with a click); then reading that sound
// at a rate that follows the contour sample by sample raises the pitch and
// brings the length back, the glide smooth and without steps.
std::vector<int16_t> ChangeTempoAndGlide(const std::vector<int16_t>& pcm, int sampleRate, double tempo, double dStart,
                                         double dHold, double dEnd) {
  if (!(tempo > 0.0) || !std::isfinite(tempo)) tempo = 1.0;
  dStart = Finite(dStart);
  dHold = Finite(dHold);
  dEnd = Finite(dEnd);
  const bool bFlat = dStart == 0.0 && dHold == 0.0 && dEnd == 0.0;
  if ((tempo == 1.0 && bFlat) || pcm.empty() || sampleRate <= 0) return pcm;
  const size_t nWanted = static_cast<size_t>(std::lround(pcm.size() / tempo));
  const bool bLevel = dStart == dHold && dHold == dEnd;
  const double dLevelRate = std::exp2(dHold / 12.0);
  const auto rateAt = [&](double x) {
    return bLevel ? dLevelRate : std::exp2(SemitonesAt(x, dStart, dHold, dEnd) / 12.0);
  };

  soundtouch::SoundTouch st;
  st.setSampleRate(static_cast<unsigned>(sampleRate));
  st.setChannels(1);
  // Quick seeking keeps the cost to a small part of the playing time.
  st.setSetting(SETTING_USE_QUICKSEEK, 1);
  const std::vector<soundtouch::SAMPLETYPE> in = ToSoundTouch(pcm);
  constexpr int kPieces = 10;
  for (int k = 0; k < kPieces; ++k) {
    const size_t nFrom = in.size() * k / kPieces, nTo = in.size() * (k + 1) / kPieces;
    double dRate = 0.0;  // the piece's mean rate
    for (int i = 0; i < 4; ++i) dRate += rateAt((k + (i + 0.5) / 4) / kPieces) / 4;
    st.setTempo(tempo / dRate);
    if (nTo > nFrom) st.putSamples(in.data() + nFrom, static_cast<unsigned>(nTo - nFrom));
  }
  st.flush();
  std::vector<soundtouch::SAMPLETYPE> stretched(st.numSamples());
  stretched.resize(st.receiveSamples(stretched.data(), static_cast<unsigned>(stretched.size())));

  std::vector<int16_t> result(nWanted, 0);
  const auto at = [&stretched](ptrdiff_t i) {
    return i < 0 || i >= static_cast<ptrdiff_t>(stretched.size()) ? 0.0f : AsFloat(stretched[static_cast<size_t>(i)]);
  };
  double dPos = 0.0;
  for (size_t n = 0; n < nWanted && dPos < static_cast<double>(stretched.size()); ++n) {
    // Four-point cubic interpolation between the samples around dPos.
    const auto i = static_cast<ptrdiff_t>(dPos);
    const auto t = static_cast<float>(dPos - static_cast<double>(i));
    const float xm = at(i - 1), x0 = at(i), x1 = at(i + 1), x2 = at(i + 2);
    const float c1 = 0.5f * (x1 - xm), c2 = xm - 2.5f * x0 + 2.0f * x1 - 0.5f * x2;
    const float c3 = 0.5f * (x2 - xm) + 1.5f * (x0 - x1);
    const float v = ((c3 * t + c2) * t + c1) * t + x0;
    result[n] = static_cast<int16_t>(std::lround(std::clamp(v, -32768.0f, 32767.0f)));
    dPos += rateAt(static_cast<double>(n) / static_cast<double>(nWanted));
  }
  return result;
}

}  // namespace ekoto
