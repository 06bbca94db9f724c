// The main window driven as a user would: reading with its highlight and
// command states, pause, stop, slow and caret play, mute, layout,
// options.dat across two runs, closing while reading, and dropped files.
#include <QAction>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFontMetrics>
#include <QGroupBox>
#include <QLabel>
#include <QMimeData>
#include <QStatusBar>
#include <QToolButton>
#include <QUrl>
#include <algorithm>
#include <fstream>

#include "MainWindowTestKit.h"
#include "controls/VolumeBar.h"
#include "ui/Twips.h"

namespace ekoto::testing {
namespace {

struct States {
  bool bPlay, bPause, bStop;
  bool operator==(const States&) const = default;
};
constexpr States kStopped{true, false, false};
constexpr States kPlaying{false, true, true};
constexpr States kPaused{true, false, true};

// The states of the menu items; the buttons are checked against them.
States CommandStates(const frmMain& w) {
  const States menu{w.mnuRun_Play->isEnabled(), w.mnuRun_Pause->isEnabled(), w.mnuRun_Stop->isEnabled()};
  const bool bButtonsAgree = w.cmdPlayerInterface[0]->isEnabled() == menu.bStop &&
                             w.cmdPlayerInterface[1]->isEnabled() == menu.bPause &&
                             w.cmdPlayerInterface[2]->isEnabled() == menu.bPlay &&
                             w.cmdPlayerInterface[3]->isEnabled() == menu.bPlay &&
                             w.cmdPlayerInterface[4]->isEnabled() == menu.bPlay &&
                             w.mnuRun_SlowPlay->isEnabled() == menu.bPlay &&
                             w.mnuRun_CaretPlay->isEnabled() == menu.bPlay;
  return bButtonsAgree ? menu : States{false, false, false};
}

std::string Selection(const frmMain& w) {
  const QTextCursor c = w.txtReadText->textCursor();
  return std::to_string(c.selectionStart()) + "+" + std::to_string(c.selectionEnd() - c.selectionStart());
}

// The highlight while each unit played, marked when the commands were not those of a reading.
class MainWindowTest : public WindowTest {
 protected:
  void OnUnit() override { heard.push_back(Selection(*w) + (CommandStates(*w) == kPlaying ? "" : " not playing")); }
  std::vector<std::string> heard;
};

using Units = std::vector<std::string>;

// Reading: highlight and command states per unit; pause and stop part-way.
TEST_F(MainWindowTest, PlayPauseResumeAndStop) {
  SetText(u"あい。う");
  w->mnuRun_Play->trigger();
  EXPECT_EQ(units, (Units{"あ", "い", "う"}));
  EXPECT_EQ(heard, (Units{"0+3", "0+3", "3+1"}));
  EXPECT_EQ(w->log, (Units{"play", "pos 0+3", "pos 3+1", "stop"}));
  EXPECT_EQ(CommandStates(*w), kStopped);
  EXPECT_EQ(Selection(*w), "0+0");

  // The paused unit is heard again on resume.
  units.clear();
  SetText(u"あいうえ");
  AtUnit(2, [this] { w->cmdPlayerInterface_Click(1); });
  w->mnuRun_Play->trigger();
  EXPECT_EQ(units, (Units{"あ", "い"}));
  EXPECT_EQ(CommandStates(*w), kPaused);
  EXPECT_EQ(w->log.back(), "pause");
  w->cmdPlayerInterface_Click(2);
  EXPECT_EQ(units, (Units{"あ", "い", "い", "う", "え"}));
  EXPECT_EQ(CommandStates(*w), kStopped);

  // A stop ends the reading with two stops and holds nothing: the next play starts at the beginning.
  units.clear();
  w->log.clear();
  AtUnit(2, [this] { w->mnuRun_Stop->trigger(); });
  w->mnuRun_Play->trigger();
  EXPECT_EQ(units, (Units{"あ", "い"}));
  EXPECT_EQ(std::count(w->log.begin(), w->log.end(), "stop"), 2);
  EXPECT_EQ(CommandStates(*w), kStopped);
  EXPECT_EQ(Selection(*w), "0+0");
  w->mnuRun_Play->trigger();
  EXPECT_EQ(units.at(2), "あ");
}

TEST_F(MainWindowTest, SlowPlayReadsAtThreeQuartersAndRestoresTheSpeed) {
  w->SetSpeed(0.25f);
  SetText(u"あ");
  std::pair<int32_t, QString> whileReading;
  output.onWrite = [&](const std::vector<uint8_t>&) { whileReading = {w->Speedbar->Value(), w->lblSpeed->text()}; };
  w->mnuRun_SlowPlay->trigger();
  EXPECT_EQ(whileReading, std::pair(188, QString("x0.19")));  // 0.1875 × 1000, the half rounded to even
  EXPECT_EQ(std::pair(w->Speedbar->Value(), w->lblSpeed->text()), std::pair(250, QString("x0.25")));
}

// Play from the caret: the offset of the highlight, kept across a pause, gone after a stop.
TEST_F(MainWindowTest, CaretPlayHighlightsFromTheCaret) {
  // Ten characters before the caret, then a sentence of six and one of two.
  SetText(u"かきくけこさしすせそあいうえお。かき");
  QTextCursor cursor = w->txtReadText->textCursor();
  cursor.setPosition(10);
  cursor.setPosition(13, QTextCursor::KeepAnchor);  // a selection: reading starts at its start
  w->txtReadText->setTextCursor(cursor);
  w->mnuRun_CaretPlay->trigger();
  EXPECT_EQ(w->log, (Units{"stop", "play", "pos 10+6", "pos 16+2", "stop"}));
  EXPECT_EQ(units, (Units{"あ", "い", "う", "え", "お", "か", "き"}));
  EXPECT_EQ(heard.front(), "10+6");
  // The offset is gone after the stop: a plain play highlights from 0.
  w->log.clear();
  w->mnuRun_Play->trigger();
  EXPECT_EQ(w->log.at(1), "pos 0+16");

  SetCaret(10);
  AtUnit(units.size() + 2, [this] { w->mnuRun_Pause->trigger(); });
  w->mnuRun_CaretPlay->trigger();
  ASSERT_EQ(CommandStates(*w), kPaused);
  w->log.clear();
  w->mnuRun_Play->trigger();
  EXPECT_EQ(w->log.at(1), "pos 10+6");

  // At the end there is nothing to read.
  units.clear();
  w->log.clear();
  SetCaret(static_cast<int>(w->txtReadText->toPlainText().size()));
  w->mnuRun_CaretPlay->trigger();
  EXPECT_TRUE(units.empty());
  EXPECT_EQ(w->log, (Units{"stop", "play", "stop"}));
}

// Mute: silent units, the reading goes on.
TEST_F(MainWindowTest, MuteSilencesTheUnitsButKeepsReading) {
  auto allAre = [this](uint8_t v) { return std::all_of(lastBytes.begin(), lastBytes.end(), [v](uint8_t b) { return b == v; }); };
  w->SetVolume(1.0f);
  SetText(u"あ");
  for (const bool bMute : {false, true, false}) {
    if (bMute != w->clsOptions.bMute) w->mnuProperty_Mute->trigger();
    EXPECT_EQ(w->mnuProperty_Mute->isChecked(), bMute);
    w->mnuRun_Play->trigger();
    ASSERT_EQ(lastBytes.size(), UnitLength(0));
    EXPECT_TRUE(allAre(bMute ? 127 : kSampleByte)) << bMute;
  }
}

// Layout for every combination of bars: the text box fills what the visible bars leave.
TEST_F(MainWindowTest, LayoutStacksTheVisibleBarsUnderTheTextBox) {
  const int mx = TwipsToPixels(120, w->logicalDpiX()), my = TwipsToPixels(120, w->logicalDpiY());
  const QSize client = w->centralWidget()->size();
  auto bottom = [](const QWidget* c) { return c->y() + c->height(); };
  for (int bars = 0; bars < 8; ++bars) {
    const bool bPlay = bars & 1, bVolume = bars & 2, bSpeed = bars & 4;
    SCOPED_TRACE(bars);
    if (w->clsOptions.bPlaybar != bPlay) w->mnuView_Playbar->trigger();
    if (w->clsOptions.bVolumebar != bVolume) w->mnuView_Volumebar->trigger();
    if (w->clsOptions.bSpeedbar != bSpeed) w->mnuView_Speedbar->trigger();
    EXPECT_EQ(std::tuple(w->fraPlay->isVisible(), w->fraVolume->isVisible(), w->fraSpeed->isVisible()),
              std::tuple(bPlay, bVolume, bSpeed));
    EXPECT_EQ(w->mnuView_Volumebar->isChecked(), bVolume);
    EXPECT_EQ(w->txtReadText->geometry(), QRect(mx, bottom(w->Label1), client.width() - 2 * mx, w->txtReadText->height()));
    // Down from the text box: a margin, the play bar, the volume and speed bars and a margin end at the bottom.
    int y = bottom(w->txtReadText) + my;
    if (bPlay) {
      EXPECT_EQ(w->fraPlay->pos(), QPoint(mx, y));
      y = bottom(w->fraPlay);
    }
    if (bVolume || bSpeed) {
      EXPECT_EQ(w->fraVolume->y(), y);
      y = bottom(w->fraVolume) + my;
    }
    EXPECT_EQ(y, client.height());
    EXPECT_EQ(std::pair(w->fraVolume->x(), w->fraSpeed->y()), std::pair(mx, w->fraVolume->y()));
    EXPECT_EQ(w->fraSpeed->x(), bVolume ? w->fraVolume->geometry().right() + 1 + mx : mx);
  }
}

// options.dat across a shutdown and the next start, and closing while reading.
TEST_F(MainWindowTest, OptionsSurviveAShutdownAndTheNextStart) {
  const auto path = dir.Path("options.dat");
  w->SetVolume(2.0f);
  w->SetSpeed(0.5f);
  w->mnuProperty_Mute->trigger();
  w->mnuView_Speedbar->trigger();
  w->resize(500, 400);
  w->tmr1000_Timer();
  w->close();
  EXPECT_EQ(nUnloaded, 1);
  const std::string text = FileText(path);
  EXPECT_EQ(text.rfind("// \r\nVolume=2.00\r\nMute=true\r\nSpeed=0.50\r\n", 0), 0u) << text;
  for (const char* line : {"\r\nSpeedbar=false\r\n", "\r\nWindowWidth=500\r\nWindowHeight=400\r\n"})
    EXPECT_NE(text.find(line), std::string::npos) << line;
  EXPECT_EQ(std::count(text.begin(), text.end(), '\n'), 23);

  // The user edits the font by hand between the runs.
  std::ofstream(path, std::ios::binary | std::ios::app) << "FontSize=14\r\nFontBold=true\r\n";
  auto next = OpenWindow();
  const QFont font = next->txtReadText->font();
  EXPECT_EQ(std::tuple(next->Volumebar->Value(), next->Speedbar->Value(), next->lblVolume->text() + next->lblSpeed->text(),
                       next->clsOptions.bMute, next->mnuProperty_Mute->isChecked(), next->mnuView_Speedbar->isChecked(),
                       next->fraSpeed->isVisible(), next->fraVolume->isVisible(), font.pointSize(), font.bold(), next->size()),
            std::tuple(200, 500, QString("x2.00x0.50"), true, true, false, false, true, 14, true, QSize(500, 400)));
  // The Windows face is not installed; Japanese must still have glyphs.
  EXPECT_TRUE(QFontMetrics(font).inFont(QChar(u'読')));
}

TEST_F(MainWindowTest, ClosingWhileReadingSavesStopsAndEndsAfterTheReadingUnwound) {
  SetText(u"あいうえおかきくけこ");
  size_t nLogAtUnloaded = 0;
  QObject::connect(w.get(), &frmMain::Unloaded, [&] { nLogAtUnloaded = w->log.size(); });
  std::vector<std::string> logAtClose;
  std::string sSelectionAtClose;
  AtUnit(3, [&] {
    w->SetSpeed(0.9f);
    logAtClose = w->log;
    sSelectionAtClose = Selection(*w);
    w->close();
  });
  w->mnuRun_Play->trigger();
  EXPECT_EQ(nUnloaded, 1);
  // Not before the reading had ended with its last stop.
  EXPECT_EQ(nLogAtUnloaded, w->log.size());
  EXPECT_EQ(units, (Units{"あ", "い", "う"}));
  // The reader's stops reached the window, which left the screen alone.
  EXPECT_EQ(w->log.size(), logAtClose.size() + 2);
  EXPECT_EQ(Selection(*w), sSelectionAtClose);
  EXPECT_EQ(CommandStates(*w), kPlaying);
  EXPECT_NE(FileText(dir.Path("options.dat")).find("\r\nSpeed=0.90\r\n"), std::string::npos);
  w->close();  // a second close is ignored
  EXPECT_EQ(nUnloaded, 1);
}

TEST_F(MainWindowTest, ClosingAsTheReadingStartsReadsNothingAndDuringSlowPlaySavesTheUsersSpeed) {
  // The close is handled in the yield that paints the Playing state, before the
  // reader has looked at its first sentence: the reading ends before its first unit.
  SetText(u"あいう");
  Later(w.get(), [this] { w->close(); });
  w->mnuRun_Play->trigger();
  EXPECT_TRUE(units.empty());
  EXPECT_EQ(std::pair(w->nSounds, Selection(*w)), std::pair(0, std::string("0+0")));

  w = OpenWindow();
  SetText(u"あいう");
  AtUnit(1, [this] { w->close(); });
  w->mnuRun_SlowPlay->trigger();
  // The speed the user set is saved, not the slow reading's.
  EXPECT_NE(FileText(dir.Path("options.dat")).find("\r\nSpeed=1.00\r\n"), std::string::npos);
  EXPECT_EQ(nUnloaded, 2);
}

// Dropped files: shown and read a second later, replacing a running or paused reading.
void Drop(frmMain& w, const std::vector<std::filesystem::path>& paths) {
  auto mime = std::make_unique<QMimeData>();
  QList<QUrl> urls;
  for (const auto& path : paths) urls.append(QUrl::fromLocalFile(QString::fromStdString(path.string())));
  mime->setUrls(urls);
  // A drop goes to the widget that accepted the drag's entry.
  QDragEnterEvent enter(QPoint(10, 10), Qt::CopyAction, mime.get(), Qt::LeftButton, Qt::NoModifier);
  QCoreApplication::sendEvent(w.txtReadText->viewport(), &enter);
  QDropEvent drop(QPointF(10, 10), Qt::CopyAction, mime.get(), Qt::LeftButton, Qt::NoModifier);
  QCoreApplication::sendEvent(w.txtReadText->viewport(), &drop);
}

// The first of two files dropped on a paused reading is shown a second later and read, not the old sentences.
TEST_F(MainWindowTest, DroppedFileIsShownAndReadASecondLater) {
  WriteBytes(dir.Path("first.txt"), {0xE3, 0x81, 0x8B, 0xE3, 0x81, 0x8D});  // "かき" in UTF-8
  WriteBytes(dir.Path("second.txt"), {0xE3, 0x81, 0x82});
  SetText(u"あいうえお");
  AtUnit(2, [this] { w->mnuRun_Pause->trigger(); });
  w->mnuRun_Play->trigger();
  ASSERT_EQ(CommandStates(*w), kPaused);
  Drop(*w, {dir.Path("first.txt"), dir.Path("second.txt")});
  EXPECT_EQ(w->txtReadText->toPlainText(), "あいうえお");  // not before the second has passed
  ASSERT_TRUE(WaitUntil([&] { return units.size() == 4 && CommandStates(*w) == kStopped; }));
  EXPECT_EQ(w->txtReadText->toPlainText(), "かき");
  EXPECT_EQ(units, (Units{"あ", "い", "か", "き"}));
}

TEST_F(MainWindowTest, FileDroppedDuringAReadingStopsItAndReadsTheFileFromItsStart) {
  WriteBytes(dir.Path("drop.txt"), {0x82, 0xB3, 0x82, 0xB5, 0x82, 0xB7});  // "さしす" in CP932
  // Long enough to be still running when the dropped text's second has passed.
  SetText(u"あいうえおかきくけこあいうえおかきくけこあいうえおかきくけこ");
  AtUnit(2, [this] { Drop(*w, {dir.Path("drop.txt")}); });
  w->mnuRun_Play->trigger();
  const size_t nFirst = units.size();
  EXPECT_LT(nFirst, 30u);
  ASSERT_TRUE(WaitUntil([&] { return units.size() == nFirst + 3 && CommandStates(*w) == kStopped; }));
  EXPECT_EQ(w->txtReadText->toPlainText(), "さしす");
  EXPECT_EQ(Units(units.begin() + static_cast<long>(nFirst), units.end()), (Units{"さ", "し", "す"}));
  EXPECT_EQ(heard.at(nFirst), "0+3");
  // The old reading stopped (twice) before the new one began; never two at once.
  const auto secondPlay = std::find(std::next(std::find(w->log.begin(), w->log.end(), "play")), w->log.end(), "play");
  ASSERT_NE(secondPlay, w->log.end());
  EXPECT_EQ(std::count(w->log.begin(), secondPlay, "stop"), 2);
}

// Files that hold no text to read are refused with a message; the text box keeps the user's text.
TEST_F(MainWindowTest, DroppedFilesWithoutTextAreRefusedWithAMessage) {
  const auto big = dir.Path("big.txt");
  std::ofstream(big).put('a');
  std::filesystem::resize_file(big, kMaxDroppedFileBytes + 1);
  const auto binary = dir.Path("image.bin");
  WriteBytes(binary, {0x89, 'P', 'N', 'G', 0x00, 0x00, 0x1A, 0x0A});
  const auto folder = dir.Path("folder");
  std::filesystem::create_directory(folder);
  for (const auto& path : {big, binary, folder, dir.Path("missing.txt")}) {
    SetText(u"そのまま");
    Drop(*w, {path});
    EXPECT_FALSE(w->tmrClipboard->isActive()) << path;
    EXPECT_TRUE(w->statusBar()->currentMessage().contains(QString::fromStdString(path.filename().string()))) << path;
    EXPECT_EQ(w->txtReadText->toPlainText(), "そのまま") << path;
  }
}

}  // namespace
}  // namespace ekoto::testing
