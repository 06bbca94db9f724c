// The pitch each syllable unit of a sentence is played at, from the sentence's
// accent plan: high and low levels around the voice's own pitch, a lower high
// after each accent nucleus until the next pause (downstep), a fall at the end
// of the sentence and a rise at the end of a question.
#pragma once
#include <string>
#include <vector>

#include "conversion/AccentPlan.h"

namespace ekoto {

// Semitones from the voice's own pitch. The unit glides from dStart to dHold
// over its first part, holds, and glides to dEnd over its second half; dStart
// is the level the unit before ended on, so the pitch does not jump at the join.
struct UnitPitch {
  double dStart = 0.0;
  double dHold = 0.0;
  double dEnd = 0.0;
  // The unit belongs to a reading with an accent source: it is made 16-bit PCM
  // even at the voice's own pitch, so that every unit of the reading has the
  // same format (a file is written in one; a device is not reopened).
  bool bInContour = false;

  bool IsFlat() const { return dStart == 0.0 && dHold == 0.0 && dEnd == 0.0; }
  // The same contour moved by dSemitones (the desktop's pitch setting).
  UnitPitch MovedBy(double dSemitones) const {
    return {dStart + dSemitones, dHold + dSemitones, dEnd + dSemitones, bInContour};
  }
};

// Levels of the contour, in semitones from the voice's own pitch. Highs are
// said at the voice's own pitch and lows below it: a unit that keeps the
// voice's pitch is played as recorded, and the syllable recogniser hears more
// morae that way than with highs raised (60 % against 54 % of its sentences).
inline constexpr double kHighLevel = 0.0;
inline constexpr double kLowLevel = -3.0;
inline constexpr double kDownstep = 1.0;        // the high drops this much after each nucleus
inline constexpr double kLowestHigh = -1.5;     // downstep stops here, a clear step above the low
inline constexpr double kFinalFall = 2.0;       // the last mora of a statement falls by this much
inline constexpr double kQuestionRise = 4.0;    // the last mora of a question rises by this much

// The level of every mora of plan, in its order, before glides.
std::vector<double> MoraLevels(const AccentPlan& plan);

// One entry per unit: units are SplitSyllables(sReading), plan the accent plan of
// sReading. A unit takes the level of the mora its first character belongs to;
// units outside every mora (punctuation, spaces) hold the level before them.
// Every unit is flat when the plan is empty or its morae do not spell sReading
// without its punctuation.
std::vector<UnitPitch> UnitPitches(const std::vector<std::u16string>& units, const std::u16string& sReading,
                                   const AccentPlan& plan);

}  // namespace ekoto
