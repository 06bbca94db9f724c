// Accent plans made by hand for benchmark sentences: each sentence is its accent
// phrases, each phrase its morae and the mora its pitch falls after (0: it
// does not fall), read with the Tokyo rules (the first mora low unless it is the
// nucleus, the rest high up to the nucleus, low after it).
#pragma once
#include <string>
#include <vector>

#include "conversion/AccentPlan.h"

namespace ekoto::bench {

struct HandPhrase {
  std::vector<std::u16string> morae;
  int nNucleus = 0;
  bool bPauseAfter = false;
};

struct HandSentence {
  std::u16string sText;   // as written
  std::u16string sKana;   // its reading, as the units are said
  std::vector<HandPhrase> phrases;
  bool bQuestion = false;
};

inline AccentPlan HandPlan(const HandSentence& sentence) {
  AccentPlan plan;
  for (const HandPhrase& phrase : sentence.phrases) {
    for (size_t i = 0; i < phrase.morae.size(); ++i) {
      MoraAccent mora;
      mora.sMora = phrase.morae[i];
      const int n = static_cast<int>(i) + 1;
      mora.bHigh = phrase.nNucleus == 1 ? n == 1 : (n > 1 && (phrase.nNucleus == 0 || n <= phrase.nNucleus));
      mora.bNucleus = n == phrase.nNucleus;
      mora.bPhraseStart = i == 0;
      mora.bPauseAfter = phrase.bPauseAfter && i + 1 == phrase.morae.size();
      plan.push_back(mora);
    }
  }
  if (sentence.bQuestion && !plan.empty()) plan.back().bQuestion = true;
  return plan;
}

// Five sentences of everyday Tokyo speech, with their accent as a speaker says it.
inline std::vector<HandSentence> HandSentences() {
  return {
      {u"雨が降る。", u"あめがふる。", {{{u"あ", u"め", u"が"}, 1}, {{u"ふ", u"る"}, 1}}},
      {u"紙を買います。", u"かみをかいます。", {{{u"か", u"み", u"を"}, 2}, {{u"か", u"い", u"ま", u"す"}, 3}}},
      {u"私は学生です。", u"わたしはがくせいです。",
       {{{u"わ", u"た", u"し", u"は"}, 0}, {{u"が", u"く", u"せ", u"い", u"で", u"す"}, 5}}},
      {u"今日は、良い天気です。", u"きょうは、いいてんきです。",
       {{{u"きょ", u"う", u"は"}, 1, true}, {{u"い", u"い"}, 1}, {{u"て", u"ん", u"き", u"で", u"す"}, 1}}},
      {u"明日は雨ですか？", u"あしたはあめですか？",
       {{{u"あ", u"し", u"た", u"は"}, 3}, {{u"あ", u"め", u"で", u"す", u"か"}, 1}},
       true},
  };
}

// Gives the part of a hand-made plan that spells the reading (the reader asks
// for each piece between sentence marks), else no plan.
class HandMadeAccent : public IAccentSource {
 public:
  AccentPlan PlanAccent(const std::u16string& /*sWritten*/, const std::u16string& /*sSentence*/,
                        const std::u16string& sReading) override {
    std::u16string sKana;
    for (char16_t c : sReading) {
      if ((c >= u'ぁ' && c <= u'ゖ') || c == u'ー') sKana += c;
    }
    if (sKana.empty()) return {};
    for (const HandSentence& sentence : HandSentences()) {
      const AccentPlan plan = HandPlan(sentence);
      for (size_t from = 0; from < plan.size(); ++from) {
        std::u16string sSpelled;
        for (size_t to = from; to < plan.size() && sSpelled.size() < sKana.size(); ++to) {
          sSpelled += plan[to].sMora;
          if (sSpelled == sKana) {
            return AccentPlan(plan.begin() + static_cast<ptrdiff_t>(from), plan.begin() + static_cast<ptrdiff_t>(to + 1));
          }
        }
      }
    }
    return {};
  }
};

}  // namespace ekoto::bench
