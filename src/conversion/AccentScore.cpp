#include "conversion/AccentScore.h"

#include <algorithm>
#include <optional>
#include <vector>

#include "conversion/Morae.h"

namespace ekoto {
namespace {

// For every reference mora, the produced mora matched to it by sound, if any.
std::vector<std::optional<size_t>> MatchMorae(const AccentPlan& produced, const AccentPlan& reference) {
  const size_t n = reference.size();
  const size_t m = produced.size();
  std::vector<int> cost((n + 1) * (m + 1));
  const auto at = [m](size_t i, size_t j) { return i * (m + 1) + j; };
  const auto sub = [&](size_t i, size_t j) { return SoundsAlike(reference[i].sMora, produced[j].sMora) ? 0 : 1; };
  for (size_t i = 0; i <= n; ++i) cost[at(i, 0)] = static_cast<int>(i);
  for (size_t j = 0; j <= m; ++j) cost[at(0, j)] = static_cast<int>(j);
  for (size_t i = 1; i <= n; ++i) {
    for (size_t j = 1; j <= m; ++j) {
      cost[at(i, j)] = std::min({cost[at(i - 1, j - 1)] + sub(i - 1, j - 1), cost[at(i - 1, j)] + 1,
                                 cost[at(i, j - 1)] + 1});
    }
  }
  std::vector<std::optional<size_t>> match(n);
  for (size_t i = n, j = m; i > 0 || j > 0;) {
    if (i > 0 && j > 0 && cost[at(i, j)] == cost[at(i - 1, j - 1)] + sub(i - 1, j - 1)) {
      match[--i] = --j;
    } else if (i > 0 && (j == 0 || cost[at(i, j)] == cost[at(i - 1, j)] + 1)) {
      --i;
    } else {
      --j;
    }
  }
  return match;
}

}  // namespace

void AccentScore::Add(const AccentPlan& produced, const AccentPlan& reference) {
  ++m_nSentences;
  const auto match = MatchMorae(produced, reference);
  bool bSentenceRight = true;
  for (size_t start = 0; start < reference.size();) {
    size_t end = start + 1;
    while (end < reference.size() && !reference[end].bPhraseStart) ++end;
    bool bPhraseRight = true;
    for (size_t k = start; k < end; ++k) {
      const bool bLevelRight = match[k] && produced[*match[k]].bHigh == reference[k].bHigh;
      m_lMoraeRight += bLevelRight ? 1 : 0;
      bPhraseRight = bPhraseRight && bLevelRight;
    }
    if (bPhraseRight) {
      // The estimate's phrase spans the same morae: it starts where the
      // reference's does and next starts where the reference's next one does.
      const size_t first = *match[start];
      const size_t last = end < reference.size() ? (match[end] ? *match[end] : first) : produced.size();
      bPhraseRight = produced[first].bPhraseStart && last > first &&
                     (end == reference.size() || produced[last].bPhraseStart);
      for (size_t p = first + 1; bPhraseRight && p < last; ++p) bPhraseRight = !produced[p].bPhraseStart;
    }
    m_lMorae += static_cast<int64_t>(end - start);
    ++m_lPhrases;
    m_lPhrasesRight += bPhraseRight ? 1 : 0;
    bSentenceRight = bSentenceRight && bPhraseRight;
    start = end;
  }
  m_nSentencesRight += bSentenceRight ? 1 : 0;
}

double AccentScore::MoraLevelRate() const {
  return m_lMorae == 0 ? 0 : static_cast<double>(m_lMoraeRight) / static_cast<double>(m_lMorae);
}

double AccentScore::PhraseRate() const {
  return m_lPhrases == 0 ? 0 : static_cast<double>(m_lPhrasesRight) / static_cast<double>(m_lPhrases);
}

double AccentScore::SentenceRate() const {
  return m_nSentences == 0 ? 0 : static_cast<double>(m_nSentencesRight) / static_cast<double>(m_nSentences);
}

}  // namespace ekoto
