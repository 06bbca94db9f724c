// Numbers for the accent dictionary. By the time a sentence reaches the
// estimator its numbers are already said in katakana (6か月 → ロッカゲツ), which
// the dictionary cuts into unrelated words (ロッ, カゲ, ツ). The sentence as
// written still has the digits: each number's reading is put back to the digits
// it was read from, so that the dictionary finds the counter (か月) with its
// accent, and the number and its counter are then said as that reading.
#pragma once
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "conversion/AccentRules.h"

namespace ekoto {

// One number in a text made for the dictionary: where its digits stand (UTF-16
// positions) and the katakana reading the numeral step gave them.
struct NumeralSpan {
  size_t nStart = 0;
  size_t nLength = 0;
  std::u16string sKana;
};

// sSentence, the text handed to the kana conversion, with the reading of each
// number of sWritten, the same sentence before the reading options, put back
// to the number as written (digits with the counter the reading took in). A
// reading that sSentence does not hold where expected (the numeral option off,
// or the template changed it) is left as it is.
struct DigitsText {
  std::u16string sText;
  std::vector<NumeralSpan> numerals;
};
DigitsText PutDigitsBack(std::u16string_view sWritten, std::u16string_view sSentence);

// The words of one number: words are the dictionary's words for its digits and
// the counter after them, sKana (katakana) how it is said. The digits become one
// numeral; the counter keeps its accent and how it combines, said as the rest
// of sKana (ロク + カゲツ for ロッカゲツ). Without a counter the number is one
// numeral.
std::vector<AccentWord> NumeralWords(std::span<const AccentWord> words, std::u16string_view sKana);

}  // namespace ekoto
