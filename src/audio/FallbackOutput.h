// A sound output that never leaves the reading without a pace: when the device
// cannot be opened, the buffer goes to a paced null output instead and lasts as
// long as it would have sounded. The device's reason stays the error to report,
// and every buffer tries the device again, so sound comes back once it is fixed.
#pragma once
#include <atomic>
#include <memory>
#include <string>

#include "audio/NullOutput.h"
#include "audio/SoundOutput.h"

namespace ekoto {

class FallbackOutput : public ISoundOutput {
 public:
  explicit FallbackOutput(ISoundOutput& device) : m_device(device) {}

  // The device's handle, or (negated) the null output's when the device failed.
  int32_t Open(const WAVEFORMATEX& fmt, IMessagePump& notify) override;
  bool Write(int32_t handle, const uint8_t* data, size_t nBytes) override;
  void Reset(int32_t handle) override;
  void Close(int32_t handle) override;
  // Why the device could not be opened for the last buffer, else the device's own error.
  std::string TakeError() override;

 private:
  // Passes the null output's done messages on with the handle negated, so that
  // they never pass for the device's.
  class NegatingPump : public IMessagePump {
   public:
    void PostMessage(int32_t uMsg, int32_t wParam, int32_t lParam) override;
    void WaitAndDispatch() override { m_target.load()->WaitAndDispatch(); }
    std::atomic<IMessagePump*> m_target{nullptr};
  };

  ISoundOutput& m_device;
  NegatingPump m_pump;
  std::unique_ptr<NullOutput> m_null;  // made the first time the device fails
  std::string m_sDeviceError;
};

}  // namespace ekoto
