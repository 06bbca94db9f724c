#include "conversion/NumberReading.h"

#include <algorithm>
#include <array>
#include <cstdint>

#include <unicode/uchar.h>

#include "conversion/ConvNumeric2Hira.h"
#include "conversion/CounterTable.h"

namespace ekoto {
namespace {

constexpr std::u16string_view kCommas = u",，";
constexpr std::u16string_view kPoints = u".．";
constexpr std::u16string_view kHyphens = u"-－‐−";
constexpr std::u16string_view kColons = u":：";
constexpr std::u16string_view kSlashes = u"/／";
constexpr std::u16string_view kTildes = u"~〜～";
constexpr std::u16string_view kLargeUnits = u"万億兆";
constexpr std::u16string_view kMinusSigns = u"-－−ー";
// The largest group word is 10^68: longer runs are said digit by digit.
constexpr size_t kMaxValueDigits = 72;

// Digits of a code or of a decimal fraction, said one by one.
constexpr std::array<std::u16string_view, 10> kDigitNames = {u"ゼロ", u"イチ", u"ニ",  u"サン", u"ヨン",
                                                             u"ゴ",   u"ロク", u"ナナ", u"ハチ", u"キュウ"};

int DigitValue(char16_t c) {
  if (c >= u'0' && c <= u'9') return c - u'0';
  if (c >= u'０' && c <= u'９') return c - u'０';
  return -1;
}

// The value of a circled or parenthesised number (①, ⑴, ⒈, ㉑, ❶), -1 for
// anything else.
int EnclosedNumberValue(char16_t c) {
  const bool bEnclosed = (c >= 0x2460 && c <= 0x24FF) || (c >= 0x2776 && c <= 0x2793) ||
                         (c >= 0x3251 && c <= 0x325F) || (c >= 0x32B1 && c <= 0x32BF);
  if (!bEnclosed) return -1;
  const double value = u_getNumericValue(c);
  return value == U_NO_NUMERIC_VALUE ? -1 : static_cast<int>(value);
}

int DigitAt(std::u16string_view text, size_t i) { return i < text.size() ? DigitValue(text[i]) : -1; }

bool IsAt(std::u16string_view text, size_t i, std::u16string_view set) {
  return i < text.size() && set.find(text[i]) != std::u16string_view::npos;
}

size_t RunEnd(std::u16string_view text, size_t i) {
  while (DigitAt(text, i) >= 0) ++i;
  return i;
}

// The value of a run of at most 9 digits.
uint64_t RunValue(std::u16string_view text, size_t from, size_t to) {
  uint64_t value = 0;
  for (size_t i = from; i < to; ++i) value = value * 10 + static_cast<uint64_t>(DigitValue(text[i]));
  return value;
}

std::u16string DecimalDigits(uint64_t value) {
  std::u16string digits;
  do {
    digits.insert(digits.begin(), static_cast<char16_t>(u'0' + value % 10));
    value /= 10;
  } while (value > 0);
  return digits;
}

// The hiragana of a number by value; a zero alone is ぜろ. いち, はち and じゅう
// before ちょう end in っ (いっちょう). A run too long for the group words is
// said digit by digit, in katakana.
std::u16string ValueReading(std::u16string_view digits) {
  bool bNonZero = false;
  for (char16_t c : digits) bNonZero = bNonZero || DigitValue(c) > 0;
  if (!bNonZero) return u"ぜろ";
  if (digits.size() > kMaxValueDigits) {
    std::u16string said;
    for (char16_t c : digits) said += kDigitNames[static_cast<size_t>(DigitValue(c))];
    return said;
  }
  std::u16string said = Numeric2Hira(digits);
  for (size_t i = said.find(u"ちょう"); i != std::u16string::npos; i = said.find(u"ちょう", i + 1)) {
    const std::u16string_view before = std::u16string_view(said).substr(0, i);
    if (before.ends_with(u"いち") || before.ends_with(u"はち") || before.ends_with(u"じゅう")) said[i - 1] = u'っ';
  }
  return said;
}

// Appends hiragana or katakana s as katakana, o-row kana and ウ as a long vowel
// (チョウ → チョー) and, when bEi, e-row kana and イ too (セイ → セー).
void AppendKatakana(std::u16string& out, std::u16string_view s, bool bEi = false) {
  constexpr std::u16string_view kORow = u"オコソトノホモヨロヲゴゾドボポョォ";
  constexpr std::u16string_view kERow = u"エケセテネヘメレゲゼデベペェ";
  for (char16_t c : s) {
    if (c >= u'ぁ' && c <= u'ゖ') c = static_cast<char16_t>(c + 0x60);
    if (!out.empty() && ((c == u'ウ' && kORow.find(out.back()) != std::u16string_view::npos) ||
                         (bEi && c == u'イ' && kERow.find(out.back()) != std::u16string_view::npos))) {
      c = u'ー';
    }
    out += c;
  }
}

// Appends a number (hiragana) and the counter after it, with the counter's sound changes.
void AppendCounted(std::u16string& out, std::u16string sNumber, const Counter& counter) {
  std::u16string sCounter(counter.said);
  JoinNumberAndCounter(sNumber, sCounter, &counter);
  AppendKatakana(out, sNumber);
  AppendKatakana(out, sCounter, true);
  AppendKatakana(out, counter.suffix, true);
}

const Counter& CounterOf(std::u16string_view surface) { return *CounterAtStart(surface); }

void AppendDigitByDigit(std::u16string& out, std::u16string_view text, size_t from, size_t to) {
  for (size_t i = from; i < to; ++i) out += kDigitNames[static_cast<size_t>(DigitValue(text[i]))];
}

// Reads hours:minutes(:seconds) at [pos, …) when the text holds one; returns the
// end or pos.
size_t AppendTime(std::u16string_view text, size_t pos, size_t e, std::u16string& out) {
  if (e - pos > 2 || !IsAt(text, e, kColons) || RunEnd(text, e + 1) != e + 3) return pos;
  const uint64_t lMinutes = RunValue(text, e + 1, e + 3);
  if (lMinutes > 59) return pos;
  size_t end = e + 3;
  const bool bSeconds = IsAt(text, end, kColons) && RunEnd(text, end + 1) == end + 3;
  if (IsAt(text, end, kColons) && !bSeconds) return pos;
  AppendCounted(out, ValueReading(text.substr(pos, e - pos)), CounterOf(u"時"));
  if (lMinutes != 0 || bSeconds) AppendCounted(out, ValueReading(DecimalDigits(lMinutes)), CounterOf(u"分"));
  if (bSeconds) {
    AppendCounted(out, ValueReading(DecimalDigits(RunValue(text, end + 1, end + 3))), CounterOf(u"秒"));
    end += 3;
  }
  return end;
}

// Reads year/month/day or month/day (2024/12/6, 12/6); with bYearOnly only the
// first (2024-12-06). Returns the end or pos.
size_t AppendDate(std::u16string_view text, size_t pos, size_t e, std::u16string_view marks, bool bYearOnly,
                  std::u16string& out) {
  size_t starts[3] = {pos, 0, 0};
  size_t ends[3] = {e, 0, 0};
  int n = 1;
  while (n < 3 && IsAt(text, ends[n - 1], marks) && DigitAt(text, ends[n - 1] + 1) >= 0) {
    starts[n] = ends[n - 1] + 1;
    ends[n] = RunEnd(text, starts[n]);
    ++n;
  }
  if (n < 2 || IsAt(text, ends[n - 1], marks)) return pos;
  const bool bYear = n == 3;
  if ((bYear && ends[0] - starts[0] != 4) || (bYearOnly && !bYear)) return pos;
  const int m = bYear ? 1 : 0;
  for (int k = m; k < n; ++k) {
    if (ends[k] - starts[k] > 2) return pos;
  }
  const uint64_t lMonth = RunValue(text, starts[m], ends[m]);
  const uint64_t lDay = RunValue(text, starts[m + 1], ends[m + 1]);
  if (lMonth < 1 || lMonth > 12 || lDay < 1 || lDay > 31) return pos;
  if (bYear) AppendCounted(out, ValueReading(text.substr(starts[0], 4)), CounterOf(u"年"));
  AppendCounted(out, ValueReading(DecimalDigits(lMonth)), CounterOf(u"月"));
  if (lDay == 1) {
    out += u"ツイタチ";
  } else {
    AppendCounted(out, ValueReading(DecimalDigits(lDay)), CounterOf(u"日"));
  }
  return ends[n - 1];
}

// Numbers joined by hyphens: a date; an address of short numbers (1-2-3
// イチノニノサン); a code read digit by digit (three groups or more, a postal
// code, a group with a leading zero); a score (3-1 サンタイイチ). Returns the
// end, or pos when the groups are none of these.
size_t AppendHyphenGroups(std::u16string_view text, size_t pos, size_t e, std::u16string& out) {
  if (!IsAt(text, e, kHyphens) || DigitAt(text, e + 1) < 0) return pos;
  if (const size_t end = AppendDate(text, pos, e, kHyphens, true, out); end != pos) return end;
  size_t end = e;
  int nGroups = 1;
  size_t nLongest = e - pos;
  bool bLeadingZero = e - pos > 1 && DigitValue(text[pos]) == 0;
  while (IsAt(text, end, kHyphens) && DigitAt(text, end + 1) >= 0) {
    const size_t start = end + 1;
    end = RunEnd(text, start);
    bLeadingZero = bLeadingZero || (end - start > 1 && DigitValue(text[start]) == 0);
    nLongest = std::max(nLongest, end - start);
    ++nGroups;
  }
  const bool bPostal = nGroups == 2 && e - pos == 3 && end - e == 5;
  if (nLongest <= 2 && !bLeadingZero) {
    if (nGroups == 2) {
      AppendKatakana(out, ValueReading(text.substr(pos, e - pos)));
      out += u"タイ";
      AppendKatakana(out, ValueReading(text.substr(e + 1, end - e - 1)));
    } else {
      for (size_t i = pos; i < end; i = RunEnd(text, i) + 1) {
        if (i != pos) out += u"ノ";
        AppendKatakana(out, ValueReading(text.substr(i, RunEnd(text, i) - i)));
      }
    }
    return end;
  }
  if (nGroups < 3 && !bPostal && !bLeadingZero) return pos;
  for (size_t i = pos; i < end; ++i) {
    if (DigitAt(text, i) >= 0) {
      out += kDigitNames[static_cast<size_t>(DigitValue(text[i]))];
    } else {
      out += text[i];  // the hyphen stays as a pause
    }
  }
  return end;
}

// The digits of a number by value from pos: digit groups with commas (1,500) and
// kanji places after digits (1万2千, 20億). Sets end past what was read.
std::u16string ValueDigits(std::u16string_view text, size_t pos, size_t& end) {
  size_t e = RunEnd(text, pos);
  std::u16string digits;
  for (size_t i = pos; i < e; ++i) digits += static_cast<char16_t>(u'0' + DigitValue(text[i]));
  if (e - pos <= 3) {
    while (IsAt(text, e, kCommas) && RunEnd(text, e + 1) == e + 4) {
      for (size_t i = e + 1; i < e + 4; ++i) digits += static_cast<char16_t>(u'0' + DigitValue(text[i]));
      e += 4;
    }
  }
  end = e;
  if (digits.size() > 4) return digits;
  // Sections of at most four digits, each with 千 and 百 and a falling large unit
  // after it (2千5百万).
  uint64_t lPending = 0;  // digits not yet given a place
  for (char16_t c : digits) lPending = lPending * 10 + static_cast<uint64_t>(c - u'0');
  uint64_t lSection = 0;
  uint64_t lTotal = 0;
  size_t nLastUnit = kLargeUnits.size() + 1;
  bool bPlaces = false;
  size_t i = e;
  for (;;) {
    for (uint64_t lLastPlace = 10000; lPending <= 9 && i < text.size();) {
      const uint64_t lPlace = text[i] == u'千' ? 1000 : text[i] == u'百' ? 100 : 0;
      if (lPlace == 0 || lPlace >= lLastPlace) break;
      lLastPlace = lPlace;
      lSection += lPending * lPlace;
      lPending = 0;
      bPlaces = true;
      const size_t rest = RunEnd(text, ++i);
      if (rest > i && rest - i <= 3) {
        lPending = RunValue(text, i, rest);
        i = rest;
      }
    }
    lSection += lPending;
    lPending = 0;
    // 1 for 万, 2 for 億, 3 for 兆, 0 for anything else (npos + 1).
    const size_t nUnit = i < text.size() ? kLargeUnits.find(text[i]) + 1 : 0;
    if (nUnit == 0 || nUnit >= nLastUnit) break;
    nLastUnit = nUnit;
    uint64_t lUnit = 1;
    for (size_t k = 0; k < nUnit; ++k) lUnit *= 10000;
    lTotal += lSection * lUnit;
    lSection = 0;
    bPlaces = true;
    const size_t next = RunEnd(text, ++i);
    if (next == i || next - i > 4) break;
    lPending = RunValue(text, i, next);
    i = next;
  }
  if (!bPlaces) return digits;
  end = i;
  return DecimalDigits(lTotal + lSection);
}

// True iff text[pos] is a minus sign before a number: a hyphen or minus not
// joined to a word or code before it (A-5, 090-1234), and a long-vowel mark
// (typed for a minus) only where no word stands before it.
bool IsMinusAt(std::u16string_view text, size_t pos) {
  if (!IsAt(text, pos, kMinusSigns) || DigitAt(text, pos + 1) < 0) return false;
  if (pos == 0) return true;
  const char16_t before = text[pos - 1];
  const bool bJoined = DigitValue(before) >= 0 || (before >= u'A' && before <= u'Z') || (before >= u'a' && before <= u'z') ||
                       (before >= u'Ａ' && before <= u'ｚ') || (before >= u'ァ' && before <= u'ー') ||
                       (before >= u'ｦ' && before <= u'ﾟ');
  const bool bWord = bJoined || (before >= u'ぁ' && before <= u'ゖ') || u_hasBinaryProperty(before, UCHAR_IDEOGRAPHIC);
  return text[pos] == u'ー' ? !bWord : !bJoined;
}

// Appends a number (hiragana) read at [pos, end) with the counter after end, or
// the currency given, and returns the end of what was read.
size_t AppendNumberAndCounter(std::u16string_view text, size_t pos, size_t end, const std::u16string& sNumber,
                              const Counter* currency, std::u16string& out) {
  const Counter* counter = currency ? currency : CounterAtStart(text.substr(end));
  if (!counter) {
    AppendKatakana(out, sNumber);
  } else if (counter->said == u"ニチ" && sNumber == u"いち" && pos > 0 && text[pos - 1] == u'月') {
    out += u"ツイタチ";  // the first of the month
    AppendKatakana(out, counter->suffix, true);
  } else {
    AppendCounted(out, sNumber, *counter);
  }
  return counter && !currency ? end + counter->surface.size() : end;
}

}  // namespace

bool StartsNumberExpression(std::u16string_view text, size_t pos) {
  if (DigitAt(text, pos) >= 0 || IsMinusAt(text, pos)) return true;
  if (pos < text.size() && EnclosedNumberValue(text[pos]) >= 0) return true;
  return IsAt(text, pos, u"$＄¥￥") && DigitAt(text, pos + 1) >= 0;
}

size_t AppendNumberExpression(std::u16string_view text, size_t pos, std::u16string& out) {
  if (IsMinusAt(text, pos)) {
    out += u"マイナス";
    ++pos;
  }
  if (const int value = EnclosedNumberValue(text[pos]); value >= 0) {
    return AppendNumberAndCounter(text, pos, pos + 1, ValueReading(DecimalDigits(static_cast<uint64_t>(value))),
                                  nullptr, out);
  }
  const Counter* currency = nullptr;
  if (IsAt(text, pos, u"$＄")) currency = &CounterOf(u"ドル");
  if (IsAt(text, pos, u"¥￥")) currency = &CounterOf(u"円");
  if (currency) ++pos;
  const size_t e = RunEnd(text, pos);
  if (!currency) {
    if (size_t end = AppendHyphenGroups(text, pos, e, out); end != pos) return end;
    if (size_t end = AppendTime(text, pos, e, out); end != pos) return end;
    if (size_t end = AppendDate(text, pos, e, kSlashes, false, out); end != pos) return end;
    if (e - pos > 1 && DigitValue(text[pos]) == 0 && !IsAt(text, e, kPoints)) {
      AppendDigitByDigit(out, text, pos, e);
      return e;
    }
  }
  size_t end = e;
  const std::u16string digits = ValueDigits(text, pos, end);
  std::u16string sNumber = ValueReading(digits);
  // Digit groups (1,234.5) may come before a decimal point; kanji places may not.
  const bool bDigitGroups = std::all_of(text.begin() + static_cast<ptrdiff_t>(pos), text.begin() + static_cast<ptrdiff_t>(end),
                                        [](char16_t c) { return DigitValue(c) >= 0 || kCommas.find(c) != std::u16string_view::npos; });
  if (bDigitGroups && IsAt(text, end, kPoints) && DigitAt(text, end + 1) >= 0) {
    // A decimal: the fraction's digits one by one, the unit after it unchanged.
    if (sNumber == u"ぜろ") sNumber = u"れい";
    AppendCounted(out, sNumber, CounterOf(u"点"));
    const size_t fractionEnd = RunEnd(text, end + 1);
    AppendDigitByDigit(out, text, end + 1, fractionEnd);
    end = fractionEnd;
    if (IsAt(text, end, kLargeUnits)) {
      constexpr std::array<std::u16string_view, 3> kUnitNames = {u"マン", u"オク", u"チョー"};
      out += kUnitNames[kLargeUnits.find(text[end])];
      ++end;
    }
    const Counter* counter = currency ? currency : CounterAtStart(text.substr(end));
    if (counter) {
      AppendKatakana(out, counter->said, true);
      AppendKatakana(out, counter->suffix, true);
      if (!currency) end += counter->surface.size();
    }
  } else {
    end = AppendNumberAndCounter(text, pos, end, sNumber, currency, out);
  }
  // A range: 10～20 is said from ten to twenty.
  if (IsAt(text, end, kTildes) && StartsNumberExpression(text, end + 1)) {
    out += u"カラ";
    ++end;
  }
  return end;
}

}  // namespace ekoto
