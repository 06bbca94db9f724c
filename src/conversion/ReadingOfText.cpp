#include "conversion/ReadingOfText.h"

#include "conversion/ConvKanji2Hiragana.h"
#include "conversion/CutLongSentences.h"
#include "conversion/SplitText.h"

namespace ekoto {

std::vector<std::u16string> SentenceReadings(const std::u16string& text, const ReadingOptions& options,
                                             IReverseConverter& converter) {
  std::vector<std::u16string> readings;
  for (const TextSpan& span : CutLongSentences(text, SplitSpansByChars(text, kSentenceMarks))) {
    readings.push_back(
        ConvKanji2Hiragana(ApplyReadingOptions(text.substr(span.lStart, span.lLength), options), converter));
  }
  return readings;
}

std::u16string ReadingOfText(const std::u16string& text, const ReadingOptions& options,
                             IReverseConverter& converter) {
  std::u16string reading;
  for (const std::u16string& sentence : SentenceReadings(text, options, converter)) reading += sentence;
  return reading;
}

}  // namespace ekoto
