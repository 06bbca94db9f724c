// sd_ekoto's work: speech-dispatcher's output-module protocol on two pipes,
// with the reader, the conversion chain and the user's voice behind it.
//
// One thread. A message is read aloud by clsReadUp, unit by unit; each unit's
// audio goes to the server as 705 blocks in short pieces, and between pieces
// the module looks at its input, so STOP cuts the rest of the unit and PAUSE
// takes effect at the next end of a sentence (or clause): the server is sent
// a mark there that its queue pauses at, and the reading is held until the
// server sends the same message again to resume it. Replies are
// written whole, so no event ever lands between a command and its reply.
// Commands that come during a reading only move the state (ModuleState.h); a
// message that comes then waits until the reading has wound up.
#pragma once
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <deque>
#include <functional>
#include <string>
#include <vector>

#include "conversion/ConversionChain.h"
#include "conversion/ReverseConverter.h"
#include "engine/clsReadUp.h"
#include "speechd/ModuleState.h"
#include "speechd/SpeechSettings.h"
#include "speechd/SsipChannel.h"
#include "speechd/SsmlText.h"

namespace ekoto {

struct ModuleVoice {
  std::string sName;     // as listed to clients
  std::u16string sPath;  // the voice source file
};

// What the user's own settings give the module; read again for every new message.
struct UserSetup {
  std::vector<ModuleVoice> voices;  // the first one is the user's voice
  std::u16string sTemplatePath;
  ReadingOptions reading;
  float fVolume = 4.0f;  // the user's volume, 0 to 4
  bool bIntonation = true;  // 抑揚: units at the pitch of their mora, when there is an accent source
};

struct ModuleConfig {
  // Pieces are sent no further ahead of the time they are heard than nLeadMs,
  // so a pause takes effect at the sentence end being heard. Off: as fast as made.
  bool bRealTime = true;
  int nLeadMs = 300;
  size_t nPieceSamples = 2048;  // samples per 705 block
  size_t nMaxMessageBytes = 8u << 20;
};

class SpeechModule : public IReadUpEvents, public IEventYield {
 public:
  SpeechModule(SsipChannel& channel, const ModuleConfig& config, std::function<UserSetup()> loadSetup,
               IReverseConverter& converter);
  ~SpeechModule() override;

  // Answers INIT, then serves commands until QUIT or the end of input.
  // Returns the exit status: 0 after QUIT, 1 when the input ended without it.
  int Run();

  // The source of each sentence's accent plan, borrowed; nullptr (the default)
  // reads at the voice's own pitch. The client's pitch setting moves the whole contour.
  void SetAccentSource(IAccentSource* pAccent) { m_reader.SetAccentSource(pAccent); }

  void OnPlay() override {}
  void OnPlayPos(int32_t lSeek, int32_t lLength) override;
  void OnPlaySound(std::u16string s) override;
  void OnPause() override {}
  void OnStop() override {}
  void OnConvertion(std::u16string& txt) override;
  void DoEvents() override { ServeWaitingCommands(); }

 private:
  enum class Kind { kText, kChar, kKey, kSoundIcon };
  // A message taken and answered "200 OK SPEAKING", waiting for its turn.
  struct Message {
    Kind kind = Kind::kText;
    SpeechText text;     // what is read
    std::u16string sSaid;  // what a text says, to know it again when the server resumes it
    std::string sIcon;   // the sound icon's name
    bool bStopped = false;  // STOP or a newer message came before its turn
  };

  // The one place the state changes: takes the step, sends its events and
  // tells the reader.
  void Apply(ModuleInput input);
  bool IsSounding() const { return m_state == ModuleState::kSpeaking || m_state == ModuleState::kPausing; }

  void HandleCommand(std::string line);
  void ServeWaitingCommands();
  // Reads a body up to its lone "." into retLines; false when input ended.
  bool ReadBody(std::vector<std::string>& retLines, size_t& retBytes, bool& retTooLong);
  void CommandSpeak(Kind kind);
  void CommandStop();
  bool CommandSettings(int ack, const char* what, const std::function<bool(std::string_view, std::string_view)>& set,
                       const char* done);
  void CommandDebug(const std::string& line);
  void ListVoices();

  // Begins the first message waiting and reads it to its end, stop or pause.
  void ReadNextMessage();
  void ReadText(Message message, bool bWasHeld);
  void SendMarksUpTo(size_t offset);
  void SendPiece(const int16_t* samples, size_t count);
  // Serves the input while the audio sent is further ahead of what is heard than allowed.
  void Pace();
  void StartMessageClock();
  const ModuleVoice& CurrentVoice() const;
  void Log(const std::string& line);

  SsipChannel& m_channel;
  ModuleConfig m_config;
  std::function<UserSetup()> m_loadSetup;
  UserSetup m_setup;
  SpeechSettings m_settings;
  clsReadUp m_reader;

  ModuleState m_state = ModuleState::kIdle;
  bool m_bQuit = false;  // the state ended by QUIT, not by the end of input
  std::deque<Message> m_waiting;

  // The text being read or held, and where in it.
  SpeechText m_text;
  std::u16string m_sSaid;
  std::vector<size_t> m_pieceStarts;  // offsets in m_text.sText where pieces start
  size_t m_nPiece = 0;
  size_t m_nNextMark = 0;

  int m_nSampleRate = 0;  // of the voice being read
  std::chrono::steady_clock::time_point m_tHeardUntil;  // when the audio sent so far ends
  FILE* m_debugFile = nullptr;
};

}  // namespace ekoto
