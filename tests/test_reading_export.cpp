// Saving a reading as an audio file: the length it takes, the file types, and
// that a cancelled or failed save leaves nothing (and keeps what was there).
#include <gtest/gtest.h>
#include <sndfile.h>

#include <sys/stat.h>

#include <filesystem>

#include "PaTestFiles.h"
#include "audio/Pcm16.h"
#include "audio/ReadingExport.h"
#include "voice/PaWriter.h"

namespace ekoto {
namespace {

// Reads every piece as itself; cancels after nCancelAt units (never when negative).
struct Watcher : IExportProgress, IReverseConverter {
  explicit Watcher(int n) : nCancelAt(n) {}
  bool ReverseConvert(const std::u16string& piece, std::u16string& reading) override { return reading = piece, true; }
  void Progress(int nPercent) override { nLastPercent = nPercent; }
  bool Cancelled() override { return nCancelAt >= 0 && ++nAsked > nCancelAt; }
  int nCancelAt, nAsked = 0, nLastPercent = -1;
};

TEST(ExportTest, WritesTheWholeFileOrNothing) {
  // nCancelAt: units before the cancel, -1 for none; lFrames: -1 for no file; nType: SF_FORMAT_TYPEMASK.
  struct Case { const char *name, *file; const char16_t* text; float fSpeed; int nCancelAt;
                ExportStatus status; int64_t lFrames; int nType; };
  // あ is 400 frames, い 408 at 8000 Hz; 。 and the empty sentence after it have
  // no sample but still cost their waits.
  const Case cases[] = {
      {"wav back to back", "out.wav", u"あい。", 1.0f, -1, ExportStatus::kSaved, 808, SF_FORMAT_WAV},
      {"waits become silence", "out.wav", u"あい。", 0.5f, -1, ExportStatus::kSaved, 808 + 4 * 4000, SF_FORMAT_WAV},
      {"flac by its extension", "OUT.FLAC", u"あい。", 1.0f, -1, ExportStatus::kSaved, 808, SF_FORMAT_FLAC},
      {"ogg vorbis by its extension", "out.ogg", u"あい。", 1.0f, -1, ExportStatus::kSaved, 808, SF_FORMAT_OGG},
      {"cancel leaves no file and keeps the old one", "old.wav", u"あいあいあい", 1.0f, 2, ExportStatus::kCancelled, -1, 0},
      {"no unit in the voice", "out.wav", u"んん", 1.0f, -1, ExportStatus::kNoSound, -1, 0},
      {"unknown extension", "out.mp3", u"あい", 1.0f, -1, ExportStatus::kBadFileType, -1, 0},
      {"missing folder", "no/such/out.wav", u"あい", 1.0f, -1, ExportStatus::kWriteFailed, -1, 0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    testing::ScratchDir dir;
    const std::vector<PaUnit> voice = {{u"あ", std::vector<uint8_t>(400, 200)}, {u"い", std::vector<uint8_t>(408, 60)}};
    ASSERT_TRUE(WritePAFile(dir.Path16("v.pa"), voice, 8000, 0).bOk);
    ExportSettings settings;
    settings.sPAPath = dir.Path16("v.pa");
    settings.fSpeed = c.fSpeed;
    testing::WriteString(dir.Path("old.wav"), "earlier reading");
    Watcher watcher(c.nCancelAt);
    const std::string path = dir.Path(c.file).string();
    const ExportResult result = ExportReading(c.text, settings, watcher, path, watcher);
    EXPECT_EQ(result.status, c.status) << result.sDetail;
    EXPECT_EQ(testing::ReadString(dir.Path("old.wav")), "earlier reading");
    if (c.status == ExportStatus::kSaved) {
      EXPECT_EQ(watcher.nLastPercent, 100);
    }

    SF_INFO info{};
    SNDFILE* file = sf_open(path.c_str(), SFM_READ, &info);
    EXPECT_EQ(file != nullptr ? info.frames : -1, c.lFrames);
    if (file != nullptr) {
      EXPECT_EQ(info.format & SF_FORMAT_TYPEMASK, c.nType);
      EXPECT_EQ(info.samplerate, 8000);
      sf_close(file);
    }
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.Root()), {}), c.lFrames >= 0 ? 3 : 2)
        << "a temporary file is left";
  }
}

TEST(ExportTest, ReplacesTheFileALinkNamesAndKeepsItsMode) {
  // link: what out.wav is made before the save ("" a plain file, "-" nothing); nOldMode: the mode
  // of the file that is there, 0 for none; written: the file that gets the sound.
  struct Case { const char *name, *link; mode_t nOldMode, nUmask, nMode; const char* written; };
  const Case cases[] = {
      {"an existing file keeps its mode", "", 0600, 022, 0600, "out.wav"},
      {"a new file follows the umask", "-", 0, 027, 0640, "out.wav"},
      {"through a link to its file", "real.wav", 0640, 022, 0640, "real.wav"},
      {"through a link to a file not yet made", "sub/new.wav", 0, 077, 0600, "sub/new.wav"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    testing::ScratchDir dir;
    ASSERT_TRUE(WritePAFile(dir.Path16("v.pa"), {{u"あ", std::vector<uint8_t>(400, 200)}}, 8000, 0).bOk);
    std::filesystem::create_directory(dir.Path("sub"));
    const std::filesystem::path written = dir.Path(c.written);
    if (c.nOldMode != 0) {
      testing::WriteString(written, "earlier reading");
      std::filesystem::permissions(written, static_cast<std::filesystem::perms>(c.nOldMode));
    }
    if (*c.link != '\0' && *c.link != '-') std::filesystem::create_symlink(c.link, dir.Path("out.wav"));
    ExportSettings settings;
    settings.sPAPath = dir.Path16("v.pa");
    Watcher watcher(-1);
    const mode_t nUmask = umask(c.nUmask);
    const ExportResult result = ExportReading(u"あ", settings, watcher, dir.Path("out.wav").string(), watcher);
    umask(nUmask);
    EXPECT_EQ(result.status, ExportStatus::kSaved) << result.sDetail;
    EXPECT_EQ(std::filesystem::is_symlink(dir.Path("out.wav")), *c.link != '\0' && *c.link != '-');
    struct stat st {};
    ASSERT_EQ(stat(written.c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 07777, c.nMode);
    EXPECT_EQ(st.st_size, 44 + 2 * 400);
  }
}

TEST(Pcm16Test, EveryVoiceWidthBecomesSigned16BitMono) {
  struct Row { std::vector<uint8_t> bytes; int nBits, nChannels; std::vector<int16_t> pcm; };
  const Row rows[] = {
      {{0, 128, 255}, 8, 1, {-32768, 0, 32512}},
      {{0x01, 0x80, 0xFF, 0x7F, 0x33}, 16, 1, {-32767, 32767}},  // the odd last byte is left out
      {{0, 255, 128, 128}, 8, 2, {-128, 0}},                      // channels are averaged
      {{0x00, 0x80, 0xFF, 0x7F, 0x10, 0x00, 0x30, 0x00, 0x01}, 16, 2, {0, 0x20}},
      {{1, 2, 3}, 24, 1, {}},
      {{1, 2, 3}, 8, 0, {}},
      {Pcm16Bytes({-32767, 32767, 5}), 16, 1, {-32767, 32767, 5}},
  };
  for (const Row& row : rows) EXPECT_EQ(ToPcm16(row.bytes, row.nBits, row.nChannels), row.pcm) << row.nBits;
}

}  // namespace
}  // namespace ekoto
