// The counters and units said after a number, and how each changes the sound of
// the number before it (三本 さんぼん, 八歳 はっさい, 二十日 はつか). One table
// serves numbers written in digits and numbers written in kanji.
#pragma once
#include <span>
#include <string>
#include <string_view>

namespace ekoto {

// One change a counter makes: when the number's reading is number (bWhole) or
// ends with it, that part is said numberSaid and the counter counterSaid
// (empty: the counter is not said, as in ひとり).
struct CounterSound {
  std::u16string_view number;
  bool bWhole;
  std::u16string_view numberSaid;
  std::u16string_view counterSaid;
};

struct Counter {
  std::u16string_view surface = {};  // as written after the number
  std::u16string_view said = {};     // katakana
  std::u16string_view suffix = {};   // said after the counter, unchanged (間 of 日間)
  bool bPlain = false;          // a loanword unit that leaves the number as it is
  std::span<const CounterSound> sounds = {};
};

// The longest counter whose written form starts text, or nullptr.
const Counter* CounterAtStart(std::u16string_view text);

// Applies the sound changes where a counter follows a number: the counter's own
// changes from the table first (一人 ひとり, 四時 よじ, 八日 ようか); then いち,
// ろく, はち, じゅう, ひゃく end in っ before k-, s-, t-, h- and p-row counters
// as the language does (いっぽん, ろっかい, はっさつ), and h becomes p after っ
// and b or p after さん and なん (さんぼん, さんぷん). sNumber is hiragana,
// sCounter katakana; both are changed in place. The counter's changes are found
// by counter when given, else by the first table entry said as sCounter.
void JoinNumberAndCounter(std::u16string& sNumber, std::u16string& sCounter, const Counter* counter = nullptr);

}  // namespace ekoto
