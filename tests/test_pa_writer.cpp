// Writing voice source files: exact bytes of a small file, round trips through the
// readers (plain and ciphered), refused unit lists, and the structural check.
#include <gtest/gtest.h>

#include <algorithm>

#include "PaTestFiles.h"
#include "voice/AudioImport.h"
#include "voice/CRC4.h"
#include "voice/PaCheck.h"
#include "voice/PaFile.h"
#include "voice/PaWriter.h"
#include "voice/RequiredUnits.h"

namespace ekoto {
namespace {

using Bytes = std::vector<uint8_t>;

TEST(PaWriter, ExactBytesOfATinyFile) {
  Bytes image;
  ASSERT_TRUE(BuildPAImage({{u"あ", {0x80, 0x81}}, {u"A", {0x7F}}}, 8000, 0, image).bOk);
  const Bytes expected = {
      'P', 'A', ' ', ' ', 1,     // magic, version
      0x40, 0x1F, 0, 0,          // 8000 Hz
      8, 0, 1, 0,                // 8 bits, 1 channel
      2, 0, 0, 0,                // 2 entries
      23, 0, 0, 0,               // the table right after the header
      0, 0,                      // plain
      2, 0, 0, 0, 0x82, 0xA0,    // "あ" in CP932
      2, 0, 0, 0, 0x80, 0x81, 0, // L = 2, the sample and its spare byte
      1, 0, 0, 0, 'A',           //
      1, 0, 0, 0, 0x7F, 0,       //
  };
  EXPECT_EQ(image, expected);
}

TEST(PaWriter, RoundTripThroughTheReaders) {
  testing::ScratchDir dir;
  std::vector<PaUnit> units;
  const std::vector<std::u16string> names = {u"あ", u"きゃ", u"ー", u"Z", u"、", u"ヴ"};
  for (size_t k = 0; k < names.size(); ++k) {
    Bytes sample(100 + k * 37);
    for (size_t n = 0; n < sample.size(); ++n) sample[n] = static_cast<uint8_t>(n * 7 + k);
    units.push_back({names[k], sample});
  }
  for (int16_t cipher : {0, 1}) {
    const std::u16string path = dir.Path16("voice" + std::to_string(cipher) + ".pa");
    ASSERT_TRUE(WritePAFile(path, units, 11025, cipher).bOk);
    for (const PaUnit& unit : units) {
      Bytes sample;
      PAHEADER header;
      ASSERT_TRUE(FindPASound(path, unit.sName, sample, header)) << Utf16ToUtf8(unit.sName);
      EXPECT_EQ(sample, unit.bytSample) << Utf16ToUtf8(unit.sName) << " cipher " << cipher;
      EXPECT_EQ(header.lSampleRate, 11025);
      EXPECT_EQ(header.nCipher, cipher);
    }
    PAHEADER header;
    EXPECT_EQ(GetPASoundNames(path, header), names);
  }
  // Ciphered on disk: each sample on its own under the fixed key.
  const Bytes plain = testing::ReadBytes(dir.Path("voice0.pa"));
  const Bytes ciphered = testing::ReadBytes(dir.Path("voice1.pa"));
  ASSERT_EQ(plain.size(), ciphered.size());
  const size_t firstSample = 23 + 4 + 2 + 4;
  Bytes expected(units[0].bytSample);
  ASSERT_TRUE(CRC4().EncryptByte(expected, u"tun7"));
  EXPECT_TRUE(std::equal(expected.begin(), expected.end(), ciphered.begin() + firstSample));
}

TEST(PaWriter, RefusedListsWriteNothing) {
  struct Row {
    const char* label;
    std::vector<PaUnit> units;
    int32_t rate;
    const char16_t* messagePart;
  };
  const Row rows[] = {
      {"no CP932 form", {{u"あ", {1}}, {u"\U0001F600", {2}}}, 8000, u"\U0001F600"},
      {"hangul", {{u"한", {1}}}, 8000, u"한"},
      {"duplicate", {{u"か", {1}}, {u"か", {2}}}, 8000, u"か"},
      {"empty sample", {{u"か", {}}}, 8000, u"か"},
      {"empty name", {{u"", {1}}}, 8000, u"name"},
      {"no units", {}, 8000, u"no units"},
      {"zero rate", {{u"か", {1}}}, 0, u"rate"},
  };
  testing::ScratchDir dir;
  testing::WriteBytes(dir.Path("kept.pa"), {1, 2, 3});
  for (const Row& row : rows) {
    const PaStatus status = WritePAFile(dir.Path16("new.pa"), row.units, row.rate, 0);
    EXPECT_FALSE(status.bOk) << row.label;
    EXPECT_NE(status.sMessage.find(row.messagePart), std::u16string::npos)
        << row.label << ": " << Utf16ToUtf8(status.sMessage);
    EXPECT_FALSE(std::filesystem::exists(dir.Path("new.pa"))) << row.label;
    EXPECT_FALSE(WritePAFile(dir.Path16("kept.pa"), row.units, row.rate, 0).bOk);
    EXPECT_EQ(testing::ReadBytes(dir.Path("kept.pa")), (Bytes{1, 2, 3})) << row.label;
  }
  // An unwritable place.
  EXPECT_FALSE(WritePAFile(dir.Path16("no/such/dir/v.pa"), {{u"か", {1}}}, 8000, 0).bOk);
  // Nothing but the kept file is left behind, no temporary either.
  EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.Root()), std::filesystem::directory_iterator()), 1);
}

