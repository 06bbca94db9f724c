// Aozora Bunko's plain-text files: the text a file shows, its chapters, and the
// parts of it that are not read aloud.
#pragma once
#include <string>
#include <string_view>
#include <vector>

#include "conversion/BookText.h"
#include "conversion/SplitText.h"

namespace ekoto {

// The text of a decoded Aozora Bunko (or any plain-text) file as the window shows
// it: line ends made \n, every ※［＃…］ note that gives a JIS X 0213 or Unicode
// code replaced by its character (other notation kept), and the headings that
// notes mark (［＃「…」は大見出し］, 中見出し, 小見出し, with 同行 or 窓, and the
// block forms ［＃大見出し］…［＃大見出し終わり］, ［＃ここから中見出し］…［＃ここで中見出し終わり］)
// as chapters at the start of their lines, levels 1 to 3. A text without
// notation comes back with its line ends made \n and no chapters.
BookText PrepareAozoraText(std::u16string sText);

// The parts of text that are shown but not read, in order: the explanation of
// the notation between two dashed lines near the top of an Aozora Bunko file
// (it holds 【テキスト中に現れる記号について】), and the colophon, from the last
// line that starts with 底本： to the end. Empty for other texts. Looks only at
// the first and last few thousand characters.
std::vector<TextSpan> AozoraUnreadSpans(std::u16string_view text);

}  // namespace ekoto
