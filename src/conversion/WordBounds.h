// Where the analyser's words begin and end, for template entries that must
// match whole words only. The program asks MeCab; tests give fakes.
#pragma once
#include <string_view>

namespace ekoto {

class IWordBounds {
 public:
  virtual ~IWordBounds() = default;
  // Returns true iff neither nStart nor nEnd (0 <= nStart < nEnd <= text's
  // length) lies inside a word the analyser finds in text.
  virtual bool IsWholeWords(std::u16string_view text, size_t nStart, size_t nEnd) = 0;
};

// MeCab's words (the IPA dictionary), analysed around the match. Every match
// counts when the dictionary cannot be loaded. Safe to call from any thread.
IWordBounds& MecabWordBounds();

}  // namespace ekoto
