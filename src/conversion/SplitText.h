// Cutting text into sentences after mark characters, and the small helpers the
// cutting is defined with. The reader cuts the whole text; the conversion cuts
// each sentence again into the pieces it hands to the reverse converter.
#pragma once
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace ekoto {

// The marks a sentence ends with: , . ､ ｡ ， ． 、 。
inline constexpr std::u16string_view kSentenceMarks = u",.､｡，．、。";

// A piece ending with a mark is cut into pieces of this many code units when longer.
inline constexpr int32_t kMaxPieceLength = 50;

// A stretch of a text, in UTF-16 code units from the start (0-based).
struct TextSpan {
  int32_t lStart;
  int32_t lLength;
};

// Cuts text after every occurrence of any character of marks, except a decimal
// point or a comma between digit groups of three inside a number. A piece that ends
// with a mark and is longer than kMaxPieceLength is cut into pieces of that length;
// the rest after the last mark is never cut and is always the last span, empty
// when the text ends with a mark. Marks inside ruby and editors' notes (see
// ReadingNotation.h) cut nothing, and in a piece with notation the length is
// that of what is said (CutAtSaidLength). The spans cover text exactly, in
// order; the result is never empty. One pass over text. text must be shorter than 2^31 units.
std::vector<TextSpan> SplitSpansByChars(std::u16string_view text, std::u16string_view marks);

// SplitSpansByChars with the pieces copied out.
std::vector<std::u16string> SplitByChars(std::u16string_view text, std::u16string_view marks);

// Pieces of n code units from the start of s, the last one holding the remaining
// 1 to n units. Empty when s is empty or n < 1.
std::vector<std::u16string> SplitByLength(std::u16string_view s, int32_t n);

// Replaces every entry <= 0 (a mark not found) by INT32_MAX, then returns the
// index of the smallest entry, the lowest index on ties; -1 for an empty list.
int32_t IndexOfNearest(std::vector<int32_t>& positions);

}  // namespace ekoto
