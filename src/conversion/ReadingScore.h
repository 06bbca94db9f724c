// Measures how close produced readings are to reference readings: character
// error rate after dropping punctuation, and the share of sentences read exactly.
#pragma once
#include <cstdint>
#include <string>
#include <string_view>

namespace ekoto {

// The reading with punctuation, symbols and spaces removed.
std::u16string StripPunctuation(std::u16string_view reading);

// Every ー written as the vowel it lengthens (とーきょー → とおきょお);
// a ー with no kana before it is dropped.
std::u16string NormaliseLongVowels(std::u16string_view reading);

// Levenshtein distance in UTF-16 code units.
int32_t EditDistance(std::u16string_view a, std::u16string_view b);

// Accumulates sentences; both levels compare after StripPunctuation.
class ReadingScore {
 public:
  void Add(std::u16string_view produced, std::u16string_view reference);

  int32_t Sentences() const { return m_nSentences; }
  double CharacterErrorRate() const;            // raw
  double NormalisedCharacterErrorRate() const;  // after NormaliseLongVowels on both sides
  double ExactSentenceRate() const;

 private:
  int32_t m_nSentences = 0;
  int32_t m_nExact = 0;
  int64_t m_lEdits = 0;
  int64_t m_lLength = 0;
  int64_t m_lNormalisedEdits = 0;
  int64_t m_lNormalisedLength = 0;
};

}  // namespace ekoto
