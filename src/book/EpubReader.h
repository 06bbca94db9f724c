// An EPUB book as one text: container.xml names the package document, whose
// spine gives the reading order of the XHTML documents; their text is joined
// (see MarkupText.h) and the table of contents (the EPUB 3 nav document, else
// the EPUB 2 toc.ncx, else the documents' headings) becomes the chapters, each
// at the place in the joined text where its target document or fragment begins.
// A damaged or hostile archive gives a status and no text.
#pragma once
#include <string>
#include <string_view>

#include "book/BookStatus.h"
#include "conversion/BookText.h"

namespace ekoto {

class ZipArchive;

// The book in archive; retBook is set only when the status is ok.
BookStatus ReadEpub(ZipArchive& archive, BookText& retBook, const BookLimits& limits);
// The same for an archive held in memory (tests, fuzzing).
BookStatus ReadEpubBytes(std::string_view bytes, BookText& retBook, const BookLimits& limits = {});

}  // namespace ekoto
