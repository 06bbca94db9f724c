// Cost of the voice source file readers on a voice of every required unit:
// the first lookup (which indexes the file), later lookups, and the listing.
// Prints microseconds per call.
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <filesystem>
#include <thread>

#include "util/Utf.h"
#include "voice/PaFile.h"
#include "voice/PaWriter.h"
#include "voice/RequiredUnits.h"

using namespace ekoto;
using Clock = std::chrono::steady_clock;

static double MicrosSince(Clock::time_point start, int calls) {
  return std::chrono::duration<double, std::micro>(Clock::now() - start).count() / calls;
}

int main() {
  const std::filesystem::path path =
      std::filesystem::temp_directory_path() / ("ekoto_bench_" + std::to_string(getpid()) + ".pa");
  const std::u16string path16 = Utf8ToUtf16(path.string());
  const std::vector<std::u16string> units = RequiredUnits();
  std::vector<PaUnit> voice;
  for (size_t k = 0; k < units.size(); ++k) voice.push_back({units[k], std::vector<uint8_t>(4410, uint8_t(k))});
  if (!WritePAFile(path16, voice, 22050, 1).bOk) return 1;
  // Indexes of files changed in the last two seconds are not kept; let it age.
  std::this_thread::sleep_for(std::chrono::milliseconds(2200));

  std::vector<uint8_t> sample;
  PAHEADER header;
  auto start = Clock::now();
  FindPASound(path16, u"ー", sample, header);
  std::printf("first lookup (indexes %zu entries, %jd bytes): %.1f us\n", units.size(),
              static_cast<intmax_t>(std::filesystem::file_size(path)), MicrosSince(start, 1));

  const int rounds = 50;
  start = Clock::now();
  for (int r = 0; r < rounds; ++r) {
    for (const std::u16string& unit : units) FindPASound(path16, unit, sample, header);
  }
  std::printf("lookup of a unit (4410-byte ciphered sample): %.2f us\n",
              MicrosSince(start, rounds * static_cast<int>(units.size())));

  const std::u16string plain16 = path16 + u".plain";
  if (!WritePAFile(plain16, voice, 22050, 0).bOk) return 1;
  std::this_thread::sleep_for(std::chrono::milliseconds(2200));
  FindPASound(plain16, u"ー", sample, header);
  start = Clock::now();
  for (int r = 0; r < rounds; ++r) {
    for (const std::u16string& unit : units) FindPASound(plain16, unit, sample, header);
  }
  std::printf("lookup of a unit (4410-byte plain sample): %.2f us\n",
              MicrosSince(start, rounds * static_cast<int>(units.size())));
  std::filesystem::remove(Utf16ToUtf8(plain16));

  start = Clock::now();
  for (int r = 0; r < rounds * 100; ++r) FindPASound(path16, u"ゐ", sample, header);
  std::printf("lookup of a missing unit: %.2f us\n", MicrosSince(start, rounds * 100));

  start = Clock::now();
  for (int r = 0; r < rounds * 100; ++r) GetPASoundNames(path16, header);
  std::printf("listing of %zu names: %.2f us\n", units.size(), MicrosSince(start, rounds * 100));

  std::filesystem::remove(path);
  return 0;
}
