#include "conversion/AccentFit.h"

#include <algorithm>
#include <string>
#include <vector>

#include "conversion/AccentRules.h"
#include "conversion/Morae.h"
#include "conversion/ReadingScore.h"

namespace ekoto {
namespace {

// Half-width of the alignment band beyond the difference in length.
constexpr size_t kBand = 48;

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
      // Letters and digits are said one by one (a surrogate pair is one);
      // other symbols and spaces not at all.
      const size_t n = c >= 0xD800 && c < 0xDC00 && i + 1 < reading.size() ? 2 : 1;
      const std::u16string_view sLetter = reading.substr(i, n);
      if (!StripPunctuation(sLetter).empty()) plan.push_back({.sMora = std::u16string(sLetter)});
      i += n;
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

std::vector<std::optional<size_t>> MatchMoraeBySound(const AccentPlan& from, const AccentPlan& to) {
  const size_t n = from.size();
  const size_t m = to.size();
  // Only cells near the diagonal are kept, so that a sentence of thousands of
  // morae needs neither megabytes nor milliseconds; sentences of ordinary
  // length lie wholly inside the band.
  const size_t w = kBand + (n > m ? n - m : m - n);
  const auto lo = [&](size_t i) { const size_t c = n == 0 ? 0 : i * m / n; return c > w ? c - w : 0; };
  const auto hi = [&](size_t i) { const size_t c = n == 0 ? m : i * m / n; return std::min(m, c + w); };
  constexpr int kFar = 1 << 29;
  std::vector<int> cost((n + 1) * (2 * w + 1), kFar);
  const auto cell = [&](size_t i, size_t j) -> int {
    return j < lo(i) || j > hi(i) ? kFar : cost[i * (2 * w + 1) + (j - lo(i))];
  };
  const auto sub = [&](size_t i, size_t j) { return SoundsAlike(from[i].sMora, to[j].sMora) ? 0 : 1; };
  for (size_t i = 0; i <= n; ++i) {
    for (size_t j = lo(i); j <= hi(i); ++j) {
      int c = kFar;
      if (i == 0 || j == 0) {
        c = static_cast<int>(i + j);
      } else {
        c = std::min({cell(i - 1, j - 1) + sub(i - 1, j - 1), cell(i - 1, j) + 1, cell(i, j - 1) + 1});
      }
      cost[i * (2 * w + 1) + (j - lo(i))] = c;
    }
  }
  std::vector<std::optional<size_t>> match(n);
  for (size_t i = n, j = m; i > 0 || j > 0;) {
    if (i > 0 && j > 0 && cell(i, j) == cell(i - 1, j - 1) + sub(i - 1, j - 1)) {
      match[--i] = --j;
    } else if (i > 0 && (j == 0 || cell(i, j) == cell(i - 1, j) + 1)) {
      --i;
    } else {
      --j;
    }
  }
  return match;
}

AccentPlan FitPlanToReading(const AccentPlan& planned, std::u16string_view reading) {
  AccentPlan fitted = ReadingMorae(reading);
  const size_t m = fitted.size();
  if (m == 0) return fitted;
  const auto match = MatchMoraeBySound(planned, fitted);
  std::vector<bool> bStart(m, false);
  std::vector<bool> bNucleus(m, false);
  size_t next = 0;  // the reading's mora after the last one matched
  for (size_t i = 0; i < planned.size(); ++i) {
    if (match[i]) {
      // Where the reading says a word otherwise (ほか where the dictionary
      // read 他 as た), the morae it says before this one belong to the
      // phrase this one starts.
      const bool bSaidOtherwise = !SoundsAlike(planned[i].sMora, fitted[*match[i]].sMora);
      if (planned[i].bPhraseStart) bStart[bSaidOtherwise ? std::min(next, *match[i]) : *match[i]] = true;
      next = *match[i] + 1;
      if (planned[i].bNucleus) bNucleus[next - 1] = true;
      continue;
    }
    // A planned mora the reading lacks: its nucleus goes to the mora said
    // before it, its phrase start to the mora said after it.
    if (planned[i].bNucleus && next > 0) bNucleus[next - 1] = true;
    if (planned[i].bPhraseStart && next < m) bStart[next] = true;
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
