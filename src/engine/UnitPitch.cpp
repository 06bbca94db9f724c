#include "engine/UnitPitch.h"

#include <algorithm>

namespace ekoto {

std::vector<double> MoraLevels(const AccentPlan& plan) {
  std::vector<double> levels;
  levels.reserve(plan.size());
  double dHigh = kHighLevel;
  bool bAfterNucleus = false;
  for (const MoraAccent& mora : plan) {
    if (mora.bPhraseStart && bAfterNucleus) {
      dHigh = std::max(dHigh - kDownstep, kLowestHigh);
      bAfterNucleus = false;
    }
    levels.push_back(mora.bHigh ? dHigh : kLowLevel);
    if (mora.bNucleus) bAfterNucleus = true;
    // A pause lets the speaker take breath: the next phrase starts from the top again.
    if (mora.bPauseAfter) {
      dHigh = kHighLevel;
      bAfterNucleus = false;
    }
  }
  return levels;
}

std::vector<UnitPitch> UnitPitches(const std::vector<std::u16string>& units, const std::u16string& sReading,
                                   const AccentPlan& plan) {
  std::vector<UnitPitch> flat(units.size());
  if (plan.empty()) return flat;

  // The mora of every character of the reading; -1 for punctuation the plan leaves out.
  std::vector<int> moraOf(sReading.size(), -1);
  size_t nMora = 0;
  size_t nInMora = 0;
  for (size_t i = 0; i < sReading.size() && nMora < plan.size(); ++i) {
    if (sReading[i] != plan[nMora].sMora[nInMora]) continue;
    moraOf[i] = static_cast<int>(nMora);
    if (++nInMora == plan[nMora].sMora.size()) {
      ++nMora;
      nInMora = 0;
      while (nMora < plan.size() && plan[nMora].sMora.empty()) ++nMora;
    }
  }
  if (nMora != plan.size()) return flat;

  const std::vector<double> levels = MoraLevels(plan);
  std::vector<UnitPitch> pitches(units.size());
  size_t at = 0;
  double dBefore = levels.front();
  bool bPauseBefore = true;
  for (size_t u = 0; u < units.size(); ++u) {
    int nUnitMora = -1;
    for (size_t i = at; i < at + units[u].size() && i < moraOf.size() && nUnitMora < 0; ++i) nUnitMora = moraOf[i];
    at += units[u].size();
    if (nUnitMora < 0) {
      pitches[u] = {dBefore, dBefore, dBefore};
      continue;
    }
    const MoraAccent& mora = plan[static_cast<size_t>(nUnitMora)];
    const double dLevel = levels[static_cast<size_t>(nUnitMora)];
    UnitPitch& pitch = pitches[u];
    pitch.dStart = bPauseBefore ? dLevel : dBefore;
    pitch.dHold = dLevel;
    pitch.dEnd = dLevel;
    if (mora.bQuestion) {
      pitch.dEnd = dLevel + kQuestionRise;
    } else if (static_cast<size_t>(nUnitMora) + 1 == plan.size()) {
      pitch.dEnd = dLevel - kFinalFall;
    }
    dBefore = pitch.dEnd;
    bPauseBefore = mora.bPauseAfter;
  }
  return pitches;
}

}  // namespace ekoto
