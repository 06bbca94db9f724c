// Cost of reading faster: units of a voice file are fetched, time-stretched to
// the tempo and played through clsPlaySound + the paced null output, as the
// window does. Prints the CPU share of one core, the time added between units
// (wall time minus the stretched sound, over the units) and the stretch's own
// time per unit. With --pitch every unit is also played at a pitch of the
// contour, the levels taken in turn as a reading's plan would give them.
// Usage: bench_tempo [voice.pa=data/50on.pa beside the program] [tempo=3] [seconds=30] [--pitch]
#include <sys/resource.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "ProcessCpu.h"
#include "audio/LoadSoundWithVolume.h"
#include "audio/NullOutput.h"
#include "audio/UnitTempo.h"
#include "audio/clsPlaySound.h"
#include "engine/UnitPitch.h"
#include "util/MessagePump.h"
#include "util/ProgramFolder.h"
#include "util/Utf.h"
#include "voice/PaFile.h"

using namespace ekoto;
using ekoto::bench::CpuSeconds;

namespace {

double Since(std::chrono::steady_clock::time_point t0) {
  return std::chrono::duration<double>(std::chrono::steady_clock::now() - t0).count();
}

}  // namespace

int main(int argc, char** argv) {
  const std::u16string voice = argc > 1 ? Utf8ToUtf16(argv[1]) : ProgramFolder() + u"50on.pa";
  const double dTempo = argc > 2 ? std::atof(argv[2]) : 3.0;
  const double seconds = argc > 3 ? std::atof(argv[3]) : 30.0;
  const bool bPitch = argc > 4 && std::string(argv[4]) == "--pitch";
  // The levels a sentence steps through: low, high, a downstepped high, the lowest high, a final fall.
  const double levels[] = {kLowLevel, kHighLevel, kHighLevel - kDownstep, kLowestHigh, kLowLevel - kFinalFall};
  size_t nLevel = 0;
  double dBefore = kLowLevel;

  PAHEADER header;
  const auto names = GetPASoundNames(voice, header);
  if (!names || names->empty()) {
    std::fprintf(stderr, "no figures: %s holds no units\n", Utf16ToUtf8(voice).c_str());
    return 1;
  }

  MessageQueue queue;
  NullOutput output(true);
  clsPlaySound player(output, queue);
  queue.SetDispatcher([&player](int32_t uMsg, int32_t wParam, int32_t lParam) {
    int32_t hWnd = 0;
    int32_t ret = 0;
    player.EventNofity(hWnd, uMsg, wParam, lParam, ret);
  });

  const double cpu0 = CpuSeconds();
  const auto t0 = std::chrono::steady_clock::now();
  double sound = 0;
  double stretchMax = 0;
  double stretchSum = 0;
  int nUnits = 0;
  while (Since(t0) < seconds) {
    for (const std::u16string& name : *names) {
      PAHEADER h;
      std::vector<uint8_t> bytes = LoadSoundWithVolume(voice, name, 1.0f, h);
      if (bytes.empty()) continue;
      const auto s0 = std::chrono::steady_clock::now();
      int16_t nBits = h.nBitsPerSample;
      UnitPitch pitch;
      if (bPitch) {
        const double dLevel = levels[nLevel++ % std::size(levels)];
        pitch = {dBefore, dLevel, dLevel};
        dBefore = dLevel;
      }
      StretchUnit(bytes, nBits, h.nChannels, h.lSampleRate, dTempo, pitch);
      const double stretch = Since(s0);
      stretchSum += stretch;
      stretchMax = std::max(stretchMax, stretch);
      player.PlaySound(0, bytes, h.lSampleRate, nBits, h.nChannels);
      sound += static_cast<double>(bytes.size()) / (nBits / 8) / h.nChannels / h.lSampleRate;
      ++nUnits;
      if (Since(t0) >= seconds) break;
    }
  }
  const double wall = Since(t0);
  const double cpu = CpuSeconds() - cpu0;

  std::printf("voice: %s, %d units at tempo x%.2f%s through the paced null output, %.2f s of sound in %.3f s\n",
              Utf16ToUtf8(voice).c_str(), nUnits, dTempo, bPitch ? " with pitch" : "", sound, wall);
  std::printf("cpu share of one core: %.3f %% (target <= 5 %%)\n", 100.0 * cpu / wall);
  std::printf("added time between units: %.3f ms (target <= 5 ms)\n", 1000.0 * (wall - sound) / nUnits);
  std::printf("time-stretch per unit: %.3f ms mean, %.3f ms max\n", 1000.0 * stretchSum / nUnits,
              1000.0 * stretchMax);
  return 0;
}
