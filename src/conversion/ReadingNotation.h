// The notation of Japanese books in plain text, as Aozora Bunko and web novels
// write it: ruby (｜base《reading》, base《reading》), emphasis (《《text》》) and
// editors' notes (［＃…］, ※［＃…］ for a character the character set lacks).
// The text box shows the notation; the reading says the ruby instead of its
// base and leaves the notes out. Sentences are cut around, never inside, it.
#pragma once
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace ekoto {

// One piece of notation in a text, in UTF-16 positions (0-based, end exclusive).
struct NotationElement {
  enum class Kind { kRuby, kEmphasis, kNote, kMissingCharacter };
  Kind kind = Kind::kNote;
  int32_t lStart = 0;      // the base's first character for ruby, else the opening mark
  int32_t lEnd = 0;        // after the closing mark
  int32_t lTextStart = 0;  // what is read: the ruby or the emphasised text; the note's inside
  int32_t lTextEnd = 0;
};

// The notation element whose opening mark (｜, 《, ［＃ or ※［＃) is at text[i],
// if any. A ruby without ｜ takes as base the run before 《 of one kind of
// characters (kanji with 々 and ヶ, hiragana, katakana, Latin letters or digits),
// starting no earlier than lFloor; a character given by a ※［＃…］ note counts
// as a kanji, also when that note is just before lFloor. There is no ruby when
// the run is empty. An element never holds a line break, and is bounded in length.
std::optional<NotationElement> NotationAt(std::u16string_view text, size_t i, size_t lFloor = 0);

// True iff c can open a notation element; a cheap filter before NotationAt.
inline bool MayOpenNotation(char16_t c) { return c == u'｜' || c == u'《' || c == u'［' || c == u'※'; }

// Where to cut text instead of before position lCut so that no element is cut
// in two: lCut itself when no element starting at lFrom or later covers it,
// else the start of that element, or its end when it starts at lFrom.
int32_t CutOutsideNotation(std::u16string_view text, int32_t lFrom, int32_t lCut);

// Where a piece of text[lFrom, lEnd) is cut so that what is said of it up to
// the cut is nSaid units long, as the same text written out would be cut; a
// cut that would fall inside what an element says moves before the element
// (after it when it opens the piece). lEnd when the piece says less.
int32_t CutAtSaidLength(std::u16string_view text, int32_t lFrom, int32_t lEnd, int32_t nSaid);

// What is said for shown: every ruby instead of its base, emphasis without its
// marks, notes left out, a missing character's note as the character when the
// note gives its code. Text without notation comes back unchanged.
std::u16string SpokenTextOf(std::u16string_view shown);

// The character a ※［＃…］ note stands for, from its JIS X 0213 plane-row-cell
// (第3水準1-85-25, 1-13-21) or its Unicode value (U+5F3B); empty when the note
// gives neither or the code maps to nothing.
std::u16string MissingCharacterOf(std::u16string_view note);

}  // namespace ekoto
