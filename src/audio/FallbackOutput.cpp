#include "audio/FallbackOutput.h"

#include <utility>

namespace ekoto {

void FallbackOutput::NegatingPump::PostMessage(int32_t uMsg, int32_t wParam, int32_t lParam) {
  m_target.load()->PostMessage(uMsg, uMsg == kWomDone ? -wParam : wParam, lParam);
}

int32_t FallbackOutput::Open(const WAVEFORMATEX& fmt, IMessagePump& notify) {
  const int32_t handle = m_device.Open(fmt, notify);
  if (handle != 0) {
    m_sDeviceError.clear();
    return handle;
  }
  m_sDeviceError = m_device.TakeError();
  m_pump.m_target = &notify;
  if (!m_null) m_null = std::make_unique<NullOutput>(true);
  return -m_null->Open(fmt, m_pump);
}

bool FallbackOutput::Write(int32_t handle, const uint8_t* data, size_t nBytes) {
  return handle < 0 ? m_null->Write(-handle, data, nBytes) : m_device.Write(handle, data, nBytes);
}

void FallbackOutput::Reset(int32_t handle) {
  if (handle < 0) {
    m_null->Reset(-handle);
  } else {
    m_device.Reset(handle);
  }
}

void FallbackOutput::Close(int32_t handle) {
  if (handle < 0) {
    m_null->Close(-handle);
  } else {
    m_device.Close(handle);
  }
}

std::string FallbackOutput::TakeError() {
  if (!m_sDeviceError.empty()) return std::exchange(m_sDeviceError, {});
  return m_device.TakeError();
}

}  // namespace ekoto
