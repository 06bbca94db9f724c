// clsPlaySound: plays one PCM buffer and returns when it has been played,
// dispatching the owner's messages while it waits. The owner routes every message
// it dispatches to EventNofity; the output's done message ends the wait.
#pragma once
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "audio/SoundOutput.h"
#include "util/MessagePump.h"

namespace ekoto {

class clsPlaySound {
 public:
  clsPlaySound(ISoundOutput& output, IMessagePump& pump) : m_output(output), m_pump(pump) {}
  ~clsPlaySound() { CloseDevice(); }
  clsPlaySound(const clsPlaySound&) = delete;
  clsPlaySound& operator=(const clsPlaySound&) = delete;

  // Ends the wait of a running PlaySound at its next test; it stops the output before returning.
  void CancelPlay() { m_bPlaying = false; }
  bool IsPlaying() const { return m_bPlaying; }
  // The buffer-done message of the open device clears the playing flag. ret is left alone.
  void EventNofity(int32_t& hWnd_, int32_t& uMsg, int32_t& wParam, int32_t& lParam, int32_t& ret);
  // Plays bWave once and returns when it is done or cancelled. lhWnd is the window
  // the notifications are meant for; the pump given at construction delivers them.
  // A call made while another one waits plays nothing and waits with it.
  void PlaySound(int32_t lhWnd, const std::vector<uint8_t>& bWave, int32_t lHz, int16_t nBits, int16_t nChannels);
  // The wait before a unit, played as lWaitMs of silence in the unit's buffer:
  // an output left to run dry during a wait can take seconds to start again.
  void PlaySoundAfter(int32_t lhWnd, int32_t lWaitMs, const std::vector<uint8_t>& bWave, int32_t lHz, int16_t nBits,
                      int16_t nChannels);
  // A wait with no unit after it, as lWaitMs of silence in the format played
  // last. Returns false, playing nothing, before any format has been played.
  bool PlaySilence(int32_t lhWnd, int32_t lWaitMs);

  // Receives the reason when the output cannot open or play, told once until a
  // unit plays again; then it receives "". Writes to stderr unless replaced.
  void SetReport(std::function<void(const std::string&)> fnReport) { m_fnReport = std::move(fnReport); }

 private:
  void OpenDevice(const std::vector<uint8_t>& bWave, int32_t lHz, int16_t nBits, int16_t nChannels);
  void StartOutput();
  void CloseDevice();
  void Report(const std::string& sError);

  ISoundOutput& m_output;
  IMessagePump& m_pump;
  int32_t m_hWaveOut = 0;  // 0: no device open
  WAVEFORMATEX m_fmt;
  const uint8_t* m_lpData = nullptr;
  size_t m_nBufferLength = 0;
  bool m_bPlaying = false;
  bool m_bBufferOut = false;  // written and its done not yet seen: the output may read it
  bool m_bDoneSeen = false;   // the last buffer ended with its done message
  bool m_bReported = false;
  std::function<void(const std::string&)> m_fnReport;
};

}  // namespace ekoto
