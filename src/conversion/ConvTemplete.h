// The conversion template: a user-edited table of replacements that every
// sentence passes through before numerals and kanji are read.
// File format: one entry per line, "text to find<TAB>replacement"; lines end at
// CR LF or LF; empty lines, lines starting with "//" (after spaces) and lines
// without a tab are skipped. Not thread-safe; the program uses it from one thread.
#pragma once
#include <string>
#include <vector>

namespace ekoto {

struct TempleteEntry {
  std::u16string sFrom;  // text to find, taken exactly (spaces included)
  std::u16string sTo;    // replacement, tabs removed
};

class CConvTemplete {
 public:
  // Replaces the table with the file's entries (an empty file empties it).
  // Returns false and keeps the table when the file cannot be read.
  bool Load(const std::u16string& path);

  // Replaces the table with the entries of a template text.
  void LoadFromText(const std::u16string& text);

  // The text after every entry, in table order, replaced all its non-overlapping
  // occurrences, left to right, ignoring case (full case folding). Each entry
  // works on the result of the ones before it.
  // An entry whose replacements would make the text longer than
  // MaxResultLength(text.size()) is skipped, so entries that feed on each
  // other's output (a → aa on every line) cannot grow a text without end.
  std::u16string Apply(const std::u16string& text) const;

  // 16 times textLength plus the length of every replacement once.
  size_t MaxResultLength(size_t textLength) const { return 16 * textLength + m_nReplacementUnits; }

  // Longest sFrom first; entries of equal length in file order.
  const std::vector<TempleteEntry>& Entries() const { return m_entries; }

 private:
  // Case-folded forms of an entry, for matching.
  struct FoldedEntry {
    std::u16string sFrom;
    std::u16string sTo;
    bool bToSameLength;  // sTo folds to as many units as it has
  };

  std::vector<TempleteEntry> m_entries;
  std::vector<FoldedEntry> m_folded;  // parallel to m_entries
  size_t m_nReplacementUnits = 0;     // sum of the lengths of every sTo
};

// The program's one table. Keeps the table when the file cannot be read.
void LoadConvTemplete(const std::u16string& path);

// The program's table applied to text; unchanged while nothing was loaded.
std::u16string ConvTemplete(const std::u16string& text);

}  // namespace ekoto
