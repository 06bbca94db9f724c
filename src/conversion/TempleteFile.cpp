#include "conversion/TempleteFile.h"

#include "conversion/PronunciationRules.h"

namespace ekoto {
namespace {

constexpr std::u16string_view kMetaPrefix = u"//@";
constexpr std::u16string_view kAccentMarks = u"[]#^$_?";

bool IsMetaLine(std::u16string_view line) { return line.starts_with(kMetaPrefix); }

// Fields of a "//@" line: tab-separated after the prefix.
void ReadMetaFields(std::u16string_view line, TempleteEntry& entry) {
  entry.bDictionary = true;
  std::u16string_view rest = line.substr(kMetaPrefix.size());
  while (!rest.empty()) {
    const size_t nTab = rest.find(u'\t');
    std::u16string_view field = rest.substr(0, nTab);
    rest = nTab == std::u16string_view::npos ? std::u16string_view() : rest.substr(nTab + 1);
    while (field.starts_with(u' ')) field.remove_prefix(1);
    while (field.ends_with(u' ')) field.remove_suffix(1);
    if (field == u"word") entry.bWholeWord = true;
    else if (field.starts_with(u"accent=")) entry.sAccent = field.substr(7);
    else if (field.starts_with(u"note=")) entry.sNote = field.substr(5);
  }
}

// Parses one line as an entry; false for comments, empty lines and lines without a tab.
bool ReadEntryLine(std::u16string_view line, TempleteEntry& entry) {
  const size_t nFirst = line.find_first_not_of(u' ');
  if (nFirst == std::u16string_view::npos) return false;  // empty, or spaces only (no tab)
  if (line.substr(nFirst).starts_with(u"//")) return false;
  const size_t nTab = line.find(u'\t');
  // A line without a tab has no meaning; an empty text to find would change nothing.
  if (nTab == std::u16string_view::npos || nTab == 0) return false;
  entry.sFrom = line.substr(0, nTab);
  entry.sTo.clear();
  for (const char16_t c : line.substr(nTab + 1)) {
    if (c != u'\t') entry.sTo += c;
  }
  return true;
}

// A field value on one line: no tabs, CR or LF.
std::u16string OneLine(std::u16string_view s) {
  std::u16string out;
  for (const char16_t c : s) {
    if (c != u'\t' && c != u'\r' && c != u'\n') out += c;
  }
  return out;
}

}  // namespace

namespace {

// Calls f(line, end) for every line of text, its end ("\r\n", "\n" or "") apart.
template <class F>
void ForEachLine(std::u16string_view text, F&& f) {
  size_t i = 0;
  while (i < text.size()) {
    size_t nEnd = text.find(u'\n', i);
    const size_t nNext = nEnd == std::u16string_view::npos ? text.size() : nEnd + 1;
    if (nEnd == std::u16string_view::npos) nEnd = text.size();
    else if (nEnd > i && text[nEnd - 1] == u'\r') --nEnd;  // CR LF
    f(text.substr(i, nEnd - i), text.substr(nEnd, nNext - nEnd));
    i = nNext;
  }
}

}  // namespace

TempleteLines ParseTempleteLines(std::u16string_view text) {
  TempleteLines file;
  std::u16string_view previous;
  ForEachLine(text, [&](std::u16string_view line, std::u16string_view end) {
    if (file.lines.empty()) file.bCrLf = end.size() == 2;
    TempleteLines::Entry e{{}, file.lines.size(), IsMetaLine(previous)};
    if (ReadEntryLine(line, e.entry)) {
      if (e.bMetaLine) ReadMetaFields(previous, e.entry);
      file.entries.push_back(std::move(e));
    }
    file.lines.emplace_back(line);
    file.ends.emplace_back(end);
    previous = line;
  });
  return file;
}

std::vector<TempleteEntry> ParseTempleteEntries(std::u16string_view text) {
  std::vector<TempleteEntry> entries;
  std::u16string_view previous;
  TempleteEntry entry;
  ForEachLine(text, [&](std::u16string_view line, std::u16string_view) {
    if (ReadEntryLine(line, entry)) {
      if (IsMetaLine(previous)) ReadMetaFields(previous, entry);
      entries.push_back(std::move(entry));
      entry = {};
    }
    previous = line;
  });
  return entries;
}

std::u16string JoinTempleteLines(const TempleteLines& file) {
  std::u16string text;
  for (size_t n = 0; n < file.lines.size(); ++n) {
    text += file.lines[n];
    // A line that was last and gets followed needs an end of its own.
    text += file.ends[n].empty() && n + 1 < file.lines.size() ? file.NewLineEnd() : file.ends[n];
  }
  return text;
}

std::vector<std::u16string> TempleteEntryLines(const TempleteEntry& entry) {
  std::vector<std::u16string> lines;
  if (entry.bDictionary) {
    std::u16string meta(kMetaPrefix);
    if (entry.bWholeWord) meta += u"\tword";
    if (!entry.sAccent.empty()) meta += u"\taccent=" + OneLine(entry.sAccent);
    if (!entry.sNote.empty()) meta += u"\tnote=" + OneLine(entry.sNote);
    lines.push_back(std::move(meta));
  }
  lines.push_back(OneLine(entry.sFrom) + u'\t' + OneLine(entry.sTo));
  return lines;
}

std::u16string StripAccentMarks(std::u16string_view reading) {
  std::u16string out;
  for (const char16_t c : reading) {
    if (kAccentMarks.find(c) == std::u16string_view::npos) out += c;
  }
  return out;
}

bool HasAccentMarks(std::u16string_view reading) {
  return reading.find_first_of(kAccentMarks) != std::u16string_view::npos;
}

TempleteEntry EntryForReading(const TempleteEntry& written) {
  if (!written.bDictionary) return written;
  TempleteEntry entry = written;
  if (HasAccentMarks(entry.sTo)) entry.sAccent = entry.sTo;
  entry.sTo = StripAccentMarks(entry.sTo);
  KatakanaToHiragana(entry.sTo);
  std::u16string sAccentPlain = StripAccentMarks(entry.sAccent);
  KatakanaToHiragana(sAccentPlain);
  if (sAccentPlain != entry.sTo) entry.sAccent.clear();
  return entry;
}

TempleteEntry DictionaryEntry(std::u16string_view text, std::u16string_view reading, std::u16string_view note,
                              bool bWholeWord) {
  TempleteEntry entry;
  entry.sFrom = OneLine(text);
  entry.sTo = StripAccentMarks(OneLine(reading));
  if (HasAccentMarks(reading)) entry.sAccent = OneLine(reading);
  entry.sNote = OneLine(note);
  entry.bWholeWord = bWholeWord;
  entry.bDictionary = true;
  return entry;
}

std::u16string WrittenReading(const TempleteEntry& entry) {
  if (!entry.sAccent.empty() && StripAccentMarks(entry.sAccent) == entry.sTo) return entry.sAccent;
  return entry.sTo;
}

}  // namespace ekoto
