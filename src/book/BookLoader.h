// Opening a file the user named as the text to read: the one road for the
// window (open, drop, the command line) and ekoto-say -f. The kind goes by the
// name's extension: .epub books, .html/.xhtml/.htm pages, anything else plain
// text (UTF-8 or CP932). Every kind gives a BookText; nothing here throws.
#pragma once
#include <string>

#include "book/BookStatus.h"
#include "conversion/BookText.h"

namespace ekoto {

enum class BookKind { kPlainText, kHtml, kEpub };

// The kind of the file at sPath, by its extension (any letter case).
BookKind BookKindOfPath(const std::u16string& sPath);

// Plain text files larger than this are not read (an EPUB's own entries are bounded by BookLimits).
inline constexpr int64_t kMaxTextFileBytes = 50LL * 1024 * 1024;

// Reads the file at sPath into retBook (set only when the status is ok).
// kUnreadable for a missing file or anything but a regular file; kTooLarge for
// a plain or HTML file over kMaxTextFileBytes; an EPUB's own failures as ReadEpub gives them.
BookStatus LoadBook(const std::u16string& sPath, BookText& retBook, const BookLimits& limits = {});

// The text of a plain text file as a book: an Aozora Bunko file's missing
// characters filled in and its marked headings as chapters.
BookText BookOfPlainText(std::u16string sText);

}  // namespace ekoto
