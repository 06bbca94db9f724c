// A stand-in accent source for speed benchmarks: it makes a plan for any
// reading, in phrases of four morae that fall after their second mora every
// other phrase, so that every unit is shaped with glides, downsteps and ends
// as with a real plan. It says nothing about which accent is right.
#pragma once
#include <string>

#include "conversion/AccentPlan.h"

namespace ekoto::bench {

class PatternAccent : public IAccentSource {
 public:
  AccentPlan PlanAccent(const std::u16string& /*sWritten*/, const std::u16string& /*sSentence*/,
                        const std::u16string& sReading) override {
    AccentPlan plan;
    for (char16_t c : sReading) {
      const bool bKana = (c >= u'ぁ' && c <= u'ゖ') || c == u'ー';
      if (!bKana) {
        if (!plan.empty()) plan.back().bPauseAfter = true;
        continue;
      }
      const bool bSmall = c == u'ゃ' || c == u'ゅ' || c == u'ょ';
      if (bSmall && !plan.empty()) {
        plan.back().sMora += c;
        continue;
      }
      const size_t n = plan.size() % 4;
      MoraAccent mora;
      mora.sMora = std::u16string(1, c);
      mora.bPhraseStart = n == 0;
      const bool bFalls = plan.size() / 4 % 2 == 0;
      mora.bHigh = n == 1 || (n >= 2 && !bFalls);
      mora.bNucleus = bFalls && n == 1;
      plan.push_back(mora);
    }
    return plan;
  }
};

}  // namespace ekoto::bench
