// Plain word lists for sharing entries: one word a line, text, reading and
// comment separated by tabs (TSV) or commas (CSV, fields in double quotes
// where needed), UTF-8 or CP932. A first line whose reading is "読み" or
// "reading" is a header.
#pragma once
#include <string>
#include <string_view>
#include <vector>

#include "conversion/TempleteFile.h"

namespace ekoto {

// Limits on what an import takes in, so that a hostile list ends quickly.
inline constexpr size_t kMaxWordListBytes = 64 * 1024 * 1024;
inline constexpr size_t kMaxWordListEntries = 100000;
inline constexpr size_t kMaxWordListLine = 4096;  // UTF-16 units

struct WordListRead {
  std::vector<TempleteEntry> entries;  // dictionary entries (DictionaryEntry)
  size_t nSkipped = 0;                 // lines without a text and a reading, or too long
  std::u16string sError;               // set when nothing was taken: why
};

// The list's entries; sError for binary data (a NUL byte), a list over
// kMaxWordListBytes or over kMaxWordListEntries entries.
WordListRead ReadWordList(std::string_view bytes);

enum class WordListFormat { kTsvUtf8, kCsvUtf8, kCsvCp932 };

// The entries as a list with a header line; false when CP932 was asked for and
// a character has no CP932 form.
bool WriteWordList(const std::vector<TempleteEntry>& entries, WordListFormat format, std::string& bytes);

}  // namespace ekoto
