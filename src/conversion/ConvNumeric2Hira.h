// Numeral reading: every number written in digits in a text becomes its reading
// as a Japanese number (「12345」 → イチマンニセンサンビャクヨンジュウゴ).
#pragma once
#include <string>
#include <string_view>

namespace ekoto {

// The text with every number replaced by its reading in katakana, together with
// the counter or unit that follows it (NumberReading.h); all other characters
// stay unchanged and in place. ASCII digits and full-width digits (U+FF10–FF19)
// both make up numbers, by their value. One pass over the text.
std::u16string ConvNumeric2Hira(const std::u16string& text);

// The reading of one run of digits, read in groups of four (まん, おく, ちょう, …).
// Zeros are silent, but a run of zeros only reads れい. Groups past 10^68
// (runs over 72 digits) get no group word; their digits are still read.
// Characters that are not digits count as silent zeros.
std::u16string Numeric2Hira(std::u16string_view run);

}  // namespace ekoto
