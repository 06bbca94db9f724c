// What options.dat needs from the main window: the settings it holds itself
// (volume, speed, bounds) rather than the options record. The window implements it.
#pragma once
#include <cstdint>

namespace ekoto {

class IOptionsWindow {
 public:
  virtual ~IOptionsWindow() = default;

  // The sliders as factors: volume 0.00 to 4.00, speed 0.000 to 1.000. The
  // setters do their own range check; loading hands values on unchecked.
  virtual float GetVolume() = 0;
  virtual void SetVolume(float volume) = 0;
  virtual float GetSpeed() = 0;
  virtual void SetSpeed(float speed) = 0;

  // The last bounds seen in the normal state (p_WindowLeft ... p_WindowHeight), in pixels.
  virtual int32_t WindowLeft() = 0;
  virtual int32_t WindowTop() = 0;
  virtual int32_t WindowWidth() = 0;
  virtual int32_t WindowHeight() = 0;

  // Move or size the window at once, in pixels; only the window's own limits apply.
  virtual void SetWindowLeft(int32_t left) = 0;
  virtual void SetWindowTop(int32_t top) = 0;
  virtual void SetWindowWidth(int32_t width) = 0;
  virtual void SetWindowHeight(int32_t height) = 0;
};

}  // namespace ekoto
