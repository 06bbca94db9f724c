// NullOutput: a timer thread posts each buffer's done message when its playing
// time has passed, as a device that plays in real time would.
#include "audio/NullOutput.h"

#include <algorithm>

namespace ekoto {

NullOutput::NullOutput(bool bPaced) : m_bPaced(bPaced) {
  if (m_bPaced) m_timer = std::thread(&NullOutput::TimerThread, this);
}

NullOutput::~NullOutput() {
  if (!m_timer.joinable()) return;
  {
    std::lock_guard<std::mutex> lock(m_mutex);
    m_bQuit = true;
  }
  m_cv.notify_all();
  m_timer.join();
}

int32_t NullOutput::Open(const WAVEFORMATEX& fmt, IMessagePump& notify) {
  m_fmt = fmt;
  m_pump = &notify;
  return ++m_nLastHandle;
}

bool NullOutput::Write(int32_t handle, const uint8_t* /*data*/, size_t nBytes) {
  if (handle != m_nLastHandle || m_pump == nullptr) return false;
  if (!m_bPaced) {
    m_pump->PostMessage(kWomDone, handle, 0);
    return true;
  }
  const size_t nFrames = m_fmt.nBlockAlign > 0 ? nBytes / static_cast<size_t>(m_fmt.nBlockAlign) : 0;
  const auto duration = m_fmt.nSamplesPerSec > 0
                            ? std::chrono::nanoseconds(static_cast<int64_t>(nFrames) * 1000000000 / m_fmt.nSamplesPerSec)
                            : std::chrono::nanoseconds(0);
  {
    std::lock_guard<std::mutex> lock(m_mutex);
    // A buffer given while the previous one still plays starts where that one ends.
    m_tPlayedTo = std::max(Clock::now(), m_tPlayedTo) + duration;
    m_pending.push_back({m_tPlayedTo, handle, m_pump});
  }
  m_cv.notify_all();
  return true;
}

void NullOutput::Reset(int32_t handle) {
  std::lock_guard<std::mutex> lock(m_mutex);
  std::erase_if(m_pending, [handle](const Pending& p) { return p.handle == handle; });
  m_tPlayedTo = Clock::now();
}

void NullOutput::Close(int32_t /*handle*/) {}

void NullOutput::TimerThread() {
  std::unique_lock<std::mutex> lock(m_mutex);
  while (!m_bQuit) {
    if (m_pending.empty()) {
      m_cv.wait(lock);
      continue;
    }
    const Pending next = m_pending.front();
    if (Clock::now() < next.tDone) {
      // Woken early by a new buffer, a reset or the end; look again.
      m_cv.wait_until(lock, next.tDone);
      continue;
    }
    m_pending.erase(m_pending.begin());
    // Posted under the lock, so a Reset that returned has no post still to come.
    next.pump->PostMessage(kWomDone, next.handle, 0);
  }
}

}  // namespace ekoto
