#include "conversion/AccentRules.h"

#include <algorithm>
#include <vector>

#include "conversion/AccentJoinTable.h"
#include "conversion/Morae.h"

namespace ekoto {
namespace {

// The phrase length (morae) from which ある starts a phrase of its own; chosen
// on the even rows of the annotated set (5 to 8 score alike there).
constexpr int kLongBeforeAru = 7;
// The same after a phrase that has fallen (there 6 splits 7 times in 11).
constexpr int kLongFallenBeforeAru = 6;
// The length (morae) from which a noun after a noun starts a phrase of its
// own; chosen on the even rows (5 and 6 gain on both halves of them, 4 loses).
constexpr int kLongNounApart = 5;

bool IsFunctionWord(const AccentWord& w) { return w.sPartOfSpeech == u"助詞" || w.sPartOfSpeech == u"助動詞"; }

bool IsStandAloneClass(const AccentWord& w) {
  return w.sPartOfSpeech == u"副詞" || w.sPartOfSpeech == u"接続詞" || w.sPartOfSpeech == u"連体詞";
}

bool IsNoun(const AccentWord& w) { return w.sPartOfSpeech == u"名詞"; }

bool IsSpecialMora(std::u16string_view mora) { return mora == u"ん" || mora == u"ー" || mora == u"っ"; }

// A mora whose vowel is i or u after a voiceless consonant (し, く, つ, ぴ, しゅ).
bool IsVoicelessHighVowel(std::u16string_view mora) {
  return !mora.empty() && std::u16string_view(u"きくしすちつひふぴぷ").find(mora[0]) != std::u16string_view::npos &&
         (mora.size() == 1 || mora[1] == u'ゅ');
}

// A one-kanji prefix said as a phrase of its own before its noun (かく#がっこー,
// ぜん#しゃかい, きゅー#しはい).
bool IsPrefixSaidApart(const AccentWord& w) {
  return w.sPartOfSpeech == u"接頭詞" && w.sSurface.size() == 1 &&
         std::u16string_view(u"各全半本当旧元被要非").find(w.sSurface[0]) != std::u16string_view::npos;
}

bool IsContinuative(const AccentWord& w) { return w.sConjugation.starts_with(u"連用"); }

// The rule of word's list that applies after a word of part of speech sPrev:
// "名詞%F1/動詞%F2@0" gives "F2@0" after a verb; an entry without a part of
// speech applies after any word. Empty when none applies.
std::u16string_view RuleAfter(std::u16string_view sRules, std::u16string_view sPrev) {
  while (!sRules.empty()) {
    const size_t end = std::min(sRules.find(u'/'), sRules.size());
    const std::u16string_view sEntry = sRules.substr(0, end);
    const size_t percent = sEntry.find(u'%');
    if (percent == std::u16string_view::npos) return sEntry;
    if (sEntry.substr(0, percent) == sPrev) return sEntry.substr(percent + 1);
    sRules.remove_prefix(std::min(end + 1, sRules.size()));
  }
  return {};
}

// The number after '@' in a rule such as "F2@-1"; 0 without one.
int RuleShift(std::u16string_view sRule) {
  const size_t at = sRule.find(u'@');
  if (at == std::u16string_view::npos) return 0;
  int nSign = 1;
  int nValue = 0;
  for (const char16_t c : sRule.substr(at + 1)) {
    if (c == u'-') {
      nSign = -1;
    } else if (c >= u'0' && c <= u'9') {
      nValue = nValue * 10 + (c - u'0');
    } else {
      break;
    }
  }
  return nSign * nValue;
}

// The verb of a compound particle (として, によって, により, による, という
// before a noun), said as part of its particle's phrase: it joins it and
// leaves its nucleus where it was. next is the word after it, if any.
bool IsParticleVerb(const AccentWord& prev, const AccentWord& word, const AccentWord* next) {
  if (prev.sSubclass1 != u"格助詞" || word.sPartOfSpeech != u"動詞") return false;
  if (prev.sSurface == u"と" && (word.sBase == u"いう" || word.sBase == u"言う") &&
      word.sConjugation.starts_with(u"基本形")) {
    // という before a noun it names (かちかちという音), not before もの or こと.
    return next && IsNoun(*next) && next->sSubclass1 != u"非自立";
  }
  // による, but not によれば.
  if (prev.sSurface == u"に" && word.sBase == u"よる") return !word.sConjugation.starts_with(u"仮定");
  if (prev.sSurface == u"と" && word.sBase == u"する" && IsContinuative(word)) {
    // として, not とした or とします.
    return next && next->sSubclass1 == u"接続助詞" && next->sSurface == u"て";
  }
  return false;
}

// Dependent nouns said as a phrase of their own after a predicate that has
// fallen.
bool IsPhraseOfItsOwnAfterFall(std::u16string_view sPron) {
  return sPron == u"ところ" || sPron == u"わけ" || sPron == u"はず" || sPron == u"ほう" || sPron == u"さい" ||
         sPron == u"とたん";
}

}  // namespace

bool JoinsPreviousPhrase(const AccentWord& prev, const AccentWord& word) {
  if (word.bSeparate || prev.sPron.empty() || word.sPron.empty()) return false;
  // Later rules overrule earlier ones.
  bool bJoins = true;
  if (prev.sPartOfSpeech == u"形容詞" && IsNoun(word)) bJoins = false;
  if (IsNoun(prev) && prev.sSubclass1 == u"形容動詞語幹" && IsNoun(word)) bJoins = false;
  if (prev.sPartOfSpeech == u"動詞" && (word.sPartOfSpeech == u"形容詞" || IsNoun(word))) bJoins = false;
  if (IsStandAloneClass(prev) || IsStandAloneClass(word)) bJoins = false;
  if ((IsNoun(prev) && prev.sSubclass1 == u"副詞可能") || (IsNoun(word) && word.sSubclass1 == u"副詞可能")) {
    bJoins = false;
  }
  if (IsFunctionWord(word)) bJoins = true;
  if (IsFunctionWord(prev) && !IsFunctionWord(word)) bJoins = false;
  if (prev.sSubclass1 == u"接尾" && IsNoun(word)) bJoins = false;
  if (word.sPartOfSpeech == u"形容詞" && word.sSubclass1 == u"非自立") {
    bJoins = (prev.sPartOfSpeech == u"動詞" && IsContinuative(prev)) ||
             (prev.sPartOfSpeech == u"形容詞" && IsContinuative(prev)) ||
             (prev.sPartOfSpeech == u"助詞" && prev.sSubclass1 == u"接続助詞" &&
              (prev.sSurface == u"て" || prev.sSurface == u"で"));
  }
  if (word.sPartOfSpeech == u"動詞" && word.sSubclass1 == u"非自立") {
    bJoins = (prev.sPartOfSpeech == u"動詞" && IsContinuative(prev)) ||
             (IsNoun(prev) && prev.sSubclass1 == u"サ変接続");
  }
  if (IsNoun(prev) &&
      (word.sPartOfSpeech == u"動詞" || word.sPartOfSpeech == u"形容詞" || word.sSubclass1 == u"形容動詞語幹")) {
    bJoins = false;
  }
  if (prev.sPartOfSpeech == u"記号" || word.sPartOfSpeech == u"記号") bJoins = false;
  if (word.sPartOfSpeech == u"接頭詞") bJoins = false;
  if (IsPrefixSaidApart(prev) && IsNoun(word)) bJoins = false;
  if (prev.sSubclass3 == u"姓" && IsNoun(word)) bJoins = false;
  if (IsNoun(prev) && word.sSubclass3 == u"名") bJoins = false;
  // a noun after a dependent noun starts anew (そのため#しろを, そのまま#ほぞん);
  if (IsNoun(prev) && prev.sSubclass1 == u"非自立" && IsNoun(word) && word.sSubclass1 != u"非自立") bJoins = false;
  if (word.sSubclass1 == u"接尾") bJoins = true;
  // a number starts a phrase of its own, but for a prefix (だい]いち);
  if (word.sSubclass1 == u"数" && prev.sSubclass1 != u"数" && prev.sPartOfSpeech != u"接頭詞") bJoins = false;
  // Measured on annotated speech, beyond the rules above:
  // a verbal noun and the する that makes it a verb (告発する, 勉強できる);
  if (IsNoun(prev) && prev.sSubclass1 == u"サ変接続" && word.sPartOfSpeech == u"動詞") bJoins = true;
  // an auxiliary verb after て or で (読んでいる, 書いてしまう);
  if (word.sPartOfSpeech == u"動詞" && word.sSubclass1 == u"非自立" && prev.sSubclass1 == u"接続助詞" &&
      (prev.sSurface == u"て" || prev.sSurface == u"で")) {
    bJoins = true;
  }
  // a dependent noun after the predicate it completes (読んだこと, 来るので);
  if (IsNoun(word) && word.sSubclass1 == u"非自立" &&
      (prev.sPartOfSpeech == u"動詞" || prev.sPartOfSpeech == u"助動詞" || prev.sPartOfSpeech == u"形容詞")) {
    bJoins = true;
  }
  // a dependent noun after an adnominal (そのため, このよう);
  if (IsNoun(word) && word.sSubclass1 == u"非自立" && prev.sPartOfSpeech == u"連体詞") bJoins = true;
  // an adjective before a verb is a phrase of its own (早く走る);
  if (prev.sPartOfSpeech == u"形容詞" && word.sPartOfSpeech == u"動詞" && word.sSubclass1 == u"自立") bJoins = false;
  // ない after a topic particle starts anew (ではない, でもない).
  if (word.sPartOfSpeech == u"助動詞" && word.sBase == u"ない" && prev.sPartOfSpeech == u"助詞" &&
      (prev.sSubclass1 == u"係助詞" || prev.sSubclass1 == u"副助詞")) {
    bJoins = false;
  }
  return bJoins;
}

int OwnAccent(const AccentWord& word) {
  int nAccent = std::clamp(word.nAccent, 0, word.nMorae);
  // A prefix said as a phrase of its own falls on its first mora (か]く, ぜ]ん);
  // one of a single mora is low (ひ#げ[んじつてき).
  if (IsPrefixSaidApart(word)) nAccent = word.nMorae > 1 ? 1 : 0;
  // The dictionary makes the dependent noun ところ flat; speakers fall on its
  // last mora (し]た#と[ころ]わ, かったところ]で).
  if (word.sSubclass1 == u"非自立" && word.sPron == u"ところ") nAccent = 3;
  // The dictionary makes そんな and そんなに fall on their last mora; speakers
  // say them flat, as they do こんな and あんな.
  if (word.sPron == u"そんな" || word.sPron == u"そんなに") nAccent = 0;
  // 人 has two accents, ひと and ひと]; the dictionary gives the first, speakers
  // mostly say the second.
  if (word.sSurface == u"人" && word.sPron == u"ひと" && word.sSubclass1 == u"一般") nAccent = 2;
  // The dictionary gives verbs the nucleus of their dictionary form; a stem
  // that ends on it (つとめ of つとめ]る, かけ of か]ける) falls a mora earlier
  // once conjugated (つと]めた, か]けて), but not before ば (すれ]ば).
  // An accented adjective's nucleus moves a mora earlier in its く, かった and
  // ければ forms (たか]い, た]かく, た]かかった).
  const bool bAdjectiveForm = word.sPartOfSpeech == u"形容詞" &&
                              (word.sConjugation.starts_with(u"連用") || word.sConjugation.starts_with(u"仮定"));
  const bool bVerbForm = word.sPartOfSpeech == u"動詞" && !word.sConjugation.starts_with(u"基本形") &&
                         !word.sConjugation.starts_with(u"仮定");
  if ((bAdjectiveForm && nAccent >= 2) || (bVerbForm && nAccent == word.nMorae && nAccent >= 2)) {
    const std::vector<std::u16string> morae = SplitMorae(word.sPron);
    --nAccent;
    // A nucleus never sits on ん, ー or っ.
    while (nAccent > 1 && IsSpecialMora(morae[static_cast<size_t>(nAccent) - 1])) --nAccent;
  }
  return nAccent;
}

int JoinedAccent(int nAccent, int nMoraeBefore, const AccentWord& prev, const AccentWord& word) {
  const int nOwn = OwnAccent(word);
  int nResult = nAccent;
  bool bLeavesFlat = false;  // the rule leaves a flat phrase flat
  if (prev.sPartOfSpeech == u"接頭詞" && prev.sSurface == u"第" && word.sSubclass1 == u"数") {
    nResult = 1;  // an ordinal falls on its だ (だ]いいち, だ]いさん)
  } else if (prev.sPartOfSpeech == u"接頭詞" && prev.sChainRule.starts_with(u'P')) {
    // A prefix: the word after it keeps its nucleus, shifted past the prefix.
    const std::u16string_view sRule = prev.sChainRule;
    if (sRule == u"P1") {
      nResult = nOwn == 0 ? 0 : nMoraeBefore + nOwn;
    } else if (sRule == u"P2") {
      nResult = nMoraeBefore + (nOwn == 0 ? 1 : nOwn);
    } else if (sRule == u"P6") {
      nResult = 0;
    } else {
      nResult = nOwn == 0 ? nAccent : nMoraeBefore + nOwn;
    }
  } else if (word.sSurface == u"的" && word.sSubclass1 == u"接尾") {
    nResult = 0;  // X的 is flat (でんとーてき, けーざいてき)
  } else if (word.sChainRule.starts_with(u'C')) {
    // The second part of a compound noun.
    char16_t cType = word.sChainRule.size() > 1 ? word.sChainRule[1] : u'0';
    // The dictionary makes X者 flat; speakers fall before 者 (が]くしゃ, へんしゅ]ーしゃ).
    if (word.sSurface == u"者" && word.sSubclass1 == u"接尾") cType = u'3';
    // X式, X法, X語, X風 and X戦 are flat (じどーしき, たいしょほー, どいつご).
    if (word.sSubclass1 == u"接尾" && word.sSurface.size() == 1 &&
        std::u16string_view(u"式法語風戦").find(word.sSurface[0]) != std::u16string_view::npos) {
      cType = u'4';
    }
    // たち after an accented noun keeps its nucleus (へ]いしたち).
    if ((word.sSurface == u"たち" || word.sSurface == u"達") && nAccent > 0) cType = u'5';
    // The そう of appearance after a verb or an adjective falls on its そ
    // (おちそ]ーな, たのしそ]ーに); the dictionary makes it flat.
    if (word.sSurface == u"そう" && word.sSubclass1 == u"接尾" &&
        (prev.sPartOfSpeech == u"動詞" || prev.sPartOfSpeech == u"形容詞")) {
      cType = u'2';
    }
    switch (cType) {
      case u'1':
        nResult = nOwn == 0 ? 0 : nMoraeBefore + nOwn;
        break;
      case u'2':
        nResult = nMoraeBefore + 1;
        break;
      case u'3':
        nResult = nMoraeBefore;
        // Before たち a voiceless last mora (the し of わたし) does not carry
        // the fall, which comes a mora earlier (わた]したち, ぼ]くたち).
        if (nMoraeBefore > 1 && (word.sSurface == u"たち" || word.sSurface == u"達") && !prev.sPron.empty() &&
            IsVoicelessHighVowel(SplitMorae(prev.sPron).back())) {
          --nResult;
        }
        break;
      case u'4':
        nResult = 0;
        break;
      default:
        break;
    }
    // A dependent noun after a predicate keeps the predicate's nucleus, and
    // brings its own to a flat one (か]くことが, つかうこと]が); そのため and
    // このため stay flat.
    if (word.sSubclass1 == u"非自立" && !IsNoun(prev)) {
      nResult = nAccent;
      bLeavesFlat = !(prev.sPartOfSpeech == u"連体詞" && word.sPron == u"ため");
    }
  } else {
    std::u16string_view sRule = RuleAfter(word.sChainRule, prev.sPartOfSpeech);
    // After an auxiliary that the list does not name, the entry for verbs
    // holds: auxiliaries inflect as verbs do (いけませ]ん).
    if (sRule.empty() && prev.sPartOfSpeech == u"助動詞") sRule = RuleAfter(word.sChainRule, u"動詞");
    const int nShifted = nMoraeBefore + RuleShift(sRule);
    if (sRule.starts_with(u"F2")) {
      // た after a flat verb leaves it flat (かんじた, not かんじた]), whatever
      // the dictionary's rule says; its たら does not (いった]ら).
      const bool bPlainTa = word.sBase == u"た" && word.sConjugation == u"基本形" && prev.sPartOfSpeech == u"動詞";
      if (nAccent == 0 && !bPlainTa) nResult = nShifted;
    } else if (sRule.starts_with(u"F3")) {
      if (nAccent != 0) nResult = nShifted;
      bLeavesFlat = true;
    } else if (sRule.starts_with(u"F4")) {
      // After an auxiliary verb a fallen phrase keeps its nucleus (す]んでいます),
      // and たり leaves it too (つ]いたり), as does the ず of (にも)かかわらず
      // (か[かわ]らず).
      const bool bKeeps = (prev.sPartOfSpeech == u"動詞" && prev.sSubclass1 == u"非自立") ||
                          (word.sSubclass1 == u"並立助詞" && (word.sSurface == u"たり" || word.sSurface == u"だり")) ||
                          (word.sSurface == u"ず" && prev.sPron == u"かかわら");
      if (nAccent == 0 || !bKeeps) nResult = nShifted;
    } else if (sRule.starts_with(u"F5")) {
      nResult = 0;
    } else {
      bLeavesFlat = true;
    }
    const bool bTeDe = prev.sSurface == u"て" || prev.sSurface == u"で";
    if (word.sPartOfSpeech == u"助詞" && word.sSubclass1 == u"係助詞" && nAccent == 0 &&
        ((word.sSurface == u"は" && (prev.sPartOfSpeech == u"助詞" || (bTeDe && prev.sPartOfSpeech == u"助動詞"))) ||
         (word.sSurface == u"も" && bTeDe))) {
      // A flat phrase falls before は after a particle or the で of the copula,
      // and before the も of ても (くちに]わ, して]わ, がくせーで]わ, して]も).
      nResult = nMoraeBefore;
    }
    if (word.sPartOfSpeech == u"助動詞" && word.sBase == u"だ" && word.sConjugation == u"連用タ接続" && IsNoun(prev) &&
        nAccent == 0) {
      nResult = nMoraeBefore + 1;  // a flat noun falls on the だ of だった (がくせーだ]った)
    }
    if (prev.sBase == u"ない" && prev.sConjugation.starts_with(u"基本形") && nAccent == 0 && prev.nMorae == 2) {
      nResult = nMoraeBefore - 1;  // a flat phrase falls on the な of ない when more follows (かわな]いのです)
    }
    if (word.sPartOfSpeech == u"助詞" && nAccent == 0 &&
        ((prev.sConjugation == u"基本形" && (prev.sBase == u"た" || prev.sBase == u"だ")) ||
         (prev.sPartOfSpeech == u"動詞" && prev.sConjugation.starts_with(u"基本形")))) {
      // A flat phrase falls on た, the copula's だ or a verb's plain form before a
      // particle (かった]が, した]と, ふめーだ]が, する]が).
      nResult = nMoraeBefore;
    }
    if (word.sSubclass1 == u"連体化" && IsNoun(prev) && prev.sSubclass1 != u"非自立" && prev.sSubclass1 != u"数" &&
        nAccent == nMoraeBefore && nAccent > 1) {
      nResult = 0;  // a noun that falls on its last mora is flat before の (おとこの)
    }
    if (word.sPartOfSpeech == u"動詞" && word.sSubclass1 != u"接尾" && prev.sPartOfSpeech == u"動詞" &&
        IsContinuative(prev)) {
      // A compound verb falls in its second verb (おりはじ]めた, あげなさ]い).
      nResult = nMoraeBefore + (nOwn > 0 ? nOwn : std::max(word.nMorae - 1, 1));
      bLeavesFlat = false;
    }
    if (word.sPartOfSpeech == u"動詞" && word.sSubclass1 == u"接尾") {
      // The passive and causative (れる, させる) keep a flat verb flat and move
      // an accented verb's nucleus to their own next-to-last mora (そだてら]れた);
      // after the する of a verbal noun the noun keeps its own (で[ざ]いんされた).
      if (prev.sBase == u"する") {
        nResult = nAccent;
      } else {
        nResult = nAccent == 0 ? 0 : nMoraeBefore + std::max(word.nMorae - 1, 0);
      }
      bLeavesFlat = false;
    }
    if ((word.sSurface == u"くらい" || word.sSurface == u"ぐらい") &&
        (prev.sPartOfSpeech == u"連体詞" || prev.sSubclass1 == u"代名詞")) {
      nResult = 0;  // どのくらい, これぐらい are flat
    }
    if (word.sPartOfSpeech == u"助詞" && word.sSurface == u"も" && prev.sSubclass1 == u"代名詞" &&
        (prev.sSurface == u"誰" || prev.sSurface == u"何")) {
      nResult = 0;  // 誰 and 何 lose their fall before も (だれも, なにも; but な]んでも)
    }
    if (word.sPartOfSpeech == u"助動詞" && (word.sBase == u"う" || word.sBase == u"よう") &&
        prev.sPartOfSpeech == u"動詞") {
      nResult = nMoraeBefore;  // the volitional falls before its う (あるこ]ー)
    }
    if (word.sPartOfSpeech == u"助詞" && word.sSubclass1 == u"接続助詞" && word.sSurface == u"と" &&
        prev.sPartOfSpeech == u"動詞" && nAccent == 0) {
      nResult = nMoraeBefore;  // a flat verb falls before the conditional と (ふむ]と)
    }
  }
  // A word of two morae or more, or an auxiliary verb, with a nucleus of its
  // own that joins a flat phrase under a rule that leaves flat phrases alone
  // brings its nucleus (こーにゅーでき]る, ねむれな]かった, つれてき]た);
  // plain ない and しまう stay flat (かわない, わすれてしまった), and so does a
  // noun before から (みなとから).
  const bool bPlainNai = word.sBase == u"ない" && word.sConjugation.starts_with(u"基本形");
  const bool bAuxiliaryVerb = word.sPartOfSpeech == u"動詞" && word.sSubclass1 == u"非自立";
  if (bLeavesFlat && nAccent == 0 && nOwn > 0 && (word.nMorae >= 2 || bAuxiliaryVerb) && !bPlainNai &&
      !(word.sSurface == u"から" && IsNoun(prev)) &&
      word.sBase != u"しまう") {
    nResult = nMoraeBefore + nOwn;
  }
  return std::clamp(nResult, 0, nMoraeBefore + word.nMorae);
}

AccentPlan PlanOfWords(std::span<const AccentWord> words) {
  AccentPlan plan;
  size_t phraseStart = 0;  // index in plan of the current phrase's first mora
  int nAccent = 0;
  const auto closePhrase = [&] {
    if (nAccent > 0 && phraseStart + static_cast<size_t>(nAccent) <= plan.size()) {
      // A nucleus never sits on ん, ー or っ: it falls from the mora before.
      while (nAccent > 1 && IsSpecialMora(plan[phraseStart + static_cast<size_t>(nAccent) - 1].sMora)) --nAccent;
      plan[phraseStart + static_cast<size_t>(nAccent) - 1].bNucleus = true;
    }
  };
  const AccentWord* prev = nullptr;  // the last word said
  bool bSymbolBetween = false;  // a word not said (a symbol) since prev
  for (size_t i = 0; i < words.size(); ++i) {
    const AccentWord& word = words[i];
    if (word.sPron.empty()) {
      bSymbolBetween = true;
      continue;
    }
    const int nBefore = static_cast<int>(plan.size() - phraseStart);
    // A particle never starts a phrase, not even after a closing bracket
    // (「はい」と); any other word after a word not said does.
    bool bJoins = prev && nBefore > 0 && (!bSymbolBetween || IsFunctionWord(word)) &&
                  JoinsPreviousPhrase(*prev, word);
    if (prev && nBefore > 0 && !bSymbolBetween && !word.bSeparate) {
      bJoins = LearnedJoin(*prev, word, nAccent > 0).value_or(bJoins);
    }
    // ところ, わけ, はず, ほう, さい and とたん after a predicate that has fallen
    // start anew (し]た#と[ころ, い]る#わ]け).
    if (bJoins && nAccent > 0 && IsNoun(word) && word.sSubclass1 == u"非自立" && !IsNoun(*prev) &&
        IsPhraseOfItsOwnAfterFall(word.sPron)) {
      bJoins = false;
    }
    // ください after a fallen phrase starts anew (つ]けて#く[ださ]い).
    if (bJoins && nAccent > 0 && word.sSubclass1 == u"非自立" && (word.sBase == u"くださる" || word.sBase == u"下さる")) {
      bJoins = false;
    }
    // ある after a phrase of seven morae or more, six when it has fallen, starts
    // anew (せーじけーたいで#あ]る, ちゅーし]んちで#あ]る).
    if (bJoins && nBefore >= (nAccent > 0 ? kLongFallenBeforeAru : kLongBeforeAru) && word.sPartOfSpeech == u"助動詞" &&
        word.sBase == u"ある") {
      bJoins = false;
    }
    // A noun of five morae or more after a noun starts anew rather than
    // ending a long compound (はんしんだいしんさい → はんしん#だいしんさい).
    if (bJoins && IsNoun(*prev) && IsNoun(word) && word.nMorae >= kLongNounApart && word.sSubclass1 != u"接尾" &&
        word.sSubclass1 != u"非自立" && word.sSubclass1 != u"数") {
      bJoins = false;
    }
    if (prev && nBefore > 0 && !bSymbolBetween &&
        IsParticleVerb(*prev, word, i + 1 < words.size() ? &words[i + 1] : nullptr)) {
      bJoins = true;  // and the phrase's nucleus stays
    } else if (bJoins) {
      nAccent = JoinedAccent(nAccent, nBefore, *prev, word);
    } else {
      closePhrase();
      phraseStart = plan.size();
      nAccent = OwnAccent(word);
    }
    prev = &word;
    bSymbolBetween = false;
    bool bFirst = plan.size() == phraseStart;
    for (std::u16string& mora : SplitMorae(word.sPron)) {
      plan.push_back({.sMora = std::move(mora), .bPhraseStart = bFirst});
      bFirst = false;
    }
  }
  // A sentence that ends in ます after a flat phrase is heard flat: its す is
  // voiceless, so the fall after ま is not heard (でき[ます, not できま]す).
  if (prev && prev->sBase == u"ます" && prev->sConjugation.starts_with(u"基本形") &&
      nAccent == static_cast<int>(plan.size() - phraseStart) - 1) {
    nAccent = 0;
  }
  closePhrase();
  SetLevelsFromNuclei(plan);
  return plan;
}

void SetLevelsFromNuclei(AccentPlan& plan) {
  for (size_t start = 0; start < plan.size();) {
    size_t end = start + 1;
    while (end < plan.size() && !plan[end].bPhraseStart) ++end;
    size_t nucleus = end;  // none
    for (size_t i = start; i < end; ++i) {
      if (plan[i].bNucleus) {
        nucleus = i;
        break;
      }
    }
    for (size_t i = start; i < end; ++i) {
      plan[i].bNucleus = i == nucleus;
      plan[i].bHigh = i == start ? nucleus == start : i <= nucleus;
    }
    start = end;
  }
}

}  // namespace ekoto
