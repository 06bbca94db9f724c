#include "conversion/CutLongSentences.h"

#include <unicode/utf16.h>

#include "conversion/ReadingNotation.h"

namespace ekoto {
namespace {

bool IsDigit(char16_t c) { return (c >= u'0' && c <= u'9') || (c >= u'０' && c <= u'９'); }

// Where to end a piece of at most kMaxSentenceLength units that starts at start.
int32_t PieceEnd(std::u16string_view text, int32_t start) {
  const int32_t limit = start + kMaxSentenceLength;
  const int32_t half = start + kMaxSentenceLength / 2;
  for (int32_t i = limit; i > half; --i) {
    if (text[i - 1] == u'\n') return i;
  }
  for (int32_t i = limit; i > half; --i) {
    if (text[i - 1] == u' ' || text[i - 1] == u'\u3000') return i;
  }
  int32_t end = limit;
  // A number cut in two would be read as two numbers.
  while (end > half && IsDigit(text[end - 1]) && IsDigit(text[end])) --end;
  if (end == half) end = limit;
  if (U16_IS_LEAD(text[end - 1]) && U16_IS_TRAIL(text[end])) --end;
  return end;
}

}  // namespace

std::vector<TextSpan> CutLongSentences(std::u16string_view text, std::vector<TextSpan> spans) {
  std::vector<TextSpan> out;
  out.reserve(spans.size());
  for (const TextSpan& span : spans) {
    int32_t start = span.lStart;
    const int32_t end = span.lStart + span.lLength;
    while (end - start > kMaxSentenceLength) {
      const int32_t cut = CutOutsideNotation(text.substr(0, static_cast<size_t>(end)), start, PieceEnd(text, start));
      out.push_back({start, cut - start});
      start = cut;
    }
    out.push_back({start, end - start});
  }
  return out;
}

}  // namespace ekoto
