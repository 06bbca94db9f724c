// options.dat: the options record and the window's own settings as 23 lines of
// "Key=value" text. Loading leaves anything it cannot read as it was; applying
// the record to the window (fonts, bars, menu checks) is the window's job.
#pragma once
#include <string>

#include "settings/COptions.h"
#include "settings/IOptionsWindow.h"

namespace ekoto {

// Acts on each line of the text in order. Lines end at CR LF or at a bare LF
// (a lone CR stays in the line). Empty lines and comments (text starting with
// "//" once spaces and tabs are deleted) are skipped; other lines are cut at
// their first "=" into a key, compared case-insensitively, and a value, both
// untrimmed. Unknown keys, lines without "=" and numbers that do not parse or
// fit are ignored. A key seen twice takes effect twice: the last one wins.
// Volume, speed and bounds go to the window's setters, in line order.
void LoadOptionsFromText(const std::u16string& text, COptions& options, IOptionsWindow& window);

// The 23 lines of the file, each ending in CR LF, starting with the comment "// ".
std::u16string OptionsText(const COptions& options, IOptionsWindow& window);

// Reads the file at path (CP932, or UTF-8 with or without a BOM) into the
// record and the window. A missing or unreadable file changes nothing.
void LoadOptions(const std::u16string& path, COptions& options, IOptionsWindow& window);

// Replaces the file at path atomically with OptionsText, creating missing
// folders above it. The text goes out as CP932 when every character has a
// CP932 form, else as UTF-8 with a BOM, so no character is lost. Returns true
// iff the file now holds the text; on false the old file is left as it was.
bool SaveOptions(const std::u16string& path, const COptions& options, IOptionsWindow& window);

}  // namespace ekoto
