// The sound output that plays through ALSA (PCM "default", which reaches PipeWire
// or PulseAudio where they run). A worker thread feeds the device; the device stays
// open between buffers of one format so that units join without gaps.
#pragma once
#include <alsa/asoundlib.h>

#include <chrono>
#include <condition_variable>
#include <deque>
#include <mutex>
#include <thread>
#include <vector>

#include "audio/SoundOutput.h"

namespace ekoto {

class AlsaOutput : public ISoundOutput {
 public:
  explicit AlsaOutput(std::string sDevice = "default");
  // Lets what is queued be heard, then closes the device.
  ~AlsaOutput() override;
  AlsaOutput(const AlsaOutput&) = delete;
  AlsaOutput& operator=(const AlsaOutput&) = delete;

  // Opens the device now (or keeps it when the format is the same), so that a
  // missing device is known before any buffer is written.
  int32_t Open(const WAVEFORMATEX& fmt, IMessagePump& notify) override;
  // Copies the buffer and returns; the done message comes when all of it is in the
  // device and little enough is left that the next buffer joins without a gap.
  bool Write(int32_t handle, const uint8_t* data, size_t nBytes) override;
  // Drops what is queued and closes the device.
  void Reset(int32_t handle) override;
  void Close(int32_t handle) override;
  std::string TakeError() override;

 private:
  using Clock = std::chrono::steady_clock;
  struct Job {
    WAVEFORMATEX fmt;
    std::vector<uint8_t> data;
    int32_t handle = 0;
    IMessagePump* pump = nullptr;
  };
  enum class Command { None, Open, Drop, Quit };

  void WorkerThread();
  // The worker's own steps; called with the lock held, they may release it while
  // the device blocks.
  bool EnsureOpen(const WAVEFORMATEX& fmt, std::unique_lock<std::mutex>& lock);
  void CloseDevice(bool bDrain, std::unique_lock<std::mutex>& lock);
  void PlayJob(Job& job, std::unique_lock<std::mutex>& lock);
  void RunCommand(std::unique_lock<std::mutex>& lock);

  const std::string m_sDevice;
  int32_t m_nLastHandle = 0;
  IMessagePump* m_pump = nullptr;

  std::mutex m_mutex;
  std::condition_variable m_cvWorker;  // the worker waits for work here
  std::condition_variable m_cvCaller;  // callers wait for their command here
  Command m_command = Command::None;
  WAVEFORMATEX m_commandFmt;
  bool m_bCommandOk = false;
  std::deque<Job> m_jobs;   // written, not yet taken by the worker
  bool m_bCancel = false;  // drop the running job
  std::string m_sError;

  // Owned by the worker thread.
  snd_pcm_t* m_pcm = nullptr;
  WAVEFORMATEX m_pcmFmt;
  snd_pcm_uframes_t m_nPeriodFrames = 0;
  Clock::time_point m_tIdleSince{};

  std::thread m_worker;
};

}  // namespace ekoto
