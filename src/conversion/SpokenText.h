// What a reader says of a shown text: the sentences it goes through and the
// words it says for each. The shown text keeps its notation and every offset
// refers to it; what is said is made one sentence at a time, at play time.
#pragma once
#include <string>
#include <string_view>
#include <vector>

#include "conversion/SplitText.h"

namespace ekoto {

// The sentences of text that are read, in order: cut at the sentence marks
// (never inside ruby or notes) and to a bounded length, leaving out the parts
// of an Aozora Bunko file that are not read (AozoraUnreadSpans). Empty when
// nothing is read. Cheap scanning only: this runs over a whole text at play.
std::vector<TextSpan> ReadSentenceSpans(std::u16string_view text);

// What is said for sentence of text: its ruby instead of the bases, without
// notes (SpokenTextOf), respelled in today's kana when the paragraph holding it
// is in the old usage (IsOldKanaParagraph, ModernKanaSpelling). A sentence
// without notation in a modern paragraph is said as it is written.
std::u16string SaidSentence(std::u16string_view text, TextSpan sentence);

}  // namespace ekoto
