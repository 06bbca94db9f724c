// A sound output that appends every buffer to one WAV file instead of playing it,
// so a reading can be saved. The file takes the format of the first buffer.
#pragma once
#include <sndfile.h>

#include <optional>
#include <string>
#include <vector>

#include "audio/SoundOutput.h"

namespace ekoto {

class WavFileOutput : public ISoundOutput {
 public:
  // sPath (UTF-8) is created, or replaced, at the first Open.
  explicit WavFileOutput(std::string sPath);
  ~WavFileOutput() override;
  WavFileOutput(const WavFileOutput&) = delete;
  WavFileOutput& operator=(const WavFileOutput&) = delete;

  // Fails for a format other than the file's.
  int32_t Open(const WAVEFORMATEX& fmt, IMessagePump& notify) override;
  // Appends the buffer and posts its done message at once.
  bool Write(int32_t handle, const uint8_t* data, size_t nBytes) override;
  void Reset(int32_t /*handle*/) override {}
  void Close(int32_t /*handle*/) override {}
  std::string TakeError() override;

  // Appends ms milliseconds of silence; before the file exists, it goes at its start.
  void AppendSilence(int32_t ms);
  // Completes the file (header sizes) and closes it. Returns false if writing failed
  // at any point. Runs on destruction too.
  bool Finish();

 private:
  bool WriteBytes(const uint8_t* data, size_t nBytes);
  bool Flush();

  static constexpr size_t kFlushBytes = 1 << 20;
  void Fail(const std::string& sWhy);

  std::string m_sPath;
  SNDFILE* m_file = nullptr;
  std::vector<uint8_t> m_pending;  // written at kFlushBytes and by Finish
  std::optional<WAVEFORMATEX> m_fmt;  // set by the first Open
  IMessagePump* m_pump = nullptr;
  int32_t m_nLastHandle = 0;
  int64_t m_nLeadingSilenceMs = 0;
  bool m_bFailed = false;
  std::string m_sFailure;  // the first failure, kept
  std::string m_sError;    // waiting for TakeError
};

}  // namespace ekoto
