// ekoto-say -o: how many seconds of audio a second of CPU writes to a WAV file,
// for ordinary text, read at one pitch and with an accent plan on every
// sentence (a stand-in source, and the accent estimator).
// Also the cost of shaping one unit the first time, before any is kept.
// Usage: bench_say_file [kilobytes of text=200] [voice.pa=data/50on.pa beside the program]
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <memory>
#include <string>

#include "BenchText.h"
#include "PatternAccent.h"
#include "ProcessCpu.h"
#include "SaySession.h"
#include "audio/LoadSoundWithVolume.h"
#include "audio/Pcm16.h"
#include "audio/TimeStretch.h"
#include "conversion/AccentEstimator.h"
#include "util/ProgramFolder.h"
#include "util/Utf.h"
#include "voice/PaFile.h"

using namespace ekoto;

namespace {

// Reads text into a scratch WAV file; prints the audio's length against the CPU and wall time.
void Measure(const char* sHow, const std::u16string& text, SaySettings settings) {
  const std::string sPath = (std::filesystem::temp_directory_path() /
                             ("bench_say_file_" + std::to_string(getpid()) + ".wav")).string();
  double dAudio = 0;
  const double cpu0 = bench::CpuSeconds();
  const auto t0 = std::chrono::steady_clock::now();
  {
    WavFileOutput wav(sPath);
    SaySession session(settings, wav, &wav);
    session.Read(text);
    wav.Finish();
  }
  const double wall = std::chrono::duration<double>(std::chrono::steady_clock::now() - t0).count();
  const double cpu = bench::CpuSeconds() - cpu0;
  // 16-bit mono after the 44-byte header.
  std::error_code ec;
  const auto nBytes = std::filesystem::file_size(sPath, ec);
  PAHEADER header;
  GetPASoundNames(settings.sPAPath, header);
  if (!ec && header.lSampleRate > 0) dAudio = (static_cast<double>(nBytes) - 44) / 2 / header.lSampleRate;
  std::filesystem::remove(sPath, ec);
  std::printf("%-28s %9.1f s of audio in %7.3f s CPU (%7.3f s wall): %7.0f x real time (target >= 3000)\n", sHow,
              dAudio, cpu, wall, cpu > 0 ? dAudio / cpu : 0.0);
}

}  // namespace

int main(int argc, char** argv) {
  const size_t nKilobytes = argc > 1 ? std::strtoul(argv[1], nullptr, 10) : 200;
  SaySettings settings;
  settings.sPAPath = argc > 2 ? Utf8ToUtf16(argv[2]) : ProgramFolder() + u"50on.pa";
  const std::u16string text = Utf8ToUtf16(bench::JapaneseText(nKilobytes << 10));
  std::printf("ekoto-say -o on %zu KB of text (%zu UTF-16 units), voice %s\n", nKilobytes, text.size(),
              Utf16ToUtf8(settings.sPAPath).c_str());

  Measure("one pitch:", text, settings);
  bench::PatternAccent pattern;
  settings.pAccent = &pattern;
  Measure("with a plan (stand-in):", text, settings);
  CAccentEstimator estimator;
  settings.pAccent = &estimator;
  Measure("with the estimator's plan:", text, settings);

  // One unit shaped from nothing: what the first sentence of a reading pays per unit.
  PAHEADER header;
  const std::vector<uint8_t> bytes = LoadSoundWithVolume(settings.sPAPath, u"か", 1.0f, header);
  const std::vector<int16_t> pcm = ToPcm16(bytes, header.nBitsPerSample, header.nChannels);
  const double cpu0 = bench::CpuSeconds();
  constexpr int kRounds = 200;
  for (int i = 0; i < kRounds; ++i) ChangeTempoAndGlide(pcm, header.lSampleRate, 1.0, -2.0, 2.0, 0.0);
  std::printf("shaping one unit (%.0f ms of sound) not kept before: %.3f ms CPU\n",
              1000.0 * static_cast<double>(pcm.size()) / header.lSampleRate,
              1000.0 * (bench::CpuSeconds() - cpu0) / kRounds);
  return 0;
}
