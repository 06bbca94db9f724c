#include "conversion/ConvKanji2Hiragana.h"

#include "conversion/SplitText.h"

namespace ekoto {

std::u16string ConvKanji2Hiragana(const std::u16string& sentence, IReverseConverter& converter) {
  std::u16string sResult;
  if (sentence.empty()) return sResult;
  std::u16string sPiece;
  std::u16string sReading;
  for (const TextSpan& span : SplitSpansByChars(sentence, kSentenceMarks)) {
    sPiece.assign(sentence, static_cast<size_t>(span.lStart), static_cast<size_t>(span.lLength));
    sReading.clear();
    if (converter.ReverseConvert(sPiece, sReading)) sResult += sReading;
  }
  return sResult;
}

}  // namespace ekoto
