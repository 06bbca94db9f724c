// sd_ekoto run as the server runs it: a child process on two pipes, spoken to
// in speech-dispatcher's module protocol, its answers read back as events.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <poll.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <fstream>
#include <string>
#include <thread>
#include <vector>

namespace {

// The lines the module wrote; audio blocks in a row become one "AUDIO" line.
struct Reply {
  std::vector<std::string> lines;
  size_t nSamples = 0;
  std::string Last() const { return lines.empty() ? "" : lines.back(); }
};

// A module past INIT, producing audio as fast as it can.
class SdEkoto : public ::testing::Test {
 protected:
  void SetUp() override {
    std::ofstream(m_sConfig) << "EkotoRealTime 0\n";
    // A sanitizer build keeps freed memory aside (its quarantine); kept small,
    // the memory test sees the module's own growth rather than the sanitizer's.
    static const std::string sAsanOptions =
        std::string(getenv("ASAN_OPTIONS") ? getenv("ASAN_OPTIONS") : "") + ":quarantine_size_mb=16";
    setenv("ASAN_OPTIONS", sAsanOptions.c_str(), 1);
    int in[2], out[2];
    ASSERT_TRUE(pipe2(in, O_CLOEXEC) == 0 && pipe2(out, O_CLOEXEC) == 0);
    m_pid = fork();
    if (m_pid == 0) {
      dup2(in[0], 0);
      dup2(out[1], 1);
      const std::string bin = std::string(EKOTO_BIN_DIR) + "/sd_ekoto";
      execl(bin.c_str(), bin.c_str(), m_sConfig.c_str(), static_cast<char*>(nullptr));
      _exit(127);
    }
    close(in[0]);
    close(out[1]);
    m_pIn = fdopen(in[1], "w");
    m_out = out[0];
    signal(SIGPIPE, SIG_IGN);
    Send("INIT\n");
    ASSERT_EQ(Until({"299 ", "399 "}).Last(), "299 OK LOADED SUCCESSFULLY");
  }
  ~SdEkoto() override {
    CloseInput();
    if (m_pid > 0) {
      kill(m_pid, SIGKILL);
      waitpid(m_pid, nullptr, 0);
    }
    close(m_out);
    std::remove(m_sConfig.c_str());
  }

  void Send(const std::string& text) {
    std::fwrite(text.data(), 1, text.size(), m_pIn);
    std::fflush(m_pIn);
  }
  void CloseInput() {
    if (m_pIn) std::fclose(m_pIn);
    m_pIn = nullptr;
  }
  // The exit status, or -1 when it did not exit within a minute (a hang).
  int Wait() {
    int status = 0;
    for (int i = 0; waitpid(m_pid, &status, WNOHANG) != m_pid; ++i) {
      if (i == 600) return -1;
      usleep(100000);
    }
    m_pid = -1;
    return WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
  }

  // The reply up to and including the first line starting with one of ends, or
  // all until the module closes its output or says nothing for a minute.
  Reply Until(const std::vector<std::string>& ends) {
    Reply reply;
    size_t nAnnounced = 0;
    for (std::string line; ReadLine(line);) {
      if (line.rfind("705-num_samples=", 0) == 0) nAnnounced = std::stoul(line.substr(16));
      if (line.rfind(std::string("705-AUDIO\0", 10), 0) == 0) {
        // The escaped samples run to the next newline that is not escaped.
        size_t nBytes = 0;
        for (size_t i = 10; i < line.size(); i += line[i] == 0x7d ? 2 : 1) ++nBytes;
        if (reply.Last() != "AUDIO") reply.lines.push_back("AUDIO");
        if (nBytes != nAnnounced * 2) reply.lines.back() = "AUDIO OF WRONG SIZE";
        reply.nSamples += nBytes / 2;
      } else if (line.rfind("705", 0) != 0) {
        reply.lines.push_back(line);
        for (const std::string& end : ends)
          if (line.rfind(end, 0) == 0) return reply;
      }
    }
    return reply;
  }
  // The most memory the module has held so far, in kB.
  long PeakMemoryKb() const {
    std::ifstream status("/proc/" + std::to_string(m_pid) + "/status");
    std::string line;
    while (std::getline(status, line) && !line.starts_with("VmHWM:")) {}
    return line.empty() ? -1 : std::stol(line.substr(6));
  }
  Reply Speak(const std::string& message, const std::string& after = "") {
    Send("SPEAK\n" + message + "\n.\n" + after);
    return Until({"702", "703", "704", "30"});
  }

 private:
  bool ReadLine(std::string& line) {
    size_t nl;
    while ((nl = m_sBuffer.find('\n')) == std::string::npos) {
      pollfd pfd{m_out, POLLIN, 0};
      char buffer[65536];
      const ssize_t n = poll(&pfd, 1, 60000) > 0 ? read(m_out, buffer, sizeof buffer) : 0;
      if (n <= 0) return false;
      m_sBuffer.append(buffer, static_cast<size_t>(n));
    }
    line = m_sBuffer.substr(0, nl);
    m_sBuffer.erase(0, nl + 1);
    return true;
  }

