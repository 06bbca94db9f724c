#include "conversion/AccentNotation.h"

#include "conversion/Morae.h"

namespace ekoto {

std::u16string FormatAccentNotation(const AccentPlan& plan) {
  std::u16string out = u"^";
  for (size_t i = 0; i < plan.size(); ++i) {
    const MoraAccent& mora = plan[i];
    if (i > 0 && mora.bPhraseStart) out += plan[i - 1].bPauseAfter ? u'_' : u'#';
    if (i > 0 && !mora.bPhraseStart && mora.bHigh && !plan[i - 1].bHigh) out += u'[';
    out += mora.sMora;
    if (mora.bNucleus) out += u']';
    if (mora.bQuestion) out += u'?';
  }
  out += u'$';
  return out;
}

AccentPlan ParseAccentNotation(const std::u16string& sNotation) {
  AccentPlan plan;
  bool bHigh = false;
  bool bPhraseStart = true;
  bool bJoinable = false;  // a small kana here joins the last mora
  for (const char16_t c : sNotation) {
    if (IsKanaLetter(c)) {
      if (IsJoiningSmallKana(c) && bJoinable) {
        plan.back().sMora += c;
        continue;
      }
      plan.push_back({.sMora = std::u16string(1, c), .bHigh = bHigh, .bPhraseStart = bPhraseStart});
      bPhraseStart = false;
      bJoinable = c != u'ー' && c != u'っ' && c != u'ん';
      continue;
    }
    bJoinable = false;
    switch (c) {
      case u'[':
        bHigh = true;
        break;
      case u']':
        if (!plan.empty()) {
          plan.back().bNucleus = true;
          plan.back().bHigh = true;  // a fall at once after the first mora: that mora was high
        }
        bHigh = false;
        break;
      case u'#':
      case u'_':
        if (!plan.empty() && c == u'_') plan.back().bPauseAfter = true;
        bPhraseStart = true;
        bHigh = false;
        break;
      case u'?':
        if (!plan.empty()) plan.back().bQuestion = true;
        break;
      default:
        break;
    }
  }
  return plan;
}

}  // namespace ekoto
