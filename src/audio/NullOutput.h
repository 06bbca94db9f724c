// A sound output that plays nothing: each buffer is done after its duration on the
// steady clock (paced), or at once (unpaced). For tests, benchmarks and machines
// without sound.
#pragma once
#include <chrono>
#include <condition_variable>
#include <mutex>
#include <thread>
#include <vector>

#include "audio/SoundOutput.h"

namespace ekoto {

class NullOutput : public ISoundOutput {
 public:
  explicit NullOutput(bool bPaced = true);
  ~NullOutput() override;
  NullOutput(const NullOutput&) = delete;
  NullOutput& operator=(const NullOutput&) = delete;

  int32_t Open(const WAVEFORMATEX& fmt, IMessagePump& notify) override;
  bool Write(int32_t handle, const uint8_t* data, size_t nBytes) override;
  void Reset(int32_t handle) override;
  void Close(int32_t handle) override;
  std::string TakeError() override { return {}; }

 private:
  using Clock = std::chrono::steady_clock;
  struct Pending {
    Clock::time_point tDone;
    int32_t handle;
    IMessagePump* pump;
  };
  void TimerThread();

  const bool m_bPaced;
  WAVEFORMATEX m_fmt;
  IMessagePump* m_pump = nullptr;
  int32_t m_nLastHandle = 0;

  std::mutex m_mutex;
  std::condition_variable m_cv;
  std::vector<Pending> m_pending;  // in order of tDone
  Clock::time_point m_tPlayedTo{};  // where the "device" is done with what it was given
  bool m_bQuit = false;
  std::thread m_timer;
};

}  // namespace ekoto
