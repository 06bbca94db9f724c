// Where annotated speech joins or splits accent phrases against the
// combination rules, learned from annotated sentences (tools/learn_accent_joins.py).
#pragma once
#include <optional>

#include "conversion/AccentRules.h"

namespace ekoto {

// Whether word joins the phrase of prev, the word said just before it, when the
// learned table decides it; nullopt when the rules decide. bPhraseFallen: the
// phrase so far has its nucleus.
std::optional<bool> LearnedJoin(const AccentWord& prev, const AccentWord& word, bool bPhraseFallen);

}  // namespace ekoto
