// The pitch plan of one sentence: one entry per mora of its reading, in the
// order they are said. The accent estimator makes it; playback turns it into
// the pitch of each unit.
#pragma once
#include <string>
#include <vector>

namespace ekoto {

struct MoraAccent {
  std::u16string sMora;       // the mora as the reading spells it (か, きょ, ー, っ, ん)
  bool bHigh = false;         // high or low within its accent phrase
  bool bNucleus = false;      // the accent nucleus: the pitch falls after this mora
  bool bPhraseStart = false;  // first mora of an accent phrase
  bool bPauseAfter = false;   // a pause follows (punctuation)
  bool bQuestion = false;     // the sentence ends here with a question rise
};

using AccentPlan = std::vector<MoraAccent>;

// Gives the accent plan of one sentence.
class IAccentSource {
 public:
  virtual ~IAccentSource() = default;
  // sWritten is the sentence as the text has it, sSentence the text handed to
  // the kana conversion (after the reading options, the template and numerals),
  // sReading the hiragana it gave. The plan's morae, joined, spell sReading
  // without its punctuation. Returns an empty plan when it cannot tell: the
  // sentence is then read at one pitch. Never throws.
  virtual AccentPlan PlanAccent(const std::u16string& sWritten, const std::u16string& sSentence,
                                const std::u16string& sReading) = 0;
};

}  // namespace ekoto
