// The waveform output behind clsPlaySound: takes a PCM format and one buffer at a
// time, and reports the end of each buffer as a kWomDone message to the pump.
#pragma once
#include <cstddef>
#include <cstdint>
#include <string>

#include "util/MessagePump.h"

namespace ekoto {

// The buffer-done message (MM_WOM_DONE); wParam is the handle the buffer was written with.
inline constexpr int32_t kWomDone = 957;

// The PCM format record (WAVEFORMATEX). 8-bit samples are unsigned, wider ones signed little-endian.
struct WAVEFORMATEX {
  int16_t wFormatTag = 1;  // PCM
  int16_t nChannels = 0;
  int32_t nSamplesPerSec = 0;
  int32_t nAvgBytesPerSec = 0;
  int16_t nBlockAlign = 0;
  int16_t wBitsPerSample = 0;
};

inline bool SameFormat(const WAVEFORMATEX& a, const WAVEFORMATEX& b) {
  return a.wFormatTag == b.wFormatTag && a.nChannels == b.nChannels && a.nSamplesPerSec == b.nSamplesPerSec &&
         a.wBitsPerSample == b.wBitsPerSample && a.nBlockAlign == b.nBlockAlign;
}

// Handles are non-zero; each Open gives a new one. Calls come from the owner's
// thread; done messages are posted from wherever the output likes.
class ISoundOutput {
 public:
  virtual ~ISoundOutput() = default;
  // Makes the output ready for fmt, with done messages going to notify.
  // Returns the handle, or 0 when no output can be opened (see TakeError).
  virtual int32_t Open(const WAVEFORMATEX& fmt, IMessagePump& notify) = 0;
  // Starts playing nBytes at data; whole frames only, a partial last frame is left out.
  // On true exactly one kWomDone(handle) follows, unless Reset comes first.
  // The bytes are not read after the kWomDone has been posted.
  virtual bool Write(int32_t handle, const uint8_t* data, size_t nBytes) = 0;
  // Stops at once and drops what was queued. On return the data of the last Write
  // is no longer read and no kWomDone for it will be posted.
  virtual void Reset(int32_t handle) = 0;
  // Ends the use of handle. Audio already queued is still heard.
  virtual void Close(int32_t handle) = 0;
  // Why the last Open or Write failed (or a buffer was cut short), then forgets it; "" if nothing failed.
  virtual std::string TakeError() = 0;
};

}  // namespace ekoto