TEST(PaWriter, RequiredUnitsAreDistinctAndWritable) {
  const std::vector<std::u16string> units = RequiredUnits();
  std::vector<PaUnit> voice;
  for (const std::u16string& unit : units) voice.push_back({unit, {128}});
  Bytes image;
  // Duplicates or names without a CP932 form would be refused here.
  EXPECT_TRUE(BuildPAImage(voice, 8000, 0, image).bOk);
  for (const char16_t* unit : {u"あ", u"ん", u"を", u"ぽ", u"ぁ", u"っ", u"きゃ", u"りょ", u"ぢゃ", u"A", u"Z", u"ー",
                               u"、", u"。", u"「", u"」", u"・", u"！", u"？", u"!", u"?", u",", u"."}) {
    EXPECT_NE(std::find(units.begin(), units.end(), unit), units.end()) << Utf16ToUtf8(unit);
  }
  for (const char16_t* unit : {u"ゃ", u"ア", u"a", u"0", u" ", u"", u"ゔ"}) {
    EXPECT_EQ(std::find(units.begin(), units.end(), unit), units.end()) << Utf16ToUtf8(unit);
  }
}

TEST(PaCheck, CompleteVoicePassesAndGapsAreNamed) {
  testing::ScratchDir dir;
  std::vector<PaUnit> voice;
  for (const std::u16string& unit : RequiredUnits()) voice.push_back({unit, {128, 129}});
  ASSERT_TRUE(WritePAFile(dir.Path16("full.pa"), voice, 22050, 1).bOk);
  const PaCheckResult full = CheckPAFile(dir.Path16("full.pa"));
  EXPECT_TRUE(full.Passed());
  EXPECT_TRUE(full.problems.empty());

  voice.erase(std::find_if(voice.begin(), voice.end(), [](const PaUnit& u) { return u.sName == u"しゅ"; }));
  voice.erase(std::find_if(voice.begin(), voice.end(), [](const PaUnit& u) { return u.sName == u"Q"; }));
  ASSERT_TRUE(WritePAFile(dir.Path16("gaps.pa"), voice, 22050, 0).bOk);
  const PaCheckResult gaps = CheckPAFile(dir.Path16("gaps.pa"));
  EXPECT_FALSE(gaps.Passed());
  EXPECT_EQ(gaps.missingUnits, (std::vector<std::u16string>{u"しゅ", u"Q"}));
}

