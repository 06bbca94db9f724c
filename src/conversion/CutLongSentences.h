// Keeps every sentence the reader converts at a bounded length. Pieces that end
// with a sentence mark are at most 50 characters already; the text after the
// last mark is not, and a paste without marks would be converted whole before
// its first unit could play.
#pragma once
#include <cstdint>
#include <string_view>
#include <vector>

#include "conversion/SplitText.h"

namespace ekoto {

// The longest sentence the reader converts at once, in UTF-16 units.
inline constexpr int32_t kMaxSentenceLength = 1000;

// Cuts every span longer than kMaxSentenceLength: after the last line break in
// its second half, else after the last space there, else at the limit (never
// inside a surrogate pair, a run of digits that fits, ruby or a note). The spans still cover
// text exactly, in order.
std::vector<TextSpan> CutLongSentences(std::u16string_view text, std::vector<TextSpan> spans);

}  // namespace ekoto
