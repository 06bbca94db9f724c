#include "conversion/AozoraText.h"

#include <algorithm>
#include <array>
#include <optional>

#include "conversion/ReadingNotation.h"

namespace ekoto {
namespace {

// How far from the start the explanation block and from the end the colophon are looked for.
constexpr size_t kHeadLimit = 6000;
constexpr size_t kTailLimit = 20000;

constexpr std::u16string_view kExplanation = u"【テキスト中に現れる記号について】";
constexpr std::u16string_view kColophon = u"底本：";

size_t LineStart(std::u16string_view text, size_t pos) {
  const size_t nl = pos == 0 ? std::u16string_view::npos : text.rfind(u'\n', pos - 1);
  return nl == std::u16string_view::npos ? 0 : nl + 1;
}

// The end of the dashed line (a line of ten or more '-') starting at pos, after
// its line break; npos when the line is not one.
size_t DashedLineEnd(std::u16string_view text, size_t pos) {
  size_t j = pos;
  while (j < text.size() && text[j] == u'-') ++j;
  if (j - pos < 10) return std::u16string_view::npos;
  while (j < text.size() && (text[j] == u'\r' || text[j] == u' ')) ++j;
  if (j < text.size() && text[j] != u'\n') return std::u16string_view::npos;
  return std::min(text.size(), j + 1);
}

std::optional<TextSpan> ExplanationBlock(std::u16string_view text) {
  const std::u16string_view head = text.substr(0, std::min(text.size(), kHeadLimit));
  const size_t mark = head.find(kExplanation);
  if (mark == std::u16string_view::npos) return std::nullopt;
  // The dashed lines before and after the explanation.
  size_t open = std::u16string_view::npos;
  for (size_t line = LineStart(head, mark); line > 0;) {
    line = LineStart(head, line - 1);
    if (DashedLineEnd(head, line) != std::u16string_view::npos) {
      open = line;
      break;
    }
  }
  if (open == std::u16string_view::npos) return std::nullopt;
  for (size_t line = head.find(u'\n', mark); line != std::u16string_view::npos; line = head.find(u'\n', line)) {
    ++line;
    const size_t end = DashedLineEnd(head, line);
    if (end != std::u16string_view::npos) {
      return TextSpan{static_cast<int32_t>(open), static_cast<int32_t>(end - open)};
    }
  }
  return std::nullopt;
}

std::optional<TextSpan> Colophon(std::u16string_view text) {
  const size_t from = text.size() > kTailLimit ? text.size() - kTailLimit : 0;
  for (size_t pos = text.size(); pos > from;) {
    pos = text.rfind(kColophon, pos - 1);
    if (pos == std::u16string_view::npos || pos < from) break;
    if (pos == 0 || text[pos - 1] == u'\n') {
      return TextSpan{static_cast<int32_t>(pos), static_cast<int32_t>(text.size() - pos)};
    }
  }
  return std::nullopt;
}

// The level of a heading named by a note's inside (大見出し 1, 中見出し 2, 小見出し
// 3, with an optional 同行 or 窓 before), or 0.
int HeadingLevel(std::u16string_view name) {
  if (name.starts_with(u"同行") || name.starts_with(u"窓")) name.remove_prefix(name[0] == u'窓' ? 1 : 2);
  constexpr std::array<std::u16string_view, 3> kLevels = {u"大見出し", u"中見出し", u"小見出し"};
  for (size_t n = 0; n < kLevels.size(); ++n) {
    if (name == kLevels[n]) return static_cast<int>(n) + 1;
  }
  return 0;
}

// The shown text of a heading: ruby and notes dropped, bases kept, spaces and line breaks trimmed.
std::u16string HeadingTitle(std::u16string_view shown) {
  std::u16string title;
  size_t floor = 0;
  for (size_t i = 0; i < shown.size(); ++i) {
    const auto element = MayOpenNotation(shown[i]) ? NotationAt(shown, i, floor) : std::nullopt;
    if (!element) {
      title += shown[i];
      continue;
    }
    if (element->kind == NotationElement::Kind::kRuby && shown[i] == u'｜') {
      title += shown.substr(i + 1, static_cast<size_t>(element->lTextStart) - 2 - i);
    } else if (element->kind == NotationElement::Kind::kEmphasis) {
      title += shown.substr(static_cast<size_t>(element->lTextStart),
                            static_cast<size_t>(element->lTextEnd - element->lTextStart));
    }
    i = static_cast<size_t>(element->lEnd) - 1;
    floor = i + 1;
  }
  const auto isSpace = [](char16_t c) { return c == u' ' || c == u'\u3000' || c == u'\t' || c == u'\n' || c == u'\r'; };
  while (!title.empty() && isSpace(title.back())) title.pop_back();
  const auto first = std::find_if_not(title.begin(), title.end(), isSpace);
  return std::u16string(first, title.end());
}

std::u16string ReplaceMissingCharacters(const std::u16string& text) {
  std::u16string out;
  out.reserve(text.size());
  for (size_t i = 0; i < text.size(); ++i) {
    if (text[i] == u'\r' && i + 1 < text.size() && text[i + 1] == u'\n') continue;
    const auto element = text[i] == u'※' ? NotationAt(text, i) : std::nullopt;
    if (element) {
      const std::u16string c = MissingCharacterOf(std::u16string_view(text).substr(
          static_cast<size_t>(element->lTextStart), static_cast<size_t>(element->lTextEnd - element->lTextStart)));
      if (!c.empty()) {
        out += c;
        i = static_cast<size_t>(element->lEnd) - 1;
        continue;
      }
    }
    out += text[i];
  }
  return out;
}

}  // namespace

BookText PrepareAozoraText(std::u16string sText) {
  BookText book;
  book.sText = ReplaceMissingCharacters(sText);
  const std::u16string_view text = book.sText;
  std::optional<Chapter> open;  // a block heading waiting for its end note
  size_t floor = 0;
  for (size_t i = 0; i < text.size(); ++i) {
    if (text[i] != u'［') continue;
    const auto element = NotationAt(text, i, floor);
    if (!element) continue;
    i = static_cast<size_t>(element->lEnd) - 1;
    floor = i + 1;
    std::u16string_view inside = text.substr(static_cast<size_t>(element->lTextStart),
                                             static_cast<size_t>(element->lTextEnd - element->lTextStart));
    const auto lineStart = static_cast<int32_t>(LineStart(text, static_cast<size_t>(element->lStart)));
    if (inside.starts_with(u"「")) {
      const size_t close = inside.rfind(u"」は");
      if (close == std::u16string_view::npos) continue;
      if (const int nLevel = HeadingLevel(inside.substr(close + 2))) {
        book.aChapters.push_back({.sTitle = HeadingTitle(inside.substr(1, close - 1)), .lOffset = lineStart,
                                  .nLevel = nLevel});
      }
      continue;
    }
    if (inside.ends_with(u"終わり")) {
      if (!open) continue;
      open->sTitle = HeadingTitle(text.substr(static_cast<size_t>(open->lOffset),
                                              static_cast<size_t>(element->lStart - open->lOffset)));
      book.aChapters.push_back(*open);
      open.reset();
      continue;
    }
    if (inside.starts_with(u"ここから")) inside.remove_prefix(4);
    if (const int nLevel = HeadingLevel(inside)) {
      open = Chapter{.sTitle = {}, .lOffset = static_cast<int32_t>(element->lEnd), .nLevel = nLevel};
    }
  }
  // A block heading's chapter starts at its line, as the others do.
  for (Chapter& chapter : book.aChapters) {
    chapter.lOffset = static_cast<int32_t>(LineStart(text, static_cast<size_t>(chapter.lOffset)));
  }
  std::stable_sort(book.aChapters.begin(), book.aChapters.end(),
                   [](const Chapter& a, const Chapter& b) { return a.lOffset < b.lOffset; });
  return book;
}

std::vector<TextSpan> AozoraUnreadSpans(std::u16string_view text) {
  std::vector<TextSpan> spans;
  const auto block = ExplanationBlock(text);
  if (block) spans.push_back(*block);
  const auto colophon = Colophon(text);
  if (colophon && (!block || colophon->lStart >= block->lStart + block->lLength)) spans.push_back(*colophon);
  return spans;
}

}  // namespace ekoto
