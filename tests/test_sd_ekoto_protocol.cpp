// sd_ekoto run as the server runs it: a child process on two pipes, spoken to
// in speech-dispatcher's module protocol, its answers read back as events.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <poll.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <string>
#include <vector>

namespace {

// One line of output; an audio block becomes "AUDIO" with its samples decoded.
struct Event {
  std::string line;
  size_t nSamples = 0;
};

class ModuleProcess {
 public:
  explicit ModuleProcess(const std::string& config) {
    m_sConfig = std::string(::testing::TempDir()) + "sd_ekoto_" + std::to_string(getpid()) + ".conf";
    FILE* f = std::fopen(m_sConfig.c_str(), "w");
    std::fputs(config.c_str(), f);
    std::fclose(f);
    int in[2], out[2];
    if (pipe(in) != 0 || pipe(out) != 0) return;
    m_pid = fork();
    if (m_pid == 0) {
      dup2(in[0], 0);
      dup2(out[1], 1);
      close(in[1]);
      close(out[0]);
      const std::string bin = std::string(EKOTO_BIN_DIR) + "/sd_ekoto";
      execl(bin.c_str(), bin.c_str(), m_sConfig.c_str(), static_cast<char*>(nullptr));
      _exit(127);
    }
    close(in[0]);
    close(out[1]);
    m_in = in[1];
    m_out = out[0];
    signal(SIGPIPE, SIG_IGN);
  }
  ~ModuleProcess() {
    CloseInput();
    if (m_pid > 0) {
      kill(m_pid, SIGKILL);
      waitpid(m_pid, nullptr, 0);
    }
    if (m_out >= 0) close(m_out);
    std::remove(m_sConfig.c_str());
  }

  void Send(const std::string& text) {
    for (size_t at = 0; at < text.size();) {
      const ssize_t n = write(m_in, text.data() + at, text.size() - at);
      if (n <= 0) return;
      at += static_cast<size_t>(n);
    }
  }
  void CloseInput() {
    if (m_in >= 0) close(m_in);
    m_in = -1;
  }
  // The exit status, or -1 when it did not exit within a minute (a hang).
  int Wait() {
    for (int i = 0; i < 600; ++i) {
      int status = 0;
      if (waitpid(m_pid, &status, WNOHANG) == m_pid) {
        m_pid = -1;
        return WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
      }
      usleep(100000);
    }
    return -1;
  }

  // The next event; "" when the module said nothing for a minute or closed its output.
  Event Next() {
    Event event;
    std::string line;
    if (!ReadLine(line)) return event;
    if (line.rfind(std::string("705-AUDIO\0", 10), 0) == 0) {
      // The escaped samples run to the next newline that is not escaped.
      const std::string raw = Unescape(line.substr(10));
      event.nSamples = raw.size() / 2;
      event.line = raw.size() == m_nAnnounced * 2 ? "AUDIO" : "AUDIO OF WRONG SIZE";
      ReadLine(line);  // "705 AUDIO"
      return event;
    }
    if (line.rfind("705-num_samples=", 0) == 0) m_nAnnounced = std::stoul(line.substr(16));
    if (line.rfind("705-", 0) == 0) return Next();
    event.line = line;
    return event;
  }
  // Events up to and including the first line starting with one of ends;
  // audio blocks in a row are counted into one "AUDIO" event.
  std::vector<Event> Until(const std::vector<std::string>& ends) {
    std::vector<Event> events;
    while (true) {
      Event event = Next();
      if (event.line.empty()) return events;
      if (event.line == "AUDIO" && !events.empty() && events.back().line == "AUDIO") {
        events.back().nSamples += event.nSamples;
      } else {
        events.push_back(event);
      }
      for (const std::string& end : ends) {
        if (event.line.rfind(end, 0) == 0) return events;
      }
    }
  }

 private:
  bool ReadLine(std::string& line) {
    while (true) {
      const size_t nl = m_sBuffer.find('\n');
      if (nl != std::string::npos) {
        line = m_sBuffer.substr(0, nl);
        m_sBuffer.erase(0, nl + 1);
        return true;
      }
      pollfd pfd{m_out, POLLIN, 0};
      if (poll(&pfd, 1, 60000) <= 0) return false;
      char buffer[65536];
      const ssize_t n = read(m_out, buffer, sizeof buffer);
      if (n <= 0) return false;
      m_sBuffer.append(buffer, static_cast<size_t>(n));
    }
  }
  static std::string Unescape(const std::string& s) {
    std::string out;
    for (size_t i = 0; i < s.size(); ++i) out += s[i] == 0x7d && i + 1 < s.size() ? static_cast<char>(s[++i] ^ 0x20) : s[i];
    return out;
  }

