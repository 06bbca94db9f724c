// What a SPEAK message says: the SSML the server sends, reduced to the text to
// read and the index marks to report on the way.
#pragma once
#include <string>
#include <string_view>
#include <vector>

namespace ekoto {

struct SpeechMark {
  size_t nOffset = 0;  // in sText (UTF-16 units): the mark comes before the text from here
  std::string sName;   // as the client named it, in UTF-8
};

struct SpeechText {
  std::u16string sText;
  std::vector<SpeechMark> marks;  // in text order
};

// Strips the tags, keeps the text (entities decoded, invalid UTF-8 as U+FFFD)
// and records every <mark name="…"/>. Text that is not SSML is read as it is
// apart from its entities; an unclosed tag is dropped with the rest of the text.
SpeechText ParseSsml(std::string_view ssml);

}  // namespace ekoto
