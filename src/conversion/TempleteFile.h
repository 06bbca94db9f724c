// The lines of a conversion template file and the entries they hold.
//
// Plain entries are "text to find<TAB>replacement". An entry the dictionary
// window keeps carries its other fields on a line right before it that older
// readers of the template take for a comment:
//     //@<TAB>word<TAB>accent=み[たか<TAB>note=東京の市
//     三鷹<TAB>みたか
// "word": matches only as a whole word of the analyser; "accent=": the reading
// with accent marks ([ ] # ^ $ _ ?); "note=": the user's comment. A field may be
// missing; unknown fields are ignored. The entry line holds the reading without
// marks, so that an older reader reads it right.
#pragma once
#include <string>
#include <string_view>
#include <vector>

namespace ekoto {

struct TempleteEntry {
  std::u16string sFrom;       // text to find, taken exactly (spaces included)
  std::u16string sTo;         // replacement, tabs removed
  std::u16string sAccent;     // the reading with accent marks; "" when it has none
  std::u16string sNote;       // the user's comment
  bool bWholeWord = false;    // only where the analyser finds a word of its own
  bool bDictionary = false;   // written with a "//@" line (the window's entries)

  bool operator==(const TempleteEntry&) const = default;
};

// A template text cut into lines, with the entries found in them.
struct TempleteLines {
  struct Entry {
    TempleteEntry entry;  // sTo as written on the line
    size_t nLine;         // index of the entry's line in lines
    bool bMetaLine;       // lines[nLine - 1] holds its "//@" fields
  };
  std::vector<std::u16string> lines;  // without their ends
  std::vector<std::u16string> ends;   // parallel to lines: "\r\n", "\n", or "" for a last line without one
  std::vector<Entry> entries;         // in file order
  bool bCrLf = false;                 // the first line ends with CR LF: new lines do too

  // The end a new line gets.
  std::u16string_view NewLineEnd() const { return bCrLf ? u"\r\n" : u"\n"; }
};

// Lines end at CR LF or LF; a lone CR belongs to the line. Empty lines, lines
// starting with "//" (after spaces) and lines without a tab make no entry, nor
// does an empty text to find. A "//@" line applies to the entry right after it.
TempleteLines ParseTempleteLines(std::u16string_view text);

// Only the entries of ParseTempleteLines, as written.
std::vector<TempleteEntry> ParseTempleteEntries(std::u16string_view text);

// The lines joined again: ParseTempleteLines's input, byte for byte.
std::u16string JoinTempleteLines(const TempleteLines& file);

// The one or two lines that write entry: a "//@" line for dictionary entries,
// then the entry with sTo. Fields lose their tabs and line ends.
std::vector<std::u16string> TempleteEntryLines(const TempleteEntry& entry);

// reading without the accent marks [ ] # ^ $ _ ?.
std::u16string StripAccentMarks(std::u16string_view reading);

// True iff reading holds an accent mark.
bool HasAccentMarks(std::u16string_view reading);

// The entry as the reader applies it. Dictionary entries: marks taken out of
// the reading (kept in sAccent) and katakana made hiragana; an accent that no
// longer spells the reading (edited by hand) is dropped. Plain entries as they are.
TempleteEntry EntryForReading(const TempleteEntry& written);

// A dictionary entry from what the user typed: the reading may carry accent
// marks (kept in sAccent, taken out of sTo) and be in katakana.
TempleteEntry DictionaryEntry(std::u16string_view text, std::u16string_view reading, std::u16string_view note,
                              bool bWholeWord);

// The reading as the user typed it: with its accent marks when it has them.
std::u16string WrittenReading(const TempleteEntry& entry);

}  // namespace ekoto
