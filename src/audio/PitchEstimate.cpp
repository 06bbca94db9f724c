#include "audio/PitchEstimate.h"

#include <algorithm>
#include <cmath>

namespace ekoto {

double EstimateF0(const std::vector<int16_t>& pcm, int nSampleRate, double dAt, size_t nFrame, double dMinHz,
                  double dMaxHz) {
  if (nSampleRate <= 0 || !(dMinHz > 0.0) || !(dMaxHz > dMinHz)) return 0.0;
  const size_t nMinLag = std::max<size_t>(2, static_cast<size_t>(nSampleRate / dMaxHz));
  const size_t nMaxLag = static_cast<size_t>(nSampleRate / dMinHz);
  // The frame is compared with itself nMaxLag samples on: it needs that much more sound.
  const size_t nNeeded = nFrame + nMaxLag;
  if (pcm.size() < nNeeded) return 0.0;
  const double dCentre = std::clamp(dAt, 0.0, 1.0) * static_cast<double>(pcm.size());
  const size_t nFrom = static_cast<size_t>(
      std::clamp(dCentre - static_cast<double>(nNeeded) / 2.0, 0.0, static_cast<double>(pcm.size() - nNeeded)));
  const int16_t* x = pcm.data() + nFrom;

  // Cumulative mean normalised difference, lag by lag.
  std::vector<double> d(nMaxLag + 1, 1.0);
  double dSum = 0.0;
  for (size_t lag = 1; lag <= nMaxLag; ++lag) {
    double dDiff = 0.0;
    for (size_t j = 0; j < nFrame; ++j) {
      const double v = static_cast<double>(x[j]) - static_cast<double>(x[j + lag]);
      dDiff += v * v;
    }
    dSum += dDiff;
    d[lag] = dSum > 0.0 ? dDiff * static_cast<double>(lag) / dSum : 1.0;
  }

  constexpr double kThreshold = 0.2;
  size_t best = 0;
  for (size_t lag = nMinLag; lag <= nMaxLag; ++lag) {
    if (d[lag] < kThreshold) {
      while (lag + 1 <= nMaxLag && d[lag + 1] < d[lag]) ++lag;
      best = lag;
      break;
    }
  }
  if (best == 0) return 0.0;
  // A parabola through the minimum and its neighbours places it between samples.
  double dLag = static_cast<double>(best);
  if (best > 1 && best < nMaxLag) {
    const double a = d[best - 1], b = d[best], c = d[best + 1];
    const double dDenominator = a - 2.0 * b + c;
    if (dDenominator > 0.0) dLag += 0.5 * (a - c) / dDenominator;
  }
  return nSampleRate / dLag;
}

double UnitF0(const std::vector<int16_t>& pcm, int nSampleRate, double dFrom, double dTo) {
  std::vector<double> voiced;
  for (int i = static_cast<int>(std::lround(dFrom * 10)); i <= static_cast<int>(std::lround(dTo * 10)); ++i) {
    const double hz = EstimateF0(pcm, nSampleRate, i / 10.0, 512);
    if (hz > 0.0) voiced.push_back(hz);
  }
  if (voiced.empty()) return 0.0;
  std::nth_element(voiced.begin(), voiced.begin() + voiced.size() / 2, voiced.end());
  return voiced[voiced.size() / 2];
}

}  // namespace ekoto
