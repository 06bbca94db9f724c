// Writing voice source files: exact bytes of a small file, round trips through the
// readers (plain and ciphered), refused unit lists, the structural check, voices
// built from a folder of recordings; and the RC4 cipher of ciphered files.
#include <gtest/gtest.h>

#include <algorithm>

#include "PaTestFiles.h"
#include "RecordingFiles.h"
#include "voice/CRC4.h"
#include "voice/PaCheck.h"
#include "voice/PaFile.h"
#include "voice/PaWriter.h"
#include "voice/RequiredUnits.h"
#include "voice/VoiceFolderBuild.h"

namespace ekoto {
namespace {

using Bytes = std::vector<uint8_t>;

TEST(PaWriter, ExactBytesOfATinyFile) {
  Bytes image;
  ASSERT_TRUE(BuildPAImage({{u"あ", {0x80, 0x81}}, {u"A", {0x7F}}}, 8000, 0, image).bOk);
  const Bytes expected = {
      'P', 'A', ' ', ' ', 1, 0x40, 0x1F, 0, 0, 8, 0, 1, 0,  // magic, version, 8000 Hz, 8 bits, 1 channel
      2, 0, 0, 0, 23, 0, 0, 0, 0, 0,                        // 2 entries, the table right after, plain
      2, 0, 0, 0, 0x82, 0xA0, 2, 0, 0, 0, 0x80, 0x81, 0,    // "あ" in CP932, L = 2, sample, spare byte
      1, 0, 0, 0, 'A', 1, 0, 0, 0, 0x7F, 0};
  EXPECT_EQ(image, expected);
}

TEST(PaWriter, RoundTripThroughTheReadersPlainAndCiphered) {
  testing::ScratchDir dir;
  std::vector<PaUnit> units;
  const std::vector<std::u16string> names = {u"あ", u"きゃ", u"ー", u"Z", u"、", u"ヴ"};
  for (size_t k = 0; k < names.size(); ++k) units.push_back({names[k], Bytes(100 + k * 37, static_cast<uint8_t>(k * 7))});
  for (int16_t cipher : {0, 1}) {
    const std::u16string path = dir.Path16("voice" + std::to_string(cipher) + ".pa");
    ASSERT_TRUE(WritePAFile(path, units, 11025, cipher).bOk);
    PAHEADER header;
    for (const PaUnit& unit : units) {
      Bytes sample;
      ASSERT_TRUE(FindPASound(path, unit.sName, sample, header)) << Utf16ToUtf8(unit.sName);
      EXPECT_EQ(sample, unit.bytSample) << Utf16ToUtf8(unit.sName) << " cipher " << cipher;
      EXPECT_EQ(std::make_pair(header.lSampleRate, header.nCipher), std::make_pair(11025, cipher));
    }
    EXPECT_EQ(GetPASoundNames(path, header), names);
  }
}

TEST(PaWriter, RefusedListsWriteNothing) {
  const std::tuple<std::vector<PaUnit>, int32_t, const char16_t*> rows[] = {
      {{{u"あ", {1}}, {u"\U0001F600", {2}}}, 8000, u"\U0001F600"},  // no CP932 form
      {{{u"か", {1}}, {u"か", {2}}}, 8000, u"か"},                   // twice
      {{{u"か", {}}}, 8000, u"か"},   {{{u"", {1}}}, 8000, u"name"},
      {{}, 8000, u"no units"},       {{{u"か", {1}}}, 0, u"rate"},
  };
  testing::ScratchDir dir;
  testing::WriteBytes(dir.Path("kept.pa"), {1, 2, 3});
  for (const auto& [units, rate, messagePart] : rows) {
    const PaStatus status = WritePAFile(dir.Path16("new.pa"), units, rate, 0);
    EXPECT_TRUE(!status.bOk && status.sMessage.find(messagePart) != std::u16string::npos) << Utf16ToUtf8(status.sMessage);
    EXPECT_FALSE(WritePAFile(dir.Path16("kept.pa"), units, rate, 0).bOk);
  }
  EXPECT_FALSE(WritePAFile(dir.Path16("no/such/dir/v.pa"), {{u"か", {1}}}, 8000, 0).bOk);
  // The kept file as it was, and nothing else left behind, no temporary either.
  EXPECT_EQ(testing::ReadBytes(dir.Path("kept.pa")), (Bytes{1, 2, 3}));
  EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.Root()), std::filesystem::directory_iterator()), 1);
}

