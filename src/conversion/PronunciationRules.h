// How a word is said, from the fields the morphological analyser gives for it
// (IPA dictionary layout): the dictionary's pronunciation, corrected by rules on
// part of speech, script and kana, and numerals read by value. Kept apart from
// MeCab so that every rule can be tested on hand-made words.
#pragma once
#include <span>
#include <string>
#include <string_view>

#include "conversion/CounterTable.h"

namespace ekoto {

// One word of an analysed text. A word without a reading (unknown to the
// dictionary, a symbol, text between words) is said as it is written.
struct Morpheme {
  std::u16string_view surface = {};
  std::u16string_view partOfSpeech = {};   // 名詞, 動詞, 助詞, 助動詞, 記号, …
  std::u16string_view subclass1 = {};      // 数, 接尾, 固有名詞, …
  std::u16string_view subclass2 = {};      // 助数詞, …
  std::u16string_view reading = {};        // katakana, as the word is written in kana
  std::u16string_view pronunciation = {};  // katakana, as the dictionary says it is spoken
};

// Gives the reading of a word of kanji that the dictionary does not know.
class IUnknownWordReader {
 public:
  virtual ~IUnknownWordReader() = default;
  // Returns true and the word's reading in hiragana, or false when it has none.
  virtual bool Read(std::u16string_view word, std::u16string& hiragana) = 0;
};

// Appends to out the hiragana for the words in order. A word of kanji without a
// reading is read by unknown when given; everything else without a reading is
// copied (katakana made hiragana).
void AppendPronunciation(std::span<const Morpheme> words, std::u16string& out,
                         IUnknownWordReader* unknown = nullptr);

// --- The rules, one by one ---------------------------------------------------

// True iff s is non-empty and holds only katakana and ー (a loanword as written).
bool IsKatakanaWord(std::u16string_view s);

// True iff s is non-empty and holds only kanji (and 々): a Sino-Japanese word or
// a compound of them, the words whose えい is said long.
bool IsKanjiWord(std::u16string_view s);

// Appends the spoken katakana of a word from its written reading and its
// dictionary pronunciation: the pronunciation, except where the dictionary
// lengthens a vowel that the reading writes out and that stays written in
// pronunciation spelling (ゅう, ゆう, すう after a u-row kana; おお, いい, ああ,
// ええ), and where it writes ヅ/ヂ as ズ/ジ. Readings of another length than the
// pronunciation (ヴィ said ビ) give the pronunciation unchanged.
void AppendMergedPronunciation(std::u16string_view reading, std::u16string_view pronunciation,
                               std::u16string& out);

// In kana[from…]: an e-row kana followed by イ becomes that kana and ー
// (セイ → セー, ケイザイ → ケーザイ), as Sino-Japanese words are said.
void LengthenEi(std::u16string& kana, size_t from);

// True iff the word is the auxiliary う of intent or guess (だろう, しよう,
// ましょう) and the kana said before it ends in the o-row, so that it is said
// as a long vowel (ー).
bool IsLongAuxiliaryU(const Morpheme& word, std::u16string_view said);

// Katakana ァ..ヶ (ヴ included) in s[from…] become hiragana, the small ヵ and ヶ
// becoming か; ー stays.
void KatakanaToHiragana(std::u16string& s, size_t from = 0);

// --- Numerals written in kanji -------------------------------------------------

// True iff the word is a numeral of kanji digits and place words
// (一…九, 〇, 十, 百, 千, 万, 億, 兆) that the analyser tagged as a number.
bool IsKanjiNumeralWord(const Morpheme& word);

// The decimal digits of a numeral written in kanji: place words are multiplied
// out (二万三千 → 23000, 八百 → 800), a run of digits alone is read digit by
// digit as a positional number (二〇二四 → 2024). Empty when numeral holds
// anything else or the value is too large to read.
std::u16string KanjiNumeralDigits(std::u16string_view numeral);

// The hiragana of numeral as a number (八百 → はっぴゃく); a leading 何 or 数
// before a place word reads なん or すう with the place's sound change (何百 →
// なんびゃく, 数百 → すうひゃく). Empty when it is not a numeral.
std::u16string ReadKanjiNumeral(std::u16string_view numeral);


}  // namespace ekoto
