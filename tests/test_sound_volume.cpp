// Volume scaling of unit samples: ClipToByte and LoadSoundWithVolume.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <filesystem>
#include <fstream>

#include "util/Utf.h"
#include "voice/LoadSoundWithVolume.h"
#include "voice/PaWriter.h"

namespace ekoto {
namespace {

TEST(SoundClipToByte, ClipsAndRoundsHalfToEven) {
  const struct {
    float v;
    uint8_t expected;
  } rows[] = {
      {-0.4f, 0},   {-107.0f, 0}, {0.0f, 0},     {0.5f, 0},     {1.5f, 2},     {2.5f, 2},     {127.5f, 128},
      {128.5f, 128}, {129.5f, 130}, {128.49f, 128}, {128.51f, 129}, {254.5f, 254}, {255.0f, 255}, {255.4f, 255},
      {273.0f, 255}, {1e30f, 255},  {-1e30f, 0},   {INFINITY, 255}, {-INFINITY, 0}, {NAN, 0},
  };
  for (const auto& r : rows) EXPECT_EQ(ClipToByte(r.v), r.expected) << "v = " << r.v;
}

// A plain (not ciphered) 8-bit voice file holding "あ" with the bytes given.
std::string WriteVoiceFile(const std::vector<uint8_t>& sample) {
  std::vector<uint8_t> b;
  auto put = [&b](int64_t v, int n) {
    for (int i = 0; i < n; ++i) b.push_back(static_cast<uint8_t>(v >> (8 * i)));
  };
  b.insert(b.end(), {'P', 'A', ' ', ' ', 1});
  put(22050, 4);  // rate
  put(8, 2);      // bits
  put(1, 2);      // channels
  put(1, 4);      // entries
  put(23, 4);     // table offset
  put(0, 2);      // cipher
  put(2, 4);
  b.insert(b.end(), {0x82, 0xA0});  // "あ" in CP932
  put(static_cast<int64_t>(sample.size()), 4);
  b.insert(b.end(), sample.begin(), sample.end());
  b.push_back(0x55);  // the unused byte after every sample
  const std::string path = (std::filesystem::temp_directory_path() / "ekoto_test_sound_volume.pa").string();
  std::ofstream(path, std::ios::binary).write(reinterpret_cast<const char*>(b.data()), std::streamsize(b.size()));
  return path;
}

TEST(SoundLoadWithVolume, ScalesEveryByteOfTheUnit) {
  const std::vector<uint8_t> sample = {0, 10, 126, 127, 128, 130, 131, 200, 255};
  const std::string path = WriteVoiceFile(sample);
  const struct {
    float factor;
    std::vector<uint8_t> expected;
  } rows[] = {
      {1.0f, sample},
      {0.0f, {127, 127, 127, 127, 127, 127, 127, 127, 127}},
      // 10 -> -107 and 200 -> 273 are clipped; 127 stays.
      {2.0f, {0, 0, 125, 127, 129, 133, 135, 255, 255}},
      // 128 -> 127.5 and 130 -> 128.5 round to the even neighbour.
      {0.5f, {64, 68, 126, 127, 128, 128, 129, 164, 191}},
      {4.0f, {0, 0, 123, 127, 131, 139, 143, 255, 255}},
  };
  for (const auto& r : rows) {
    PAHEADER header;
    EXPECT_EQ(LoadSoundWithVolume(Utf8ToUtf16(path), u"あ", r.factor, header), r.expected) << "factor " << r.factor;
    EXPECT_EQ(header.lSampleRate, 22050);
    EXPECT_EQ(header.nBitsPerSample, 8);
    EXPECT_EQ(header.nChannels, 1);
  }
  std::remove(path.c_str());
}

TEST(SoundLoadWithVolume, MissingUnitOrFileGivesNoBytes) {
  const std::string path = WriteVoiceFile({1, 2, 3});
  PAHEADER header;
  EXPECT_TRUE(LoadSoundWithVolume(Utf8ToUtf16(path), u"い", 1.0f, header).empty());
  EXPECT_EQ(header.lSampleRate, 22050);  // the header still comes back
  std::remove(path.c_str());
  EXPECT_TRUE(LoadSoundWithVolume(Utf8ToUtf16(path), u"あ", 1.0f, header).empty());
}

TEST(SoundLoadWithVolume, HiraganaVuIsFoundUnderItsKatakanaName) {
  // CP932 cannot name ゔ, so a voice holds it as ヴ.
  const std::string path = (std::filesystem::temp_directory_path() / "ekoto_test_sound_vu.pa").string();
  ASSERT_TRUE(WritePAFile(Utf8ToUtf16(path), {{u"ヴ", {1, 2, 3}}, {u"あ", {9}}}, 8000, 0).bOk);
  PAHEADER header;
  EXPECT_EQ(LoadSoundWithVolume(Utf8ToUtf16(path), u"ゔ", 1.0f, header), (std::vector<uint8_t>{1, 2, 3}));
  EXPECT_EQ(LoadSoundWithVolume(Utf8ToUtf16(path), u"ヴ", 1.0f, header), (std::vector<uint8_t>{1, 2, 3}));
  EXPECT_TRUE(LoadSoundWithVolume(Utf8ToUtf16(path), u"ゔぁ", 1.0f, header).empty());
  std::filesystem::remove(path);
}

}  // namespace
}  // namespace ekoto
