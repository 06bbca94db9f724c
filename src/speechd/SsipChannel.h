// The module's two pipes to speech-dispatcher: command lines in, replies and
// events out. Input is buffered so that a command waiting in the pipe can be
// seen between two pieces of audio without blocking.
#pragma once
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace ekoto {

class SsipChannel {
 public:
  SsipChannel(int inFd, int outFd) : m_inFd(inFd), m_outFd(outFd) {}

  // Why ReadLine returned nothing.
  enum class ReadEnd { kLine, kClosed, kTooLong };
  // Reads one line without its "\n" into retLine, waiting for it. A line longer
  // than maxLength is read to its end and dropped (kTooLong).
  ReadEnd ReadLine(std::string& retLine, size_t maxLength);
  // Returns true iff a whole line or the end of input can be read without
  // waiting longer than timeoutMs (0: just look; -1: wait as long as it takes).
  // A line growing past maxLength meanwhile is dropped as it comes, as ReadLine does.
  bool WaitForInput(int timeoutMs, size_t maxLength);

  // Writes text as it is; every write leaves whole lines, so a reply is never
  // cut by an event.
  void Send(std::string_view text);
  // One line "code text".
  void Reply(int code, std::string_view text);
  // "code-line" for every line, then "code text".
  void MultiLineReply(int code, const std::vector<std::string>& lines, std::string_view text);
  // One 705 audio block of 16-bit little-endian mono samples.
  void SendAudio(const int16_t* samples, size_t count, int sampleRate);

  // Returns true iff a write has failed (the server has gone).
  bool Broken() const { return m_bBroken; }

 private:
  bool FillBuffer(int timeoutMs);
  // An overlong line is dropped as it comes, so it never fills the memory.
  void DropOverlongStart(size_t maxLength);
  void WriteAll(std::string_view bytes);

  int m_inFd;
  int m_outFd;
  std::string m_sInput;     // read but not yet taken
  size_t m_nScanned = 0;    // m_sInput has no "\n" before this
  bool m_bDroppingLine = false;  // the start of the current line was too long and is gone
  bool m_bClosed = false;   // end of input seen
  bool m_bBroken = false;
};

// The block's bytes with every "\n" and 0x7D escaped as 0x7D followed by the
// byte with bit 5 inverted, as the server undoes it.
std::string EscapeAudioBytes(std::string_view bytes);

}  // namespace ekoto
