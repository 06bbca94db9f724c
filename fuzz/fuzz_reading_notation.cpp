// The notation reader (ruby, notes, Aozora Bunko files, old kana): what is said
// is never longer than what is shown and is the text itself where there is no
// notation; sentences lie inside the text in order; chapters point into it.
#include "FuzzInput.h"
#include "conversion/AozoraText.h"
#include "conversion/OldKanaUsage.h"
#include "conversion/ReadingNotation.h"
#include "conversion/SpokenText.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  using namespace ekoto;
  const std::u16string text = fuzz::Text(data, size);
  const std::u16string said = SpokenTextOf(text);
  if (said.size() > text.size()) fuzz::Fail("said text longer than the shown text");
  if (text.find_first_of(u"｜《［※") == std::u16string::npos && said != text) fuzz::Fail("plain text changed");

  int32_t lEnd = 0;
  for (const TextSpan& span : ReadSentenceSpans(text)) {
    if (span.lStart < lEnd || span.lLength < 0 || span.lStart + span.lLength > static_cast<int32_t>(text.size())) {
      fuzz::Fail("sentence out of order or outside the text");
    }
    lEnd = span.lStart + span.lLength;
    (void)SaidSentence(text, span);
  }
  for (int32_t lCut = 1; lCut < static_cast<int32_t>(text.size()); lCut += 7) {
    const int32_t lMoved = CutOutsideNotation(text, 0, lCut);
    if (lMoved <= 0 || lMoved > static_cast<int32_t>(text.size())) fuzz::Fail("cut moved outside the text");
  }
  if (IsOldKanaParagraph(text)) (void)ModernKanaSpelling(text);

  const BookText book = PrepareAozoraText(text);
  int32_t lLast = 0;
  for (const Chapter& chapter : book.aChapters) {
    if (chapter.lOffset < lLast || chapter.lOffset > static_cast<int32_t>(book.sText.size())) {
      fuzz::Fail("chapter out of order or outside the text");
    }
    lLast = chapter.lOffset;
  }
  return 0;
}
