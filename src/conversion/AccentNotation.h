// The written form of an accent plan, one line per sentence, as the accent
// corpora we measure against write it: the morae in hiragana with marks between
// them. ^ starts and $ ends the sentence, # separates accent phrases and _ does
// so with a pause, [ is a rise from low to high, ] a fall after the accent
// nucleus, ? the rising end of a question. Example: ^あ]めが#ふ]る$.
#pragma once
#include <string>

#include "conversion/AccentPlan.h"

namespace ekoto {

// The plan written out. A rise is written where a low mora is followed by a high
// one within a phrase, a fall after every nucleus. An empty plan gives "^$".
std::u16string FormatAccentNotation(const AccentPlan& plan);

// The plan a notation describes. Every phrase starts low unless a fall follows
// its first mora; a nucleus is always high. Characters that are neither kana nor
// marks are skipped; a notation without kana gives an empty plan.
AccentPlan ParseAccentNotation(const std::u16string& sNotation);

}  // namespace ekoto
