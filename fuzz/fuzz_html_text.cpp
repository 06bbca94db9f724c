// BookOfHtml on any bytes: never fails; its chapters lie inside the text, in
// order, and the text does not end with white space (a <pre> may start it with some).
#include "FuzzInput.h"
#include "book/MarkupText.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  using namespace ekoto;
  const BookText book = BookOfHtml(fuzz::Bytes(data, size));
  const std::u16string& s = book.sText;
  if (!s.empty() && (s.back() == u' ' || s.back() == u'\n')) fuzz::Fail("white space at the end of the text");
  int32_t lPrevious = 0;
  for (const Chapter& chapter : book.aChapters) {
    if (chapter.lOffset < lPrevious || chapter.lOffset > static_cast<int32_t>(s.size())) {
      fuzz::Fail("chapter outside the text or out of order");
    }
    if (chapter.nLevel < 1 || chapter.nLevel > 6 || chapter.sTitle.empty()) fuzz::Fail("a chapter without title or level");
    lPrevious = chapter.lOffset;
  }
  return 0;
}
