#include "conversion/ReadingScore.h"

#include <unicode/uchar.h>

#include <algorithm>
#include <vector>

namespace ekoto {
namespace {

// The vowel a kana ends in; 0 for anything that is not a vowel-bearing kana.
char16_t VowelOf(char16_t c) {
  static constexpr std::u16string_view kRows[] = {
      u"あぁかがさざただなはばぱまやゃらわゎ", u"いぃきぎしじちぢにひびぴみりゐ",
      u"うぅくぐすずつづぬふぶぷむゆゅるゔ", u"えぇけげせぜてでねへべぺめれゑ",
      u"おぉこごそぞとどのほぼぽもよょろを"};
  static constexpr char16_t kVowels[] = {u'あ', u'い', u'う', u'え', u'お'};
  for (size_t row = 0; row < std::size(kRows); ++row) {
    if (kRows[row].find(c) != std::u16string_view::npos) return kVowels[row];
  }
  return 0;
}

}  // namespace

std::u16string StripPunctuation(std::u16string_view reading) {
  std::u16string out;
  out.reserve(reading.size());
  for (char16_t c : reading) {
    if (c == u'ー') {
      out += c;
      continue;
    }
    const int8_t type = u_charType(c);
    const bool punctuation = (type >= U_DASH_PUNCTUATION && type <= U_OTHER_PUNCTUATION) ||
                             type == U_INITIAL_PUNCTUATION || type == U_FINAL_PUNCTUATION ||
                             (type >= U_MATH_SYMBOL && type <= U_OTHER_SYMBOL) || u_isUWhiteSpace(c);
    if (!punctuation) out += c;
  }
  return out;
}

std::u16string NormaliseLongVowels(std::u16string_view reading) {
  std::u16string out;
  out.reserve(reading.size());
  char16_t vowel = 0;
  for (char16_t c : reading) {
    if (c == u'ー') {
      if (vowel) out += vowel;
      continue;
    }
    out += c;
    vowel = VowelOf(c);
  }
  return out;
}

int32_t EditDistance(std::u16string_view a, std::u16string_view b) {
  std::vector<int32_t> row(b.size() + 1);
  for (size_t j = 0; j <= b.size(); ++j) row[j] = static_cast<int32_t>(j);
  for (size_t i = 1; i <= a.size(); ++i) {
    int32_t diagonal = row[0];
    row[0] = static_cast<int32_t>(i);
    for (size_t j = 1; j <= b.size(); ++j) {
      const int32_t above = row[j];
      row[j] = std::min({row[j] + 1, row[j - 1] + 1, diagonal + (a[i - 1] == b[j - 1] ? 0 : 1)});
      diagonal = above;
    }
  }
  return row[b.size()];
}

void ReadingScore::Add(std::u16string_view produced, std::u16string_view reference) {
  const std::u16string p = StripPunctuation(produced);
  const std::u16string r = StripPunctuation(reference);
  const int32_t edits = EditDistance(p, r);
  ++m_nSentences;
  if (edits == 0) ++m_nExact;
  m_lEdits += edits;
  m_lLength += static_cast<int64_t>(r.size());
  const std::u16string pn = NormaliseLongVowels(p);
  const std::u16string rn = NormaliseLongVowels(r);
  m_lNormalisedEdits += EditDistance(pn, rn);
  m_lNormalisedLength += static_cast<int64_t>(rn.size());
}

double ReadingScore::CharacterErrorRate() const {
  return m_lLength ? static_cast<double>(m_lEdits) / static_cast<double>(m_lLength) : 0.0;
}

double ReadingScore::NormalisedCharacterErrorRate() const {
  return m_lNormalisedLength ? static_cast<double>(m_lNormalisedEdits) / static_cast<double>(m_lNormalisedLength)
                             : 0.0;
}

double ReadingScore::ExactSentenceRate() const {
  return m_nSentences ? static_cast<double>(m_nExact) / m_nSentences : 0.0;
}

}  // namespace ekoto
