// Reading aloud from the command line: the reader, the conversion chain and the
// voice, played through a sound output with the program's pacing (a wait of
// 1000 − speed × 1000 ms before each unit). Writing to a WAV file turns the waits
// into silence and runs as fast as it can.
#pragma once
#include <cstdint>
#include <string>

#include "audio/SoundOutput.h"
#include "audio/WavFileOutput.h"
#include "audio/clsPlaySound.h"
#include "conversion/AccentPlan.h"
#include "conversion/ConversionChain.h"
#include "engine/clsReadUp.h"
#include "util/MessagePump.h"

namespace ekoto {

struct SaySettings {
  std::u16string sPAPath;
  ReadingOptions reading;
  float fVolume = 4.0f;  // 0 to 4; the program also starts at x4.00
  float fSpeed = 1.0f;   // 0 to 1
  double dTempo = 1.0;   // 0.5 to 3: each unit time-stretched, its pitch kept
  bool bProgress = false;
  IAccentSource* pAccent = nullptr;  // borrowed; nullptr reads at the voice's own pitch
};

// A message of the library (which may start "ekoto: ") as this tool says it.
std::string SayMessage(const std::string& sWhy);

class SaySession : public IReadUpEvents, public IEventYield {
 public:
  // wavFile is the output when writing a file, nullptr when playing on a device.
  SaySession(const SaySettings& settings, ISoundOutput& output, WavFileOutput* wavFile);

  // Reads text to its end, or until Interrupt. Returns false when the sound
  // output failed (the reason has been printed).
  bool Read(const std::u16string& text);
  // Async-signal-safe: asks the running reading to stop after the current unit.
  void Interrupt();

  // Units that had no sample in the voice.
  int64_t MissingUnits() const { return m_lMissing; }

  void OnPlay() override {}
  void OnPlayPos(int32_t lSeek, int32_t lLength) override;
  void OnPlaySound(std::u16string s) override;
  void OnPause() override {}
  void OnStop() override {}
  void OnConvertion(std::u16string& txt) override;
  void DoEvents() override { m_queue.DispatchPending(); }

 private:
  void Dispatch(int32_t uMsg, int32_t wParam, int32_t lParam);

  SaySettings m_settings;
  WavFileOutput* m_wavFile;
  MessageQueue m_queue;
  clsPlaySound m_player;
  clsReadUp m_reader;
  int32_t m_lTextLength = 0;
  int m_nLastPercent = -1;
  int64_t m_lMissing = 0;
  bool m_bOutputFailed = false;
};

}  // namespace ekoto
