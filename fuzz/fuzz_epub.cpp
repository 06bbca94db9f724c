// ReadEpubBytes on any bytes, with small limits: a status with a message, or a
// text whose chapters lie inside it in order.
#include "FuzzInput.h"
#include "book/EpubReader.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  using namespace ekoto;
  const BookLimits limits{.lMaxEntryBytes = 1 << 20, .lMaxTotalBytes = 4 << 20, .nMaxDocuments = 200,
                          .lMaxTextUnits = 1 << 20};
  BookText book;
  const BookStatus status = ReadEpubBytes(fuzz::Bytes(data, size), book, limits);
  if (!status.ok()) {
    if (status.sMessage.empty()) fuzz::Fail("a failure without a message");
    if (!book.sText.empty() || !book.aChapters.empty()) fuzz::Fail("a failure left text behind");
    return 0;
  }
  if (book.sText.size() > static_cast<size_t>(limits.lMaxTextUnits)) fuzz::Fail("text over its limit");
  int32_t lPrevious = 0;
  for (const Chapter& chapter : book.aChapters) {
    if (chapter.lOffset < lPrevious || chapter.lOffset > static_cast<int32_t>(book.sText.size())) {
      fuzz::Fail("chapter outside the text or out of order");
    }
    lPrevious = chapter.lOffset;
  }
  return 0;
}
