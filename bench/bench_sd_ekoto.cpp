// sd_ekoto as the server sees it: the time from a SPEAK to the first audio
// block for one sentence and for a 10 KB message (target <= 30 ms), and how
// many seconds of audio the module makes per second of its CPU time, at the
// normal rate and at rate 100 (time-stretched to three times the speed).
// Runs the sd_ekoto built beside it, producing audio as fast as it can.
#include <poll.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <fstream>
#include <string>
#include <vector>

#include "BenchText.h"

namespace {

class Module {
 public:
  Module(const std::string& bin, const std::string& config) {
    int in[2], out[2];
    if (pipe(in) != 0 || pipe(out) != 0) return;
    m_pid = fork();
    if (m_pid == 0) {
      dup2(in[0], 0);
      dup2(out[1], 1);
      close(in[1]);
      close(out[0]);
      execl(bin.c_str(), bin.c_str(), config.c_str(), static_cast<char*>(nullptr));
      _exit(127);
    }
    close(in[0]);
    close(out[1]);
    m_in = in[1];
    m_out = out[0];
  }
  ~Module() {
    close(m_in);
    close(m_out);
    kill(m_pid, SIGKILL);
    waitpid(m_pid, nullptr, 0);
  }
  void Send(const std::string& s) {
    for (size_t at = 0; at < s.size();) {
      const ssize_t n = write(m_in, s.data() + at, s.size() - at);
      if (n <= 0) return;
      at += static_cast<size_t>(n);
    }
  }
  // Reads to the next line starting with prefix; false when the module went quiet.
  bool ReadTo(const std::string& prefix, double* seconds = nullptr) {
    std::string line;
    while (ReadLine(line)) {
      if (line.rfind("705-sample_rate=", 0) == 0) m_nRate = std::stol(line.substr(16));
      if (seconds && line.rfind("705-num_samples=", 0) == 0 && m_nRate > 0) *seconds += std::stod(line.substr(16)) / m_nRate;
      if (line.rfind(prefix, 0) == 0) return true;
    }
    return false;
  }
  // User and system CPU time of the module so far, in seconds.
  double CpuSeconds() const {
    std::ifstream stat("/proc/" + std::to_string(m_pid) + "/stat");
    std::string s((std::istreambuf_iterator<char>(stat)), {});
    const size_t close = s.rfind(')');
    if (close == std::string::npos) return 0;
    std::vector<std::string> fields;
    std::string field;
    for (size_t i = close + 2; i <= s.size(); ++i) {
      if (i == s.size() || s[i] == ' ') {
        fields.push_back(field);
        field.clear();
      } else {
        field += s[i];
      }
    }
    // utime and stime are fields 14 and 15 of the line, 12 and 13 after the name.
    return fields.size() > 12 ? (std::stod(fields[11]) + std::stod(fields[12])) / sysconf(_SC_CLK_TCK) : 0;
  }

 private:
  bool ReadLine(std::string& line) {
    while (true) {
      const size_t nl = m_buffer.find('\n');
      if (nl != std::string::npos) {
        line.assign(m_buffer, 0, nl);
        m_buffer.erase(0, nl + 1);
        return true;
      }
      pollfd pfd{m_out, POLLIN, 0};
      if (poll(&pfd, 1, 120000) <= 0) return false;
      char chunk[65536];
      const ssize_t n = read(m_out, chunk, sizeof chunk);
      if (n <= 0) return false;
      m_buffer.append(chunk, static_cast<size_t>(n));
    }
  }
  pid_t m_pid = -1;
  int m_in = -1;
  int m_out = -1;
  std::string m_buffer;
  long m_nRate = 0;
};

double Median(std::vector<double> v) {
  std::sort(v.begin(), v.end());
  return v[v.size() / 2];
}

// Milliseconds from sending the whole SPEAK to the first audio block, then the rest is stopped.
double FirstAudioMs(Module& module, const std::string& text) {
  const auto start = std::chrono::steady_clock::now();
  module.Send("SPEAK\n" + text + "\n.\n");
  module.ReadTo("705-");
  const double ms = std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count();
  module.Send("STOP\n");
  module.ReadTo("703");
  return ms;
}

}  // namespace

int main(int, char** argv) {
  std::string folder = argv[0];
  folder = folder.substr(0, folder.find_last_of('/') + 1);
  const std::string config = "/tmp/bench_sd_ekoto_" + std::to_string(getpid()) + ".conf";
  std::ofstream(config) << "EkotoRealTime 0\n";
  Module module(folder + "sd_ekoto", config);
  module.Send("INIT\nAUDIO\naudio_output_method=server\n.\n");
  if (!module.ReadTo("203 OK AUDIO")) {
    std::printf("sd_ekoto did not start (built beside this benchmark?)\n");
    return 1;
  }
  const std::string sentence = "今日は2024年12月6日です。";
  const std::string tenKB = ekoto::bench::JapaneseText(10u << 10);
  FirstAudioMs(module, sentence);  // the analyser loads its dictionary

  std::printf("sd_ekoto: SPEAK to the first audio block (target <= 30 ms), median of 20\n");
  for (const auto& [name, text] : {std::pair{"one sentence", sentence}, std::pair{"10 KB message", tenKB}}) {
    std::vector<double> times;
    for (int i = 0; i < 20; ++i) times.push_back(FirstAudioMs(module, text));
    std::printf("  %-14s %7.2f ms (fastest %.2f, slowest %.2f)\n", name, Median(times),
                *std::min_element(times.begin(), times.end()), *std::max_element(times.begin(), times.end()));
  }

  std::printf("sd_ekoto: audio made per CPU second, 10 KB message read to its end\n");
  for (int rate : {0, 100}) {
    module.Send("SET\nrate=" + std::to_string(rate) + "\n.\n");
    module.ReadTo("203 OK SETTINGS");
    const double cpu0 = module.CpuSeconds();
    double audio = 0;
    module.Send("SPEAK\n" + tenKB + "\n.\n");
    module.ReadTo("702", &audio);
    const double cpu = module.CpuSeconds() - cpu0;
    std::printf("  rate %3d: %7.1f s of audio in %5.2f s of CPU: %6.1f audio seconds per CPU second\n", rate, audio,
                cpu, cpu > 0 ? audio / cpu : 0.0);
  }
  std::remove(config.c_str());
  return 0;
}
