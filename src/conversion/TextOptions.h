// The two reading options that reshape a sentence before the template runs:
// upper case and narrowing of full-width forms.
#pragma once
#include <string>

namespace ekoto {

// Full Unicode upper-case mapping (root locale): letters of every width,
// ａ→Ａ, ß→SS. Other characters are unchanged.
std::u16string ToUpperCaseText(const std::u16string& text);

// Full-width ASCII forms (U+FF01–FF5E) become ASCII, the ideographic space a
// space, 、。「」・ their half-width forms ､｡｢｣･, and ￠￡￢￣￤￥￦ their narrow
// signs. Katakana, ー and the voicing marks stay full-width: the analyser has no
// readings for half-width katakana. Hiragana and kanji are untouched.
std::u16string NarrowText(const std::u16string& text);

}  // namespace ekoto
