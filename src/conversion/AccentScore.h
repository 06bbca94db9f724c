// Measures estimated accent against annotated accent: the share of morae whose
// high/low level agrees, of accent phrases fully right and of sentences fully
// right. Where the two readings differ, morae are matched by sound (edit
// distance), so a misread mora costs that mora and its phrase, not the sentence.
#pragma once
#include <cstdint>

#include "conversion/AccentPlan.h"

namespace ekoto {

class AccentScore {
 public:
  // Adds one sentence. A reference phrase is right when each of its morae is
  // matched and at the same level, and the estimate starts a phrase on its first
  // mora and on the mora after its last, and nowhere between.
  void Add(const AccentPlan& produced, const AccentPlan& reference);

  int32_t Sentences() const { return m_nSentences; }
  double MoraLevelRate() const;
  double PhraseRate() const;
  double SentenceRate() const;

 private:
  int32_t m_nSentences = 0;
  int32_t m_nSentencesRight = 0;
  int64_t m_lMorae = 0;
  int64_t m_lMoraeRight = 0;
  int64_t m_lPhrases = 0;
  int64_t m_lPhrasesRight = 0;
};

}  // namespace ekoto
