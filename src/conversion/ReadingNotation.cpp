#include "conversion/ReadingNotation.h"

#include <iconv.h>

#include <algorithm>
#include <array>
#include <vector>

#include "util/Utf.h"

namespace ekoto {
namespace {

// Longest insides the notation has in practice; a mark without its partner
// within them is text, so a stray 《 never swallows a page.
constexpr size_t kMaxBase = 40;
constexpr size_t kMaxRuby = 60;
constexpr size_t kMaxNote = 400;

enum class CharKind { kOther, kKanji, kHiragana, kKatakana, kLatin, kDigit };

CharKind KindOf(char16_t c) {
  if ((c >= 0x4E00 && c <= 0x9FFF) || (c >= 0x3400 && c <= 0x4DBF) || (c >= 0xF900 && c <= 0xFAFF) ||
      (c >= 0xD800 && c <= 0xDFFF) || c == u'々' || c == u'〆' || c == u'〇' || c == u'ヶ' || c == u'〻') {
    return CharKind::kKanji;
  }
  if (c >= 0x3041 && c <= 0x309F) return CharKind::kHiragana;
  if ((c >= 0x30A1 && c <= 0x30FF && c != u'・') || (c >= 0xFF66 && c <= 0xFF9F)) return CharKind::kKatakana;
  if ((c >= u'A' && c <= u'Z') || (c >= u'a' && c <= u'z') || (c >= u'Ａ' && c <= u'Ｚ') ||
      (c >= u'ａ' && c <= u'ｚ')) {
    return CharKind::kLatin;
  }
  if ((c >= u'0' && c <= u'9') || (c >= u'０' && c <= u'９')) return CharKind::kDigit;
  return CharKind::kOther;
}

bool IsLineBreak(char16_t c) { return c == u'\n' || c == u'\r'; }

// Position of close in text[from, from + limit) on the same line and before any
// of stops, or npos. Stopping at the next opening mark keeps a text full of
// marks to one pass.
size_t FindOnLine(std::u16string_view text, size_t from, std::u16string_view close, size_t limit,
                  std::u16string_view stops) {
  const size_t end = std::min(text.size(), from + limit + close.size());
  for (size_t j = from; j + close.size() <= end; ++j) {
    if (IsLineBreak(text[j]) || stops.find(text[j]) != std::u16string_view::npos) return std::u16string_view::npos;
    if (text[j] == close[0] && text.substr(j, close.size()) == close) return j;
  }
  return std::u16string_view::npos;
}

// Position of the ］ that closes the ［ at open, or npos. Notes may hold
// brackets, paired or quoted (［＃「［」は…］), but no other note.
size_t FindNoteClose(std::u16string_view text, size_t open) {
  int nDepth = 0;
  bool bQuoted = false;
  const size_t end = std::min(text.size(), open + kMaxNote);
  for (size_t j = open; j < end; ++j) {
    if (IsLineBreak(text[j])) break;
    // Another note opening: this one is not closed (and a text of openers is scanned once).
    if (text[j] == u'［' && j > open && j + 1 < end && text[j + 1] == u'＃') break;
    if (text[j] == u'「' || text[j] == u'」') bQuoted = text[j] == u'「';
    if (bQuoted) continue;
    if (text[j] == u'［') ++nDepth;
    if (text[j] == u'］' && --nDepth == 0) return j;
  }
  return std::u16string_view::npos;
}

using Kind = NotationElement::Kind;

NotationElement Element(Kind kind, size_t start, size_t end, size_t textStart, size_t textEnd) {
  return {.kind = kind,
          .lStart = static_cast<int32_t>(start),
          .lEnd = static_cast<int32_t>(end),
          .lTextStart = static_cast<int32_t>(textStart),
          .lTextEnd = static_cast<int32_t>(textEnd)};
}

// Reads a number of decimal digits (either width) at s[pos…], advancing pos.
std::optional<uint32_t> ReadNumber(std::u16string_view s, size_t& pos, int nMaxDigits) {
  uint32_t n = 0;
  int nDigits = 0;
  while (pos < s.size() && nDigits < nMaxDigits && KindOf(s[pos]) == CharKind::kDigit) {
    n = n * 10 + static_cast<uint32_t>(s[pos] >= u'０' ? s[pos] - u'０' : s[pos] - u'0');
    ++pos;
    ++nDigits;
  }
  if (nDigits == 0) return std::nullopt;
  return n;
}

bool IsDash(char16_t c) { return c == u'-' || c == u'－'; }

// The character of JIS X 0213 plane-row-cell, decoded by iconv from its EUC bytes.
std::u16string JisX0213Character(uint32_t nPlane, uint32_t nRow, uint32_t nCell) {
  if (nPlane < 1 || nPlane > 2 || nRow < 1 || nRow > 94 || nCell < 1 || nCell > 94) return {};
  std::array<char, 3> euc{};
  size_t nIn = 0;
  if (nPlane == 2) euc[nIn++] = static_cast<char>(0x8F);
  euc[nIn++] = static_cast<char>(0xA0 + nRow);
  euc[nIn++] = static_cast<char>(0xA0 + nCell);
  iconv_t cd = iconv_open("UTF-8", "EUC-JISX0213");
  if (cd == reinterpret_cast<iconv_t>(-1)) return {};
  std::array<char, 16> utf8{};
  char* in = euc.data();
  char* out = utf8.data();
  size_t nOut = utf8.size();
  const bool bOk = iconv(cd, &in, &nIn, &out, &nOut) != static_cast<size_t>(-1) &&
                   iconv(cd, nullptr, nullptr, &out, &nOut) != static_cast<size_t>(-1);
  iconv_close(cd);
  if (!bOk || nIn != 0) return {};
  return Utf8ToUtf16(std::string_view(utf8.data(), utf8.size() - nOut));
}

std::u16string CodePointCharacter(uint32_t c) {
  if (c == 0 || c > 0x10FFFF || (c >= 0xD800 && c <= 0xDFFF)) return {};
  if (c < 0x10000) return std::u16string(1, static_cast<char16_t>(c));
  return {static_cast<char16_t>(0xD800 + ((c - 0x10000) >> 10)), static_cast<char16_t>(0xDC00 + ((c - 0x10000) & 0x3FF))};
}

// The start of the ※［＃…］ note for a missing character that ends just before
// end, or npos.
size_t MissingCharacterNoteEndingAt(std::u16string_view text, size_t end) {
  if (end == 0 || text[end - 1] != u'］') return std::u16string_view::npos;
  const size_t from = end > kMaxNote ? end - kMaxNote : 0;
  size_t note = text.substr(from, end - from).rfind(u"※［＃");
  if (note == std::u16string_view::npos) return note;
  note += from;
  const auto element = NotationAt(text, note);
  if (!element || element->kind != NotationElement::Kind::kMissingCharacter ||
      static_cast<size_t>(element->lEnd) != end) {
    return std::u16string_view::npos;
  }
  return note;
}

}  // namespace

std::optional<NotationElement> NotationAt(std::u16string_view text, size_t i, size_t lFloor) {
  constexpr auto npos = std::u16string_view::npos;
  if (i >= text.size()) return std::nullopt;
  const char16_t c = text[i];
  const char16_t next = i + 1 < text.size() ? text[i + 1] : u'\0';
  if (c == u'｜') {
    const size_t open = FindOnLine(text, i + 1, u"《", kMaxBase, u"》｜");
    if (open == npos || open == i + 1) return std::nullopt;
    const size_t close = FindOnLine(text, open + 1, u"》", kMaxRuby, u"《");
    if (close == npos) return std::nullopt;
    return Element(Kind::kRuby, i, close + 1, open + 1, close);
  }
  if (c == u'《' && next == u'《') {
    const size_t close = FindOnLine(text, i + 2, u"》》", kMaxNote, u"《");
    if (close == npos) return std::nullopt;
    return Element(Kind::kEmphasis, i, close + 2, i + 2, close);
  }
  if (c == u'《') {
    if (i == 0) return std::nullopt;
    const size_t close = FindOnLine(text, i + 1, u"》", kMaxRuby, u"《");
    if (close == npos || close == i + 1) return std::nullopt;
    // The base: a run of one kind before 《; a character given by a note counts as a kanji.
    size_t start = i;
    CharKind kind = CharKind::kOther;
    while (start > 0 && i - start < kMaxRuby) {
      const size_t note = MissingCharacterNoteEndingAt(text, start);
      if (note != npos && (kind == CharKind::kOther || kind == CharKind::kKanji)) {
        // The note may be the element before; the kanji before it belong to the base too.
        kind = CharKind::kKanji;
        start = note;
        lFloor = 0;
        continue;
      }
      const CharKind before = KindOf(text[start - 1]);
      if (start <= lFloor || before == CharKind::kOther || (kind != CharKind::kOther && before != kind)) break;
      kind = before;
      --start;
    }
    if (start == i) return std::nullopt;
    return Element(Kind::kRuby, start, close + 1, i + 1, close);
  }
  if (c == u'［' && next == u'＃') {
    const size_t close = FindNoteClose(text, i);
    if (close == npos) return std::nullopt;
    return Element(Kind::kNote, i, close + 1, i + 2, close);
  }
  if (c == u'※' && next == u'［' && i + 2 < text.size() && text[i + 2] == u'＃') {
    const size_t close = FindNoteClose(text, i + 1);
    if (close == npos) return std::nullopt;
    return Element(Kind::kMissingCharacter, i, close + 1, i + 3, close);
  }
  return std::nullopt;
}

int32_t CutOutsideNotation(std::u16string_view text, int32_t lFrom, int32_t lCut) {
  // A ruby's base lies before its 《, so elements opening a little past the cut count too.
  const size_t end = std::min(text.size(), static_cast<size_t>(lCut) + kMaxRuby + 1);
  size_t floor = static_cast<size_t>(lFrom);
  for (size_t i = floor; i < end; ++i) {
    if (!MayOpenNotation(text[i])) continue;
    const std::optional<NotationElement> element = NotationAt(text, i, floor);
    if (!element) continue;
    if (element->lStart < lCut && lCut < element->lEnd) {
      return element->lStart > lFrom ? element->lStart : element->lEnd;
    }
    if (element->lStart >= lCut) break;
    i = static_cast<size_t>(element->lEnd) - 1;
    floor = static_cast<size_t>(element->lEnd);
  }
  return lCut;
}

int32_t CutAtSaidLength(std::u16string_view text, int32_t lFrom, int32_t lEnd, int32_t nSaid) {
  std::vector<NotationElement> elements;
  const auto end = static_cast<size_t>(lEnd);
  for (size_t i = static_cast<size_t>(lFrom), floor = i; i < end; ++i) {
    if (!MayOpenNotation(text[i])) continue;
    const auto element = NotationAt(text.substr(0, end), i, floor);
    if (!element) continue;
    // A ruby whose base is a character given by a note takes the note in.
    while (!elements.empty() && elements.back().lStart >= element->lStart) elements.pop_back();
    elements.push_back(*element);
    i = floor = static_cast<size_t>(element->lEnd);
    --i;
  }
  int32_t lPos = lFrom;
  int32_t nCount = 0;
  for (const NotationElement& element : elements) {
    // (a base may reach back before lFrom)
    const int32_t lStart = std::max(element.lStart, lPos);
    if (nCount + (lStart - lPos) >= nSaid) return lPos + (nSaid - nCount);
    nCount += lStart - lPos;
    const auto inside = text.substr(static_cast<size_t>(element.lTextStart),
                                    static_cast<size_t>(element.lTextEnd - element.lTextStart));
    nCount += element.kind == Kind::kNote               ? 0
              : element.kind == Kind::kMissingCharacter ? static_cast<int32_t>(MissingCharacterOf(inside).size())
                                                        : static_cast<int32_t>(inside.size());
    lPos = element.lEnd;
    // A cut that would fall inside what the element says goes before it, or after it when it opens the piece.
    if (nCount > nSaid) return lStart > lFrom ? lStart : lPos;
    if (nCount == nSaid) return lPos;
  }
  return std::min(lEnd, lPos + (nSaid - nCount));
}

std::u16string SpokenTextOf(std::u16string_view shown) {
  std::u16string said;
  said.reserve(shown.size());
  // saidAt[i]: the length of said when shown[i] was reached, for taking back a
  // ruby's base once its 《 shows it was one.
  std::vector<size_t> saidAt(shown.size() + 1, 0);
  size_t floor = 0;  // a ruby's base starts after the last element
  for (size_t i = 0; i < shown.size(); ++i) {
    saidAt[i] = said.size();
    const std::optional<NotationElement> element =
        MayOpenNotation(shown[i]) ? NotationAt(shown, i, floor) : std::nullopt;
    if (!element) {
      said += shown[i];
      continue;
    }
    const auto inside = shown.substr(static_cast<size_t>(element->lTextStart),
                                     static_cast<size_t>(element->lTextEnd - element->lTextStart));
    switch (element->kind) {
      case Kind::kRuby:
        said.resize(saidAt[static_cast<size_t>(element->lStart)]);
        said += inside;
        break;
      case Kind::kEmphasis:
        said += inside;
        break;
      case Kind::kMissingCharacter:
        said += MissingCharacterOf(inside);
        break;
      case Kind::kNote:
        break;
    }
    const auto end = static_cast<size_t>(element->lEnd);
    for (size_t j = i + 1; j < end; ++j) saidAt[j] = said.size();
    i = end - 1;
    floor = end;
  }
  return said;
}

std::u16string MissingCharacterOf(std::u16string_view note) {
  for (size_t pos = 0; pos + 1 < note.size(); ++pos) {
    // U+XXXX
    if ((note[pos] == u'U' || note[pos] == u'Ｕ') && (note[pos + 1] == u'+' || note[pos + 1] == u'＋')) {
      uint32_t c = 0;
      size_t j = pos + 2;
      for (; j < note.size() && j < pos + 8; ++j) {
        const char16_t h = note[j];
        const int d = (h >= u'0' && h <= u'9') ? h - u'0' : (h >= u'A' && h <= u'F') ? h - u'A' + 10
                      : (h >= u'a' && h <= u'f') ? h - u'a' + 10 : -1;
        if (d < 0) break;
        c = c * 16 + static_cast<uint32_t>(d);
      }
      if (j - pos - 2 >= 4) return CodePointCharacter(c);
      continue;
    }
    // plane-row-cell: three numbers joined by dashes, the first 1 or 2 (page and
    // line references have two).
    if (KindOf(note[pos]) != CharKind::kDigit || (pos > 0 && KindOf(note[pos - 1]) == CharKind::kDigit)) continue;
    size_t j = pos;
    const auto plane = ReadNumber(note, j, 1);
    if (!plane || j >= note.size() || !IsDash(note[j])) continue;
    const auto row = ReadNumber(note, ++j, 2);
    if (!row || j >= note.size() || !IsDash(note[j])) continue;
    const auto cell = ReadNumber(note, ++j, 2);
    if (!cell || (j < note.size() && (KindOf(note[j]) == CharKind::kDigit || IsDash(note[j])))) continue;
    return JisX0213Character(*plane, *row, *cell);
  }
  return {};
}

}  // namespace ekoto
