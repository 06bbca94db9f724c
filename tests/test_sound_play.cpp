// clsPlaySound against a scripted output: the wait, cancelling, nested calls,
// failures and the format record.
#include <gtest/gtest.h>
#include <sndfile.h>

#include <cstdio>
#include <filesystem>
#include <functional>

#include "util/MessagePump.h"
#include "voice/PlaySoundFile.h"
#include "voice/clsPlaySound.h"

namespace ekoto {
namespace {

constexpr int32_t kMsgA = 2001;
constexpr int32_t kMsgB = 2002;
constexpr int32_t kMsgWaited = 2099;

// Logs every call; posts done at Write only when bAutoDone.
class FakeOutput : public ISoundOutput {
 public:
  int32_t Open(const WAVEFORMATEX& fmt, IMessagePump& notify) override {
    log.push_back("open");
    formats.push_back(fmt);
    pump = &notify;
    if (!sOpenError.empty()) {
      sError = sOpenError;
      return 0;
    }
    return ++nLastHandle;
  }
  bool Write(int32_t handle, const uint8_t* data, size_t nBytes) override {
    log.push_back("write " + std::to_string(handle));
    written.assign(data, data + nBytes);
    if (!sWriteError.empty()) {
      sError = sWriteError;
      return false;
    }
    if (bAutoDone) pump->PostMessage(kWomDone, handle, 0);
    return true;
  }
  void Reset(int32_t handle) override { log.push_back("reset " + std::to_string(handle)); }
  void Close(int32_t handle) override { log.push_back("close " + std::to_string(handle)); }
  std::string TakeError() override { return std::exchange(sError, {}); }

  bool bAutoDone = true;
  std::string sOpenError;
  std::string sWriteError;
  std::string sError;
  int32_t nLastHandle = 0;
  IMessagePump* pump = nullptr;
  std::vector<std::string> log;
  std::vector<WAVEFORMATEX> formats;
  std::vector<uint8_t> written;
};

// The owner: every dispatched message goes to the player, then to onMessage.
struct Owner {
  Owner() {
    queue.SetDispatcher([this](int32_t uMsg, int32_t wParam, int32_t lParam) {
      int32_t hWnd = 0;
      int32_t ret = 0;
      player.EventNofity(hWnd, uMsg, wParam, lParam, ret);
      if (uMsg == kMsgWaited) {
        bWaited = true;
        player.CancelPlay();  // a wait that should not have begun ends here instead of hanging
      }
      if (onMessage) onMessage(uMsg, wParam);
    });
  }
  void Play(const std::vector<uint8_t>& wave, int32_t lHz = 22050, int16_t nBits = 8, int16_t nChannels = 1) {
    player.PlaySound(0, wave, lHz, nBits, nChannels);
  }
  // Plays a unit that is to fail: true when Play returned without waiting, that is
  // without dispatching the message posted just before it.
  bool PlayReturnsAtOnce(const std::vector<uint8_t>& wave) {
    queue.PostMessage(kMsgWaited, 0, 0);
    Play(wave);
    const bool bAtOnce = !bWaited;
    queue.DispatchPending();
    bWaited = false;
    return bAtOnce;
  }

