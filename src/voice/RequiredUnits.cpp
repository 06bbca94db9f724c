#include "voice/RequiredUnits.h"

#include <string_view>

namespace ekoto {

std::vector<std::u16string> RequiredUnits() {
  // Basic kana (46, with を and ん), voiced and half-voiced kana, and the small kana
  // that stand alone: ぁぃぅぇぉ continue a vowel (ー after plain kana is read as one,
  // and loan words give ふぁ, てぃ), っ is the held consonant. Hiragana ゔ has no
  // CP932 code, so voices hold it as katakana ヴ and playback looks it up so.
  static constexpr std::u16string_view kSingles =
      u"あいうえおかきくけこさしすせそたちつてとなにぬねのはひふへほまみむめもやゆよらりるれろわをん"
      u"がぎぐげござじずぜぞだぢづでどばびぶべぼぱぴぷぺぽ"
      u"ぁぃぅぇぉっヴ";
  // Kana followed by ゃゅょ: the regular combinations, the ぢ row (dictionary
  // readings still spell some words with it) and でゅ (デュエット and other loan
  // words). Rarer ones (てゅ, ふゅ, でゃ...) are left to the voice's author.
  static constexpr std::u16string_view kYoonHeads = u"きぎしじちぢにひびぴみり";
  static constexpr std::u16string_view kSmallY = u"ゃゅょ";
  // Marks that survive the reading as units, and ー where no vowel comes before
  // it to lengthen (after っ, after another ー).
  static constexpr std::u16string_view kMarks = u"、。，．､｡,.「」・！？!?ー";

  std::vector<std::u16string> units;
  for (char16_t c : kSingles) units.emplace_back(1, c);
  for (char16_t head : kYoonHeads) {
    for (char16_t y : kSmallY) units.push_back(std::u16string{head, y});
  }
  units.push_back(u"でゅ");
  for (char16_t c = u'A'; c <= u'Z'; ++c) units.emplace_back(1, c);
  for (char16_t c : kMarks) units.emplace_back(1, c);
  return units;
}

}  // namespace ekoto
