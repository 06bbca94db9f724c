#include "speechd/SsipChannel.h"

#include <poll.h>
#include <unistd.h>

#include <cerrno>

namespace ekoto {

bool SsipChannel::FillBuffer(int timeoutMs) {
  if (m_bClosed) return false;
  pollfd pfd{m_inFd, POLLIN, 0};
  int ready;
  do {
    ready = poll(&pfd, 1, timeoutMs);
  } while (ready < 0 && errno == EINTR);
  if (ready <= 0) return false;
  char buffer[65536];
  ssize_t n;
  do {
    n = read(m_inFd, buffer, sizeof buffer);
  } while (n < 0 && errno == EINTR);
  if (n <= 0) {
    m_bClosed = true;
    return false;
  }
  m_sInput.append(buffer, static_cast<size_t>(n));
  return true;
}

void SsipChannel::DropOverlongStart(size_t maxLength) {
  if (m_sInput.size() <= maxLength) return;
  m_sInput.clear();
  m_nScanned = 0;
  m_bDroppingLine = true;
}

bool SsipChannel::WaitForInput(int timeoutMs, size_t maxLength) {
  while (true) {
    if (m_sInput.find('\n', m_nScanned) != std::string::npos || m_bClosed) return true;
    DropOverlongStart(maxLength);
    m_nScanned = m_sInput.size();
    if (!FillBuffer(timeoutMs)) return m_bClosed;
  }
}

SsipChannel::ReadEnd SsipChannel::ReadLine(std::string& retLine, size_t maxLength) {
  while (true) {
    const size_t nl = m_sInput.find('\n', m_nScanned);
    if (nl != std::string::npos) {
      const bool bTooLong = m_bDroppingLine || nl > maxLength;
      m_bDroppingLine = false;
      if (!bTooLong) retLine.assign(m_sInput, 0, nl);
      m_sInput.erase(0, nl + 1);
      m_nScanned = 0;
      return bTooLong ? ReadEnd::kTooLong : ReadEnd::kLine;
    }
    DropOverlongStart(maxLength);
    m_nScanned = m_sInput.size();
    if (!FillBuffer(-1)) {
      if (m_bClosed) return ReadEnd::kClosed;
    }
  }
}

void SsipChannel::WriteAll(std::string_view bytes) {
  while (!bytes.empty() && !m_bBroken) {
    const ssize_t n = write(m_outFd, bytes.data(), bytes.size());
    if (n < 0) {
      if (errno == EINTR) continue;
      m_bBroken = true;
      return;
    }
    bytes.remove_prefix(static_cast<size_t>(n));
  }
}

void SsipChannel::Send(std::string_view text) { WriteAll(text); }

void SsipChannel::Reply(int code, std::string_view text) {
  WriteAll(std::to_string(code) + " " + std::string(text) + "\n");
}

void SsipChannel::MultiLineReply(int code, const std::vector<std::string>& lines, std::string_view text) {
  const std::string prefix = std::to_string(code);
  std::string out;
  for (const std::string& line : lines) out += prefix + "-" + line + "\n";
  out += prefix + " " + std::string(text) + "\n";
  WriteAll(out);
}

std::string EscapeAudioBytes(std::string_view bytes) {
  constexpr char kEscape = 0x7d;
  constexpr char kInvert = 1 << 5;
  std::string out;
  out.reserve(bytes.size() + bytes.size() / 64);
  for (char c : bytes) {
    if (c == '\n' || c == kEscape) {
      out += kEscape;
      out += static_cast<char>(c ^ kInvert);
    } else {
      out += c;
    }
  }
  return out;
}

void SsipChannel::SendAudio(const int16_t* samples, size_t count, int sampleRate) {
  std::string raw(count * 2, '\0');
  for (size_t i = 0; i < count; ++i) {
    const auto v = static_cast<uint16_t>(samples[i]);
    raw[2 * i] = static_cast<char>(v & 0xff);
    raw[2 * i + 1] = static_cast<char>(v >> 8);
  }
  std::string out = "705-bits=16\n705-num_channels=1\n705-sample_rate=" + std::to_string(sampleRate) +
                    "\n705-num_samples=" + std::to_string(count) + "\n705-big_endian=0\n705-AUDIO";
  out += '\0';
  out += EscapeAudioBytes(raw);
  out += "\n705 AUDIO\n";
  WriteAll(out);
}

}  // namespace ekoto
