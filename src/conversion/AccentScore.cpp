#include "conversion/AccentScore.h"

#include "conversion/AccentFit.h"

namespace ekoto {

void AccentScore::Add(const AccentPlan& produced, const AccentPlan& reference) {
  ++m_nSentences;
  const auto match = MatchMoraeBySound(reference, produced);
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