// A full voice (every required unit distinct, with a CP932 name) passes; gaps and a cut
// file are named; a repeated name is only a warning.
TEST(PaCheck, ProblemsAreNamed) {
  testing::ScratchDir dir;
  std::vector<PaUnit> voice;
  for (const std::u16string& unit : RequiredUnits()) voice.push_back({unit, {128}});
  ASSERT_TRUE(WritePAFile(dir.Path16("full.pa"), voice, 22050, 1).bOk);
  EXPECT_TRUE(CheckPAFile(dir.Path16("full.pa")).Passed() && CheckPAFile(dir.Path16("full.pa")).problems.empty());
  Bytes image;
  ASSERT_TRUE(BuildPAImage(voice, 22050, 0, image).bOk);
  Bytes cut(image.begin(), image.end() - 10), repeated = image;
  repeated[13] = static_cast<uint8_t>(voice.size() + 1);  // a second "あ" at the end
  repeated.insert(repeated.end(), {2, 0, 0, 0, 0x82, 0xA0, 1, 0, 0, 0, 99, 0});
  const std::tuple<Bytes, const char16_t*, bool> rows[] = {
      {cut, u"past the end", true}, {repeated, u"repeats entry 1", false}};
  for (const auto& [bytes, part, bError] : rows) {
    testing::WriteBytes(dir.Path("v.pa"), bytes);
    const PaCheckResult r = CheckPAFile(dir.Path16("v.pa"));
    EXPECT_EQ(r.Passed(), !bError) << Utf16ToUtf8(part);
    EXPECT_TRUE(std::any_of(r.problems.begin(), r.problems.end(), [part = part, bError = bError](const PaProblem& p) {
      return p.bError == bError && p.sMessage.find(part) != std::u16string::npos;
    })) << Utf16ToUtf8(part);
  }
  std::erase_if(voice, [](const PaUnit& u) { return u.sName == u"しゅ" || u.sName == u"Q"; });
  ASSERT_TRUE(WritePAFile(dir.Path16("gaps.pa"), voice, 22050, 0).bOk);
  EXPECT_EQ(CheckPAFile(dir.Path16("gaps.pa")).missingUnits, (std::vector<std::u16string>{u"しゅ", u"Q"}));
  EXPECT_FALSE(CheckPAFile(dir.Path16("gaps.pa")).Passed());
}

using namespace testing;  // the file and recording helpers
constexpr int kFlac = SF_FORMAT_FLAC | SF_FORMAT_PCM_16;

class VoiceFolderBuildTest : public ::testing::Test {
 protected:
  void SetUp() override { std::filesystem::create_directories(dir.Path("rec")); }
  std::filesystem::path Rec(const char* name) const { return dir.Path("rec") / std::filesystem::path(name); }
  VoiceBuildSettings Settings(int32_t lRate = 0, bool bCipher = false) const {
    return {dir.Path16("rec"), dir.Path16("out.pa"), lRate, bCipher};
  }
  ScratchDir dir;
};

