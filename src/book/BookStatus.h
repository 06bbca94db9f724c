// How reading a book file went, and the bounds that keep a hostile file from
// taking the machine's memory or time. Errors are values: nothing here throws.
#pragma once
#include <cstdint>
#include <string>

namespace ekoto {

enum class BookError {
  kNone,
  kUnreadable,    // missing, not a regular file, or a read failed
  kTooLarge,      // over one of the BookLimits
  kNotAnArchive,  // an .epub that is no zip archive
  kDamaged,       // a file the book needs is missing, broken or not well-formed
  kUnsafePath,    // a name that would leave the archive (../, an absolute path)
};

struct BookStatus {
  BookError error = BookError::kNone;
  std::u16string sMessage;  // what went wrong and in which file; "" when ok

  bool ok() const { return error == BookError::kNone; }
  static BookStatus Ok() { return {}; }
  static BookStatus Error(BookError error, std::u16string sMessage) { return {error, std::move(sMessage)}; }
};

struct BookLimits {
  // Uncompressed bytes of one archive entry, and of all entries read together:
  // counted while inflating, whatever the archive's headers claim.
  int64_t lMaxEntryBytes = 64LL * 1024 * 1024;
  int64_t lMaxTotalBytes = 200LL * 1024 * 1024;
  // Documents in the reading order, and UTF-16 units of the text.
  int32_t nMaxDocuments = 10000;
  int32_t lMaxTextUnits = 64 * 1024 * 1024;
};

}  // namespace ekoto
