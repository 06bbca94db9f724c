// Cuts the hiragana reading of a sentence into syllable units, the keys under
// which samples are looked up in the voice source file.
#pragma once
#include <string>
#include <string_view>
#include <vector>

namespace ekoto {

// One unit per character, except that a following ゃ/ゅ/ょ joins the character
// before it, and ー after a kana becomes the small vowel that continues it.
// Never empty: an empty input gives one empty unit.
std::vector<std::u16string> SplitSyllables(std::u16string_view s);

}  // namespace ekoto
