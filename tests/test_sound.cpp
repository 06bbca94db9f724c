// The sound layer without a sound card: clsPlaySound against a scripted output
// (cancelling, nested calls, failures, wave files), the volume scaling of unit
// samples, and the three outputs (WAV file, null, ALSA on its
// "null" device).
#include <gtest/gtest.h>
#include <sndfile.h>

#include <chrono>
#include <functional>
#include <thread>
#include <tuple>

#include "PaTestFiles.h"
#include "audio/AlsaOutput.h"
#include "audio/LoadSoundWithVolume.h"
#include "audio/NullOutput.h"
#include "audio/PlaySoundFile.h"
#include "audio/WavFileOutput.h"
#include "audio/clsPlaySound.h"
#include "util/MessagePump.h"

namespace ekoto {
namespace {

using Bytes = std::vector<uint8_t>;
using Log = std::vector<std::string>;
constexpr int32_t kMsgA = 2001, kMsgB = 2002, kMsgWaited = 2099;

// Logs every call; posts done at Write only when bAutoDone.
class FakeOutput : public ISoundOutput {
 public:
  int32_t Open(const WAVEFORMATEX& fmt, IMessagePump& notify) override {
    log.push_back("open " + std::to_string(fmt.wBitsPerSample));
    format = fmt;
    pump = &notify;
    sError = sOpenError;
    return sOpenError.empty() ? ++nLastHandle : 0;
  }
  bool Write(int32_t handle, const uint8_t* data, size_t nBytes) override {
    log.push_back("write " + std::to_string(handle));
    written.assign(data, data + nBytes);
    sError = sWriteError;
    if (bAutoDone && sWriteError.empty()) pump->PostMessage(kWomDone, handle, 0);
    return sWriteError.empty();
  }
  void Reset(int32_t handle) override { log.push_back("reset " + std::to_string(handle)); }
  void Close(int32_t handle) override { log.push_back("close " + std::to_string(handle)); }
  std::string TakeError() override { return std::exchange(sError, {}); }
  bool bAutoDone = true;
  std::string sOpenError, sWriteError, sError;
  int32_t nLastHandle = 0;
  IMessagePump* pump = nullptr;
  Log log;
  WAVEFORMATEX format;
  Bytes written;
};

// The owner: every dispatched message goes to the player, then to onMessage.
// kMsgWaited notes whether it came while a unit played, and ends that wait.
struct Owner {
  Owner() {
    queue.SetDispatcher([this](int32_t uMsg, int32_t wParam, int32_t lParam) {
      int32_t hWnd = 0, ret = 0;
      player.EventNofity(hWnd, uMsg, wParam, lParam, ret);
      if (uMsg == kMsgWaited) output.log.push_back(player.IsPlaying() ? "waited" : "after"), player.CancelPlay();
      if (onMessage) onMessage(uMsg);
    });
  }
  void Play(const Bytes& wave, int32_t lHz = 22050, int16_t nBits = 8, int16_t nChannels = 1) {
    player.PlaySound(0, wave, lHz, nBits, nChannels);
  }
  FakeOutput output;
  MessageQueue queue;
  clsPlaySound player{output, queue};
  std::function<void(int32_t uMsg)> onMessage;
};

const Bytes kWave = {127, 130, 140, 120, 127};

// Scripted waits: the messages posted before Play, what the owner does as each is
// dispatched, and everything that happened in order (the output's calls, the owner's notes).
TEST(SoundPlay, CancelAndNestedCallsDuringTheWait) {
  using Script = std::function<void(Owner&, int32_t uMsg)>;
  const std::tuple<const char*, std::vector<std::pair<int32_t, int32_t>>, Script, Log> rows[] = {
      {"cancel resets before returning", {{kMsgA, 0}},
       [](Owner& o, int32_t uMsg) { if (uMsg == kMsgA) o.player.CancelPlay(); },
       {"open 8", "write 1", "reset 1", "close 1"}},
      {"another device's done and other messages do not end the wait", {{kWomDone, 77}, {kMsgB, 0}},
       [](Owner& o, int32_t uMsg) {
         if (uMsg != kMsgB) return;
         o.output.log.push_back(o.player.IsPlaying() ? "playing" : "ended");
         o.queue.PostMessage(kWomDone, o.output.nLastHandle, 0);
       },
       {"open 8", "write 1", "playing", "close 1"}},
      {"a nested play plays nothing and waits with the outer one", {{kMsgA, 0}, {kMsgB, 0}},
       [](Owner& o, int32_t uMsg) {
         if (uMsg == kMsgB) o.output.log.push_back("done posted"), o.queue.PostMessage(kWomDone, o.output.nLastHandle, 0);
         if (uMsg != kMsgA) return;
         o.Play({1, 2, 3}, 8000, 16, 2);
         o.output.log.push_back(o.player.IsPlaying() ? "nested returned while playing" : "nested returned");
       },
       {"open 8", "write 1", "done posted", "close 1", "nested returned"}},
      {"a play after the done in the same dispatch gets its own device and format", {{kWomDone, 1}, {kMsgA, 0}},
       [](Owner& o, int32_t uMsg) {
         if (uMsg != kMsgA) return;
         o.output.bAutoDone = true;
         o.Play({0, 0, 1, 0}, 8000, 16, 1);
         o.output.log.push_back("nested returned");
       },
       {"open 8", "write 1", "close 1", "open 16", "write 2", "close 2", "nested returned"}},
  };
  for (const auto& [label, posts, script, expected] : rows) {
    Owner o;
    o.output.bAutoDone = false;
    o.onMessage = [&o, &script = script](int32_t uMsg) { script(o, uMsg); };
    for (const auto& [uMsg, wParam] : posts) o.queue.PostMessage(uMsg, wParam, 0);
    o.Play(kWave);
    EXPECT_EQ(o.output.log, expected) << label;
  }
}

// A new device per unit; a failing one returns at once and is reported once until a unit plays, which is reported too.
TEST(SoundPlay, FailuresReturnAtOnceAndAreReportedOnce) {
  Owner o;
  Log reports;
  o.player.SetReport([&](const std::string& s) { reports.push_back(s); });
  const std::pair<std::string, std::string> plays[] = {
      {"no device", ""}, {"no device", ""}, {"", ""}, {"", "stopped"}, {"", "stopped"}};
  for (const auto& [sOpenError, sWriteError] : plays) {
    std::tie(o.output.sOpenError, o.output.sWriteError) = std::tie(sOpenError, sWriteError);
    if (!(sOpenError + sWriteError).empty()) o.queue.PostMessage(kMsgWaited, 0, 0);  // "after" unless it waits
    o.Play(kWave);
    o.queue.DispatchPending();
  }
  EXPECT_EQ(o.output.log, (Log{"open 8", "after", "open 8", "after", "open 8", "write 1", "close 1", "open 8", "write 2",
                               "close 2", "after", "open 8", "write 3", "close 3", "after"}));
  EXPECT_EQ(reports, (Log{"no device", "", "stopped"}));
}

// The wait before a unit reaches the output as silence in the unit's format, and
// a wait alone as silence in the format played last.
TEST(SoundPlay, WaitsAreWrittenAsSilence) {
  Owner o;
  EXPECT_FALSE(o.player.PlaySilence(0, 100)) << "no format played yet";
  EXPECT_TRUE(o.output.written.empty());
  // nBits 0: a wait alone, in the format played last.
  struct Row { int32_t lWaitMs, lHz; int16_t nBits, nChannels; Bytes written; };
  const Row rows[] = {
      {.lWaitMs = 1, .lHz = 8000, .nBits = 8, .nChannels = 1, .written = Bytes(8, 0x80)},
      {.lWaitMs = 250, .lHz = 8000, .nBits = 0, .nChannels = 0, .written = Bytes(2000, 0x80)},
      {.lWaitMs = 2, .lHz = 16000, .nBits = 16, .nChannels = 2, .written = Bytes(128, 0)},
      {.lWaitMs = 10, .lHz = 0, .nBits = 0, .nChannels = 0, .written = Bytes(640, 0)},
      {.lWaitMs = 0, .lHz = 8000, .nBits = 8, .nChannels = 1, .written = {}},
  };
  for (const Row& row : rows) {
    Bytes expected = row.written;
    if (row.nBits == 0) {
      EXPECT_TRUE(o.player.PlaySilence(0, row.lWaitMs));
    } else {
      o.player.PlaySoundAfter(0, row.lWaitMs, kWave, row.lHz, row.nBits, row.nChannels);
      expected.insert(expected.end(), kWave.begin(), kWave.end());
    }
    EXPECT_EQ(o.output.written, expected) << row.lWaitMs;
  }
}

// Unsigned 8-bit 0, 128, 255 play as signed 16-bit little-endian -32768, 0, 32512.
TEST(SoundPlay, WaveFileIsPlayedAsSixteenBitAndMissingFilesAreIgnored) {
  testing::ScratchDir dir;
  SF_INFO info{0, 11025, 1, SF_FORMAT_WAV | SF_FORMAT_PCM_U8, 0, 0};
  SNDFILE* f = sf_open(dir.Path("a.wav").c_str(), SFM_WRITE, &info);
  const uint8_t raw[] = {0, 128, 255};
  ASSERT_TRUE(f != nullptr && sf_write_raw(f, raw, 3) == 3 && sf_close(f) == 0);
  Owner o;
  PlayWaveFile(dir.Path16("missing.wav"), o.player);  // nothing played
  PlayWaveFile(dir.Path16("a.wav"), o.player);
  EXPECT_EQ(o.output.log, (Log{"open 16", "write 1", "close 1"}));
  EXPECT_EQ(o.output.format.nSamplesPerSec, 11025);
  EXPECT_EQ(o.output.written, (Bytes{0x00, 0x80, 0x00, 0x00, 0x00, 0x7F}));
}

// Every byte is scaled about 127, clipped and rounded half to even; ゔ, which CP932
// cannot name, is found as ヴ; a missing unit gives no bytes but the header.
TEST(SoundVolume, LoadSoundWithVolumeScalesEveryByteOfTheUnit) {
  testing::ScratchDir dir;
  const Bytes sample = {0, 10, 126, 127, 128, 130, 131, 200, 255};
  testing::WriteBytes(dir.Path("v.pa"), testing::RawPa().Header(2).Entry("\x82\xa0", sample).Entry("\x83\x94", {1}).bytes());
  const std::tuple<std::u16string, float, Bytes> rows[] = {
      {u"あ", 1.0f, sample},
      {u"あ", 0.0f, Bytes(9, 127)},
      {u"あ", 2.0f, {0, 0, 125, 127, 129, 133, 135, 255, 255}},   // 10 -> -107 and 200 -> 273
      {u"あ", 0.5f, {64, 68, 126, 127, 128, 128, 129, 164, 191}},  // 127.5 and 128.5 to even
      {u"ゔ", 1.0f, {1}}, {u"い", 1.0f, {}},
  };
  for (const auto& [unit, factor, expected] : rows) {
    PAHEADER header;
    EXPECT_EQ(LoadSoundWithVolume(dir.Path16("v.pa"), unit, factor, header), expected) << factor;
    EXPECT_EQ(header.lSampleRate, 22050);
  }
}

using Got = std::vector<std::pair<int32_t, int32_t>>;  // message and wParam, in dispatch order

WAVEFORMATEX Format(int32_t lHz, int16_t nBits, int16_t nChannels) {
  const auto nBlockAlign = static_cast<int16_t>(nBits / 8 * nChannels);
  return {1, nChannels, lHz, lHz * nBlockAlign, nBlockAlign, nBits};
}

// A queue that records what it dispatches.
struct Recorder {
  Recorder() { queue.SetDispatcher([this](int32_t uMsg, int32_t wParam, int32_t) { got.emplace_back(uMsg, wParam); }); }
  MessageQueue queue;
  Got got;
};

// Units and silences end up in the file exactly, silence as 128.
TEST(SoundWavFileOutput, AppendsUnitsAndSilenceExactly) {
  testing::ScratchDir dir;
  Recorder r;
  const Bytes a = {0, 1, 127, 255}, b = {9, 8};
  WavFileOutput out(dir.Path("8.wav"));
  out.AppendSilence(1);  // before the first unit: 8 frames at 8000 Hz
  const int32_t h1 = out.Open(Format(8000, 8, 1), r.queue);
  ASSERT_TRUE(h1 != 0 && out.Write(h1, a.data(), a.size()));
  out.AppendSilence(2);
  const int32_t h2 = out.Open(Format(8000, 8, 1), r.queue);
  ASSERT_TRUE(out.Write(h2, b.data(), b.size()));
  EXPECT_EQ(r.queue.DispatchPending(), 2);  // done at once for each
  EXPECT_EQ(r.got, (Got{{kWomDone, h1}, {kWomDone, h2}}));
  EXPECT_EQ(out.Open(Format(16000, 8, 1), r.queue), 0);  // one file, one format
  EXPECT_TRUE(out.Finish());
  SF_INFO info{};
  SNDFILE* f = sf_open(dir.Path("8.wav").c_str(), SFM_READ, &info);
  Bytes got(100), expected(8, 128);
  got.resize(f ? static_cast<size_t>(sf_read_raw(f, got.data(), 100)) : 0);
  expected.insert(expected.end(), a.begin(), a.end());
  expected.insert(expected.end(), 16, 128);
  expected.insert(expected.end(), b.begin(), b.end());
  EXPECT_EQ(got, expected);
  if (f) sf_close(f);
  EXPECT_EQ(std::make_pair(info.format, info.samplerate), std::make_pair(SF_FORMAT_WAV | SF_FORMAT_PCM_U8, 8000));
}

// The done comes when the unit would have played; Reset withdraws it.
TEST(SoundNullOutput, DoneComesWhenTheUnitWouldHavePlayedAndResetWithdrawsIt) {
  Recorder r;
  NullOutput out;
  const Bytes wave(80000);  // 10 s at 8000 Hz
  const int32_t hLong = out.Open(Format(8000, 8, 1), r.queue);
  ASSERT_TRUE(out.Write(hLong, wave.data(), wave.size()));
  EXPECT_EQ(r.queue.DispatchPending(), 0);
  out.Reset(hLong);
  const int32_t h10 = out.Open(Format(8000, 8, 1), r.queue);
  ASSERT_TRUE(out.Write(h10, wave.data(), 80));  // 10 ms, withdrawn before the 100 ms unit ends
  out.Reset(h10);
  const int32_t h100 = out.Open(Format(8000, 8, 1), r.queue);
  ASSERT_TRUE(out.Write(h100, wave.data(), 800));
  r.queue.WaitAndDispatch();
  EXPECT_EQ(r.got, (Got{{kWomDone, h100}}));
}

TEST(SoundAlsaOutput, PlaysChangingFormatsOnTheNullDeviceAndFailsWithAReason) {
  Recorder r;
  AlsaOutput out("null"), missing("ekoto_no_such_pcm");
  const Bytes wave(441 * 4);
  for (const WAVEFORMATEX& f : {Format(22050, 8, 1), Format(22050, 8, 1), Format(44100, 16, 2)}) {
    const int32_t h = out.Open(f, r.queue);
    ASSERT_TRUE(h != 0 && out.Write(h, wave.data(), wave.size())) << out.TakeError();
    r.queue.WaitAndDispatch();
    EXPECT_EQ(r.got.back(), std::make_pair(kWomDone, h));
    out.Close(h);
  }
  EXPECT_EQ(std::make_tuple(r.got.size(), out.TakeError(), r.got[0] != r.got[1]), std::make_tuple(size_t{3}, std::string(), true));
  EXPECT_EQ(missing.Open(Format(22050, 8, 1), r.queue), 0);
  EXPECT_EQ(missing.TakeError().rfind("ekoto: no sound device could be opened (ALSA ekoto_no_such_pcm: ", 0), 0u);
}

}  // namespace
}  // namespace ekoto
