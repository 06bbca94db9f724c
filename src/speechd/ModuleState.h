// The phases of sd_ekoto's work and how commands and the reading move it from
// one to the next, with the events each step sends the server. Every message
// taken gets one "701 BEGIN" and then one "702 END", "703 STOP" or "704 PAUSE",
// in the order the messages came.
#pragma once
#include <string_view>

namespace ekoto {

enum class ModuleState {
  kIdle,      // nothing to read
  kSpeaking,  // a message is read (701 sent)
  kPausing,   // PAUSE came: read on to the next place a pause can take effect
  kHolding,   // that place is reached: the reader is told to pause and winds up
  kStopping,  // STOP (or a newer message) came: the reader winds up
  kHeld,      // a paused reading waits for the server to send its message again
  kEnded,     // QUIT or the end of input: no more events
};

enum class ModuleInput {
  kMessage,      // a message is taken: it waits for the reading in progress to wind up
  kBegin,        // the next message waiting begins
  kStop,
  kPause,
  kPausePlace,   // the reading reached the start of a sentence, clause or marked piece
  kReadingDone,  // the reader has returned
  kEnd,          // QUIT, or the input closed
};

// What the module does to the reader on a step.
enum class ReaderAction { kNone, kStop, kPause };

struct ModuleStep {
  ModuleState next;
  std::string_view events;  // protocol lines sent on the way, each ending in "\n"
  ReaderAction action = ReaderAction::kNone;
};

// The server plays up to a mark named "__spd_…", pauses there and sends the
// message again to resume; a number before its first mark brings back the
// whole message, and the module reads on from the place it holds.
inline constexpr std::string_view kHeldPlaceEvents = "700-__spd_-1000000\n700 INDEX MARK\n704 PAUSE\n";

ModuleStep NextStep(ModuleState state, ModuleInput input);

}  // namespace ekoto
