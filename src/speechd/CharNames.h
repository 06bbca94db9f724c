// How a single character (CHAR) or a key (KEY) is read: letters, digits and
// punctuation by their Japanese names, kana and kanji as themselves.
#pragma once
#include <string>
#include <string_view>

namespace ekoto {

// The words for one character c (one code point; a surrogate pair counts as one).
std::u16string CharName(std::u16string_view c);
// The words for a speech-dispatcher key name: "a", "space", "kp-5", "shift_a",
// "control_alt_delete". A name not known is read as it is written.
std::u16string KeyName(std::u16string_view key);

}  // namespace ekoto