  std::string m_sConfig;
  pid_t m_pid = -1;
  int m_in = -1;
  int m_out = -1;
  std::string m_sBuffer;
  size_t m_nAnnounced = 0;
};

std::vector<std::string> Lines(const std::vector<Event>& events) {
  std::vector<std::string> lines;
  for (const Event& event : events) lines.push_back(event.line);
  return lines;
}

size_t Samples(const std::vector<Event>& events) {
  size_t n = 0;
  for (const Event& event : events) n += event.nSamples;
  return n;
}

// A module past INIT, producing audio as fast as it can.
class SdEkoto : public ::testing::Test {
 protected:
  void SetUp() override {
    m_module.Send("INIT\n");
    const auto events = m_module.Until({"299 ", "399 "});
    ASSERT_FALSE(events.empty());
    ASSERT_EQ(events.back().line, "299 OK LOADED SUCCESSFULLY");
  }
  std::vector<Event> Speak(const std::string& message, const std::string& after = "") {
    m_module.Send("SPEAK\n" + message + "\n.\n" + after);
    return m_module.Until({"702", "703", "704", "301", "305"});
  }
  ModuleProcess m_module{"EkotoRealTime 0\n"};
};

const std::string kThreeSentences = "あいう。かきく。さしす。";

TEST_F(SdEkoto, CommandsGetTheirReplies) {
  struct Row {
    std::string send;
    std::vector<std::string> reply;
  };
  const Row rows[] = {
      {"AUDIO\naudio_output_method=server\n.\n", {"207 OK RECEIVING AUDIO SETTINGS", "203 OK AUDIO INITIALIZED"}},
      {"AUDIO\naudio_output_method=alsa\naudio_alsa_device=null\n.\n",
       {"207 OK RECEIVING AUDIO SETTINGS", "303 ERROR INVALID PARAMETER OR VALUE"}},
      {"LOGLEVEL\nlog_level=3\n.\n", {"207 OK RECEIVING LOGLEVEL SETTINGS", "203 OK LOGLEVEL SET"}},
      {"SET\npitch=-10\npitch_range=0\nrate=20\nvolume=50\npunctuation_mode=some\nspelling_mode=off\n"
       "cap_let_recogn=none\nvoice=female1\nlanguage=ja\nsynthesis_voice=NULL\n.\n",
       {"203 OK RECEIVING SETTINGS", "203 OK SETTINGS RECEIVED"}},
      {"SET\nrate=fast\n.\n", {"203 OK RECEIVING SETTINGS", "303 ERROR INVALID PARAMETER OR VALUE"}},
      {"SET\nvolume=101\n.\n", {"203 OK RECEIVING SETTINGS", "303 ERROR INVALID PARAMETER OR VALUE"}},
      {"SET\nvoice=robot\n.\n", {"203 OK RECEIVING SETTINGS", "303 ERROR INVALID PARAMETER OR VALUE"}},
      {"SET\ncolour=red\n.\n", {"203 OK RECEIVING SETTINGS", "303 ERROR INVALID PARAMETER OR VALUE"}},
      {"SET\nrate\n.\n", {"203 OK RECEIVING SETTINGS", "302 ERROR BAD SYNTAX"}},
      {"DEBUG ON /nonexistent/folder/log\n", {"303 CANT OPEN CUSTOM DEBUG FILE"}},
      {"DEBUG OFF\n", {"200 OK DEBUGGING OFF"}},
      {"DEBUG\n", {"302 ERROR BAD SYNTAX"}},
      {"HELLO\n", {"300 ERR UNKNOWN COMMAND"}},
      {"SPEAK\n.\n", {"202 OK RECEIVING MESSAGE", "301 ERROR CANT SPEAK"}},
      {"CHAR\na\nb\n.\n", {"202 OK RECEIVING MESSAGE", "305 DATA MORE THAN ONE LINE"}},
      {"SOUND_ICON\nbell\n.\n",
       {"202 OK RECEIVING MESSAGE", "200 OK SPEAKING", "701 BEGIN", "706-bell", "706 ICON", "702 END"}},
      {"STOP\nPAUSE\nLOGLEVEL\nlog_level=1\n.\n", {"207 OK RECEIVING LOGLEVEL SETTINGS", "203 OK LOGLEVEL SET"}},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.send);
    m_module.Send(row.send);
    std::vector<std::string> got;
    while (got.size() < row.reply.size()) {
      const Event event = m_module.Next();
      if (event.line.empty()) break;
      got.push_back(event.line);
    }
    EXPECT_EQ(got, row.reply);
  }
  m_module.Send("LIST VOICES\n");
  const auto voices = Lines(m_module.Until({"200 ", "304 "}));
  ASSERT_GE(voices.size(), 2u);
  EXPECT_EQ(voices.front(), "200-50on\tja\tnone");
  EXPECT_EQ(voices.back(), "200 OK VOICE LIST SENT");
  m_module.Send("QUIT\n");
  EXPECT_EQ(m_module.Next().line, "210 OK QUIT");
  EXPECT_EQ(m_module.Wait(), 0);
}

