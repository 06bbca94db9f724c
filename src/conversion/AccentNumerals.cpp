#include "conversion/AccentNumerals.h"

#include <algorithm>
#include <span>

#include "conversion/Morae.h"
#include "conversion/NumberReading.h"
#include "conversion/PronunciationRules.h"

namespace ekoto {
namespace {

bool IsKatakanaLetter(char16_t c) { return c >= u'ァ' && c <= u'ヺ'; }

bool IsDigit(char16_t c) { return (c >= u'0' && c <= u'9') || (c >= u'０' && c <= u'９'); }

bool IsDigitsSurface(std::u16string_view s) {
  return !s.empty() && std::all_of(s.begin(), s.end(), [](char16_t c) {
    return IsDigit(c) || c == u',' || c == u'.' || c == u'，' || c == u'．';
  });
}

std::u16string Joined(const std::vector<std::u16string>& morae, size_t from, size_t to) {
  std::u16string s;
  for (size_t i = from; i < to; ++i) s += morae[i];
  return s;
}

struct KnownAccent {
  std::u16string_view sPron;
  int nAccent;
};

// The simple numerals said on their own as a Tokyo speaker says them (い[ち],
// さ[ん], ろ[く] …).
constexpr KnownAccent kNumerals[] = {
    {u"いち", 2}, {u"に", 1},   {u"さん", 0},   {u"よん", 1}, {u"ご", 1},  {u"ろく", 2},   {u"なな", 1},
    {u"しち", 2}, {u"はち", 2}, {u"きゅう", 1}, {u"じゅう", 1}, {u"ひゃく", 2}, {u"せん", 1}, {u"まん", 1},
    {u"れい", 1}, {u"ぜろ", 1},
};

// Numbers counted with native words, said as one word of their own accent.
constexpr KnownAccent kNativeCounts[] = {
    {u"ひとつ", 2}, {u"ふたつ", 3}, {u"みっつ", 3}, {u"よっつ", 3},   {u"いつつ", 2}, {u"むっつ", 3},
    {u"ななつ", 2}, {u"やっつ", 3}, {u"ここのつ", 2}, {u"ひとり", 2}, {u"ふたり", 3},
};

// The accent known for sPron, or nOtherwise.
int AccentIn(std::span<const KnownAccent> known, std::u16string_view sPron, int nOtherwise) {
  const auto it = std::find_if(known.begin(), known.end(), [sPron](const KnownAccent& k) { return k.sPron == sPron; });
  return it == known.end() ? nOtherwise : it->nAccent;
}

// The accent of a number said on its own; a compound numeral falls on its
// first part (に]じゅー, じゅ]ーご).
int NumeralAccent(std::u16string_view sPron, int nMorae) { return AccentIn(kNumerals, sPron, std::min(nMorae, 1)); }

// A long vowel that the numeral step writes with う (じゅう, きゅう) is a ー
// when said: it carries no nucleus.
std::u16string SaidLong(std::u16string kana) {
  for (size_t i = 1; i < kana.size(); ++i) {
    if (kana[i] == u'う' && (kana[i - 1] == u'ゅ' || kana[i - 1] == u'ょ')) kana[i] = u'ー';
  }
  return kana;
}

// How many morae the number sDigits is said in, alone (0 if it is no number).
size_t NumeralMorae(std::u16string_view sDigits) {
  if (!StartsNumberExpression(sDigits, 0)) return 0;
  std::u16string sKana;
  AppendNumberExpression(sDigits, 0, sKana);
  return SplitMorae(sKana).size();
}

// Appends the numeral written sDigits and said as morae: a number of four
// digits or more with tens or units is said as two phrases, up to its hundreds
// and the rest (せ]んきゅーひゃく#ご[じゅーなな]ねん).
void AppendNumeral(const std::u16string& sDigits, const std::vector<std::u16string>& morae,
                   std::vector<AccentWord>& out) {
  AccentWord numeral;
  numeral.sPartOfSpeech = u"名詞";
  numeral.sSubclass1 = u"数";
  const bool bPlainDigits = std::all_of(sDigits.begin(), sDigits.end(), IsDigit);
  const size_t nLastNonZero = sDigits.find_last_not_of(u"0０");
  if (bPlainDigits && sDigits.size() >= 4 && nLastNonZero != std::u16string::npos &&
      nLastNonZero >= sDigits.size() - 2) {
    const std::u16string sHigh = sDigits.substr(0, sDigits.size() - 2) + u"00";
    const size_t nHigh = NumeralMorae(sHigh);
    if (nHigh > 0 && nHigh < morae.size() && nHigh + NumeralMorae(sDigits.substr(sDigits.size() - 2)) == morae.size()) {
      numeral.sSurface = sDigits.substr(0, sDigits.size() - 2);
      numeral.sPron = Joined(morae, 0, nHigh);
      numeral.nMorae = static_cast<int>(nHigh);
      numeral.nAccent = 1;
      out.push_back(numeral);
      numeral.sSurface = sDigits.substr(sDigits.size() - 2);
      numeral.sPron = Joined(morae, nHigh, morae.size());
      numeral.nMorae = static_cast<int>(morae.size() - nHigh);
      numeral.nAccent = NumeralAccent(numeral.sPron, numeral.nMorae);
      numeral.bSeparate = true;
      out.push_back(std::move(numeral));
      return;
    }
  }
  numeral.sSurface = sDigits;
  numeral.sPron = Joined(morae, 0, morae.size());
  numeral.nMorae = static_cast<int>(morae.size());
  numeral.nAccent = NumeralAccent(numeral.sPron, numeral.nMorae);
  out.push_back(std::move(numeral));
}

}  // namespace

DigitsText PutDigitsBack(std::u16string_view sWritten, std::u16string_view sSentence) {
  DigitsText result;
  size_t nCursor = 0;  // in sSentence
  size_t nWrittenEnd = std::u16string_view::npos;  // of the last number put back, in sWritten
  std::u16string sKana;
  for (size_t pos = 0; pos < sWritten.size();) {
    if (!StartsNumberExpression(sWritten, pos)) {
      ++pos;
      continue;
    }
    sKana.clear();
    const size_t end = AppendNumberExpression(sWritten, pos, sKana);
    const std::u16string_view sDigits = sWritten.substr(pos, end - pos);
    const size_t start = pos;
    pos = std::max(end, pos + 1);
    if (sKana.empty()) continue;
    // The reading is looked for after the last one found, where katakana stand
    // next to it as they stand next to the number (not the ゴ of ゴルフ for 5);
    // a number right before or after it is said in katakana too (3分の1).
    const bool bAfterNumber = start == nWrittenEnd;
    const bool bBeforeNumber = StartsNumberExpression(sWritten, end);
    const bool bKanaBefore = start > 0 && IsKatakanaLetter(sWritten[start - 1]);
    const bool bKanaAfter = end < sWritten.size() && IsKatakanaLetter(sWritten[end]);
    const auto fits = [&](size_t at) {
      const size_t after = at + sKana.size();
      return (bAfterNumber || (at > 0 && IsKatakanaLetter(sSentence[at - 1])) == bKanaBefore) &&
             (bBeforeNumber || (after < sSentence.size() && IsKatakanaLetter(sSentence[after])) == bKanaAfter);
    };
    size_t found = sSentence.find(sKana, nCursor);
    while (found != std::u16string_view::npos && !fits(found)) found = sSentence.find(sKana, found + 1);
    if (found == std::u16string_view::npos) continue;
    result.sText += sSentence.substr(nCursor, found - nCursor);
    result.numerals.push_back({result.sText.size(), sDigits.size(), sKana});
    result.sText += sDigits;
    nCursor = found + sKana.size();
    nWrittenEnd = end;
  }
  result.sText += sSentence.substr(nCursor);
  return result;
}

std::vector<AccentWord> NumeralWords(std::span<const AccentWord> words, std::u16string_view sKana) {
  std::u16string kana(sKana);
  KatakanaToHiragana(kana);
  kana = SaidLong(std::move(kana));
  const std::vector<std::u16string> morae = SplitMorae(kana);
  std::u16string sDigits;
  size_t nCounter = 0;
  // Digits, and the unit words between or after them (20億).
  while (nCounter < words.size() &&
         (IsDigitsSurface(words[nCounter].sSurface) || (nCounter > 0 && words[nCounter].sSubclass1 == u"数"))) {
    sDigits += words[nCounter].sSurface;
    ++nCounter;
  }
  std::vector<AccentWord> result;
  if (const int nNative = AccentIn(kNativeCounts, kana, -1); nNative >= 0) {
    AccentWord word;
    word.sPartOfSpeech = u"名詞";
    word.sSubclass1 = u"数";
    for (const AccentWord& part : words) word.sSurface += part.sSurface;
    word.sPron = kana;
    word.nMorae = static_cast<int>(morae.size());
    word.nAccent = nNative;
    result.push_back(std::move(word));
    return result;
  }
  // How many morae the digits take said alone (ロク of ロッカゲツ): the counter
  // has the rest.
  const size_t nDigitMorae = nCounter < words.size() ? NumeralMorae(sDigits) : 0;
  if (nDigitMorae == 0 || nDigitMorae >= morae.size()) {
    AppendNumeral(sDigits, morae, result);
    return result;
  }
  AppendNumeral(sDigits, {morae.begin(), morae.begin() + static_cast<std::ptrdiff_t>(nDigitMorae)}, result);
  AccentWord counter = words[nCounter];
  if (counter.sSubclass1 != u"接尾") {
    // A counter the dictionary takes for something else (the つ of 1つ).
    const std::u16string sSurface = counter.sSurface;
    counter = AccentWord{};
    counter.sSurface = sSurface;
    counter.sPartOfSpeech = u"名詞";
    counter.sSubclass1 = u"接尾";
    counter.sChainRule = u"C3";
  }
  for (size_t i = nCounter + 1; i < words.size(); ++i) counter.sSurface += words[i].sSurface;
  counter.sPron = Joined(morae, nDigitMorae, morae.size());
  counter.nMorae = static_cast<int>(morae.size() - nDigitMorae);
  counter.nAccent = std::min(counter.nAccent, counter.nMorae);
  counter.bSeparate = false;
  result.push_back(std::move(counter));
  return result;
}

}  // namespace ekoto
