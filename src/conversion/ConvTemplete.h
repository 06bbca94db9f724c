// The conversion template: a user-edited table of replacements that every
// sentence passes through before numerals and kanji are read.
// File format: see TempleteFile.h (one entry per line, "text to find<TAB>replacement",
// with optional "//@" fields the dictionary window writes).
// Not thread-safe to load; Apply may run on several threads once loaded.
#pragma once
#include <string>
#include <string_view>
#include <vector>

#include "conversion/EntryMatcher.h"
#include "conversion/TempleteFile.h"

namespace ekoto {

class IWordBounds;

class CConvTemplete {
 public:
  // Replaces the table with the file's entries (an empty file empties it).
  // Returns false and keeps the table when the file cannot be read.
  bool Load(const std::u16string& path);

  // Replaces the table with the entries of a template text.
  void LoadFromText(const std::u16string& text);

  // Replaces the table with entries as written in a file (see EntryForReading).
  void LoadEntries(std::vector<TempleteEntry> written);

  // Whole-word entries ask bounds (not owned; it must outlive the table)
  // instead of MeCab.
  void SetWordBounds(IWordBounds* bounds) { m_pWordBounds = bounds; }

  // The text after every entry, in table order, replaced all its non-overlapping
  // occurrences, left to right, ignoring case (full case folding). Each entry
  // works on the result of the ones before it. A whole-word entry replaces an
  // occurrence only where it starts and ends at the analyser's word bounds.
  // An entry whose replacements would make the text longer than
  // MaxResultLength(text.size()) is skipped, so entries that feed on each
  // other's output (a → aa on every line) cannot grow a text without end.
  // Only the entries that occur in the text (or in what earlier entries made
  // of it) are tried, found in one pass.
  std::u16string Apply(const std::u16string& text) const;

  // The same result as Apply, trying every entry on the whole text: the
  // straightforward way, for checks of Apply.
  std::u16string ApplyTryingEveryEntry(const std::u16string& text) const;

  // Indices in Entries() of the entries whose text to find occurs in text,
  // ignoring case, sorted, each once.
  std::vector<size_t> EntriesIn(std::u16string_view text) const;

  // Indices in Entries() of the entries with an accent whose replacement
  // occurs in text (exactly, as written), sorted, each once.
  std::vector<size_t> AccentedEntriesIn(std::u16string_view text) const;

  // 16 times textLength plus the length of every replacement once.
  size_t MaxResultLength(size_t textLength) const { return 16 * textLength + m_nReplacementUnits; }

  // Longest sFrom first; entries of equal length in file order. As applied:
  // see EntryForReading.
  const std::vector<TempleteEntry>& Entries() const { return m_entries; }

 private:
  // Case-folded forms of an entry, for matching.
  struct FoldedEntry {
    std::u16string sFrom;
    std::u16string sTo;
    bool bToSameLength;  // sTo folds to as many units as it has
  };

  std::u16string ApplyEntries(const std::u16string& text, bool bEveryEntry) const;

  std::vector<TempleteEntry> m_entries;
  std::vector<FoldedEntry> m_folded;  // parallel to m_entries
  EntryMatcher m_matcher;             // over m_folded's sFrom; key i is entry i
  EntryMatcher m_accentMatcher;       // over the sTo of entries with an accent; key i is entry i
  size_t m_nReplacementUnits = 0;     // sum of the lengths of every sTo
  IWordBounds* m_pWordBounds = nullptr;  // null: MeCab's
};

// The program's one table. Keeps the table when the file cannot be read.
void LoadConvTemplete(const std::u16string& path);

// The program's one table itself; LoadConvTemplete refills it in place.
const CConvTemplete& ConvTempleteTable();

// The program's table applied to text; unchanged while nothing was loaded.
std::u16string ConvTemplete(const std::u16string& text);

}  // namespace ekoto
