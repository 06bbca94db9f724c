// AlsaOutput: every device call happens on the worker thread; the owner's calls
// hand it jobs and commands and, for Open and Reset, wait until it has done them.
#include "audio/AlsaOutput.h"

#include <algorithm>
#include <cstdarg>
#include <utility>

namespace ekoto {

namespace {

constexpr unsigned kLatencyUs = 250000;  // device buffer; a quarter of it per write
// The done message goes out when this much is left to play, so the next unit is
// written before the device runs dry, also on a busy machine (through PulseAudio
// every underrun costs a pause that can last seconds).
constexpr int64_t kLeadUs = 150000;
constexpr auto kIdleClose = std::chrono::seconds(2);
constexpr int kMaxRetries = 3;

// alsa-lib prints its own diagnostics to stderr; ours say it once, in words.
void QuietAlsa(const char*, int, const char*, int, const char*, ...) {}

snd_pcm_format_t PcmFormat(int16_t nBits) {
  switch (nBits) {
    case 8: return SND_PCM_FORMAT_U8;
    case 16: return SND_PCM_FORMAT_S16_LE;
    case 24: return SND_PCM_FORMAT_S24_3LE;
    case 32: return SND_PCM_FORMAT_S32_LE;
    default: return SND_PCM_FORMAT_UNKNOWN;
  }
}

std::string Describe(const WAVEFORMATEX& f) {
  return std::to_string(f.nSamplesPerSec) + " Hz, " + std::to_string(f.wBitsPerSample) + " bits, " +
         std::to_string(f.nChannels) + " channel(s)";
}

}  // namespace

AlsaOutput::AlsaOutput(std::string sDevice) : m_sDevice(std::move(sDevice)) {
  static std::once_flag once;
  std::call_once(once, [] { snd_lib_error_set_handler(&QuietAlsa); });
  m_worker = std::thread(&AlsaOutput::WorkerThread, this);
}

AlsaOutput::~AlsaOutput() {
  {
    std::unique_lock<std::mutex> lock(m_mutex);
    m_cvCaller.wait(lock, [this] { return m_command == Command::None; });
    m_command = Command::Quit;
  }
  m_cvWorker.notify_all();
  m_worker.join();
}

int32_t AlsaOutput::Open(const WAVEFORMATEX& fmt, IMessagePump& notify) {
  std::unique_lock<std::mutex> lock(m_mutex);
  m_cvCaller.wait(lock, [this] { return m_command == Command::None; });
  m_command = Command::Open;
  m_commandFmt = fmt;
  m_cvWorker.notify_all();
  m_cvCaller.wait(lock, [this] { return m_command == Command::None; });
  if (!m_bCommandOk) return 0;
  m_pump = &notify;
  return ++m_nLastHandle;
}

bool AlsaOutput::Write(int32_t handle, const uint8_t* data, size_t nBytes) {
  std::lock_guard<std::mutex> lock(m_mutex);
  if (handle != m_nLastHandle || m_pump == nullptr) return false;
  // Copied, so the caller's buffer is free the moment Write returns.
  m_jobs.push_back({m_commandFmt, std::vector<uint8_t>(data, data + nBytes), handle, m_pump});
  m_cvWorker.notify_all();
  return true;
}

void AlsaOutput::Reset(int32_t /*handle*/) {
  std::unique_lock<std::mutex> lock(m_mutex);
  m_cvCaller.wait(lock, [this] { return m_command == Command::None; });
  m_jobs.clear();
  m_bCancel = true;
  m_command = Command::Drop;
  m_cvWorker.notify_all();
  m_cvCaller.wait(lock, [this] { return m_command == Command::None; });
}

void AlsaOutput::Close(int32_t /*handle*/) {
  // The device stays open for the next unit; the worker closes it when idle.
}

std::string AlsaOutput::TakeError() {
  std::lock_guard<std::mutex> lock(m_mutex);
  return std::exchange(m_sError, {});
}

void AlsaOutput::WorkerThread() {
  std::unique_lock<std::mutex> lock(m_mutex);
  for (;;) {
    if (!m_jobs.empty()) {
      Job job = std::move(m_jobs.front());
      m_jobs.pop_front();
      PlayJob(job, lock);
      m_tIdleSince = Clock::now();
      continue;
    }
    if (m_command != Command::None) {
      const bool bQuit = m_command == Command::Quit;
      RunCommand(lock);
      if (bQuit) return;
      continue;
    }
    if (m_pcm == nullptr) {
      m_cvWorker.wait(lock);
      continue;
    }
    const auto tClose = m_tIdleSince + kIdleClose;
    m_cvWorker.wait_until(lock, tClose);
    if (m_jobs.empty() && m_command == Command::None && Clock::now() >= tClose) CloseDevice(true, lock);
  }
}

void AlsaOutput::RunCommand(std::unique_lock<std::mutex>& lock) {
  switch (m_command) {
    case Command::Open:
      m_bCommandOk = EnsureOpen(m_commandFmt, lock);
      m_tIdleSince = Clock::now();
      break;
    case Command::Drop:
      CloseDevice(false, lock);
      m_bCancel = false;
      break;
    case Command::Quit:
      CloseDevice(true, lock);
      break;
    case Command::None:
      break;
  }
  m_command = Command::None;
  m_cvCaller.notify_all();
}

bool AlsaOutput::EnsureOpen(const WAVEFORMATEX& fmt, std::unique_lock<std::mutex>& lock) {
  if (m_pcm != nullptr && SameFormat(m_pcmFmt, fmt)) return true;
  // A new format needs a new stream; what the old one holds is still heard.
  if (m_pcm != nullptr) CloseDevice(true, lock);

  const snd_pcm_format_t pcmFormat = PcmFormat(fmt.wBitsPerSample);
  if (pcmFormat == SND_PCM_FORMAT_UNKNOWN || fmt.nChannels < 1 || fmt.nSamplesPerSec < 1 ||
      fmt.nBlockAlign != fmt.wBitsPerSample / 8 * fmt.nChannels) {
    m_sError = "ekoto: the sound device cannot play " + Describe(fmt);
    return false;
  }
  lock.unlock();
  snd_pcm_t* pcm = nullptr;
  int r = snd_pcm_open(&pcm, m_sDevice.c_str(), SND_PCM_STREAM_PLAYBACK, 0);
  const bool bOpened = r == 0;
  snd_pcm_uframes_t nBuffer = 0;
  snd_pcm_uframes_t nPeriod = 0;
  if (bOpened) {
    r = snd_pcm_set_params(pcm, pcmFormat, SND_PCM_ACCESS_RW_INTERLEAVED, static_cast<unsigned>(fmt.nChannels),
                           static_cast<unsigned>(fmt.nSamplesPerSec), 1, kLatencyUs);
    if (r == 0) r = snd_pcm_get_params(pcm, &nBuffer, &nPeriod);
    // Start with the first frame: a unit shorter than the buffer would otherwise
    // wait, unheard, for the next one.
    snd_pcm_sw_params_t* sw = nullptr;
    if (r == 0) r = snd_pcm_sw_params_malloc(&sw);
    if (r == 0) {
      r = snd_pcm_sw_params_current(pcm, sw);
      if (r == 0) r = snd_pcm_sw_params_set_start_threshold(pcm, sw, 1);
      if (r == 0) r = snd_pcm_sw_params(pcm, sw);
      snd_pcm_sw_params_free(sw);
    }
    if (r < 0) snd_pcm_close(pcm);
  }
  lock.lock();
  if (r < 0) {
    m_sError = bOpened ? "ekoto: the sound device does not take " + Describe(fmt) + " (ALSA " + m_sDevice + ": " +
                             snd_strerror(r) + ")"
                       : "ekoto: no sound device could be opened (ALSA " + m_sDevice + ": " + snd_strerror(r) + ")";
    return false;
  }
  m_pcm = pcm;
  m_pcmFmt = fmt;
  m_nPeriodFrames = std::max<snd_pcm_uframes_t>(nPeriod, 1);
  return true;
}

void AlsaOutput::CloseDevice(bool bDrain, std::unique_lock<std::mutex>& lock) {
  snd_pcm_t* pcm = std::exchange(m_pcm, nullptr);
  if (pcm == nullptr) return;
  lock.unlock();
  if (bDrain) {
    snd_pcm_drain(pcm);
  } else {
    snd_pcm_drop(pcm);
  }
  snd_pcm_close(pcm);
  lock.lock();
}

void AlsaOutput::PlayJob(Job& job, std::unique_lock<std::mutex>& lock) {
  if (m_bCancel) return;
  if (!EnsureOpen(job.fmt, lock)) {
    // No done message would ever come otherwise; the unit is silent.
    job.pump->PostMessage(kWomDone, job.handle, 0);
    return;
  }
  const size_t nAlign = static_cast<size_t>(job.fmt.nBlockAlign);
  const snd_pcm_uframes_t nFrames = job.data.size() / nAlign;
  snd_pcm_uframes_t nDone = 0;
  int nFailures = 0;
  // Written a period at a time, so a reset waits for one period at most.
  while (nDone < nFrames && !m_bCancel) {
    const snd_pcm_uframes_t n = std::min(m_nPeriodFrames, nFrames - nDone);
    snd_pcm_t* pcm = m_pcm;
    lock.unlock();
    snd_pcm_sframes_t r = snd_pcm_writei(pcm, job.data.data() + nDone * nAlign, n);
    // An underrun after a pause between units is normal: prepare and go on.
    if (r < 0) r = snd_pcm_recover(pcm, static_cast<int>(r), 1);
    lock.lock();
    if (r > 0) {
      nDone += static_cast<snd_pcm_uframes_t>(r);
      nFailures = 0;
    } else if (r < 0 || ++nFailures > kMaxRetries) {
      m_sError = "ekoto: the sound device stopped playing (ALSA " + m_sDevice + ": " +
                 snd_strerror(r < 0 ? static_cast<int>(r) : -EIO) + ")";
      CloseDevice(false, lock);
      break;
    }
  }
  snd_pcm_sframes_t nDelay = 0;
  if (!m_bCancel && m_pcm != nullptr && snd_pcm_delay(m_pcm, &nDelay) == 0) {
    const int64_t nLeftUs = static_cast<int64_t>(nDelay) * 1000000 / job.fmt.nSamplesPerSec;
    if (nLeftUs > kLeadUs) {
      m_cvWorker.wait_for(lock, std::chrono::microseconds(nLeftUs - kLeadUs), [this] { return m_bCancel; });
    }
  }
  // Under the lock: once Reset has set the flag, no done message can follow.
  if (!m_bCancel) job.pump->PostMessage(kWomDone, job.handle, 0);
}

}  // namespace ekoto
