#include "conversion/SpokenText.h"

#include <algorithm>

#include "conversion/AozoraText.h"
#include "conversion/CutLongSentences.h"
#include "conversion/OldKanaUsage.h"
#include "conversion/ReadingNotation.h"

namespace ekoto {
namespace {

// A paragraph is a line; one without line breaks is looked at this far around
// the sentence.
constexpr size_t kParagraphReach = 2000;

std::u16string_view ParagraphAround(std::u16string_view text, TextSpan sentence) {
  const auto start = static_cast<size_t>(sentence.lStart);
  const size_t floor = start > kParagraphReach ? start - kParagraphReach : 0;
  size_t from = start;
  while (from > floor && text[from - 1] != u'\n') --from;
  const size_t ceiling = std::min(text.size(), start + static_cast<size_t>(sentence.lLength) + kParagraphReach);
  size_t to = start + static_cast<size_t>(sentence.lLength);
  while (to < ceiling && text[to] != u'\n') ++to;
  return text.substr(from, to - from);
}

void AppendSentences(std::u16string_view text, int32_t lFrom, int32_t lTo, std::vector<TextSpan>& out) {
  if (lTo <= lFrom && !out.empty()) return;
  const std::u16string_view part = text.substr(static_cast<size_t>(lFrom), static_cast<size_t>(lTo - lFrom));
  for (TextSpan span : CutLongSentences(part, SplitSpansByChars(part, kSentenceMarks))) {
    span.lStart += lFrom;
    out.push_back(span);
  }
}

}  // namespace

std::vector<TextSpan> ReadSentenceSpans(std::u16string_view text) {
  std::vector<TextSpan> sentences;
  int32_t lFrom = 0;
  for (const TextSpan& unread : AozoraUnreadSpans(text)) {
    AppendSentences(text, lFrom, unread.lStart, sentences);
    lFrom = unread.lStart + unread.lLength;
  }
  AppendSentences(text, lFrom, static_cast<int32_t>(text.size()), sentences);
  return sentences;
}

std::u16string SaidSentence(std::u16string_view text, TextSpan sentence) {
  std::u16string said = SpokenTextOf(text.substr(static_cast<size_t>(sentence.lStart),
                                                 static_cast<size_t>(sentence.lLength)));
  // The signs are looked for in what is said: a ruby may carry one (言《い》ふ).
  if (IsOldKanaParagraph(SpokenTextOf(ParagraphAround(text, sentence)))) said = ModernKanaSpelling(said);
  return said;
}

}  // namespace ekoto
