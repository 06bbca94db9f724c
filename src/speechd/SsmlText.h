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

// Reads the message with libxml2: keeps the text (entities decoded, invalid
// UTF-8 as U+FFFD), records every <mark name="…"/> that has a name, drops
// comments and the other tags, and ends a sentence with "。" between
// paragraphs, sentences and breaks (<p>, <s>, <break/>) where the text does
// not end one already. A message without tags that is no XML (a lone "&") is
// read as it is; a broken document as far as libxml2's recovery reads it.
SpeechText ParseSsml(std::string_view ssml);

// What a message says, for telling whether the server has sent a message
// again: its text without markup, and without the markup in that text, since
// the server sends a held message back escaped as text.
std::u16string SaidText(std::string_view ssml);

}  // namespace ekoto