TEST(PaCheck, StructuralProblems) {
  testing::ScratchDir dir;
  std::vector<PaUnit> voice;
  for (const std::u16string& unit : RequiredUnits()) voice.push_back({unit, {128}});
  Bytes image;
  ASSERT_TRUE(BuildPAImage(voice, 22050, 0, image).bOk);

  auto check = [&dir](const Bytes& bytes) {
    testing::WriteBytes(dir.Path("v.pa"), bytes);
    return CheckPAFile(dir.Path16("v.pa"));
  };
  auto mentions = [](const PaCheckResult& r, const char16_t* part, bool bError) {
    return std::any_of(r.problems.begin(), r.problems.end(), [&](const PaProblem& p) {
      return p.bError == bError && p.sMessage.find(part) != std::u16string::npos;
    });
  };

  Bytes truncated(image.begin(), image.end() - 10);
  const PaCheckResult cut = check(truncated);
  EXPECT_FALSE(cut.Passed());
  EXPECT_TRUE(mentions(cut, u"past the end", true));

  Bytes oddBits = image;
  oddBits[9] = 24;
  EXPECT_TRUE(mentions(check(oddBits), u"bits per sample", true));

  Bytes badMagic = image;
  badMagic[3] = 'X';
  const PaCheckResult magic = check(badMagic);
  EXPECT_FALSE(magic.Passed());
  EXPECT_FALSE(magic.bHeaderRead);

  // A second "あ" at the end, with a sample: reported, but the voice still works.
  Bytes duplicate = image;
  duplicate[13] = static_cast<uint8_t>(voice.size() + 1);
  for (uint8_t b : Bytes{2, 0, 0, 0, 0x82, 0xA0, 1, 0, 0, 0, 99, 0}) duplicate.push_back(b);
  const PaCheckResult dup = check(duplicate);
  EXPECT_TRUE(dup.Passed());
  EXPECT_TRUE(mentions(dup, u"repeats entry 1", false));
}

TEST(AudioImport, EightBitRoundTripIsLossless) {
  testing::ScratchDir dir;
  Bytes sample;
  for (int n = 0; n < 256; ++n) sample.push_back(static_cast<uint8_t>(n));
  const std::optional<Bytes> wav = MakeWavU8(sample, 16000, 1);
  ASSERT_TRUE(wav);
  EXPECT_EQ(std::string(wav->begin(), wav->begin() + 4), "RIFF");
  testing::WriteBytes(dir.Path("a.wav"), *wav);

  MonoClip clip;
  ASSERT_TRUE(ReadMonoClip(dir.Path16("a.wav"), clip).bOk);
  EXPECT_EQ(clip.lSampleRate, 16000);
  Bytes back;
  ASSERT_TRUE(ConvertToU8(clip, 16000, back).bOk);
  EXPECT_EQ(back, sample);

  // Resampled to half the rate: half as long, silence stays silence.
  MonoClip silence{16000, std::vector<float>(1600, 0.0f)};
  ASSERT_TRUE(ConvertToU8(silence, 8000, back).bOk);
  EXPECT_NEAR(static_cast<double>(back.size()), 800.0, 2.0);
  EXPECT_TRUE(std::all_of(back.begin(), back.end(), [](uint8_t b) { return b == 128; }));

  // Stereo is averaged: opposite channels cancel to silence.
  const std::optional<Bytes> stereo = MakeWavU8({200, 56, 255, 1, 128, 128}, 8000, 2);
  ASSERT_TRUE(stereo);
  testing::WriteBytes(dir.Path("s.wav"), *stereo);
  ASSERT_TRUE(ReadMonoClip(dir.Path16("s.wav"), clip).bOk);
  ASSERT_TRUE(ConvertToU8(clip, 8000, back).bOk);
  EXPECT_EQ(back, (Bytes{128, 128, 128}));

  EXPECT_FALSE(ReadMonoClip(dir.Path16("missing.wav"), clip).bOk);
  testing::WriteBytes(dir.Path("junk.wav"), {'n', 'o', 't', ' ', 'a', 'w', 'a', 'v'});
  EXPECT_FALSE(ReadMonoClip(dir.Path16("junk.wav"), clip).bOk);
}

}  // namespace
}  // namespace ekoto
