#include "conversion/TempleteAccent.h"

#include <algorithm>
#include <string_view>
#include <vector>

#include "conversion/AccentNotation.h"
#include "conversion/ConvTemplete.h"
#include "conversion/Morae.h"

namespace ekoto {
namespace {

// Where the morae of word are said in plan, by sound, not overlapping, left to right.
std::vector<size_t> WordStarts(const AccentPlan& plan, const std::vector<std::u16string>& word) {
  std::vector<size_t> starts;
  for (size_t i = 0; i + word.size() <= plan.size();) {
    const bool bHere = std::equal(word.begin(), word.end(), plan.begin() + static_cast<std::ptrdiff_t>(i),
                                  [](const std::u16string& mora, const MoraAccent& said) {
                                    return SoundsAlike(mora, said.sMora);
                                  });
    if (!bHere) {
      ++i;
      continue;
    }
    starts.push_back(i);
    i += word.size();
  }
  return starts;
}

// The word's levels on plan[nStart, nStart + word.size()), then the rest of the
// inner phrase it ended in follows its pitch. Pauses stay where the sentence has them.
void PutWord(AccentPlan& plan, size_t nStart, const AccentPlan& word) {
  bool bFallen = false;  // within the word's last phrase
  for (size_t k = 0; k < word.size(); ++k) {
    MoraAccent& mora = plan[nStart + k];
    mora.bHigh = word[k].bHigh;
    mora.bNucleus = word[k].bNucleus;
    mora.bPhraseStart = k == 0 || word[k].bPhraseStart;
    if (mora.bPhraseStart) bFallen = false;
    if (mora.bNucleus) bFallen = true;
  }
  bool bHigh = !bFallen && word.back().bHigh;
  for (size_t j = nStart + word.size(); j < plan.size() && !plan[j].bPhraseStart; ++j) {
    plan[j].bHigh = bHigh;
    if (!plan[j].bNucleus) continue;
    if (bHigh) bHigh = false;  // its own fall, after a flat word
    else plan[j].bNucleus = false;  // a phrase falls once
  }
}

}  // namespace

AccentPlan CTempleteAccent::PlanAccent(const std::u16string& sWritten, const std::u16string& sSentence,
                                       const std::u16string& sReading) {
  AccentPlan plan = m_inner.PlanAccent(sWritten, sSentence, sReading);
  if (plan.empty()) return plan;
  std::vector<bool> bTaken(plan.size(), false);  // morae an entry has already put its accent on
  for (const size_t i : m_pTable->AccentedEntriesIn(sSentence)) {
    const TempleteEntry& entry = m_pTable->Entries()[i];
    const AccentPlan word = ParseAccentNotation(entry.sAccent);
    const std::vector<std::u16string> morae = SplitMorae(entry.sTo);
    if (word.empty() || word.size() != morae.size()) continue;
    const std::vector<size_t> said = WordStarts(plan, morae);
    // Each place the sentence holds the reading is matched with the one place
    // in the plan that leaves room for the kana written before and after it
    // (kana are said as at least as many morae, whatever the rest is said as).
    // Where more than one does, another word sounds the same and which of them
    // the entry made cannot be told: the plan stays.
    for (size_t nPos = sSentence.find(entry.sTo); nPos != std::u16string::npos;
         nPos = sSentence.find(entry.sTo, nPos + entry.sTo.size())) {
      const size_t nBefore = SplitMorae(std::u16string_view(sSentence).substr(0, nPos)).size();
      const size_t nAfter = SplitMorae(std::u16string_view(sSentence).substr(nPos + entry.sTo.size())).size();
      const auto fits = [&](size_t nStart) {
        return nStart >= nBefore && plan.size() - nStart - word.size() >= nAfter;
      };
      if (std::count_if(said.begin(), said.end(), fits) != 1) continue;
      const size_t nStart = *std::find_if(said.begin(), said.end(), fits);
      const auto span = bTaken.begin() + static_cast<std::ptrdiff_t>(nStart);
      const auto spanEnd = span + static_cast<std::ptrdiff_t>(word.size());
      if (std::find(span, spanEnd, true) != spanEnd) continue;
      PutWord(plan, nStart, word);
      std::fill(span, spanEnd, true);
    }
  }
  return plan;
}

}  // namespace ekoto
