// What clsReadUp tells its owner, and what it asks of it.
#pragma once
#include <cstdint>
#include <string>

namespace ekoto {

// The reader's events, one method per event, in the order of their slots.
class IReadUpEvents {
 public:
  virtual ~IReadUpEvents() = default;
  virtual void OnPlay() = 0;
  // lSeek: position of the sentence's first UTF-16 unit in the text that was split.
  virtual void OnPlayPos(int32_t lSeek, int32_t lLength) = 0;
  // Returns only after the unit has been played to its end.
  virtual void OnPlaySound(std::u16string s) = 0;
  virtual void OnPause() = 0;
  virtual void OnStop() = 0;
  // Whatever the handler leaves in txt is what gets converted and read.
  virtual void OnConvertion(std::u16string& txt) = 0;
};

// The owner's event loop: called once after every unit so that pause and stop
// commands can arrive. Must dispatch what is waiting and return; never block.
class IEventYield {
 public:
  virtual ~IEventYield() = default;
  virtual void DoEvents() = 0;
};

}  // namespace ekoto
