#include "engine/SplitSyllables.h"

namespace ekoto {
namespace {

bool IsSmallYa(char16_t c) { return c == u'ゃ' || c == u'ゅ' || c == u'ょ'; }

// The small vowel that a ー after c stands for; ー itself when c is in no row.
// Voiced and half-voiced kana and the small vowels lengthen their vowel too
// (ゲーム, データ, ディー): left as ー they would be read as a pause.
char16_t LongVowelAfter(char16_t c) {
  static constexpr std::u16string_view kRows[] = {
      u"あかさたなはまやらわゃがざだばぱぁゎ", u"いきしちにひみりぎじぢびぴぃ",
      u"うくすつぬふむゆるんゅぐずづぶぷぅゔ", u"えけせてねへめれげぜでべぺぇ",
      u"おこそとのほもよろをょごぞどぼぽぉ"};
  static constexpr char16_t kSmall[] = {u'ぁ', u'ぃ', u'ぅ', u'ぇ', u'ぉ'};
  for (size_t row = 0; row < std::size(kRows); ++row) {
    if (kRows[row].find(c) != std::u16string_view::npos) return kSmall[row];
  }
  return u'ー';
}

}  // namespace

std::vector<std::u16string> SplitSyllables(std::u16string_view s) {
  std::vector<std::u16string> units;
  if (s.empty()) {
    units.emplace_back();
    return units;
  }
  units.reserve(s.size());
  for (size_t i = 0; i < s.size(); ++i) {
    char16_t c = s[i];
    // The mark looks at the character before it in the input, even when that
    // character was taken into the previous unit (ぎゅー: the ゅ decides).
    if (c == u'ー' && i > 0) c = LongVowelAfter(s[i - 1]);
    std::u16string unit(1, c);
    if (i + 1 < s.size() && IsSmallYa(s[i + 1])) {
      unit += s[i + 1];
      ++i;
    }
    units.push_back(std::move(unit));
  }
  return units;
}

}  // namespace ekoto
