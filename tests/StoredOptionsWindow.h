// A window for options.dat that only stores what it is given: for programs
// that save or load options without a real window.
#pragma once
#include <cstdint>

#include "settings/IOptionsWindow.h"

namespace ekoto::testing {

class StoredOptionsWindow : public IOptionsWindow {
 public:
  float volume = 1.0f;
  float speed = 0.5f;
  int32_t left = 120, top = 90, width = 640, height = 480;

  float GetVolume() override { return volume; }
  void SetVolume(float v) override { volume = v; }
  float GetSpeed() override { return speed; }
  void SetSpeed(float v) override { speed = v; }
  int32_t WindowLeft() override { return left; }
  int32_t WindowTop() override { return top; }
  int32_t WindowWidth() override { return width; }
  int32_t WindowHeight() override { return height; }
  void SetWindowLeft(int32_t v) override { left = v; }
  void SetWindowTop(int32_t v) override { top = v; }
  void SetWindowWidth(int32_t v) override { width = v; }
  void SetWindowHeight(int32_t v) override { height = v; }
};

}  // namespace ekoto::testing
