#include "conversion/AccentFit.h"

#include <algorithm>
#include <string>
#include <vector>

#include "conversion/AccentRules.h"
#include "conversion/Morae.h"

namespace ekoto {
namespace {

bool IsPauseMark(char16_t c) { return std::u16string_view(u"、。，．,.！!？?；;：:…").find(c) != std::u16string_view::npos; }

// The reading's morae, each marked when a pause mark follows it.
AccentPlan ReadingMorae(std::u16string_view reading) {
  AccentPlan plan;
  for (size_t i = 0; i < reading.size();) {
    const char16_t c = reading[i];
    if (IsPauseMark(c)) {
      if (!plan.empty()) plan.back().bPauseAfter = true;
      ++i;
      continue;
    }
    if (!IsKanaLetter(c)) {
      ++i;
      continue;
    }
    size_t end = i + 1;
    const bool bJoinable = c != u'ー' && c != u'っ' && c != u'ん';
    while (bJoinable && end < reading.size() && IsJoiningSmallKana(reading[end])) ++end;
    plan.push_back({.sMora = std::u16string(reading.substr(i, end - i))});
    i = end;
  }
  return plan;
}

}  // namespace

AccentPlan FitPlanToReading(const AccentPlan& planned, std::u16string_view reading) {
  AccentPlan fitted = ReadingMorae(reading);
  const size_t n = planned.size();
  const size_t m = fitted.size();
  if (m == 0) return fitted;

  // Edit distance table, planned morae down, reading morae across.
  std::vector<int> cost((n + 1) * (m + 1));
  const auto at = [m](size_t i, size_t j) { return i * (m + 1) + j; };
  for (size_t i = 0; i <= n; ++i) cost[at(i, 0)] = static_cast<int>(i);
  for (size_t j = 0; j <= m; ++j) cost[at(0, j)] = static_cast<int>(j);
  for (size_t i = 1; i <= n; ++i) {
    for (size_t j = 1; j <= m; ++j) {
      const int nSub = SoundsAlike(planned[i - 1].sMora, fitted[j - 1].sMora) ? 0 : 1;
      cost[at(i, j)] = std::min({cost[at(i - 1, j - 1)] + nSub, cost[at(i - 1, j)] + 1, cost[at(i, j - 1)] + 1});
    }
  }

  // Walk back, moving what a dropped planned mora held onto the reading's morae.
  std::vector<bool> bStart(m, false);
  std::vector<bool> bNucleus(m, false);
  size_t i = n;
  size_t j = m;
  while (i > 0 || j > 0) {
    if (i > 0 && j > 0 &&
        cost[at(i, j)] ==
            cost[at(i - 1, j - 1)] + (SoundsAlike(planned[i - 1].sMora, fitted[j - 1].sMora) ? 0 : 1)) {
      // Added to, not set: a dropped mora after this one may have left its nucleus here.
      if (planned[i - 1].bPhraseStart) bStart[j - 1] = true;
      if (planned[i - 1].bNucleus) bNucleus[j - 1] = true;
      --i;
      --j;
    } else if (i > 0 && (j == 0 || cost[at(i, j)] == cost[at(i - 1, j)] + 1)) {
      // A planned mora the reading lacks.
      if (planned[i - 1].bNucleus && j > 0) bNucleus[j - 1] = true;
      if (planned[i - 1].bPhraseStart && j < m) bStart[j] = true;
      --i;
    } else {
      // A reading mora the plan lacks: it belongs to the phrase before.
      --j;
    }
  }
  bStart[0] = true;
  for (size_t k = 0; k < m; ++k) {
    fitted[k].bPhraseStart = bStart[k] || (k > 0 && fitted[k - 1].bPauseAfter);
    fitted[k].bNucleus = bNucleus[k];
  }
  SetLevelsFromNuclei(fitted);
  return fitted;
}

}  // namespace ekoto
