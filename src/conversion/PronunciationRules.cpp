#include "conversion/PronunciationRules.h"

#include <array>
#include <cstdint>

#include "conversion/ConvNumeric2Hira.h"

namespace ekoto {
namespace {

constexpr char16_t kLong = u'ー';

bool IsKatakana(char16_t c) { return c >= u'ァ' && c <= u'ヶ'; }
bool IsKanji(char16_t c) { return (c >= 0x4E00 && c <= 0x9FFF) || (c >= 0x3400 && c <= 0x4DBF) || c == u'々'; }

bool IsIn(char16_t c, std::u16string_view set) { return set.find(c) != std::u16string_view::npos; }

// Kana (either script) whose vowel is u, e or o.
bool IsURow(char16_t c) { return IsIn(c, u"ウクスツヌフムユルグズヅブプュゥヴうくすつぬふむゆるぐずづぶぷゅぅゔ"); }
bool IsERow(char16_t c) { return IsIn(c, u"エケセテネヘメレゲゼデベペェヱ"); }
bool IsORow(char16_t c) { return IsIn(c, u"オコソトノホモヨロヲゴゾドボポョォおこそとのほもよろをごぞどぼぽょぉ"); }

// The vowel kana a lengthened vowel stays written as: the same vowel repeated.
bool IsRepeatedVowel(char16_t c) { return IsIn(c, u"アイエオ"); }

// o-row kana followed by う or ウ become the long vowel (ちょう → ちょー).
void LengthenOu(std::u16string& s, size_t from = 0) {
  for (size_t i = from + 1; i < s.size(); ++i) {
    if ((s[i] == u'う' || s[i] == u'ウ') && IsORow(s[i - 1])) s[i] = kLong;
  }
}

// True iff s is non-empty and all hiragana (ー allowed).
bool IsHiraganaWord(std::u16string_view s) {
  if (s.empty()) return false;
  for (char16_t c : s) {
    if (!(c >= u'ぁ' && c <= u'ゖ') && c != kLong) return false;
  }
  return true;
}

// Nouns, adverbs and the like, whose kana are not split by inflection: the う of
// 思う and the い of 見ていい belong to endings and are not long vowels.
bool IsContentWord(const Morpheme& word) {
  for (std::u16string_view pos : {u"名詞", u"副詞", u"連体詞", u"感動詞", u"接頭詞"}) {
    if (word.partOfSpeech == pos) return true;
  }
  return false;
}

// Copies a word that has no usable reading as it is written, katakana made hiragana.
void AppendAsWritten(std::u16string_view surface, std::u16string& out) {
  const size_t from = out.size();
  out += surface;
  KatakanaToHiragana(out, from);
}

// Appends the spoken kana of one word that is not part of a numeral.
void AppendWord(const Morpheme& word, std::u16string& out, IUnknownWordReader* unknown, std::u16string& sScratch) {
  const size_t from = out.size();
  if (IsKatakanaWord(word.surface)) {
    // The dictionary says ヴィ as ビ and the like; a loanword as written is closer
    // to how it is said, once its written-out long vowels are lengthened.
    out += word.surface;
    if (IsContentWord(word)) LengthenOu(out, from);
    KatakanaToHiragana(out, from);
    return;
  }
  if (word.reading.empty() && word.pronunciation.empty()) {
    if (unknown && IsKanjiWord(word.surface) && unknown->Read(word.surface, sScratch)) {
      out += sScratch;
    } else {
      AppendAsWritten(word.surface, out);
    }
    return;
  }
  if (IsLongAuxiliaryU(word, out)) {
    out += kLong;
    return;
  }
  // 言う is said ゆう wherever its い is followed by う (言うと); 言った keeps い.
  if (word.partOfSpeech == u"動詞" && word.reading == u"イウ" && IsKanji(word.surface[0])) {
    out += u"ゆう";
    return;
  }
  const std::u16string_view pronunciation = word.pronunciation.empty() ? word.reading : word.pronunciation;
  AppendMergedPronunciation(word.reading.empty() ? pronunciation : word.reading, pronunciation, out);
  if (IsKanjiWord(word.surface)) LengthenEi(out, from);
  if (IsHiraganaWord(word.surface) && IsContentWord(word)) {
    LengthenEi(out, from);
    LengthenOu(out, from);
  }
  KatakanaToHiragana(out, from);
}

// The IPA dictionary gives some one-kanji nouns a reading that is right in
// compounds or in old texts but rarely where the noun stands alone: 間 after の
// is あいだ (人々の間で), 他 before a particle is ほか (他の人), 語 alone is ご,
// 後 after a clause is あと (食べた後で) and 後 with no noun before it のち
// (、後に); and 弾き, which it reads as the noun はじき, is the verb ひき
// (ピアノを弾き). Returns the reading said instead, or empty where the
// dictionary's stands.
std::u16string_view ReadingInContext(std::span<const Morpheme> words, size_t i) {
  const Morpheme& word = words[i];
  if (word.partOfSpeech == u"動詞" && word.surface == u"弾き" && word.reading == u"ハジキ") return u"ひき";
  if (word.partOfSpeech != u"名詞" || word.surface.size() != 1) return {};
  const Morpheme* prev = i > 0 ? &words[i - 1] : nullptr;
  const Morpheme* next = i + 1 < words.size() ? &words[i + 1] : nullptr;
  const char16_t c = word.surface[0];
  if (c == u'間' && word.reading == u"マ" && prev && prev->subclass1 == u"連体化") return u"あいだ";
  if (c == u'他' && word.reading == u"タ" && next && next->partOfSpeech == u"助詞") return u"ほか";
  if (c == u'語' && word.reading == u"カタリ") return u"ご";
  if (c == u'後' && word.reading == u"ノチ" && word.subclass1 == u"非自立") return u"あと";
  if (c == u'後' && word.reading == u"ゴ" && word.subclass1 == u"接尾" && (!prev || prev->partOfSpeech == u"記号")) {
    return u"のち";
  }
  return {};
}

// Value of one kanji digit, -1 for anything else.
int KanjiDigit(char16_t c) {
  constexpr std::u16string_view kDigits = u"〇一二三四五六七八九";
  const size_t i = kDigits.find(c);
  if (i != std::u16string_view::npos) return static_cast<int>(i);
  return c == u'零' ? 0 : -1;
}

// Power of ten of a place word, 0 for anything else.
int SmallPlace(char16_t c) { return c == u'十' ? 1 : c == u'百' ? 2 : c == u'千' ? 3 : 0; }
int LargePlace(char16_t c) { return c == u'万' ? 4 : c == u'億' ? 8 : c == u'兆' ? 12 : 0; }

constexpr uint64_t kPow10[] = {1ULL, 10ULL, 100ULL, 1000ULL, 10000ULL, 100000000ULL, 1000000000000ULL};
uint64_t Pow10(int n) { return n <= 4 ? kPow10[n] : n == 8 ? kPow10[5] : kPow10[6]; }

// 何 and 数 stand for a digit before a place word; said with the sound change of
// さん (何) or of いち, that is none (数).
struct NumeralPrefix {
  char16_t kanji;
  std::u16string_view digit;     // read in its place
  std::u16string_view replaced;  // what the digit's reading starts with
  std::u16string_view said;
};
constexpr std::array<NumeralPrefix, 2> kPrefixes = {{
    {u'何', u"3", u"さん", u"なん"},
    {u'数', u"1", u"いち", u"すう"},
}};

// 何 is said なん before a particle or auxiliary that starts with a d-, t- or
// n-row sound (何の, 何で, 何でも, 何です, 何だ, 何と, 何て); なに before the
// rest (何が, 何か, 何に, 何も).
bool SaysNanBefore(const Morpheme& next) {
  if (next.partOfSpeech != u"助詞" && next.partOfSpeech != u"助動詞") return false;
  if (next.reading.empty()) return false;
  return std::u16string_view(u"ダデドトテノナ").find(next.reading[0]) != std::u16string_view::npos;
}

// 何 before such a word or a counter, or with a counter in one word (何時), is なん, and
// the counter takes the sound change after なん (何本 なんぼん, 何階 なんがい).
// Appends that and returns the number of words read, 0 when this is no such 何.
size_t AppendNanAndCounter(std::span<const Morpheme> words, size_t i, std::u16string& out) {
  const Morpheme& word = words[i];
  if (!word.surface.starts_with(u"何")) return 0;
  const Morpheme* next = word.surface.size() == 1 && i + 1 < words.size() ? &words[i + 1] : nullptr;
  if (next && SaysNanBefore(*next)) {
    out += u"なん";
    return 1;
  }
  const std::u16string_view sCounterText = next ? next->surface : word.surface.substr(1);
  const Counter* counter = CounterAtStart(sCounterText);
  if (counter && counter->surface != sCounterText) counter = nullptr;
  std::u16string sCounter;
  if (counter) {
    sCounter = counter->said;
  } else if (next && next->subclass2 == u"助数詞" && IsKanjiWord(next->surface) && !next->reading.empty()) {
    sCounter = next->pronunciation.empty() ? next->reading : next->pronunciation;
  } else {
    return 0;
  }
  std::u16string sNumber = u"なん";
  JoinNumberAndCounter(sNumber, sCounter, counter);
  out += sNumber;
  const size_t from = out.size();
  out += sCounter;
  if (counter) out += counter->suffix;
  LengthenOu(out, from);
  LengthenEi(out, from);
  KatakanaToHiragana(out, from);
  return next ? 2 : 1;
}

}  // namespace

bool IsKatakanaWord(std::u16string_view s) {
  if (s.empty()) return false;
  for (char16_t c : s) {
    if (!IsKatakana(c) && c != kLong) return false;
  }
  return true;
}

bool IsKanjiWord(std::u16string_view s) {
  if (s.empty()) return false;
  for (char16_t c : s) {
    if (!IsKanji(c)) return false;
  }
  return true;
}

void AppendMergedPronunciation(std::u16string_view reading, std::u16string_view pronunciation,
                               std::u16string& out) {
  if (reading.size() != pronunciation.size()) {
    out += pronunciation;
    return;
  }
  for (size_t i = 0; i < pronunciation.size(); ++i) {
    const char16_t said = pronunciation[i];
    const char16_t written = reading[i];
    char16_t c = said;
    if (said == kLong && i > 0) {
      if ((written == u'ウ' && IsURow(reading[i - 1])) || IsRepeatedVowel(written)) c = written;
    } else if ((said == u'ズ' && written == u'ヅ') || (said == u'ジ' && written == u'ヂ')) {
      c = written;
    }
    out += c;
  }
}

void LengthenEi(std::u16string& kana, size_t from) {
  // A doubled word (イエイエ, 家々) is two words: no long vowel across the seam.
  const size_t n = kana.size() - from;
  const bool bDoubled = n % 2 == 0 && n > 0 &&
                        std::u16string_view(kana).substr(from, n / 2) == std::u16string_view(kana).substr(from + n / 2);
  for (size_t i = from + 1; i < kana.size(); ++i) {
    if (bDoubled && i == from + n / 2) continue;
    if (kana[i] == u'イ' && IsERow(kana[i - 1])) kana[i] = kLong;
  }
}

bool IsLongAuxiliaryU(const Morpheme& word, std::u16string_view said) {
  return word.partOfSpeech == u"助動詞" && word.surface == u"う" && !said.empty() && IsORow(said.back());
}

void KatakanaToHiragana(std::u16string& s, size_t from) {
  for (size_t i = from; i < s.size(); ++i) {
    // The small ヵ and ヶ of counters (三ヵ月, 五ヶ所) are said か; their hiragana
    // forms are in no voice. Words that say ヶ as が come with their reading.
    if (s[i] == u'ヵ' || s[i] == u'ヶ') {
      s[i] = u'か';
    } else if (IsKatakana(s[i])) {
      s[i] = static_cast<char16_t>(s[i] - 0x60);
    }
  }
}

bool IsKanjiNumeralWord(const Morpheme& word) {
  if (word.partOfSpeech != u"名詞" || word.subclass1 != u"数" || word.surface.empty()) return false;
  for (char16_t c : word.surface) {
    if (KanjiDigit(c) < 0 && SmallPlace(c) == 0 && LargePlace(c) == 0) return false;
  }
  return true;
}

std::u16string KanjiNumeralDigits(std::u16string_view numeral) {
  if (numeral.empty()) return {};
  bool bPlaces = false;
  for (char16_t c : numeral) {
    if (KanjiDigit(c) < 0 && SmallPlace(c) == 0 && LargePlace(c) == 0) return {};
    bPlaces = bPlaces || SmallPlace(c) != 0 || LargePlace(c) != 0;
  }
  std::u16string digits;
  if (!bPlaces) {
    for (char16_t c : numeral) digits += static_cast<char16_t>(u'0' + KanjiDigit(c));
    return digits;
  }
  // Digits before a place word form a number of their own (二〇万 is 20 万).
  uint64_t total = 0;
  uint64_t section = 0;  // below the current large place
  uint64_t run = 0;      // digits read positionally
  bool bRun = false;
  int nLastLarge = 16;  // large places must come in falling order (億 before 万)
  for (char16_t c : numeral) {
    if (const int d = KanjiDigit(c); d >= 0) {
      if (run > 1000) return {};
      run = run * 10 + static_cast<uint64_t>(d);
      bRun = true;
    } else if (const int p = SmallPlace(c); p != 0) {
      section += (bRun ? run : 1) * Pow10(p);
      run = 0;
      bRun = false;
    } else {
      const int q = LargePlace(c);
      uint64_t value = section + run;
      if (value == 0) value = 1;
      if (value > 9999 || q >= nLastLarge) return {};
      nLastLarge = q;
      total += value * Pow10(q);
      section = run = 0;
      bRun = false;
    }
  }
  total += section + run;
  if (section + run > 9999) return {};
  for (; total > 0; total /= 10) digits.insert(digits.begin(), static_cast<char16_t>(u'0' + total % 10));
  return digits.empty() ? u"0" : digits;
}

std::u16string ReadKanjiNumeral(std::u16string_view numeral) {
  for (const NumeralPrefix& prefix : kPrefixes) {
    if (numeral.size() < 2 || numeral[0] != prefix.kanji) continue;
    const char16_t next = numeral[1];
    if (SmallPlace(next) == 0 && LargePlace(next) == 0) return {};
    std::u16string digits = KanjiNumeralDigits(numeral.substr(1));
    if (digits.empty() || digits[0] != u'1') return {};
    digits.replace(0, 1, prefix.digit);
    std::u16string said = Numeric2Hira(digits);
    if (said.starts_with(prefix.replaced)) {
      said.replace(0, prefix.replaced.size(), prefix.said);
    } else {
      said.insert(0, prefix.said);  // 百 has no いち to replace
    }
    LengthenOu(said);
    return said;
  }
  const std::u16string digits = KanjiNumeralDigits(numeral);
  if (digits.empty()) return {};
  std::u16string said = Numeric2Hira(digits);
  LengthenOu(said);
  return said;
}

void AppendPronunciation(std::span<const Morpheme> words, std::u16string& out, IUnknownWordReader* unknown) {
  std::u16string sNumber;
  std::u16string sCounter;
  std::u16string sScratch;
  for (size_t i = 0; i < words.size();) {
    // A number is the longest run of numeral words, with 何 or 数 before it.
    size_t end = i;
    std::u16string numeral;
    const bool bPrefix = (words[i].surface == u"何" || words[i].surface == u"数") && i + 1 < words.size() &&
                         IsKanjiNumeralWord(words[i + 1]);
    if (bPrefix || IsKanjiNumeralWord(words[i])) {
      numeral = words[i].surface;
      for (end = i + 1; end < words.size() && IsKanjiNumeralWord(words[end]); ++end) numeral += words[end].surface;
    }
    sNumber = numeral.empty() ? std::u16string() : ReadKanjiNumeral(numeral);
    if (sNumber.empty()) {
      if (const size_t nRead = AppendNanAndCounter(words, i, out); nRead > 0) {
        i += nRead;
        continue;
      }
    }
    if (sNumber.empty()) {
      const std::u16string_view sInContext = ReadingInContext(words, i);
      if (sInContext.empty()) {
        AppendWord(words[i], out, unknown, sScratch);
      } else {
        out += sInContext;
      }
      ++i;
      continue;
    }
    // Loanword counters (メートル, ヘクタール) keep their sound after a number.
    if (end < words.size() && words[end].subclass2 == u"助数詞" && !words[end].reading.empty() &&
        IsKanjiWord(words[end].surface)) {
      sCounter = words[end].pronunciation.empty() ? words[end].reading : words[end].pronunciation;
      const Counter* counter = CounterAtStart(words[end].surface);
      if (counter && counter->surface != words[end].surface) counter = nullptr;
      JoinNumberAndCounter(sNumber, sCounter, counter);
      LengthenOu(sNumber);  // ようか → よーか
      out += sNumber;
      const size_t from = out.size();
      AppendMergedPronunciation(words[end].reading, sCounter, out);
      KatakanaToHiragana(out, from);
      i = end + 1;
    } else {
      out += sNumber;
      i = end;
    }
  }
}

}  // namespace ekoto
