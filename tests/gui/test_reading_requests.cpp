// Requests around the start of a reading, the highlight offset of a reading
// that starts over, and reading on with no sound device.
#include <QAction>
#include <QStatusBar>

#include "MainWindowTestKit.h"

namespace ekoto::testing {
namespace {

using Units = std::vector<std::string>;

class ReadingRequestTest : public WindowTest {};

// The window yields while it shows the reading state; a click handled there counts.
TEST_F(ReadingRequestTest, AStopOrPauseMadeAsTheReadingStartsTakesEffect) {
  const struct { const char* name; QAction* frmMain::*command; bool bPlayEnabled, bStopEnabled; } rows[] = {
      {"stop", &frmMain::mnuRun_Stop, true, false},
      {"pause", &frmMain::mnuRun_Pause, true, true},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.name);
    SetText(u"あいう");
    units.clear();
    Later(w.get(), [&] { (w.get()->*row.command)->trigger(); });
    w->mnuRun_Play->trigger();
    EXPECT_TRUE(units.empty());
    EXPECT_EQ(w->mnuRun_Play->isEnabled(), row.bPlayEnabled);
    EXPECT_EQ(w->mnuRun_Stop->isEnabled(), row.bStopEnabled);
    // Nothing was held: the next play reads the text from its start.
    w->mnuRun_Play->trigger();
    EXPECT_EQ(units, (Units{"あ", "い", "う"}));
  }
}

// A caret play paused on its very first unit holds no position: what is read
// next starts at the text's start, and so does its highlight.
TEST_F(ReadingRequestTest, AReadingFromTheStartHighlightsFromTheStartAfterACaretPlayPausedAtOnce) {
  const struct { const char* name; std::function<void()> start; const char* pos; } rows[] = {
      {"play", [this] { w->mnuRun_Play->trigger(); }, "pos 0+12"},
      {"slow play", [this] { w->mnuRun_SlowPlay->trigger(); }, "pos 0+12"},
      {"copied text",
       [this] {
         w->Timer_SetToStart(u"さしす。");
         w->tmrClipboard->start(0);
         ASSERT_TRUE(WaitUntil([&] { return !w->log.empty() && w->log.back() == "stop"; }));
       },
       "pos 0+4"},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.name);
    SetText(u"かきくけこさしすせそあ。");
    SetCaret(10);
    AtUnit(units.size() + 1, [this] { w->mnuRun_Pause->trigger(); });
    w->mnuRun_CaretPlay->trigger();
    ASSERT_EQ(w->log.back(), "pause");
    w->log.clear();
    // One unit is enough to see the highlight.
    AtUnit(units.size() + 1, [this] { w->mnuRun_Stop->trigger(); });
    row.start();
    ASSERT_GE(w->log.size(), 2u);
    EXPECT_EQ(w->log[1], row.pos);
  }
}

class NoSoundDevice : public ISoundOutput {
  int32_t Open(const WAVEFORMATEX&, IMessagePump&) override { return 0; }
  bool Write(int32_t, const uint8_t*, size_t) override { return false; }
  void Reset(int32_t) override {}
  void Close(int32_t) override {}
  std::string TakeError() override { return "ekoto: no sound device could be opened (test)"; }
};

// Knows whether a unit is being played right now.
class UnitWatchingWindow : public LoggingWindow {
 public:
  using LoggingWindow::LoggingWindow;
  bool bInUnit = false;

 protected:
  void OnPlaySound(std::u16string s) override {
    bInUnit = true;
    LoggingWindow::OnPlaySound(std::move(s));
    bInUnit = false;
  }
};

TEST(NoSoundDevice, TheReadingKeepsItsPaceSoAPauseArrivesDuringTheFirstUnit) {
  MainWindowFixture fixture;
  ASSERT_TRUE(fixture.VoiceWritten());
  NoSoundDevice device;
  const std::u16string folder = Utf8ToUtf16(fixture.dir.Root().string()) + u"/";
  UnitWatchingWindow w(MainWindowServices{device, fixture.converter, folder + u"options.dat", folder});
  w.txtReadText->setPlainText(QStringLiteral("あいうえお"));
  // Asks for a pause as soon as the event loop runs while a unit plays; a
  // reading that does not wait for its units never lets it.
  QTimer poll;
  QObject::connect(&poll, &QTimer::timeout, &w, [&] {
    if (w.bInUnit) w.mnuRun_Pause->trigger();
  });
  poll.start(0);
  w.mnuRun_Play->trigger();
  poll.stop();
  EXPECT_EQ(w.nSounds, 1);
  EXPECT_EQ(w.log.back(), "pause");
  EXPECT_EQ(w.statusBar()->currentMessage(), "no sound device could be opened (test)");
}

}  // namespace
}  // namespace ekoto::testing
