// Cost of synchronous unit playback: the CPU share of one core while units play
// through clsPlaySound + MessageQueue + the paced null output, and the time added
// between units at speed 1.00 (wall time of N units minus their sound, over N).
// Usage: bench_play_cpu [seconds=30] [unit-ms=200] [--alsa]
#include <sys/resource.h>

#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "ProcessCpu.h"
#include "audio/AlsaOutput.h"
#include "audio/LoadSoundWithVolume.h"
#include "audio/NullOutput.h"
#include "audio/clsPlaySound.h"
#include "util/MessagePump.h"

using namespace ekoto;
using ekoto::bench::CpuSeconds;

int main(int argc, char** argv) {
  double seconds = 30;
  int unitMs = 200;
  bool bAlsa = false;
  int nPositional = 0;
  for (int i = 1; i < argc; ++i) {
    if (std::strcmp(argv[i], "--alsa") == 0) {
      bAlsa = true;
    } else if (nPositional++ == 0) {
      seconds = std::atof(argv[i]);
    } else {
      unitMs = std::atoi(argv[i]);
    }
  }
  const int32_t lHz = 22050;
  const int nUnits = std::max(1, static_cast<int>(seconds * 1000 / unitMs));
  const size_t nBytes = static_cast<size_t>(lHz) * static_cast<size_t>(unitMs) / 1000;

  // A 440 Hz tone as 8-bit unsigned samples, like a voice file's.
  std::vector<uint8_t> tone(nBytes);
  for (size_t i = 0; i < nBytes; ++i) {
    tone[i] = static_cast<uint8_t>(127 + std::lround(60 * std::sin(2 * M_PI * 440 * static_cast<double>(i) / lHz)));
  }

  MessageQueue queue;
  std::unique_ptr<ISoundOutput> output;
  if (bAlsa) {
    output = std::make_unique<AlsaOutput>();
  } else {
    output = std::make_unique<NullOutput>(true);
  }
  clsPlaySound player(*output, queue);
  queue.SetDispatcher([&player](int32_t uMsg, int32_t wParam, int32_t lParam) {
    int32_t hWnd = 0;
    int32_t ret = 0;
    player.EventNofity(hWnd, uMsg, wParam, lParam, ret);
  });

  std::string sFailure;
  player.SetReport([&sFailure](const std::string& s) { sFailure = s; });

  const double cpu0 = CpuSeconds();
  const auto t0 = std::chrono::steady_clock::now();
  std::vector<uint8_t> unit(nBytes);
  for (int n = 0; n < nUnits; ++n) {
    // The volume pass every unit gets on its way to the output.
    for (size_t i = 0; i < nBytes; ++i) {
      unit[i] = ClipToByte(static_cast<float>(static_cast<int>(tone[i]) - 127) * 0.8f + 127.0f);
    }
    player.PlaySound(0, unit, lHz, 8, 1);
  }
  const double wall = std::chrono::duration<double>(std::chrono::steady_clock::now() - t0).count();
  const double cpu = CpuSeconds() - cpu0;
  if (!sFailure.empty()) {
    std::fprintf(stderr, "%s\nno figures: the units were not played\n", sFailure.c_str());
    return 1;
  }
  const double sound = static_cast<double>(nUnits) * static_cast<double>(nBytes) / lHz;

  std::printf("output: %s, %d units of %d ms (8-bit mono %d Hz), %.2f s of sound in %.3f s\n",
              bAlsa ? "ALSA default" : "paced null", nUnits, unitMs, lHz, sound, wall);
  std::printf("cpu share of one core: %.3f %% (target <= 2 %%)\n", 100.0 * cpu / wall);
  std::printf("added time between units: %.3f ms (target <= 5 ms)%s\n", 1000.0 * (wall - sound) / nUnits,
              bAlsa ? " [ALSA: done comes 30 ms before the end of the last unit]" : "");
  return 0;
}
