// Saving a reading as an audio file: the length it takes, the file types, and
// that a cancelled or failed save leaves nothing (and keeps what was there).
#include <gtest/gtest.h>
#include <sndfile.h>

#include <filesystem>

#include "PaTestFiles.h"
#include "voice/PaWriter.h"
#include "voice/Pcm16.h"
#include "voice/ReadingExport.h"

namespace ekoto {
namespace {

using testing::ScratchDir;

// Reads every piece as itself; cancels after nCancelAt units (never when negative).
class Watcher : public IExportProgress, public IReverseConverter {
 public:
  explicit Watcher(int nCancelAt) : m_nCancelAt(nCancelAt) {}
  bool ReverseConvert(const std::u16string& piece, std::u16string& reading) override { return reading = piece, true; }
  void Progress(int nPercent) override { nLastPercent = nPercent; }
  bool Cancelled() override { return m_nCancelAt >= 0 && ++m_nAsked > m_nCancelAt; }
  int nLastPercent = -1;

 private:
  int m_nCancelAt;
  int m_nAsked = 0;
};

struct ExportCase {
  const char* name;
  const char* file;    // under the scratch folder
  const char16_t* text;
  float fSpeed;
  int nCancelAt;       // units before the cancel, -1 for none
  ExportStatus status;
  int64_t lFrames;     // of the file written; -1: no file
  int nType;           // SF_FORMAT_TYPEMASK of the file written
};

// あ is 400 frames, い 408 at 8000 Hz; 。 and the empty sentence after it have
// no sample but still cost their waits.
const ExportCase kCases[] = {
    {"wav back to back", "out.wav", u"あい。", 1.0f, -1, ExportStatus::kSaved, 808, SF_FORMAT_WAV},
    {"waits become silence", "out.wav", u"あい。", 0.5f, -1, ExportStatus::kSaved, 808 + 4 * 4000, SF_FORMAT_WAV},
    {"flac by its extension", "OUT.FLAC", u"あい。", 1.0f, -1, ExportStatus::kSaved, 808, SF_FORMAT_FLAC},
    {"ogg vorbis by its extension", "out.ogg", u"あい。", 1.0f, -1, ExportStatus::kSaved, 808, SF_FORMAT_OGG},
    {"cancel leaves no file and keeps the old one", "old.wav", u"あいあいあい", 1.0f, 2, ExportStatus::kCancelled, -1, 0},
    {"no unit in the voice", "out.wav", u"んん", 1.0f, -1, ExportStatus::kNoSound, -1, 0},
    {"unknown extension", "out.mp3", u"あい", 1.0f, -1, ExportStatus::kBadFileType, -1, 0},
    {"missing folder", "no/such/out.wav", u"あい", 1.0f, -1, ExportStatus::kWriteFailed, -1, 0},
};

class ExportTest : public ::testing::TestWithParam<ExportCase> {};

TEST_P(ExportTest, WritesTheWholeFileOrNothing) {
  const ExportCase& c = GetParam();
  ScratchDir dir;
  ASSERT_TRUE(WritePAFile(dir.Path16("v.pa"), {{u"あ", std::vector<uint8_t>(400, 200)}, {u"い", std::vector<uint8_t>(408, 60)}},
                          8000, 0)
                  .bOk);
  ExportSettings settings;
  settings.sPAPath = dir.Path16("v.pa");
  settings.fSpeed = c.fSpeed;
  testing::WriteString(dir.Path("old.wav"), "earlier reading");
  Watcher watcher(c.nCancelAt);
  const std::string path = dir.Path(c.file).string();
  const ExportResult result = ExportReading(c.text, settings, watcher, path, watcher);
  EXPECT_EQ(result.status, c.status) << result.sDetail;
  EXPECT_EQ(testing::ReadString(dir.Path("old.wav")), "earlier reading");
  // The empty sentence after 。 starts at the text's end.
  if (c.status == ExportStatus::kSaved) {
    EXPECT_EQ(watcher.nLastPercent, 100);
  }

  SF_INFO info{};
  SNDFILE* file = sf_open(path.c_str(), SFM_READ, &info);
  EXPECT_EQ(file != nullptr, c.lFrames >= 0);
  if (file != nullptr) {
    EXPECT_EQ(info.frames, c.lFrames);
    EXPECT_EQ(info.format & SF_FORMAT_TYPEMASK, c.nType);
    EXPECT_EQ(info.samplerate, 8000);
    sf_close(file);
  }
  // No temporary file is left beside it either.
  size_t nFiles = 0;
  for ([[maybe_unused]] const auto& entry : std::filesystem::directory_iterator(dir.Root())) ++nFiles;
  EXPECT_EQ(nFiles, c.lFrames >= 0 ? 3u : 2u);
}

INSTANTIATE_TEST_SUITE_P(Cases, ExportTest, ::testing::ValuesIn(kCases), [](const auto& info) {
  std::string name = info.param.name;
  for (char& ch : name) if (!isalnum(static_cast<unsigned char>(ch))) ch = '_';
  return name;
});

TEST(Pcm16Test, EveryVoiceWidthBecomesSigned16Bit) {
  struct Row {
    std::vector<uint8_t> bytes;
    int nBits;
    std::vector<int16_t> pcm;
  };
  const Row rows[] = {
      {{0, 128, 255}, 8, {-32768, 0, 32512}},
      {{0x01, 0x80, 0xFF, 0x7F, 0x33}, 16, {-32767, 32767}},  // the odd last byte is left out
      {{1, 2, 3}, 24, {}},
  };
  for (const Row& row : rows) {
    EXPECT_EQ(ToPcm16(row.bytes, row.nBits), row.pcm) << row.nBits;
    if (row.nBits == 16) {
      EXPECT_EQ(ToPcm16(Pcm16Bytes(row.pcm), 16), row.pcm);
    }
  }
}

}  // namespace
}  // namespace ekoto
