#include "book/BookLoader.h"

#include <sys/stat.h>

#include "book/EpubReader.h"
#include "book/MarkupText.h"
#include "book/ZipArchive.h"
#include "conversion/AozoraText.h"
#include "util/CFile.h"
#include "util/Cp932.h"
#include "util/RegularFile.h"
#include "util/Utf.h"

namespace ekoto {

BookKind BookKindOfPath(const std::u16string& sPath) {
  const std::optional<std::u16string> ext = CFile().GetExtOnly(sPath);
  if (!ext || *ext == CFile().GetFileNameOnly(sPath)) return BookKind::kPlainText;
  std::u16string sLower = *ext;
  for (char16_t& c : sLower) {
    if (c >= u'A' && c <= u'Z') c = static_cast<char16_t>(c + 32);
  }
  if (sLower == u"epub") return BookKind::kEpub;
  if (sLower == u"html" || sLower == u"htm" || sLower == u"xhtml") return BookKind::kHtml;
  return BookKind::kPlainText;
}

BookText BookOfPlainText(std::u16string sText) { return PrepareAozoraText(std::move(sText)); }

BookStatus LoadBook(const std::u16string& sPath, BookText& retBook, const BookLimits& limits) {
  const std::string sFile = Utf16ToUtf8(sPath);
  const std::u16string sName = CFile().GetFileNameOnly(sPath);
  if (!IsRegularFile(sFile)) return BookStatus::Error(BookError::kUnreadable, u"cannot read " + sName);
  const BookKind kind = BookKindOfPath(sPath);
  if (kind == BookKind::kEpub) {
    ZipArchive archive(limits);
    BookStatus status = archive.OpenFile(sFile);
    if (status.ok()) status = ReadEpub(archive, retBook, limits);
    if (!status.ok()) status.sMessage = sName + u": " + status.sMessage;
    return status;
  }
  struct stat info {};
  if (stat(sFile.c_str(), &info) == 0 && info.st_size > kMaxTextFileBytes) {
    return BookStatus::Error(BookError::kTooLarge, sName + u" is larger than 50 MB");
  }
  std::vector<uint8_t> bytes;
  if (!CFile().ReadFileForBinary(sPath, bytes)) {
    return BookStatus::Error(BookError::kUnreadable, u"cannot read " + sName);
  }
  const std::string_view view(reinterpret_cast<const char*>(bytes.data()), bytes.size());
  if (kind == BookKind::kHtml) {
    retBook = BookOfHtml(view);
    return BookStatus::Ok();
  }
  // Plain text: where Aozora Bunko notation becomes headings and chapters.
  retBook = BookOfPlainText(DecodeTextBytes(view));
  return BookStatus::Ok();
}

}  // namespace ekoto
