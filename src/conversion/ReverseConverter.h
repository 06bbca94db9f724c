// The reverse-conversion provider: gives the hiragana reading of a written piece
// of text. The MeCab provider is the program's; tests use fakes.
#pragma once
#include <string>

namespace ekoto {

class IReverseConverter {
 public:
  virtual ~IReverseConverter() = default;
  // Returns true and the reading of piece (hiragana; characters without a reading
  // pass through), or false when the piece cannot be converted. Never throws.
  virtual bool ReverseConvert(const std::u16string& piece, std::u16string& reading) = 0;
};

}  // namespace ekoto