TEST_F(SdEkoto, MarksFollowTheAudioBeforeThem) {
  const auto events = Speak("<speak>あい<mark name=\"one\"/>うえ。<mark name=\"two\"/>お</speak><mark name=\"end\"/>");
  EXPECT_EQ(Lines(events), (std::vector<std::string>{"202 OK RECEIVING MESSAGE", "200 OK SPEAKING", "701 BEGIN",
                                                     "AUDIO", "700-one", "700 INDEX MARK", "AUDIO", "700-two",
                                                     "700 INDEX MARK", "AUDIO", "700-end", "700 INDEX MARK",
                                                     "702 END"}));
}

TEST_F(SdEkoto, StopCutsALongTextWithinOnePiece) {
  std::string text;
  for (int i = 0; i < 2000; ++i) text += "あいうえお。";
  const auto events = Speak(text, "STOP\n");
  ASSERT_FALSE(events.empty());
  EXPECT_EQ(events.back().line, "703 STOP");
  EXPECT_LE(Samples(events), 2048u);
  // Still listening, and a STOP when nothing is read has no answer.
  m_module.Send("STOP\nLIST VOICES\n");
  EXPECT_EQ(m_module.Next().line.substr(0, 4), "200-");
}

TEST_F(SdEkoto, PauseHoldsTheNextSentenceAndResumesThere) {
  const size_t nWhole = Samples(Speak(kThreeSentences));
  const auto paused = Speak(kThreeSentences, "PAUSE\n");
  ASSERT_FALSE(paused.empty());
  EXPECT_EQ(paused.back().line, "704 PAUSE");
  const auto resumed = Speak(kThreeSentences);
  ASSERT_FALSE(resumed.empty());
  EXPECT_EQ(resumed.back().line, "702 END");
  // Nothing is lost and nothing is heard twice.
  EXPECT_GT(Samples(paused), 0u);
  EXPECT_GT(Samples(resumed), 0u);
  EXPECT_EQ(Samples(paused) + Samples(resumed), nWhole);
  // Another text after a pause is read from its beginning.
  Speak(kThreeSentences, "PAUSE\n");
  EXPECT_EQ(Samples(Speak("かきく。さしす。")), Samples(Speak("かきく。さしす。")));
}

TEST_F(SdEkoto, RateChangesTheLength) {
  const size_t nNormal = Samples(Speak(kThreeSentences));
  struct Row {
    int rate;
    double lowest, highest;  // of the length against rate 0
  };
  for (const Row& row : {Row{100, 0.30, 0.37}, Row{50, 0.52, 0.64}, Row{-100, 1.5, 20.0}}) {
    SCOPED_TRACE(row.rate);
    m_module.Send("SET\nrate=" + std::to_string(row.rate) + "\n.\n");
    m_module.Until({"203 OK SETTINGS", "30"});
    const double ratio = double(Samples(Speak(kThreeSentences))) / double(nNormal);
    EXPECT_GE(ratio, row.lowest);
    EXPECT_LE(ratio, row.highest);
  }
}

TEST_F(SdEkoto, CharsKeysAndHostileInputAreSpoken) {
  for (const std::string& send : {std::string("CHAR\na\n.\n"), std::string("CHAR\nspace\n.\n"),
                                  std::string("KEY\nshift_a\n.\n"), std::string("SPEAK\n\xff\xfe\xe3\x81\x82\n.\n")}) {
    SCOPED_TRACE(send);
    m_module.Send(send);
    const auto events = m_module.Until({"702", "703", "30"});
    ASSERT_FALSE(events.empty());
    EXPECT_EQ(events.back().line, "702 END");
    EXPECT_GT(Samples(events), 0u);
  }
  // A megabyte in one message is taken, and stopped.
  const auto big = Speak(std::string(1 << 20, 'a'), "STOP\n");
  ASSERT_FALSE(big.empty());
  EXPECT_EQ(big.back().line, "703 STOP");
}

TEST_F(SdEkoto, InputClosedMidMessageEndsTheModule) {
  m_module.Send("SPEAK\nあいう");
  m_module.CloseInput();
  EXPECT_EQ(m_module.Next().line, "202 OK RECEIVING MESSAGE");
  EXPECT_EQ(m_module.Wait(), 1);
}

}  // namespace
