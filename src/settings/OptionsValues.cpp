#include "settings/OptionsValues.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <limits>
#include <string_view>
#include <system_error>

namespace ekoto {
namespace {

bool IsBlank(char16_t c) { return c == u' ' || c == u'\t'; }

std::u16string AsciiToUtf16(std::string_view ascii) { return std::u16string(ascii.begin(), ascii.end()); }

// A number as read from the file, kept as its decimal digits.
struct DecimalDigits {
  bool bNegative = false;
  std::string sInteger;   // digits before the separator, possibly none
  std::string sFraction;  // digits after it, possibly none
};

std::optional<DecimalDigits> SplitNumber(const std::u16string& text) {
  size_t begin = 0;
  size_t end = text.size();
  while (begin < end && IsBlank(text[begin])) ++begin;
  while (end > begin && IsBlank(text[end - 1])) --end;
  DecimalDigits number;
  size_t i = begin;
  if (i < end && (text[i] == u'+' || text[i] == u'-')) {
    number.bNegative = text[i] == u'-';
    ++i;
  }
  bool bSeparator = false;
  for (; i < end; ++i) {
    const char16_t c = text[i];
    if (c >= u'0' && c <= u'9') {
      (bSeparator ? number.sFraction : number.sInteger).push_back(static_cast<char>(c));
    } else if ((c == u'.' || c == u',') && !bSeparator) {
      bSeparator = true;
    } else {
      return std::nullopt;
    }
  }
  if (number.sInteger.empty() && number.sFraction.empty()) return std::nullopt;
  return number;
}

// Adds one to a string of decimal digits ("099" gives "100", "99" gives "100").
void IncrementDigits(std::string& digits) {
  for (size_t i = digits.size(); i-- > 0;) {
    if (digits[i] != '9') {
      ++digits[i];
      return;
    }
    digits[i] = '0';
  }
  digits.insert(digits.begin(), '1');
}

}  // namespace

std::u16string BoolToText(bool b) { return b ? u"true" : u"false"; }

bool TextToBool(const std::u16string& text) { return text == u"true"; }

std::u16string DecimalToText(float value) {
  char buffer[128];
  if (!std::isfinite(value)) {
    // Never given by the sliders; spelt so that reading ignores it.
    const auto result = std::to_chars(buffer, buffer + sizeof buffer, value);
    return AsciiToUtf16(std::string_view(buffer, static_cast<size_t>(result.ptr - buffer)));
  }
  // The shortest fixed spelling that reads back as the same float.
  const auto result = std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::fixed);
  std::string_view spelt(buffer, static_cast<size_t>(result.ptr - buffer));
  const bool bNegative = !spelt.empty() && spelt.front() == '-';
  if (bNegative) spelt.remove_prefix(1);
  const size_t dot = spelt.find('.');
  const std::string_view integer = spelt.substr(0, dot);
  std::string fraction(dot == std::string_view::npos ? std::string_view() : spelt.substr(dot + 1));
  fraction.resize(std::max<size_t>(fraction.size(), 3), '0');

  std::string digits = std::string(integer) + fraction.substr(0, 2);
  if (fraction[2] >= '5') IncrementDigits(digits);  // half away from zero
  const bool bZero = digits.find_first_not_of('0') == std::string::npos;
  std::string text = (bNegative && !bZero) ? "-" : "";
  text += digits.substr(0, digits.size() - 2) + "." + digits.substr(digits.size() - 2);
  return AsciiToUtf16(text);
}

std::optional<float> TextToDecimal(const std::u16string& text) {
  const std::optional<DecimalDigits> number = SplitNumber(text);
  if (!number) return std::nullopt;
  std::string spelt = number->bNegative ? "-" : "";
  spelt += number->sInteger.empty() ? "0" : number->sInteger;
  if (!number->sFraction.empty()) spelt += "." + number->sFraction;
  float value = 0;
  const auto result = std::from_chars(spelt.data(), spelt.data() + spelt.size(), value, std::chars_format::fixed);
  if (result.ec != std::errc() || result.ptr != spelt.data() + spelt.size() || !std::isfinite(value)) {
    return std::nullopt;
  }
  return value;
}

std::optional<int32_t> TextToInteger(const std::u16string& text) {
  const std::optional<DecimalDigits> number = SplitNumber(text);
  if (!number) return std::nullopt;
  const size_t first = number->sInteger.find_first_not_of('0');
  const std::string integer = first == std::string::npos ? "" : number->sInteger.substr(first);
  if (integer.size() > 10) return std::nullopt;
  int64_t magnitude = 0;
  for (char digit : integer) magnitude = magnitude * 10 + (digit - '0');

  // Rounded on the digits themselves, so "0.50000000000000000001" is above the half.
  const std::string& fraction = number->sFraction;
  if (!fraction.empty()) {
    const bool bAboveHalf = fraction[0] > '5' ||
                            (fraction[0] == '5' && fraction.find_first_not_of('0', 1) != std::string::npos);
    const bool bHalf = fraction[0] == '5' && !bAboveHalf;
    if (bAboveHalf || (bHalf && magnitude % 2 != 0)) ++magnitude;
  }
  const int64_t value = number->bNegative ? -magnitude : magnitude;
  if (value < std::numeric_limits<int32_t>::min() || value > std::numeric_limits<int32_t>::max()) {
    return std::nullopt;
  }
  return static_cast<int32_t>(value);
}

std::u16string IntegerToText(int32_t value) { return AsciiToUtf16(std::to_string(value)); }

std::u16string RemoveBlanks(const std::u16string& text) {
  std::u16string kept;
  kept.reserve(text.size());
  for (char16_t c : text) {
    if (!IsBlank(c)) kept.push_back(c);
  }
  return kept;
}

}  // namespace ekoto
