// Puts an accent plan made on one reading of a sentence onto another reading of
// it: the accent dictionary may cut or read a sentence otherwise than the
// reading the program says, and the plan must spell what is said.
#pragma once
#include <optional>
#include <string_view>
#include <vector>

#include "conversion/AccentPlan.h"

namespace ekoto {

// The plan for reading (hiragana with punctuation): its morae are reading's
// (a letter or digit left in it is a mora of its own; spaces and symbols are
// none), matched to the planned morae by sound (edit distance, a ー matching a written
// vowel). A matched mora takes its phrase start and nucleus; a mora the plan
// lacks joins the phrase before it; a planned nucleus or phrase start on a mora
// the reading lacks moves to the reading's nearest mora. Punctuation in reading
// ends a phrase with a pause. Levels follow from the nuclei.
AccentPlan FitPlanToReading(const AccentPlan& planned, std::u16string_view reading);

// For every mora of from, the mora of to matched to it by sound (the edit
// distance alignment of the two, a ー matching a written vowel), if any.
std::vector<std::optional<size_t>> MatchMoraeBySound(const AccentPlan& from, const AccentPlan& to);

}  // namespace ekoto
