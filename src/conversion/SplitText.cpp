#include "conversion/SplitText.h"

#include <algorithm>
#include <bitset>
#include <limits>

#include "conversion/ReadingNotation.h"

namespace ekoto {
namespace {

// Membership test for the mark characters. The low byte of a code unit filters
// out almost every character of a Japanese text with one bit test; only the few
// that pass are compared with the marks themselves.
class MarkSet {
 public:
  explicit MarkSet(std::u16string_view marks) : m_sMarks(marks) {
    for (char16_t c : marks) m_lowBytes.set(c & 0xFF);
  }

  bool Contains(char16_t c) const {
    return m_lowBytes.test(c & 0xFF) && m_sMarks.find(c) != std::u16string_view::npos;
  }

 private:
  std::u16string_view m_sMarks;
  std::bitset<256> m_lowBytes;
};

bool IsDigit(char16_t c) { return (c >= u'0' && c <= u'9') || (c >= u'０' && c <= u'９'); }

// A decimal point (3.14) or a comma between digit groups of three (1,500,000)
// belongs to its number: it ends no sentence.
bool IsInsideNumber(std::u16string_view text, size_t i) {
  if (i == 0 || i + 1 >= text.size() || !IsDigit(text[i - 1]) || !IsDigit(text[i + 1])) return false;
  const char16_t c = text[i];
  if (c == u'.' || c == u'．') return true;
  if (c != u',' && c != u'，') return false;
  size_t nBefore = 0;
  while (nBefore < i && nBefore < 4 && IsDigit(text[i - 1 - nBefore])) ++nBefore;
  size_t nAfter = 0;
  while (i + 1 + nAfter < text.size() && nAfter < 4 && IsDigit(text[i + 1 + nAfter])) ++nAfter;
  return nBefore <= 3 && nAfter == 3;
}

}  // namespace

std::vector<TextSpan> SplitSpansByChars(std::u16string_view text, std::u16string_view marks) {
  const MarkSet markSet(marks);
  const auto lTextLength = static_cast<int32_t>(text.size());
  std::vector<TextSpan> spans;
  int32_t lStart = 0;
  int32_t lFloor = 0;           // where the last notation element ended
  bool bNotation = false;       // the piece being scanned holds notation
  for (int32_t i = 0; i < lTextLength; ++i) {
    if (MayOpenNotation(text[i])) {
      // Marks inside ruby and notes end no sentence.
      if (const auto element = NotationAt(text, static_cast<size_t>(i), static_cast<size_t>(lFloor))) {
        i = lFloor = element->lEnd;
        bNotation = true;
        --i;
        continue;
      }
    }
    if (!markSet.Contains(text[i]) || IsInsideNumber(text, static_cast<size_t>(i))) continue;
    const int32_t lEnd = i + 1;
    if (lEnd - lStart > kMaxPieceLength) {
      for (int32_t p = lStart; p < lEnd;) {
        // With notation the length is that of what is said, so that the cuts fall where they
        // would in the text written out.
        const int32_t lCut = bNotation ? CutAtSaidLength(text, p, lEnd, kMaxPieceLength)
                                       : std::min(p + kMaxPieceLength, lEnd);
        spans.push_back({p, lCut - p});
        p = lCut;
      }
    } else {
      spans.push_back({lStart, lEnd - lStart});
    }
    lStart = lEnd;
    bNotation = false;
  }
  spans.push_back({lStart, lTextLength - lStart});
  return spans;
}

std::vector<std::u16string> SplitByChars(std::u16string_view text, std::u16string_view marks) {
  const std::vector<TextSpan> spans = SplitSpansByChars(text, marks);
  std::vector<std::u16string> pieces;
  pieces.reserve(spans.size());
  for (const TextSpan& span : spans) {
    pieces.emplace_back(text.substr(static_cast<size_t>(span.lStart), static_cast<size_t>(span.lLength)));
  }
  return pieces;
}

std::vector<std::u16string> SplitByLength(std::u16string_view s, int32_t n) {
  std::vector<std::u16string> pieces;
  if (n < 1) return pieces;
  for (size_t p = 0; p < s.size(); p += static_cast<size_t>(n)) {
    pieces.emplace_back(s.substr(p, static_cast<size_t>(n)));
  }
  return pieces;
}

int32_t IndexOfNearest(std::vector<int32_t>& positions) {
  constexpr int32_t kNotFound = std::numeric_limits<int32_t>::max();
  if (positions.empty()) return -1;
  for (int32_t& position : positions) {
    if (position <= 0) position = kNotFound;
  }
  // min_element keeps the first of equal entries.
  return static_cast<int32_t>(std::min_element(positions.begin(), positions.end()) - positions.begin());
}

}  // namespace ekoto
