// How single values are spelt in options.dat, and the line grammar's blank
// removal. Locale-free: the file reads the same whatever the user's locale.
#pragma once
#include <cstdint>
#include <optional>
#include <string>

namespace ekoto {

// "true" or "false".
std::u16string BoolToText(bool b);

// True iff the text is exactly "true" ("True" and " true" are false).
bool TextToBool(const std::u16string& text);

// The "0.00" form: at least one digit, ".", exactly two digits. The value is
// rounded, half away from zero, from its shortest decimal spelling, so 0.995f
// (0.99500000476...) and 0.005f (0.00499999988...) round as their spellings
// 0.995 and 0.005 do: "1.00" and "0.01". A result of zero has no sign.
std::u16string DecimalToText(float value);

// A decimal number: blanks (spaces, tabs) around it, an optional sign, digits
// with at most one "." or "," as the decimal separator, at least one digit.
// No group separators, exponents, "inf" or "nan". std::nullopt when the text is
// no such number or lies outside the range of float.
std::optional<float> TextToDecimal(const std::u16string& text);

// A number of the form TextToDecimal reads, rounded exactly (on its decimal
// digits) to the nearest integer, halves to the even neighbour: "12.5" gives
// 12, "13.5" gives 14. std::nullopt when it is no number or does not fit.
std::optional<int32_t> TextToInteger(const std::u16string& text);

// Plain decimal digits, "-" before negative values.
std::u16string IntegerToText(int32_t value);

// The text with every space and tab deleted.
std::u16string RemoveBlanks(const std::u16string& text);

}  // namespace ekoto
