// Numbers written in digits, read as a Japanese reader says them: by value with
// the counter or unit that follows (3人 サンニン, 8歳 ハッサイ, 1万2千人), with
// digit-group commas and decimal points (1,500 セン ゴヒャク, 3.14 サンテンイチヨン),
// times, dates and ranges (10:30, 2024/12/6, 10～20), and codes digit by digit
// (090-1234-5678, 007). The reading is written in katakana: the analyser keeps a
// katakana word whole and hands it back in hiragana, where hiragana would be cut
// up again and its は read as a particle.
#pragma once
#include <string>
#include <string_view>

namespace ekoto {

// True iff a number expression starts at text[pos]: a digit, a circled or
// parenthesised number (①, ⑴), or a currency sign ($, ¥) or minus sign before a digit.
bool StartsNumberExpression(std::u16string_view text, size_t pos);

// Appends the katakana reading of the number expression that starts at text[pos]
// (StartsNumberExpression is true there) and returns the position after it. The
// text before pos is looked at for context (月 before 1日: ツイタチ).
size_t AppendNumberExpression(std::u16string_view text, size_t pos, std::u16string& out);

}  // namespace ekoto
