#include "conversion/Morae.h"

namespace ekoto {
namespace {

bool IsVowelKana(std::u16string_view mora) {
  return mora.size() == 1 && std::u16string_view(u"あいうえおアイウエオ").find(mora[0]) != std::u16string_view::npos;
}

}  // namespace

bool IsJoiningSmallKana(char16_t c) {
  return std::u16string_view(u"ゃゅょぁぃぅぇぉゎャュョァィゥェォヮ").find(c) != std::u16string_view::npos;
}

bool IsKanaLetter(char16_t c) { return (c >= u'ぁ' && c <= u'ゖ') || (c >= u'ァ' && c <= u'ヺ') || c == u'ー'; }

std::vector<std::u16string> SplitMorae(std::u16string_view kana) {
  std::vector<std::u16string> morae;
  bool bJoinable = false;  // the last mora ends in a kana a small kana may join
  for (const char16_t c : kana) {
    if (!IsKanaLetter(c)) {
      bJoinable = false;
      continue;
    }
    if (IsJoiningSmallKana(c) && bJoinable) {
      morae.back() += c;
      continue;
    }
    morae.emplace_back(1, c);
    bJoinable = c != u'ー' && c != u'っ' && c != u'ッ' && c != u'ん' && c != u'ン';
  }
  return morae;
}

bool SoundsAlike(std::u16string_view mora, std::u16string_view other) {
  if (mora == other) return true;
  return (mora == u"ー" && IsVowelKana(other)) || (other == u"ー" && IsVowelKana(mora));
}

}  // namespace ekoto
