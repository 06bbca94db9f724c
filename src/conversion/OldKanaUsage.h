// The old kana usage (歴史的仮名遣い) of texts written before 1946: telling a
// paragraph in it from a modern one, and respelling it in today's kana before
// the analyser reads it (思ふ → 思う, 行つた → 行った, でせう → でしょう). The
// analyser's dictionary knows only today's spelling, so the spelling is mended
// on the written text rather than in the readings it gives.
#pragma once
#include <string>
#include <string_view>

namespace ekoto {

// True iff paragraph shows a clear sign of the old usage, a spelling today's
// usage never has: ゐ, ゑ, でせう, ませう, だらう, けふ, さう, やう, かうして;
// ちよつと, もつと, はつきり and other words with a large つ for a small one; a
// large つ before た or て after a kanji or after な, あ, い, … (行つた, なつて);
// ふ after a kanji before a mark, or after the stem of a verb in -ふ (思ふ); は
// before れ, ず, ぬ, な, う or ひ after such a stem (言はれ, 思ひ); へ after the
// stem of a verb in -へる (考へ) or after any kanji before る; a volitional in -かう, -まう, … after a kanji (書かう).
bool IsOldKanaParagraph(std::u16string_view paragraph);

// text respelled in today's kana, for a paragraph in the old usage; text
// without old spellings comes back unchanged.
std::u16string ModernKanaSpelling(std::u16string_view text);

}  // namespace ekoto
