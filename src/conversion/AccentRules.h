// The accent of a sentence from the words an accent dictionary gives for it:
// which words join into one accent phrase, and where the phrase's nucleus falls
// once its words are joined. The rules follow the published accent combination
// rules (compound nouns, particles and auxiliaries, prefixes and suffixes) and
// work on hand-made words, apart from MeCab.
#pragma once
#include <span>
#include <string>
#include <string_view>

#include "conversion/AccentPlan.h"

namespace ekoto {

// One word as the accent dictionary describes it (IPA part-of-speech fields).
struct AccentWord {
  std::u16string sSurface;
  std::u16string sPartOfSpeech;  // 名詞, 動詞, 助詞, 助動詞, 記号, 接頭詞, …
  std::u16string sSubclass1;     // 固有名詞, 接尾, 非自立, 副詞可能, 数, …
  std::u16string sSubclass3;     // 姓, 名, …
  std::u16string sConjugation;   // 連用形, 基本形, … (verbs and auxiliaries)
  std::u16string sBase;          // the dictionary form (する for し, ない for なかっ)
  std::u16string sPron;          // hiragana as said; empty for symbols
  int nAccent = 0;               // the nucleus on its own: 0 flat, n after the n-th mora
  int nMorae = 0;                // morae of sPron
  // How the word joins the accent of the words before it in its phrase:
  // C1..C5 for nouns in compounds, P1.. for prefixes, and for particles and
  // auxiliaries a list such as "名詞%F1/動詞%F2@0" keyed by the part of speech
  // of the word before. Empty or "*": no change.
  std::u16string sChainRule;
  bool bSeparate = false;  // starts a phrase whatever the rules say
};

// True iff word joins the accent phrase of prev, the word said before it.
bool JoinsPreviousPhrase(const AccentWord& prev, const AccentWord& word);

// The word's nucleus as said in its form: the dictionary's, moved for
// conjugated verbs and adjectives. 0 is flat.
int OwnAccent(const AccentWord& word);

// The nucleus of a phrase after word joins it: nAccent is the phrase's nucleus
// so far (0 flat), nMoraeBefore its morae before word, prev the word before.
// The result lies in 0 … nMoraeBefore + word.nMorae.
int JoinedAccent(int nAccent, int nMoraeBefore, const AccentWord& prev, const AccentWord& word);

// The plan of the words' own morae (symbols give none): phrases with their
// nuclei and the high/low levels that follow from them.
AccentPlan PlanOfWords(std::span<const AccentWord> words);

// Sets every mora's level from the phrase starts and nuclei: a phrase rises
// after its first mora and falls after its nucleus, or starts high when the
// nucleus is its first mora.
void SetLevelsFromNuclei(AccentPlan& plan);

}  // namespace ekoto