  FakeOutput output;
  MessageQueue queue;
  clsPlaySound player{output, queue};
  std::function<void(int32_t uMsg, int32_t wParam)> onMessage;
  std::vector<std::string> reports;
  bool bWaited = false;
};

const std::vector<uint8_t> kWave = {127, 130, 140, 120, 127};

TEST(SoundPlay, DoneMessageEndsTheWait) {
  Owner o;
  o.Play(kWave);
  EXPECT_FALSE(o.player.IsPlaying());
  EXPECT_EQ(o.output.written, kWave);
  EXPECT_EQ(o.output.log, (std::vector<std::string>{"open", "write 1", "close 1"}));
  o.Play(kWave);  // a new device per unit
  EXPECT_EQ(o.output.log.back(), "close 2");
}

TEST(SoundPlay, OtherMessagesAndStaleDonesDoNotEndTheWait) {
  Owner o;
  o.output.bAutoDone = false;
  std::vector<bool> playingAt;
  o.onMessage = [&](int32_t uMsg, int32_t) {
    if (uMsg == kMsgA || uMsg == kMsgB) playingAt.push_back(o.player.IsPlaying());
    if (uMsg == kMsgA) o.queue.PostMessage(kWomDone, 77, 0);  // not this device's handle
    if (uMsg == kMsgA) o.queue.PostMessage(kMsgB, 0, 0);
    if (uMsg == kMsgB) o.queue.PostMessage(kWomDone, o.output.nLastHandle, 0);
  };
  o.queue.PostMessage(kMsgA, 0, 0);
  o.Play(kWave);
  EXPECT_EQ(playingAt, (std::vector<bool>{true, true}));
  EXPECT_FALSE(o.player.IsPlaying());
}

TEST(SoundPlay, CancelFromADispatchedMessageResetsBeforeReturning) {
  Owner o;
  o.output.bAutoDone = false;
  o.onMessage = [&](int32_t uMsg, int32_t) {
    if (uMsg == kMsgA) o.player.CancelPlay();
  };
  o.queue.PostMessage(kMsgA, 0, 0);
  o.Play(kWave);
  EXPECT_EQ(o.output.log, (std::vector<std::string>{"open", "write 1", "reset 1", "close 1"}));

  // A done message of the cancelled device, dispatched late, must not end the next unit early.
  std::vector<bool> playingAt;
  o.onMessage = [&](int32_t uMsg, int32_t) {
    if (uMsg == kMsgB) {
      playingAt.push_back(o.player.IsPlaying());
      o.queue.PostMessage(kWomDone, 2, 0);
    }
  };
  o.queue.PostMessage(kWomDone, 1, 0);
  o.queue.PostMessage(kMsgB, 0, 0);
  o.Play(kWave);
  EXPECT_EQ(playingAt, std::vector<bool>{true});
  EXPECT_EQ(o.output.log.back(), "close 2");
}

TEST(SoundPlay, NestedPlayPlaysNothingAndWaitsWithTheOuterOne) {
  Owner o;
  o.output.bAutoDone = false;
  const std::vector<uint8_t> other = {1, 2, 3};
  std::vector<std::string> events;
  o.onMessage = [&](int32_t uMsg, int32_t) {
    if (uMsg == kMsgA) {
      o.Play(other, 8000, 16, 2);
      events.push_back(o.player.IsPlaying() ? "nested returned while playing" : "nested returned");
    }
    if (uMsg == kMsgB) {
      events.push_back("done posted");
      o.queue.PostMessage(kWomDone, o.output.nLastHandle, 0);
    }
  };
  o.queue.PostMessage(kMsgA, 0, 0);
  o.queue.PostMessage(kMsgB, 0, 0);
  o.Play(kWave);
  events.push_back("outer returned");
  EXPECT_EQ(events, (std::vector<std::string>{"done posted", "nested returned", "outer returned"}));
  EXPECT_EQ(o.output.log, (std::vector<std::string>{"open", "write 1", "close 1"}));
  EXPECT_EQ(o.output.written, kWave);
}

TEST(SoundPlay, PlayAfterTheDoneInTheSameDispatchGetsItsOwnFormat) {
  Owner o;
  std::vector<uint8_t> wave16 = {0, 0, 1, 0};
  o.output.bAutoDone = false;
  bool bNestedDone = false;
  o.onMessage = [&](int32_t uMsg, int32_t) {
    if (uMsg == kMsgA) {
      o.output.bAutoDone = true;
      o.Play(wave16, 8000, 16, 1);
      bNestedDone = true;
    }
  };
  o.queue.PostMessage(kWomDone, 1, 0);
  o.queue.PostMessage(kMsgA, 0, 0);
  o.Play(kWave);
  EXPECT_TRUE(bNestedDone);
  EXPECT_EQ(o.output.log, (std::vector<std::string>{"open", "write 1", "close 1", "open", "write 2", "close 2"}));
  ASSERT_EQ(o.output.formats.size(), 2u);
  EXPECT_EQ(o.output.formats[1].wBitsPerSample, 16);
}

TEST(SoundPlay, FailuresReturnAtOnceAndAreReportedOnce) {
  Owner o;
  o.player.SetReport([&](const std::string& s) { o.reports.push_back(s); });
  o.output.sOpenError = "ekoto: no sound device could be opened (test)";
  EXPECT_TRUE(o.PlayReturnsAtOnce(kWave));
  EXPECT_TRUE(o.PlayReturnsAtOnce(kWave));
  EXPECT_EQ(o.output.log, (std::vector<std::string>{"open", "open"}));
  EXPECT_EQ(o.reports, std::vector<std::string>{"ekoto: no sound device could be opened (test)"});

  // Once a unit has played, the next failure is reported again.
  o.output.sOpenError.clear();
  o.Play(kWave);
  o.output.sWriteError = "ekoto: the sound device stopped playing (test)";
  EXPECT_TRUE(o.PlayReturnsAtOnce(kWave));
  EXPECT_TRUE(o.PlayReturnsAtOnce(kWave));
  EXPECT_EQ(o.output.log, (std::vector<std::string>{"open", "open", "open", "write 1", "close 1", "open", "write 2",
                                                    "close 2", "open", "write 3", "close 3"}));
  EXPECT_EQ(o.reports.size(), 2u);
  EXPECT_EQ(o.reports.back(), "ekoto: the sound device stopped playing (test)");
  EXPECT_FALSE(o.player.IsPlaying());
}

TEST(SoundPlay, FormatRecordFromTheVoiceHeader) {
  const struct {
    int32_t lHz;
    int16_t nBits;
    int16_t nChannels;
    int16_t nBlockAlign;
  } rows[] = {
      {22050, 8, 1, 1}, {44100, 16, 2, 4}, {8000, 4, 1, 0},  // 0.5 -> 0
      {8000, 4, 3, 2},                                       // 1.5 -> 2
      {8000, 12, 1, 2},                                      // 1.5 -> 2
      {8000, 20, 1, 2},                                      // 2.5 -> 2
      {8000, 4, 7, 4},                                       // 3.5 -> 4
      {48000, 24, 2, 6},      {8000, 32767, 32767, 0},  // beyond the field: no block
      {8000, -8, 1, 0},
  };
  for (const auto& r : rows) {
    Owner o;
    o.Play(kWave, r.lHz, r.nBits, r.nChannels);
    ASSERT_EQ(o.output.formats.size(), 1u);
    const WAVEFORMATEX& f = o.output.formats[0];
    EXPECT_EQ(f.wFormatTag, 1);
    EXPECT_EQ(f.nChannels, r.nChannels);
    EXPECT_EQ(f.nSamplesPerSec, r.lHz);
    EXPECT_EQ(f.wBitsPerSample, r.nBits);
    EXPECT_EQ(f.nBlockAlign, r.nBlockAlign) << r.nBits << " bits, " << r.nChannels << " channels";
    EXPECT_EQ(f.nAvgBytesPerSec, r.lHz * r.nBlockAlign);
  }
}

TEST(SoundPlayWaveFile, PlaysTheFileAsSixteenBitAndIgnoresMissingFiles) {
  const std::string path = (std::filesystem::temp_directory_path() / "ekoto_test_play_file.wav").string();
  SF_INFO info{};
  info.samplerate = 11025;
  info.channels = 1;
  info.format = SF_FORMAT_WAV | SF_FORMAT_PCM_U8;
  SNDFILE* f = sf_open(path.c_str(), SFM_WRITE, &info);
  ASSERT_NE(f, nullptr);
  const uint8_t raw[] = {0, 128, 255};
  ASSERT_EQ(sf_write_raw(f, raw, 3), 3);
  sf_close(f);

  Owner o;
  PlayWaveFile(u"/nonexistent-folder/none.wav", o.player);
  EXPECT_TRUE(o.output.log.empty());
  PlayWaveFile(std::u16string(path.begin(), path.end()), o.player);
  EXPECT_EQ(o.output.log, (std::vector<std::string>{"open", "write 1", "close 1"}));
  ASSERT_EQ(o.output.formats.size(), 1u);
  EXPECT_EQ(o.output.formats[0].nSamplesPerSec, 11025);
  EXPECT_EQ(o.output.formats[0].wBitsPerSample, 16);
  // Unsigned 8-bit 0, 128, 255 as signed 16-bit little-endian: -32768, 0, 32512.
  EXPECT_EQ(o.output.written, (std::vector<uint8_t>{0x00, 0x80, 0x00, 0x00, 0x00, 0x7F}));
  std::remove(path.c_str());
}

}  // namespace
}  // namespace ekoto
