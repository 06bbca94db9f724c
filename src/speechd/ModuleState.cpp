#include "speechd/ModuleState.h"

namespace ekoto {

ModuleStep NextStep(ModuleState state, ModuleInput input) {
  using S = ModuleState;
  using I = ModuleInput;
  const bool bReading = state == S::kSpeaking || state == S::kPausing || state == S::kHolding;
  switch (input) {
    case I::kMessage:
      // A newer message ends the one being read, which is then reported stopped.
      if (bReading) return {S::kStopping, "", ReaderAction::kStop};
      return {state, ""};
    case I::kBegin:
      if (state == S::kIdle || state == S::kHeld) return {S::kSpeaking, "701 BEGIN\n"};
      return {state, ""};
    case I::kStop:
      if (bReading) return {S::kStopping, "", ReaderAction::kStop};
      // A held reading ended with its 704 already; only its place is dropped.
      if (state == S::kHeld) return {S::kIdle, "", ReaderAction::kStop};
      return {state, ""};
    case I::kPause:
      return {state == S::kSpeaking ? S::kPausing : state, ""};
    case I::kPausePlace:
      if (state == S::kPausing) return {S::kHolding, "", ReaderAction::kPause};
      return {state, ""};
    case I::kReadingDone:
      switch (state) {
        case S::kSpeaking:
        case S::kPausing:  // the message ended before a place to pause at
          return {S::kIdle, "702 END\n"};
        case S::kHolding:
          return {S::kHeld, kHeldPlaceEvents};
        case S::kStopping:
          return {S::kIdle, "703 STOP\n"};
        case S::kIdle:
        case S::kHeld:
        case S::kEnded:
          return {state, ""};
      }
      return {state, ""};
    case I::kEnd:
      return {S::kEnded, "", bReading ? ReaderAction::kStop : ReaderAction::kNone};
  }
  return {state, ""};
}

}  // namespace ekoto
