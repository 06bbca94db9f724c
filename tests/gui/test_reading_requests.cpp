// Requests around the start of a reading, the highlight offset of a reading
// that starts over, and reading on with no sound device.
#include <QAction>
#include <QStatusBar>

#include "MainWindowTestKit.h"

namespace ekoto::testing {
namespace {

// The window yields while it shows the reading state; a stop or pause handled
// there belongs to the reading.
TEST_F(WindowTest, AStopOrPauseMadeAsTheReadingStartsTakesEffect) {
  for (QAction* frmMain::*request : {&frmMain::mnuRun_Stop, &frmMain::mnuRun_Pause}) {
    SetText(u"あいう");
    Later(w.get(), [&] { (w.get()->*request)->trigger(); });
    w->mnuRun_Play->trigger();
    EXPECT_TRUE(units.empty());
    EXPECT_EQ(w->mnuRun_Stop->isEnabled(), request == &frmMain::mnuRun_Pause);
  }
}

// A caret play paused on its very first unit holds no position: what is read
// next starts at the text's start, and so does its highlight.
TEST_F(WindowTest, AReadingFromTheStartHighlightsFromTheStartAfterACaretPlayPausedAtOnce) {
  const struct { std::function<void()> start; const char* pos; } rows[] = {
      {[this] { w->mnuRun_Play->trigger(); }, "pos 0+12"},
      {[this] { w->mnuRun_SlowPlay->trigger(); }, "pos 0+12"},
      {[this] {
         w->Timer_SetToStart(u"さしす。");  // a copied text
         w->tmrClipboard->start(0);
         ASSERT_TRUE(WaitUntil([&] { return !w->log.empty() && w->log.back() == "stop"; }));
       },
       "pos 0+4"},
  };
  for (size_t i = 0; i < std::size(rows); ++i) {
    SetText(u"かきくけこさしすせそあ。");
    SetCaret(10);
    AtUnit(units.size() + 1, [this] { w->mnuRun_Pause->trigger(); });
    w->mnuRun_CaretPlay->trigger();
    ASSERT_EQ(w->log.back(), "pause") << i;
    w->log.clear();
    AtUnit(units.size() + 1, [this] { w->mnuRun_Stop->trigger(); });  // one unit shows the highlight
    rows[i].start();
    ASSERT_GE(w->log.size(), 2u) << i;
    EXPECT_EQ(w->log[1], rows[i].pos) << i;
  }
}

// With no sound device the reading keeps its pace: a pause asked for as soon as
// the event loop runs while a unit plays arrives during the first unit.
TEST(NoSoundDevice, TheReadingKeepsItsPaceSoAPauseArrivesDuringTheFirstUnit) {
  struct : ISoundOutput {
    int32_t Open(const WAVEFORMATEX&, IMessagePump&) override { return 0; }
    bool Write(int32_t, const uint8_t*, size_t) override { return false; }
    void Reset(int32_t) override {}
    void Close(int32_t) override {}
    std::string TakeError() override { return "ekoto: no sound device could be opened (test)"; }
  } device;
  MainWindowFixture fixture;
  ASSERT_TRUE(fixture.VoiceWritten());
  const std::u16string folder = Utf8ToUtf16(fixture.dir.Root().string()) + u"/";
  LoggingWindow w(MainWindowServices{device, fixture.converter, folder + u"options.dat", folder});
  w.txtReadText->setPlainText(QStringLiteral("あいうえお"));
  QTimer poll;
  QObject::connect(&poll, &QTimer::timeout, &w, [&] { if (w.bInUnit) w.mnuRun_Pause->trigger(); });
  poll.start(0);
  w.mnuRun_Play->trigger();
  EXPECT_EQ(std::pair(w.nSounds, w.log.back()), std::pair(1, std::string("pause")));
  EXPECT_EQ(w.statusBar()->currentMessage(), "サウンドデバイスで音を出せません");
}

}  // namespace
}  // namespace ekoto::testing
