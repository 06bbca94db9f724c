#include "speechd/SpeechModule.h"

#include <algorithm>
#include <cstdlib>

#include "audio/LoadSoundWithVolume.h"
#include "audio/Pcm16.h"
#include "audio/UnitTempo.h"
#include "conversion/ConvTemplete.h"
#include "speechd/CharNames.h"
#include "util/Utf.h"

namespace ekoto {
namespace {

constexpr size_t kMaxCommandLine = 4096;
// A CHAR is one character and a KEY a key name with its modifiers: longer
// bodies are no such thing and are refused before any work is done on them.
constexpr size_t kMaxCharOrKeyBytes = 256;

// DEBUG lines of speech-dispatcher 0.11 end in a space ("DEBUG OFF ").
std::string WithoutTrailingSpaces(std::string line) {
  while (!line.empty() && (line.back() == ' ' || line.back() == '\r')) line.pop_back();
  return line;
}

// The text read letter by letter: every character by its name, the marks kept
// before the name of the character they stood before.
SpeechText Spelled(const SpeechText& text) {
  SpeechText out;
  size_t nMark = 0;
  for (size_t i = 0; i <= text.sText.size();) {
    while (nMark < text.marks.size() && text.marks[nMark].nOffset <= i) {
      out.marks.push_back({out.sText.size(), text.marks[nMark++].sName});
    }
    if (i == text.sText.size()) break;
    const size_t n = (i + 1 < text.sText.size() && (text.sText[i] & 0xFC00) == 0xD800) ? 2 : 1;
    out.sText += CharName(std::u16string_view(text.sText).substr(i, n)) + u"、";
    i += n;
  }
  return out;
}

}  // namespace

SpeechModule::SpeechModule(SsipChannel& channel, const ModuleConfig& config, std::function<UserSetup()> loadSetup,
                           IReverseConverter& converter)
    : m_channel(channel), m_config(config), m_loadSetup(std::move(loadSetup)), m_reader(*this, *this, converter) {}

SpeechModule::~SpeechModule() {
  if (m_debugFile) std::fclose(m_debugFile);
}

int SpeechModule::Run() {
  std::string line;
  if (m_channel.ReadLine(line, kMaxCommandLine) != SsipChannel::ReadEnd::kLine || line != "INIT") {
    std::fputs("sd_ekoto: the server did not start with INIT\n", stderr);
    return 1;
  }
  m_setup = m_loadSetup();
  if (m_setup.voices.empty()) {
    m_channel.MultiLineReply(399, {"Ekoto found no voice source file (.pa)"}, "ERR CANT INIT MODULE");
    return 1;
  }
  m_channel.MultiLineReply(299, {"Ekoto reads Japanese with the voice " + m_setup.voices.front().sName},
                           "OK LOADED SUCCESSFULLY");
  while (m_state != ModuleState::kEnded && !m_channel.Broken()) {
    if (!m_waiting.empty()) {
      ReadNextMessage();
      continue;
    }
    switch (m_channel.ReadLine(line, kMaxCommandLine)) {
      case SsipChannel::ReadEnd::kClosed:
        Apply(ModuleInput::kEnd);
        break;
      case SsipChannel::ReadEnd::kTooLong:
        m_channel.Reply(300, "ERR UNKNOWN COMMAND");
        break;
      case SsipChannel::ReadEnd::kLine:
        HandleCommand(std::move(line));
        break;
    }
  }
  return m_bQuit && !m_channel.Broken() ? 0 : 1;
}

void SpeechModule::Apply(ModuleInput input) {
  const ModuleStep step = NextStep(m_state, input);
  m_state = step.next;
  if (!step.events.empty()) m_channel.Send(step.events);
  switch (step.action) {
    case ReaderAction::kNone:
      break;
    case ReaderAction::kStop:
      m_reader.StopText();
      break;
    case ReaderAction::kPause:
      m_reader.PauseText();
      break;
  }
}

void SpeechModule::HandleCommand(std::string line) {
  Log(line);
  if (line.starts_with("DEBUG")) line = WithoutTrailingSpaces(std::move(line));
  if (line == "SPEAK") {
    CommandSpeak(Kind::kText);
  } else if (line == "CHAR") {
    CommandSpeak(Kind::kChar);
  } else if (line == "KEY") {
    CommandSpeak(Kind::kKey);
  } else if (line == "SOUND_ICON") {
    CommandSpeak(Kind::kSoundIcon);
  } else if (line == "STOP") {
    // Answered by the 703 event of the reading it stops; no reply of its own.
    CommandStop();
  } else if (line == "PAUSE") {
    Apply(ModuleInput::kPause);
  } else if (line == "LIST VOICES") {
    ListVoices();
  } else if (line == "SET") {
    SpeechSettings next = m_settings;
    if (CommandSettings(203, "", [&](std::string_view k, std::string_view v) { return ApplySpeechSetting(next, k, v); },
                        "OK SETTINGS RECEIVED")) {
      m_settings = next;
    }
  } else if (line == "AUDIO") {
    // The audio goes to the server; a module that played it itself would take the other methods.
    CommandSettings(
        207, "AUDIO ",
        [](std::string_view k, std::string_view v) { return k == "audio_output_method" && v == "server"; },
        "OK AUDIO INITIALIZED");
  } else if (line == "LOGLEVEL") {
    CommandSettings(
        207, "LOGLEVEL ",
        [](std::string_view k, std::string_view v) {
          return k == "log_level" && !v.empty() && v.find_first_not_of("0123456789") == std::string_view::npos;
        },
        "OK LOGLEVEL SET");
  } else if (line.starts_with("DEBUG")) {
    CommandDebug(line);
  } else if (line == "QUIT") {
    m_channel.Reply(210, "OK QUIT");
    m_bQuit = true;
    Apply(ModuleInput::kEnd);
  } else {
    m_channel.Reply(300, "ERR UNKNOWN COMMAND");
  }
}

void SpeechModule::CommandStop() {
  for (Message& message : m_waiting) message.bStopped = true;
  Apply(ModuleInput::kStop);
}

void SpeechModule::ServeWaitingCommands() {
  std::string line;
  while (m_state != ModuleState::kEnded && m_channel.WaitForInput(0, kMaxCommandLine)) {
    const SsipChannel::ReadEnd end = m_channel.ReadLine(line, kMaxCommandLine);
    if (end == SsipChannel::ReadEnd::kClosed) {
      Apply(ModuleInput::kEnd);
    } else if (end == SsipChannel::ReadEnd::kTooLong) {
      m_channel.Reply(300, "ERR UNKNOWN COMMAND");
    } else {
      HandleCommand(std::move(line));
    }
  }
}

bool SpeechModule::ReadBody(std::vector<std::string>& retLines, size_t& retBytes, bool& retTooLong) {
  retLines.clear();
  retBytes = 0;
  retTooLong = false;
  std::string line;
  while (true) {
    const SsipChannel::ReadEnd end = m_channel.ReadLine(line, m_config.nMaxMessageBytes);
    if (end == SsipChannel::ReadEnd::kClosed) {
      Apply(ModuleInput::kEnd);
      return false;
    }
    if (end == SsipChannel::ReadEnd::kTooLong) {
      retTooLong = true;
      continue;
    }
    if (line == ".") return true;
    // A leading "." of a line is doubled on the way.
    if (line.starts_with('.')) line.erase(0, 1);
    retBytes += line.size() + 1;
    if (retBytes > m_config.nMaxMessageBytes) retTooLong = true;
    if (!retTooLong) retLines.push_back(std::move(line));
  }
}

bool SpeechModule::CommandSettings(int ack, const char* what,
                                   const std::function<bool(std::string_view, std::string_view)>& set,
                                   const char* done) {
  m_channel.Reply(ack, std::string("OK RECEIVING ") + what + "SETTINGS");
  std::vector<std::string> lines;
  size_t nBytes = 0;
  bool bTooLong = false;
  if (!ReadBody(lines, nBytes, bTooLong)) return false;
  const char* error = bTooLong ? "302 ERROR BAD SYNTAX" : nullptr;
  for (const std::string& line : lines) {
    const size_t eq = line.find('=');
    if (eq == std::string::npos || eq == 0 || eq + 1 == line.size()) {
      error = "302 ERROR BAD SYNTAX";
    } else if (!set(std::string_view(line).substr(0, eq), std::string_view(line).substr(eq + 1))) {
      error = "303 ERROR INVALID PARAMETER OR VALUE";
    }
  }
  if (error) {
    m_channel.Send(std::string(error) + "\n");
    return false;
  }
  m_channel.Reply(203, done);
  return true;
}

void SpeechModule::CommandDebug(const std::string& line) {
  if (line == "DEBUG OFF") {
    if (m_debugFile) std::fclose(m_debugFile);
    m_debugFile = nullptr;
    m_channel.Reply(200, "OK DEBUGGING OFF");
  } else if (line.starts_with("DEBUG ON ") && line.size() > 9) {
    FILE* file = std::fopen(line.substr(9).c_str(), "a");
    if (!file) {
      m_channel.Reply(303, "CANT OPEN CUSTOM DEBUG FILE");
      return;
    }
    if (m_debugFile) std::fclose(m_debugFile);
    m_debugFile = file;
    m_channel.Reply(200, "OK DEBUGGING ON");
  } else {
    m_channel.Reply(302, "ERROR BAD SYNTAX");
  }
}

void SpeechModule::ListVoices() {
  std::vector<std::string> lines;
  for (const ModuleVoice& voice : m_setup.voices) lines.push_back(voice.sName + "\tja\tnone");
  if (lines.empty()) {
    m_channel.Reply(304, "CANT LIST VOICES");
  } else {
    m_channel.MultiLineReply(200, lines, "OK VOICE LIST SENT");
  }
}

void SpeechModule::CommandSpeak(Kind kind) {
  m_channel.Reply(202, "OK RECEIVING MESSAGE");
  std::vector<std::string> lines;
  size_t nBytes = 0;
  bool bTooLong = false;
  if (!ReadBody(lines, nBytes, bTooLong)) return;
  if (bTooLong || ((kind == Kind::kChar || kind == Kind::kKey) && nBytes > kMaxCharOrKeyBytes)) {
    std::fputs("sd_ekoto: a message too long for its kind was refused\n", stderr);
    m_channel.Reply(301, "ERROR CANT SPEAK");
    return;
  }
  std::string body;
  for (size_t i = 0; i < lines.size(); ++i) body += (i ? "\n" : "") + lines[i];
  if (body.empty()) {
    m_channel.Reply(301, "ERROR CANT SPEAK");
    return;
  }
  if (kind != Kind::kText && lines.size() > 1) {
    m_channel.Reply(305, "DATA MORE THAN ONE LINE");
    return;
  }
  Message message;
  message.kind = kind;
  switch (kind) {
    case Kind::kText:
      message.text = ParseSsml(body);
      message.sSaid = SaidText(body);
      if (m_settings.bSpelling) message.text = Spelled(message.text);
      break;
    case Kind::kChar:
      // The server sends CHAR and KEY bodies as they are, not as SSML.
      message.text.sText = CharName(body == "space" ? u" " : Utf8ToUtf16(body));
      break;
    case Kind::kKey:
      message.text.sText = KeyName(Utf8ToUtf16(body));
      break;
    case Kind::kSoundIcon:
      message.sIcon = body;
      break;
  }
  m_channel.Reply(200, "OK SPEAKING");
  // The server sends a new message only after stopping the old one; if it
  // does not, the old one ends as if stopped, and so does any other waiting.
  for (Message& waiting : m_waiting) waiting.bStopped = true;
  m_waiting.push_back(std::move(message));
  Apply(ModuleInput::kMessage);
}

void SpeechModule::ReadNextMessage() {
  Message message = std::move(m_waiting.front());
  m_waiting.pop_front();
  const bool bWasHeld = m_state == ModuleState::kHeld;
  Apply(ModuleInput::kBegin);
  if (message.bStopped) {
    Apply(ModuleInput::kStop);
  } else if (message.kind == Kind::kSoundIcon) {
    // The server plays its own sound icons; the module only says where.
    m_channel.Send("706-" + message.sIcon + "\n706 ICON\n");
  } else {
    ReadText(std::move(message), bWasHeld);
  }
  if (IsSounding()) SendMarksUpTo(m_text.sText.size());
  Apply(ModuleInput::kReadingDone);
  // A stopped reading may have paused first: its place is not kept.
  if (m_state != ModuleState::kHeld && m_reader.HoldsPosition()) m_reader.StopText();
}

void SpeechModule::ReadText(Message message, bool bWasHeld) {
  // Sent again for a resume, the message has lost the server's own marks.
  const bool bResume = bWasHeld && message.kind == Kind::kText && message.sSaid == m_sSaid;
  if (!bResume) {
    if (m_reader.HoldsPosition()) m_reader.StopText();  // drops the reader's held place
    m_text = std::move(message.text);
    m_sSaid = std::move(message.sSaid);
    m_pieceStarts = {0};
    for (const SpeechMark& mark : m_text.marks) {
      if (mark.nOffset > m_pieceStarts.back() && mark.nOffset < m_text.sText.size()) {
        m_pieceStarts.push_back(mark.nOffset);
      }
    }
    m_nPiece = 0;
    m_nNextMark = 0;
    m_setup = m_loadSetup();
    if (!m_setup.sTemplatePath.empty()) LoadConvTemplete(m_setup.sTemplatePath);
  }
  StartMessageClock();

  // Marks split the text into pieces read one after the other, so a mark is
  // reported right after the audio before it; a piece's start is a place to
  // pause at.
  for (; m_nPiece < m_pieceStarts.size(); ++m_nPiece) {
    SendMarksUpTo(m_pieceStarts[m_nPiece]);
    if (m_nPiece > 0) Apply(ModuleInput::kPausePlace);
    if (!IsSounding()) break;
    const size_t end = m_nPiece + 1 < m_pieceStarts.size() ? m_pieceStarts[m_nPiece + 1] : m_text.sText.size();
    m_reader.PlayText(m_text.sText.substr(m_pieceStarts[m_nPiece], end - m_pieceStarts[m_nPiece]));
    if (!IsSounding()) break;
  }
}

void SpeechModule::SendMarksUpTo(size_t offset) {
  while (m_nNextMark < m_text.marks.size() && m_text.marks[m_nNextMark].nOffset <= offset) {
    m_channel.MultiLineReply(700, {m_text.marks[m_nNextMark++].sName}, "INDEX MARK");
  }
}

void SpeechModule::OnPlayPos(int32_t /*lSeek*/, int32_t /*lLength*/) {
  // A sentence (or clause) starts: the place where a pause takes effect.
  Apply(ModuleInput::kPausePlace);
}

void SpeechModule::OnConvertion(std::u16string& txt) {
  if (IsSounding()) txt = ApplyReadingOptions(std::move(txt), m_setup.reading);
}

const ModuleVoice& SpeechModule::CurrentVoice() const {
  for (const ModuleVoice& voice : m_setup.voices) {
    if (voice.sName == m_settings.sVoice) return voice;
  }
  return m_setup.voices.front();
}

void SpeechModule::OnPlaySound(std::u16string s) {
  if (!IsSounding() || m_setup.voices.empty()) return;
  PAHEADER header;
  const std::vector<uint8_t> bytes =
      LoadSoundWithVolume(CurrentVoice().sPath, s, VolumeFactor(m_settings, m_setup.fVolume), header);
  if (bytes.empty() || header.lSampleRate <= 0) return;
  std::vector<int16_t> pcm = ToPcm16(bytes, header.nBitsPerSample, header.nChannels);
  if (pcm.empty()) return;
  m_nSampleRate = header.lSampleRate;
  pcm = StretchPcm(std::move(pcm), m_nSampleRate, Tempo(m_settings),
                   (m_setup.bIntonation ? m_reader.PitchOfUnit() : UnitPitch{}).MovedBy(PitchSemitones(m_settings)));
  // A slower reading is a pause before each unit, as in the program.
  const size_t nPause = static_cast<size_t>(UnitPauseMs(m_settings)) * static_cast<size_t>(m_nSampleRate) / 1000;
  pcm.insert(pcm.begin(), nPause, 0);

  for (size_t at = 0; at < pcm.size(); at += m_config.nPieceSamples) {
    Pace();
    if (!IsSounding()) return;
    SendPiece(pcm.data() + at, std::min(m_config.nPieceSamples, pcm.size() - at));
    ServeWaitingCommands();
    if (!IsSounding()) return;
  }
}

void SpeechModule::SendPiece(const int16_t* samples, size_t count) {
  m_channel.SendAudio(samples, count, m_nSampleRate);
  const auto now = std::chrono::steady_clock::now();
  m_tHeardUntil = std::max(m_tHeardUntil, now) +
                  std::chrono::microseconds(static_cast<int64_t>(count) * 1000000 / m_nSampleRate);
}

void SpeechModule::StartMessageClock() { m_tHeardUntil = std::chrono::steady_clock::now(); }

void SpeechModule::Pace() {
  if (!m_config.bRealTime) return;
  while (IsSounding()) {
    const auto target = m_tHeardUntil - std::chrono::milliseconds(m_config.nLeadMs);
    const auto now = std::chrono::steady_clock::now();
    if (now >= target) return;
    const auto wait = std::chrono::duration_cast<std::chrono::milliseconds>(target - now).count() + 1;
    if (m_channel.WaitForInput(static_cast<int>(wait), kMaxCommandLine)) ServeWaitingCommands();
  }
}

void SpeechModule::Log(const std::string& line) {
  if (!m_debugFile) return;
  std::fprintf(m_debugFile, "sd_ekoto: %s\n", line.size() > 200 ? (line.substr(0, 200) + "...").c_str() : line.c_str());
  std::fflush(m_debugFile);
}

}  // namespace ekoto
