// Morae, the beats of a Japanese reading: the unit that pitch accent counts.
#pragma once
#include <string>
#include <string_view>
#include <vector>

namespace ekoto {

// True iff c is a kana that joins the kana before it into one mora (ゃ ゅ ょ ぁ
// ぃ ぅ ぇ ぉ ゎ and their katakana).
bool IsJoiningSmallKana(char16_t c);

// True iff c is hiragana or katakana (ー and っ included), the letters a mora is
// spelled with.
bool IsKanaLetter(char16_t c);

// The morae of a kana reading, in order: each kana with the small kana that
// follow it; っ, ん and ー are morae of their own. Anything that is not kana is
// left out.
std::vector<std::u16string> SplitMorae(std::u16string_view kana);

// True iff the two morae may be said alike: equal, or a ー against a vowel kana
// (the long vowel written out: とー and とう, けー and けい).
bool SoundsAlike(std::u16string_view mora, std::u16string_view other);

}  // namespace ekoto