  std::string m_sConfig = std::string(::testing::TempDir()) + "sd_ekoto_" + std::to_string(getpid()) + ".conf";
  pid_t m_pid = -1;
  FILE* m_pIn = nullptr;
  int m_out = -1;
  std::string m_sBuffer;
};

const std::string kThreeSentences = "あいう。かきく。さしす。";
const std::string kMessage = "202 OK RECEIVING MESSAGE", kSpeaking = "200 OK SPEAKING";

std::string LongText() {
  std::string text;
  for (int i = 0; i < 2000; ++i) text += "あいうえお。";
  return text;
}

TEST_F(SdEkoto, CommandsGetTheirReplies) {
  const std::string kSet = "203 OK RECEIVING SETTINGS", kBadValue = "303 ERROR INVALID PARAMETER OR VALUE";
  const std::string log = std::string(::testing::TempDir()) + "sd_ekoto_debug_" + std::to_string(getpid());
  std::string longKey;
  for (int i = 0; i < 100000; ++i) longKey += "a_";
  const std::vector<std::string> kSpoken = {kMessage, kSpeaking, "701 BEGIN", "AUDIO", "702 END"};
  const std::pair<std::string, std::vector<std::string>> rows[] = {
      {"AUDIO\naudio_output_method=server\n.\n", {"207 OK RECEIVING AUDIO SETTINGS", "203 OK AUDIO INITIALIZED"}},
      {"AUDIO\naudio_output_method=alsa\naudio_alsa_device=null\n.\n", {"207 OK RECEIVING AUDIO SETTINGS", kBadValue}},
      {"LOGLEVEL\nlog_level=3\n.\n", {"207 OK RECEIVING LOGLEVEL SETTINGS", "203 OK LOGLEVEL SET"}},
      {"SET\npitch=-10\npitch_range=0\nrate=20\nvolume=50\npunctuation_mode=some\nspelling_mode=off\n"
       "cap_let_recogn=none\nvoice=female1\nlanguage=ja\nsynthesis_voice=NULL\n.\n",
       {kSet, "203 OK SETTINGS RECEIVED"}},
      {"SET\nrate=fast\n.\n", {kSet, kBadValue}}, {"SET\nvolume=101\n.\n", {kSet, kBadValue}},
      {"SET\nvoice=robot\n.\n", {kSet, kBadValue}}, {"SET\ncolour=red\n.\n", {kSet, kBadValue}},
      {"SET\nrate\n.\n", {kSet, "302 ERROR BAD SYNTAX"}},
      {"DEBUG ON /nonexistent/folder/log\n", {"303 CANT OPEN CUSTOM DEBUG FILE"}},
      {"DEBUG OFF\n", {"200 OK DEBUGGING OFF"}}, {"DEBUG\n", {"302 ERROR BAD SYNTAX"}},
      {"DEBUG ON " + log + " \n", {"200 OK DEBUGGING ON"}}, {"DEBUG OFF \n", {"200 OK DEBUGGING OFF"}},  // as 0.11 sends them
      {"HELLO\n", {"300 ERR UNKNOWN COMMAND"}}, {"SPEAK\n.\n", {kMessage, "301 ERROR CANT SPEAK"}},
      {"CHAR\na\nb\n.\n", {kMessage, "305 DATA MORE THAN ONE LINE"}},
      {"SOUND_ICON\nbell\n.\n", {kMessage, kSpeaking, "701 BEGIN", "706-bell", "706 ICON", "702 END"}},
      {"CHAR\na\n.\n", kSpoken}, {"CHAR\nspace\n.\n", kSpoken}, {"KEY\nshift_a\n.\n", kSpoken},
      {"CHAR\n<\n.\n", kSpoken}, {"KEY\n" + longKey + "a\n.\n", {kMessage, "301 ERROR CANT SPEAK"}},
      {"SPEAK\n\xff\xfe\xe3\x81\x82\n.\n", kSpoken},  // invalid UTF-8
      // A mark comes after the audio before it, also outside <speak>.
      {"SPEAK\n<speak>あい<mark name=\"one\"/>うえ。<mark name=\"two\"/>お</speak><mark name=\"end\"/>\n.\n",
       {kMessage, kSpeaking, "701 BEGIN", "AUDIO", "700-one", "700 INDEX MARK", "AUDIO", "700-two",
        "700 INDEX MARK", "AUDIO", "700-end", "700 INDEX MARK", "702 END"}},
      // STOP and PAUSE when nothing is read have no answer.
      {"STOP\nPAUSE\nLOGLEVEL\nlog_level=1\n.\n", {"207 OK RECEIVING LOGLEVEL SETTINGS", "203 OK LOGLEVEL SET"}},
      {"LIST VOICES\n", {"200-50on\tja\tnone", "200 OK VOICE LIST SENT"}},  // the voices installed in the build
      {"QUIT\n", {"210 OK QUIT"}},
  };
  for (const auto& [send, reply] : rows) {
    SCOPED_TRACE(send);
    Send(send);
    EXPECT_EQ(Until({reply.back(), "30"}).lines, reply);
  }
  EXPECT_EQ(Wait(), 0);
  EXPECT_EQ(std::remove(log.c_str()), 0);  // the log is named without the server's trailing space
}

TEST_F(SdEkoto, EveryMessageBeginsAndEndsOnceInOrderWhenOthersComeDuringIt) {
  const std::string reading = "SPEAK\n" + LongText() + "\n.\n";
  const std::vector<std::string> kReading = {kMessage, kSpeaking, "701 BEGIN", "AUDIO"};
  const std::pair<std::string, std::vector<std::string>> rows[] = {
      {"SOUND_ICON\nbell\n.\n", {kMessage, kSpeaking, "703 STOP", "701 BEGIN", "706-bell", "706 ICON", "702 END"}},
      // The one in the middle is stopped before it begins.
      {"SPEAK\nあ\n.\nSPEAK\nい\n.\n",
       {kMessage, kSpeaking, kMessage, kSpeaking, "703 STOP", "701 BEGIN", "703 STOP", "701 BEGIN", "AUDIO", "702 END"}},
      {"SPEAK\nあ\n.\nSTOP\nSOUND_ICON\nx\n.\n", {kMessage, kSpeaking, kMessage, kSpeaking, "703 STOP", "701 BEGIN",
                                              "703 STOP", "701 BEGIN", "706-x", "706 ICON", "702 END"}},
  };
  for (const auto& [during, events] : rows) {
    SCOPED_TRACE(during);
    Send(reading + during);
    std::vector<std::string> expected = kReading;
    expected.insert(expected.end(), events.begin(), events.end());
    EXPECT_EQ(Until({events.back()}).lines, expected);
  }
}

TEST_F(SdEkoto, ALineWithoutEndDuringAReadingIsDroppedAsItComes) {
  Speak(kThreeSentences);  // the dictionary and the voice in memory
  const long nBefore = PeakMemoryKb();
  std::thread junk([&] {
    Send("SPEAK\n" + LongText() + "\n.\n");
    for (int i = 0; i < 100; ++i) Send(std::string(1 << 20, 'x'));
    Send("\nSTOP\n");
  });
  const Reply reply = Until({"702", "703"});
  junk.join();
  EXPECT_EQ(reply.Last(), "703 STOP");
  EXPECT_LT(PeakMemoryKb() - nBefore, 32 * 1024);  // of the 100 MB
}

TEST_F(SdEkoto, StopCutsALongTextOrAMegabyteWithinOnePiece) {
  for (const std::string& message : {LongText(), std::string(1 << 20, 'a')}) {  // the second also shows it still listens
    const Reply stopped = Speak(message, "STOP\n");
    EXPECT_EQ(stopped.Last(), "703 STOP");
    EXPECT_LE(stopped.nSamples, 2048u);
  }
}

TEST_F(SdEkoto, PauseHoldsTheNextSentenceAndResumesThere) {
  const size_t nWhole = Speak(kThreeSentences).nSamples;
  // A text-mode message as the server sends it, and as it sends it back to resume.
  const Reply paused = Speak("<speak>" + kThreeSentences + "</speak>", "PAUSE\n");
  const Reply resumed = Speak("<speak>&lt;speak&gt;" + kThreeSentences + "</speak>");
  EXPECT_EQ(paused.Last(), "704 PAUSE");
  EXPECT_EQ(resumed.Last(), "702 END");
  // Nothing is lost and nothing is heard twice.
  EXPECT_TRUE(paused.nSamples > 0 && resumed.nSamples > 0);
  EXPECT_EQ(paused.nSamples + resumed.nSamples, nWhole);
  // Another text after a pause is read from its beginning.
  Speak(kThreeSentences, "PAUSE\n");
  EXPECT_EQ(Speak("かきく。さしす。").nSamples, Speak("かきく。さしす。").nSamples);
}

TEST_F(SdEkoto, RateChangesTheLength) {
  const size_t nNormal = Speak(kThreeSentences).nSamples;
  struct Row { int rate; double lowest, highest; };  // of the length against rate 0
  for (const Row& row : {Row{100, 0.30, 0.37}, Row{50, 0.52, 0.64}, Row{-100, 1.5, 20.0}}) {
    SCOPED_TRACE(row.rate);
    Send("SET\nrate=" + std::to_string(row.rate) + "\n.\n");
    EXPECT_EQ(Until({"203 OK SETTINGS", "30"}).Last(), "203 OK SETTINGS RECEIVED");
    const double ratio = double(Speak(kThreeSentences).nSamples) / double(nNormal);
    EXPECT_GE(ratio, row.lowest);
    EXPECT_LE(ratio, row.highest);
  }
}

TEST_F(SdEkoto, InputClosedMidMessageEndsTheModule) {
  Send("SPEAK\nあいう");
  CloseInput();
  EXPECT_EQ(Until({}).lines, std::vector<std::string>{"202 OK RECEIVING MESSAGE"});
  EXPECT_EQ(Wait(), 1);
}

}  // namespace
