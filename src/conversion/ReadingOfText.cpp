#include "conversion/ReadingOfText.h"

#include "conversion/ConvKanji2Hiragana.h"
#include "conversion/SpokenText.h"

#include <iterator>

namespace ekoto {

std::vector<std::u16string> SentenceReadings(const std::u16string& text, const ReadingOptions& options,
                                             IReverseConverter& converter) {
  std::vector<std::u16string> readings;
  for (const TextSpan& span : ReadSentenceSpans(text)) {
    readings.push_back(ConvKanji2Hiragana(ApplyReadingOptions(SaidSentence(text, span), options), converter));
  }
  return readings;
}

std::u16string ReadingOfText(const std::u16string& text, const ReadingOptions& options,
                             IReverseConverter& converter) {
  std::u16string reading;
  for (const std::u16string& sentence : SentenceReadings(text, options, converter)) reading += sentence;
  return reading;
}

AccentPlan AccentOfText(const std::u16string& text, const ReadingOptions& options, IReverseConverter& converter,
                        IAccentSource& accent) {
  AccentPlan plan;
  for (const TextSpan& span : ReadSentenceSpans(text)) {
    const std::u16string written = SaidSentence(text, span);
    const std::u16string sentence = ApplyReadingOptions(written, options);
    AccentPlan sentencePlan = accent.PlanAccent(written, sentence, ConvKanji2Hiragana(sentence, converter));
    plan.insert(plan.end(), std::make_move_iterator(sentencePlan.begin()), std::make_move_iterator(sentencePlan.end()));
  }
  return plan;
}

}  // namespace ekoto
