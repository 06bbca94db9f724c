// Numeral reading with the sound changes of the hundreds and thousands places.
#include "conversion/ConvNumeric2Hira.h"

#include <array>

#include "conversion/NumberReading.h"

namespace ekoto {

namespace {

constexpr std::array<std::u16string_view, 10> kDigitWords = {
    u"れい", u"いち", u"に", u"さん", u"よん", u"ご", u"ろく", u"なな", u"はち", u"きゅう"};

// Indexed by g, the group of four digits starting at 10^(4g).
constexpr std::array<std::u16string_view, 18> kGroupWords = {
    u"",     u"まん",   u"おく",     u"ちょう",   u"けい",     u"がい",
    u"じょ", u"じょう", u"こう",     u"かん",     u"せい",     u"さい",
    u"ごく", u"ごうがしゃ", u"あそうぎ", u"なゆた", u"ふかしぎ", u"むりょうたいすう"};

// The value of an ASCII or full-width digit, -1 for anything else.
int DigitValue(char16_t c) {
  if (c >= u'0' && c <= u'9') return c - u'0';
  if (c >= u'０' && c <= u'９') return c - u'０';
  return -1;
}

// Digit word and place word of a non-zero digit d at place p (0 ones … 3 thousands).
void AppendDigitAtPlace(std::u16string& out, int d, int p) {
  switch (p) {
    case 0:
      out += kDigitWords[d];
      break;
    case 1:
      if (d != 1) out += kDigitWords[d];
      out += u"じゅう";
      break;
    case 2:
      if (d == 6) {
        out += u"ろっ";
      } else if (d == 8) {
        out += u"はっ";
      } else if (d != 1) {
        out += kDigitWords[d];
      }
      out += d == 3 ? u"びゃく" : (d == 6 || d == 8) ? u"ぴゃく" : u"ひゃく";
      break;
    default:
      if (d == 8) {
        out += u"はっ";
      } else if (d != 1) {
        out += kDigitWords[d];
      }
      out += d == 3 ? u"ぜん" : u"せん";
      break;
  }
}

// Appends the reading of one run to out.
void AppendNumeral(std::u16string& out, std::u16string_view run) {
  bool bAnyNonZero = false;
  bool bGroupNonZero = false;
  for (size_t i = 0; i < run.size(); ++i) {
    const size_t nLeft = run.size() - i;  // digits from this one to the end
    const int p = static_cast<int>((nLeft - 1) % 4);
    const int d = DigitValue(run[i]);
    if (d > 0) {
      AppendDigitAtPlace(out, d, p);
      bAnyNonZero = bGroupNonZero = true;
    }
    if (p == 0) {
      const size_t g = nLeft / 4;
      if (bGroupNonZero && g >= 1 && g < kGroupWords.size()) out += kGroupWords[g];
      bGroupNonZero = false;
    }
  }
  // "0円" should still say something.
  if (!bAnyNonZero && !run.empty()) out += kDigitWords[0];
}

}  // namespace

std::u16string Numeric2Hira(std::u16string_view run) {
  std::u16string out;
  AppendNumeral(out, run);
  return out;
}

std::u16string ConvNumeric2Hira(const std::u16string& text) {
  std::u16string out;
  out.reserve(text.size() + text.size() / 4);
  for (size_t i = 0; i < text.size();) {
    if (StartsNumberExpression(text, i)) {
      i = AppendNumberExpression(text, i, out);
    } else {
      out += text[i++];
    }
  }
  return out;
}

}  // namespace ekoto