TEST_F(VoiceFolderBuildTest, RecordingsBecomeUnitsInNameOrderAtTheChosenRate) {
  ASSERT_TRUE(WriteTone(Rec("い.wav"), 16000, 1600) && WriteTone(Rec("あ.WAV"), 16000, 800) &&
              WriteTone(Rec("か.flac"), 16000, 1600, kFlac));
  WriteBytes(Rec("notes.txt"), {'x'});  // not a recording: passed over
  const VoiceBuildResult result = BuildVoiceFromFolder(Settings(8000, true), nullptr);
  ASSERT_TRUE(result.status.bOk) << Utf16ToUtf8(result.status.sMessage);
  EXPECT_EQ(std::make_pair(result.nUnits, result.lSampleRate), std::make_pair(3, 8000));
  PAHEADER header;
  std::vector<uint8_t> sample;
  EXPECT_EQ(GetPASoundNames(dir.Path16("out.pa"), header), (std::vector<std::u16string>{u"あ", u"い", u"か"}));
  ASSERT_TRUE(FindPASound(dir.Path16("out.pa"), u"い", sample, header));
  EXPECT_EQ(std::make_tuple(header.lSampleRate, header.nCipher, sample.size()), std::make_tuple(8000, int16_t{1}, 800u));
  EXPECT_EQ(result.missingUnits.size(), RequiredUnits().size() - 3);
}

TEST_F(VoiceFolderBuildTest, FailuresAndCancelNameTheirCauseAndLeaveTheOutputAsItWas) {
  const struct {
    const char* name;
    std::function<bool()> prepare;
    const char* inMessage;
  } cases[] = {
      {"two files for one unit",
       [this] { return WriteTone(Rec("あ.wav"), 8000, 400) && WriteTone(Rec("あ.flac"), 8000, 400, kFlac); },
       "give the same unit"},
      {"a name CP932 cannot spell", [this] { return WriteTone(Rec("ゔ.wav"), 8000, 400); }, "Shift_JIS"},
      {"cancelled at the third",
       [this] {
         return WriteTone(Rec("あ.wav"), 8000, 400) && WriteTone(Rec("い.wav"), 8000, 400) &&
                WriteTone(Rec("う.wav"), 8000, 400);
       },
       "cancelled"},
  };
  for (const auto& c : cases) {
    std::filesystem::remove_all(dir.Path("rec"));
    std::filesystem::create_directories(dir.Path("rec"));
    WriteString(dir.Path("out.pa"), "old");
    ASSERT_TRUE(c.prepare()) << c.name;
    const VoiceBuildResult result = BuildVoiceFromFolder(Settings(8000), [](size_t nDone, size_t) { return nDone < 2; });
    EXPECT_FALSE(result.status.bOk) << c.name;
    EXPECT_NE(Utf16ToUtf8(result.status.sMessage).find(c.inMessage), std::string::npos) << c.name;
    EXPECT_EQ(ReadString(dir.Path("out.pa")), "old") << c.name;
  }
}

// The keystream (RFC 6229, key 01 02 03 04 05) and, through the text forms no reader
// uses, the classic vectors in upper-case hex and as raw text.
TEST(RC4, PublishedVectors) {
  const std::pair<size_t, Bytes> streams[] = {{0x000, {0xb2, 0x39, 0x63, 0x05, 0xf0, 0x3d, 0xc0, 0x27}},
                                              {0x100, {0x1c, 0xfc, 0xf6, 0x2b, 0x03, 0xed, 0xdb, 0x64}}};
  for (const auto& [offset, expected] : streams) {
    Bytes stream(offset + expected.size(), 0);
    ASSERT_TRUE(CRC4().EncryptByte(stream, u"\1\2\3\4\5"));
    EXPECT_EQ(Bytes(stream.begin() + static_cast<long>(offset), stream.end()), expected) << offset;
  }
  CRC4 rc4;
  EXPECT_EQ(rc4.EncryptString(u"Plaintext", u"Key", true), u"BBF316E8D940AF0AD3");
  EXPECT_EQ(rc4.DecryptString(*rc4.EncryptString(u"Plaintext", u"Key", false), u"Key", false), u"Plaintext");
}

}  // namespace
}  // namespace ekoto
