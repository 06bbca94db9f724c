// Readings of words the MeCab dictionary does not know (rare kanji, variant
// spellings), from KAKASI's kanji dictionary (Debian's libkakasi2, kakasi-dic).
// KAKASI keeps global state, so every object shares one guarded instance.
#pragma once
#include <string>
#include <string_view>

#include "conversion/PronunciationRules.h"

namespace ekoto {

class KakasiReader final : public IUnknownWordReader {
 public:
  // Returns true and the hiragana of word when KAKASI reads every kanji in it;
  // false when it cannot (no dictionary, a kanji it does not know).
  bool Read(std::u16string_view word, std::u16string& hiragana) override;
};

}  // namespace ekoto
