// The hiragana a text is read as: sentence by sentence, through the reading
// options and the reverse conversion, exactly as the reader converts it.
#pragma once
#include <string>
#include <vector>

#include "conversion/AccentPlan.h"
#include "conversion/ConversionChain.h"
#include "conversion/ReverseConverter.h"

namespace ekoto {

// The reading of every sentence (as the reader cuts them), in order.
std::vector<std::u16string> SentenceReadings(const std::u16string& text, const ReadingOptions& options,
                                             IReverseConverter& converter);

// The sentence readings joined.
std::u16string ReadingOfText(const std::u16string& text, const ReadingOptions& options,
                             IReverseConverter& converter);

// The accent plan of the text, sentence by sentence as the reader cuts them,
// each sentence planned on the reading it is said with. A sentence the source
// cannot plan adds nothing.
AccentPlan AccentOfText(const std::u16string& text, const ReadingOptions& options, IReverseConverter& converter,
                        IAccentSource& accent);

}  // namespace ekoto
