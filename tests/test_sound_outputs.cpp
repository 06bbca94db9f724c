// The message queue and the three sound outputs (WAV file, null, ALSA on its
// "null" device), driven without a sound card.
#include <gtest/gtest.h>
#include <pthread.h>
#include <sndfile.h>

#include <chrono>
#include <csignal>
#include <cstdio>
#include <filesystem>
#include <thread>

#include "util/MessagePump.h"
#include "voice/AlsaOutput.h"
#include "voice/NullOutput.h"
#include "voice/WavFileOutput.h"

namespace ekoto {
namespace {

using Clock = std::chrono::steady_clock;

struct Received {
  int32_t uMsg;
  int32_t wParam;
  bool operator==(const Received&) const = default;
};

// A queue that records what it dispatches.
struct Recorder {
  Recorder() {
    queue.SetDispatcher([this](int32_t uMsg, int32_t wParam, int32_t) { got.push_back({uMsg, wParam}); });
  }
  MessageQueue queue;
  std::vector<Received> got;
};

WAVEFORMATEX Format(int32_t lHz, int16_t nBits, int16_t nChannels) {
  WAVEFORMATEX f;
  f.nSamplesPerSec = lHz;
  f.wBitsPerSample = nBits;
  f.nChannels = nChannels;
  f.nBlockAlign = static_cast<int16_t>(nBits / 8 * nChannels);
  f.nAvgBytesPerSec = lHz * f.nBlockAlign;
  return f;
}

TEST(SoundMessageQueue, PostFromAnotherThreadWakesTheWait) {
  Recorder r;
  std::thread poster([&] {
    std::this_thread::sleep_for(std::chrono::milliseconds(30));
    r.queue.PostMessage(5, 6, 7);
  });
  r.queue.WaitAndDispatch();
  poster.join();
  EXPECT_EQ(r.got, (std::vector<Received>{{5, 6}}));
}

TEST(SoundMessageQueue, NestedWaitKeepsThePostedOrder) {
  MessageQueue queue;
  std::vector<int32_t> order;
  queue.SetDispatcher([&](int32_t uMsg, int32_t, int32_t) {
    order.push_back(uMsg);
    if (uMsg == 1) queue.WaitAndDispatch();  // a handler that waits again
  });
  for (int32_t m : {1, 2, 3}) queue.PostMessage(m, 0, 0);
  queue.WaitAndDispatch();
  EXPECT_EQ(order, (std::vector<int32_t>{1, 2, 3}));
  EXPECT_EQ(queue.DispatchPending(), 0);
}

MessageQueue* g_signalQueue = nullptr;
void OnSignal(int) { g_signalQueue->PostFromSignal(99); }

TEST(SoundMessageQueue, SignalHandlerWakesTheWait) {
  Recorder r;
  g_signalQueue = &r.queue;
  struct sigaction sa {};
  struct sigaction old {};
  sa.sa_handler = &OnSignal;
  sigaction(SIGUSR1, &sa, &old);
  const pthread_t waiter = pthread_self();
  std::thread killer([waiter] {
    std::this_thread::sleep_for(std::chrono::milliseconds(30));
    pthread_kill(waiter, SIGUSR1);
  });
  r.queue.WaitAndDispatch();
  killer.join();
  sigaction(SIGUSR1, &old, nullptr);
  EXPECT_EQ(r.got, (std::vector<Received>{{99, 0}}));
}

std::string TempWav(const char* name) { return (std::filesystem::temp_directory_path() / name).string(); }

// The file's raw data bytes and its format.
std::vector<uint8_t> ReadBack(const std::string& path, SF_INFO& info) {
  info = SF_INFO{};
  SNDFILE* f = sf_open(path.c_str(), SFM_READ, &info);
  if (f == nullptr) return {};
  std::vector<uint8_t> bytes(1 << 16);
  bytes.resize(static_cast<size_t>(sf_read_raw(f, bytes.data(), static_cast<sf_count_t>(bytes.size()))));
  sf_close(f);
  return bytes;
}

TEST(SoundWavFileOutput, AppendsUnitsAndSilenceExactly) {
  const std::string path = TempWav("ekoto_test_units.wav");
  Recorder r;
  {
    WavFileOutput out(path);
    out.AppendSilence(1);  // before the first unit: 8 frames at 8000 Hz
    const int32_t h1 = out.Open(Format(8000, 8, 1), r.queue);
    ASSERT_NE(h1, 0);
    const std::vector<uint8_t> a = {0, 1, 127, 255};
    ASSERT_TRUE(out.Write(h1, a.data(), a.size()));
    out.AppendSilence(2);
    const int32_t h2 = out.Open(Format(8000, 8, 1), r.queue);
    const std::vector<uint8_t> b = {9, 8};
    ASSERT_TRUE(out.Write(h2, b.data(), b.size()));
    EXPECT_EQ(r.queue.DispatchPending(), 2);  // done at once for each
    EXPECT_EQ(r.got, (std::vector<Received>{{kWomDone, h1}, {kWomDone, h2}}));

    EXPECT_EQ(out.Open(Format(16000, 8, 1), r.queue), 0);  // one file, one format
    EXPECT_NE(out.TakeError().find("16000 Hz"), std::string::npos);
    EXPECT_TRUE(out.Finish());
  }
  SF_INFO info;
  std::vector<uint8_t> expected(8, 128);
  expected.insert(expected.end(), {0, 1, 127, 255});
  expected.insert(expected.end(), 16, 128);
  expected.insert(expected.end(), {9, 8});
  EXPECT_EQ(ReadBack(path, info), expected);
  EXPECT_EQ(info.format, SF_FORMAT_WAV | SF_FORMAT_PCM_U8);
  EXPECT_EQ(info.samplerate, 8000);
  std::remove(path.c_str());
}

TEST(SoundWavFileOutput, SixteenBitStereoKeepsWholeFramesAndZeroSilence) {
  const std::string path = TempWav("ekoto_test_stereo.wav");
  Recorder r;
  {
    WavFileOutput out(path);
    const int32_t h = out.Open(Format(1000, 16, 2), r.queue);
    const std::vector<uint8_t> a = {1, 2, 3, 4, 5, 6, 7, 8, 9};  // the 9th byte is no whole frame
    ASSERT_TRUE(out.Write(h, a.data(), a.size()));
    out.AppendSilence(3);
  }
  SF_INFO info;
  std::vector<uint8_t> expected = {1, 2, 3, 4, 5, 6, 7, 8};
  expected.insert(expected.end(), 12, 0);
  EXPECT_EQ(ReadBack(path, info), expected);
  EXPECT_EQ(info.channels, 2);
  std::remove(path.c_str());
}

TEST(SoundWavFileOutput, UnwritablePathFailsOpenWithAReason) {
  Recorder r;
  WavFileOutput out("/nonexistent-folder/x.wav");
  EXPECT_EQ(out.Open(Format(8000, 8, 1), r.queue), 0);
  EXPECT_NE(out.TakeError().find("/nonexistent-folder/x.wav"), std::string::npos);
  EXPECT_FALSE(out.Finish());
}

TEST(SoundNullOutput, PacedDoneComesAfterTheBufferDuration) {
  Recorder r;
  NullOutput out;
  const int32_t h = out.Open(Format(8000, 8, 1), r.queue);
  const std::vector<uint8_t> wave(400);  // 50 ms
  const auto t0 = Clock::now();
  ASSERT_TRUE(out.Write(h, wave.data(), wave.size()));
  r.queue.WaitAndDispatch();
  EXPECT_GE(Clock::now() - t0, std::chrono::milliseconds(50));
  EXPECT_EQ(r.got, (std::vector<Received>{{kWomDone, h}}));
}

TEST(SoundNullOutput, ResetWithdrawsThePendingDone) {
  Recorder r;
  NullOutput out;
  const int32_t h = out.Open(Format(8000, 8, 1), r.queue);
  const std::vector<uint8_t> wave(80);  // 10 ms
  ASSERT_TRUE(out.Write(h, wave.data(), wave.size()));
  out.Reset(h);
  std::thread later([&] {
    std::this_thread::sleep_for(std::chrono::milliseconds(60));
    r.queue.PostMessage(1, 0, 0);
  });
  r.queue.WaitAndDispatch();
  later.join();
  EXPECT_EQ(r.got, (std::vector<Received>{{1, 0}}));
}

TEST(SoundNullOutput, UnpacedPostsAtOnce) {
  Recorder r;
  NullOutput out(false);
  const int32_t h = out.Open(Format(8000, 8, 1), r.queue);
  const std::vector<uint8_t> wave(80000);  // 10 s
  ASSERT_TRUE(out.Write(h, wave.data(), wave.size()));
  EXPECT_EQ(r.queue.DispatchPending(), 1);
  EXPECT_EQ(r.got, (std::vector<Received>{{kWomDone, h}}));
}

TEST(SoundAlsaOutput, PlaysUnitsOfChangingFormatsOnTheNullDevice) {
  Recorder r;
  AlsaOutput out("null");
  const std::vector<uint8_t> wave(441 * 4);
  int32_t nLast = 0;
  for (const WAVEFORMATEX& f : {Format(22050, 8, 1), Format(22050, 8, 1), Format(44100, 16, 2)}) {
    const int32_t h = out.Open(f, r.queue);
    ASSERT_NE(h, 0) << out.TakeError();
    EXPECT_NE(h, nLast);
    nLast = h;
    ASSERT_TRUE(out.Write(h, wave.data(), wave.size()));
    r.queue.WaitAndDispatch();
    EXPECT_EQ(r.got.back(), (Received{kWomDone, h}));
    out.Close(h);
  }
  EXPECT_EQ(r.got.size(), 3u);
  EXPECT_EQ(out.TakeError(), "");
}

TEST(SoundAlsaOutput, MissingDeviceAndOddFormatsFailWithAReason) {
  Recorder r;
  AlsaOutput out("ekoto_no_such_pcm");
  EXPECT_EQ(out.Open(Format(22050, 8, 1), r.queue), 0);
  EXPECT_EQ(out.TakeError().rfind("ekoto: no sound device could be opened (ALSA ekoto_no_such_pcm: ", 0), 0u);
  AlsaOutput nullOut("null");
  EXPECT_EQ(nullOut.Open(Format(22050, 12, 1), r.queue), 0);
  EXPECT_NE(nullOut.TakeError().find("cannot play"), std::string::npos);
}

}  // namespace
}  // namespace ekoto
