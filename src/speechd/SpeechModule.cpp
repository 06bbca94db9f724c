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

// The server plays what it has been sent up to the next mark named "__spd_…",
// pauses there, and on resume sends the message again from its own mark of
// that number on. A number before its first mark brings back the whole
// message, which the module then reads on from the sentence it holds.
constexpr const char* kHeldPlaceMark = "__spd_-1000000";

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
  while (!m_bEnded) {
    if (m_pending) {
      SpeechText text = std::move(*m_pending);
      m_pending.reset();
      Speak(std::move(text));
      continue;
    }
    switch (m_channel.ReadLine(line, kMaxCommandLine)) {
      case SsipChannel::ReadEnd::kClosed:
        return 1;
      case SsipChannel::ReadEnd::kTooLong:
        m_channel.Reply(300, "ERR UNKNOWN COMMAND");
        break;
      case SsipChannel::ReadEnd::kLine:
        HandleCommand(line);
        break;
    }
    if (m_channel.Broken()) return 1;
  }
  return m_bQuit ? 0 : 1;
}

void SpeechModule::HandleCommand(const std::string& line) {
  Log(line);
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
    if (m_bSpeaking) {
      m_request = Request::kStop;
      m_reader.StopText();
    } else if (m_bHeld) {
      m_reader.StopText();
      m_bHeld = false;
    }
  } else if (line == "PAUSE") {
    if (m_bSpeaking && m_request == Request::kNone) m_request = Request::kPause;
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
    m_bEnded = m_bQuit = true;
    if (m_bSpeaking) {
      m_request = Request::kQuit;
      m_reader.StopText();
    }
  } else {
    m_channel.Reply(300, "ERR UNKNOWN COMMAND");
  }
}

