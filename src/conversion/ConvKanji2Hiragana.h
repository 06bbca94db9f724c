// Kanji-to-hiragana conversion of one sentence: the sentence is cut at the
// sentence marks and every piece goes through the reverse converter.
#pragma once
#include <string>

#include "conversion/ReverseConverter.h"

namespace ekoto {

// Returns the readings of the pieces of sentence, joined in order. A piece the
// converter cannot convert is left out; an empty sentence gives an empty result
// without asking the converter.
std::u16string ConvKanji2Hiragana(const std::u16string& sentence, IReverseConverter& converter);

}  // namespace ekoto