void SpeechModule::ServeWaitingCommands() {
  std::string line;
  while (!m_bEnded && m_channel.WaitForInput(0)) {
    const SsipChannel::ReadEnd end = m_channel.ReadLine(line, kMaxCommandLine);
    if (end == SsipChannel::ReadEnd::kClosed) {
      m_bEnded = true;
    } else if (end == SsipChannel::ReadEnd::kTooLong) {
      m_channel.Reply(300, "ERR UNKNOWN COMMAND");
    } else {
      HandleCommand(line);
    }
  }
  if (m_bEnded && m_bSpeaking && m_request != Request::kQuit) {
    m_request = Request::kQuit;
    m_reader.StopText();
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
      m_bEnded = true;
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
  if (bTooLong) {
    std::fprintf(stderr, "sd_ekoto: a message of more than %zu bytes was refused\n", m_config.nMaxMessageBytes);
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
  SpeechText text;
  switch (kind) {
    case Kind::kText:
      text = ParseSsml(body);
      if (m_settings.bSpelling) text = Spelled(text);
      break;
    case Kind::kChar:
      text.sText = CharName(body == "space" ? u" " : ParseSsml(body).sText);
      break;
    case Kind::kKey:
      text.sText = KeyName(Utf8ToUtf16(body));
      break;
    case Kind::kSoundIcon:
      break;
  }
  m_channel.Reply(200, "OK SPEAKING");
  if (kind == Kind::kSoundIcon) {
    // The server plays its own sound icons; the module only says where.
    m_channel.Send("701 BEGIN\n706-" + body + "\n706 ICON\n702 END\n");
    return;
  }
  if (m_bSpeaking) {
    // The server sends a new message only after stopping the old one; if it
    // does not, the old one ends here as if stopped.
    m_pending = std::move(text);
    m_request = Request::kStop;
    m_reader.StopText();
    return;
  }
  Speak(std::move(text));
}

void SpeechModule::Speak(SpeechText text) {
  // Sent again for a resume, the message has lost the server's own marks.
  const bool bResume = m_bHeld && text.sText == m_text.sText;
  if (!bResume) {
    if (m_bHeld) m_reader.StopText();  // drops the reader's held place
    m_text = std::move(text);
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
  m_bHeld = false;
  m_bSpeaking = true;
  m_bPausing = false;
  m_request = Request::kNone;
  m_channel.Send("701 BEGIN\n");
  StartMessageClock();

  // Marks split the text into pieces read one after the other, so a mark is
  // reported right after the audio before it.
  for (; m_nPiece < m_pieceStarts.size(); ++m_nPiece) {
    const size_t start = m_pieceStarts[m_nPiece];
    SendMarksUpTo(start);
    if (m_request != Request::kNone) break;
    const size_t end = m_nPiece + 1 < m_pieceStarts.size() ? m_pieceStarts[m_nPiece + 1] : m_text.sText.size();
    m_reader.PlayText(m_text.sText.substr(start, end - start));
    if (m_bPausing || m_request == Request::kStop || m_request == Request::kQuit) break;
  }
  m_bSpeaking = false;
  switch (m_request) {
    case Request::kQuit:
      return;
    case Request::kStop:
      if (m_reader.HoldsPosition()) m_reader.StopText();
      m_channel.Send("703 STOP\n");
      return;
    case Request::kPause:
      if (m_bPausing || m_nPiece < m_pieceStarts.size()) {
        m_bHeld = true;
        m_channel.MultiLineReply(700, {kHeldPlaceMark}, "INDEX MARK");
        m_channel.Send("704 PAUSE\n");
        return;
      }
      break;
    case Request::kNone:
      break;
  }
  SendMarksUpTo(m_text.sText.size());
  m_channel.Send("702 END\n");
}

void SpeechModule::SendMarksUpTo(size_t offset) {
  while (m_nNextMark < m_text.marks.size() && m_text.marks[m_nNextMark].nOffset <= offset) {
    m_channel.MultiLineReply(700, {m_text.marks[m_nNextMark++].sName}, "INDEX MARK");
  }
}

void SpeechModule::OnPlayPos(int32_t /*lSeek*/, int32_t /*lLength*/) {
  // A sentence (or clause) starts: the place where a pause takes effect.
  if (m_request == Request::kPause && !m_bPausing) {
    m_bPausing = true;
    m_reader.PauseText();
  }
}

void SpeechModule::OnConvertion(std::u16string& txt) {
  if (!m_bPausing) txt = ApplyReadingOptions(std::move(txt), m_setup.reading);
}

const ModuleVoice& SpeechModule::CurrentVoice() const {
  for (const ModuleVoice& voice : m_setup.voices) {
    if (voice.sName == m_settings.sVoice) return voice;
  }
  return m_setup.voices.front();
}

void SpeechModule::OnPlaySound(std::u16string s) {
  if (m_bPausing || m_request == Request::kStop || m_request == Request::kQuit || m_setup.voices.empty()) return;
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
    if (m_request == Request::kStop || m_request == Request::kQuit) return;
    SendPiece(pcm.data() + at, std::min(m_config.nPieceSamples, pcm.size() - at));
    ServeWaitingCommands();
    if (m_request == Request::kStop || m_request == Request::kQuit) return;
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
  while (m_request != Request::kStop && m_request != Request::kQuit) {
    const auto target = m_tHeardUntil - std::chrono::milliseconds(m_config.nLeadMs);
    const auto now = std::chrono::steady_clock::now();
    if (now >= target) return;
    const auto wait = std::chrono::duration_cast<std::chrono::milliseconds>(target - now).count() + 1;
    if (m_channel.WaitForInput(static_cast<int>(wait))) ServeWaitingCommands();
  }
}

void SpeechModule::Log(const std::string& line) {
  if (!m_debugFile) return;
  std::fprintf(m_debugFile, "sd_ekoto: %s\n", line.size() > 200 ? (line.substr(0, 200) + "...").c_str() : line.c_str());
  std::fflush(m_debugFile);
}

}  // namespace ekoto
