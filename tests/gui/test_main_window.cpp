// The main window driven as a user would: start-up, reading with its highlight
// and command states, pause, stop, slow and caret play, mute, presets, layout,
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

// What was true while one unit played.
struct Heard {
  std::string sSelection;
  States states;
  bool operator==(const Heard&) const = default;
};

class MainWindowTest : public WindowTest {
 protected:
  void OnUnit() override { heard.push_back({Selection(*w), CommandStates(*w)}); }
  std::vector<Heard> heard;
};

using Units = std::vector<std::string>;

// Start-up: defaults of the record, the sliders, the commands and the font.
TEST_F(MainWindowTest, FirstStartShowsTheDefaults) {
  EXPECT_EQ(w->lblVolume->text(), "x4.00");
  EXPECT_EQ(w->lblSpeed->text(), "x1.00");
  EXPECT_EQ(w->Volumebar->Max(), 400);
  EXPECT_EQ(w->Volumebar->Value(), 400);
  EXPECT_EQ(w->Speedbar->Max(), 1000);
  EXPECT_EQ(w->Speedbar->Value(), 1000);
  EXPECT_EQ(CommandStates(*w), kStopped);
  EXPECT_FALSE(w->mnuProperty_Mute->isChecked());
  for (QAction* view : {w->mnuView_Playbar, w->mnuView_Volumebar, w->mnuView_Speedbar}) EXPECT_TRUE(view->isChecked());
  for (QWidget* bar : std::initializer_list<QWidget*>{w->fraPlay, w->fraVolume, w->fraSpeed}) EXPECT_TRUE(bar->isVisible());
  EXPECT_EQ(w->clsOptions.sPAPath, dir.Path16("50on.pa"));

  const QFont font = w->txtReadText->font();
  EXPECT_EQ(font.family(), "ＭＳ Ｐゴシック");
  EXPECT_EQ(font.pointSize(), 10);
  EXPECT_FALSE(font.bold() || font.italic() || font.strikeOut() || font.underline());
  // The Windows face is not installed; Japanese must still have glyphs.
  EXPECT_TRUE(QFontMetrics(font).inFont(QChar(u'あ')));
  EXPECT_TRUE(QFontMetrics(font).inFont(QChar(u'読')));
}

// Tooltips are there until switched off.
TEST_F(MainWindowTest, TooltipsCanBeSwitchedOff) {
  for (QToolButton* button : w->cmdPlayerInterface) {
    EXPECT_FALSE(button->toolTip().isEmpty());
    EXPECT_FALSE(button->icon().isNull());
  }
  EXPECT_EQ(w->Volumebar->ToolTip(), "ボリューム");
  w->EnabledTooltip(false);
  for (QToolButton* button : w->cmdPlayerInterface) EXPECT_TRUE(button->toolTip().isEmpty());
  EXPECT_TRUE(w->Volumebar->ToolTip().isEmpty());
}

// Reading: highlight and command states per unit, pause/resume, stop, slow play.
TEST_F(MainWindowTest, PlayHighlightsEachSentenceWhileItIsHeard) {
  SetText(u"あい。う");
  w->mnuRun_Play->trigger();
  EXPECT_EQ(units, (Units{"あ", "い", "う"}));
  EXPECT_EQ(heard, (std::vector<Heard>{{"0+3", kPlaying}, {"0+3", kPlaying}, {"3+1", kPlaying}}));
  EXPECT_EQ(w->log, (Units{"play", "pos 0+3", "pos 3+1", "stop"}));
  EXPECT_EQ(CommandStates(*w), kStopped);
  EXPECT_EQ(Selection(*w), "0+0");
}

TEST_F(MainWindowTest, PauseThenPlayHearsThePausedUnitAgain) {
  SetText(u"あいうえ");
  AtUnit(2, [this] { w->cmdPlayerInterface_Click(1); });
  w->mnuRun_Play->trigger();
  EXPECT_EQ(units, (Units{"あ", "い"}));
  EXPECT_EQ(CommandStates(*w), kPaused);
  EXPECT_EQ(w->log.back(), "pause");

  w->cmdPlayerInterface_Click(2);
  EXPECT_EQ(units, (Units{"あ", "い", "い", "う", "え"}));
  EXPECT_EQ(CommandStates(*w), kStopped);
}

TEST_F(MainWindowTest, StopEndsTheReadingWithTwoStops) {
  SetText(u"あいうえお");
  AtUnit(2, [this] { w->mnuRun_Stop->trigger(); });
  w->mnuRun_Play->trigger();
  EXPECT_EQ(units, (Units{"あ", "い"}));
  EXPECT_EQ(std::count(w->log.begin(), w->log.end(), "stop"), 2);
  EXPECT_EQ(CommandStates(*w), kStopped);
  EXPECT_EQ(Selection(*w), "0+0");

  // Nothing is held: the next play starts at the beginning.
  units.clear();
  w->mnuRun_Play->trigger();
  EXPECT_EQ(units.front(), "あ");
}

TEST_F(MainWindowTest, SlowPlayReadsAtThreeQuartersAndRestoresTheSpeed) {
  w->SetSpeed(0.25f);
  ASSERT_EQ(w->Speedbar->Value(), 250);
  SetText(u"あ");
  int32_t nSpeedWhileReading = 0;
  QString sLabelWhileReading;
  output.onWrite = [&](const std::vector<uint8_t>&) {
    nSpeedWhileReading = w->Speedbar->Value();
    sLabelWhileReading = w->lblSpeed->text();
  };
  w->mnuRun_SlowPlay->trigger();
  EXPECT_EQ(nSpeedWhileReading, 188);  // 0.1875 × 1000, the half rounded to even
  EXPECT_EQ(sLabelWhileReading, "x0.19");
  EXPECT_EQ(w->Speedbar->Value(), 250);
  EXPECT_EQ(w->lblSpeed->text(), "x0.25");
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
  EXPECT_EQ(heard.front().sSelection, "10+6");
  EXPECT_EQ(Selection(*w), "0+0");

  // The offset is gone after the stop: a plain play highlights from 0.
  w->log.clear();
  w->mnuRun_Play->trigger();
  EXPECT_EQ(w->log[1], "pos 0+16");
}

TEST_F(MainWindowTest, CaretPlayPausedAndResumedKeepsTheOffset) {
  SetText(u"かきくけこさしすせそあいうえお。");
  SetCaret(10);
  AtUnit(2, [this] { w->mnuRun_Pause->trigger(); });
  w->mnuRun_CaretPlay->trigger();
  ASSERT_EQ(CommandStates(*w), kPaused);

  w->log.clear();
  w->mnuRun_Play->trigger();
  EXPECT_EQ(w->log.at(1), "pos 10+6");
}

TEST_F(MainWindowTest, CaretPlayAtTheEndReadsNothing) {
  SetText(u"あいう");
  SetCaret(3);
  w->mnuRun_CaretPlay->trigger();
  EXPECT_TRUE(units.empty());
  EXPECT_EQ(w->log, (Units{"stop", "play", "stop"}));
  EXPECT_EQ(CommandStates(*w), kStopped);
}

// Mute, the presets and the setters: what is written and where the sliders go.
TEST_F(MainWindowTest, MuteSilencesTheUnitsButKeepsReading) {
  auto allAre = [this](uint8_t v) { return std::all_of(lastBytes.begin(), lastBytes.end(), [v](uint8_t b) { return b == v; }); };
  w->SetVolume(1.0f);
  SetText(u"あ");
  w->mnuRun_Play->trigger();
  ASSERT_EQ(units.size(), 1u);
  EXPECT_TRUE(allAre(kSampleByte));

  w->mnuProperty_Mute->trigger();
  EXPECT_TRUE(w->clsOptions.bMute);
  EXPECT_TRUE(w->mnuProperty_Mute->isChecked());
  w->mnuRun_Play->trigger();
  ASSERT_EQ(units.size(), 2u);
  EXPECT_EQ(lastBytes.size(), UnitLength(0));
  EXPECT_TRUE(allAre(127));

  w->mnuProperty_Mute->trigger();
  EXPECT_FALSE(w->clsOptions.bMute);
  EXPECT_FALSE(w->mnuProperty_Mute->isChecked());
}

TEST_F(MainWindowTest, PresetsAndSettersMoveTheSliders) {
  const struct {
    std::function<void()> act;
    int32_t nVolume, nSpeed;
    const char *sVolumeLabel, *sSpeedLabel;
  } rows[] = {
      {[&] { w->mnuProperty_Volume_Middle->trigger(); }, 200, 1000, "x2.00", "x1.00"},
      {[&] { w->mnuProperty_Volume_Small->trigger(); }, 100, 1000, "x1.00", "x1.00"},
      {[&] { w->mnuProperty_Volume_Large->trigger(); }, 400, 1000, "x4.00", "x1.00"},
      {[&] { w->mnuProperty_Speed_Middle->trigger(); }, 400, 500, "x4.00", "x0.50"},
      {[&] { w->mnuProperty_Speed_Slow->trigger(); }, 400, 250, "x4.00", "x0.25"},
      {[&] { w->mnuProperty_Speed_Fast->trigger(); }, 400, 1000, "x4.00", "x1.00"},
      {[&] { w->SetVolume(4.01f); }, 1, 1000, "x0.01", "x1.00"},
      {[&] { w->SetVolume(4.0f); }, 400, 1000, "x4.00", "x1.00"},
      {[&] { w->SetVolume(-1.0f); }, 1, 1000, "x0.01", "x1.00"},
      {[&] { w->SetVolume(0.125f); }, 12, 1000, "x0.12", "x1.00"},
      {[&] { w->SetSpeed(1.5f); }, 12, 1, "x0.12", "x0.00"},
      {[&] { w->SetSpeed(0.1875f); }, 12, 188, "x0.12", "x0.19"},
  };
  for (size_t i = 0; i < std::size(rows); ++i) {
    rows[i].act();
    EXPECT_EQ(w->Volumebar->Value(), rows[i].nVolume) << i;
    EXPECT_EQ(w->Speedbar->Value(), rows[i].nSpeed) << i;
    EXPECT_EQ(w->lblVolume->text(), rows[i].sVolumeLabel) << i;
    EXPECT_EQ(w->lblSpeed->text(), rows[i].sSpeedLabel) << i;
  }
  EXPECT_FLOAT_EQ(w->GetVolume(), 0.12f);
  EXPECT_FLOAT_EQ(w->GetSpeed(), 0.188f);
}

// Layout at the designed size for every combination of bars, and when too small.
TEST_F(MainWindowTest, LayoutFollowsTheBarsAtTheDesignedSize) {
  auto px = [&](int nTwips) { return TwipsToPixels(nTwips, w->logicalDpiX()); };
  auto py = [&](int nTwips) { return TwipsToPixels(nTwips, w->logicalDpiY()); };
  QWidget* client = w->centralWidget();
  w->resize(w->size() + QSize(px(6180), py(4260)) - client->size());
  ASSERT_TRUE(WaitUntil([&] { return client->size() == QSize(px(6180), py(4260)); }));

  // Twips at the designed client size 6180 × 4260.
  const struct { bool bPlay, bVolume, bSpeed; int nTextHeight, nPlayTop, nSpeedLeft; } rows[] = {
      {true, true, true, 2175, 2670, 2535},   {true, true, false, 2175, 2670, 2535},
      {true, false, true, 2175, 2670, 120},   {true, false, false, 3150, 3645, 120},
      {false, true, true, 2790, 3285, 2535},  {false, true, false, 2790, 3285, 2535},
      {false, false, true, 2790, 3285, 120},  {false, false, false, 3765, 4260, 120},
  };
  for (const auto& row : rows) {
    if (w->clsOptions.bPlaybar != row.bPlay) w->mnuView_Playbar->trigger();
    if (w->clsOptions.bVolumebar != row.bVolume) w->mnuView_Volumebar->trigger();
    if (w->clsOptions.bSpeedbar != row.bSpeed) w->mnuView_Speedbar->trigger();
    SCOPED_TRACE(std::to_string(row.bPlay) + std::to_string(row.bVolume) + std::to_string(row.bSpeed));
    EXPECT_EQ(w->mnuView_Playbar->isChecked(), row.bPlay);
    EXPECT_EQ(w->fraPlay->isVisible(), row.bPlay);
    EXPECT_EQ(w->fraVolume->isVisible(), row.bVolume);
    EXPECT_EQ(w->fraSpeed->isVisible(), row.bSpeed);
    EXPECT_EQ(w->Label1->pos(), QPoint(px(120), py(120)));
    EXPECT_EQ(w->txtReadText->geometry(), QRect(px(120), py(375), px(5940), py(row.nTextHeight)));
    EXPECT_EQ(w->fraPlay->pos(), QPoint(px(120), py(row.nPlayTop)));
    EXPECT_EQ(w->fraVolume->pos(), QPoint(px(120), py(3285)));
    EXPECT_EQ(w->fraSpeed->pos(), QPoint(px(row.nSpeedLeft), py(3285)));
  }
}

TEST_F(MainWindowTest, TooSmallAWindowKeepsTheTextBoxAndPlacesTheRest) {
  const QRect before = w->txtReadText->geometry();
  w->centralWidget()->resize(200, 60);  // the layout runs on the client area's resizes
  EXPECT_EQ(w->txtReadText->geometry(), before);
  EXPECT_EQ(w->fraVolume->y() + w->fraVolume->height(), 60 - TwipsToPixels(120, w->logicalDpiY()));
  EXPECT_EQ(w->fraPlay->y(), before.bottom() + 1 + TwipsToPixels(120, w->logicalDpiY()));
}

// options.dat across a shutdown and the next start, and closing while reading.
TEST_F(MainWindowTest, OptionsSurviveAShutdownAndTheNextStart) {
  const auto path = dir.Path("options.dat");
  ASSERT_FALSE(std::filesystem::exists(path));
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
  EXPECT_NE(text.find("\r\nSpeedbar=false\r\n"), std::string::npos);
  EXPECT_NE(text.find("\r\nWindowWidth=500\r\nWindowHeight=400\r\n"), std::string::npos);
  EXPECT_EQ(std::count(text.begin(), text.end(), '\n'), 23);

  // The user edits the font by hand between the runs.
  std::ofstream(path, std::ios::binary | std::ios::app) << "FontSize=14\r\nFontBold=true\r\n";
  auto next = OpenWindow();
  EXPECT_EQ(next->Volumebar->Value(), 200);
  EXPECT_EQ(next->lblVolume->text(), "x2.00");
  EXPECT_EQ(next->Speedbar->Value(), 500);
  EXPECT_EQ(next->lblSpeed->text(), "x0.50");
  EXPECT_TRUE(next->clsOptions.bMute);
  EXPECT_TRUE(next->mnuProperty_Mute->isChecked());
  EXPECT_FALSE(next->mnuView_Speedbar->isChecked());
  EXPECT_FALSE(next->fraSpeed->isVisible());
  EXPECT_TRUE(next->fraVolume->isVisible());
  EXPECT_EQ(next->txtReadText->font().pointSize(), 14);
  EXPECT_TRUE(next->txtReadText->font().bold());
  EXPECT_EQ(next->size(), QSize(500, 400));
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

  // A second close is ignored.
  w->close();
  EXPECT_EQ(nUnloaded, 1);
}

TEST_F(MainWindowTest, ClosingAsTheReadingStartsReadsNothing) {
  // The close is handled in the yield that paints the Playing state, before the
  // reader has looked at its first sentence.
  SetText(u"あいう");
  Later(w.get(), [this] { w->close(); });
  w->mnuRun_Play->trigger();
  EXPECT_TRUE(units.empty());
  // The stop of the close is seen before the first unit.
  EXPECT_EQ(w->nSounds, 0);
  EXPECT_EQ(Selection(*w), "0+0");
  EXPECT_EQ(nUnloaded, 1);
}

TEST_F(MainWindowTest, ClosingDuringSlowPlaySavesTheSpeedTheUserSet) {
  SetText(u"あいう");
  AtUnit(1, [this] { w->close(); });
  w->mnuRun_SlowPlay->trigger();
  EXPECT_NE(FileText(dir.Path("options.dat")).find("\r\nSpeed=1.00\r\n"), std::string::npos);
  EXPECT_EQ(nUnloaded, 1);
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

TEST_F(MainWindowTest, DroppedFileIsShownAndReadASecondLater) {
  WriteBytes(dir.Path("first.txt"), {0xE3, 0x81, 0x8B, 0xE3, 0x81, 0x8D});  // "かき" in UTF-8
  WriteBytes(dir.Path("second.txt"), {0xE3, 0x81, 0x82});
  SetText(u"そのまま");
  Drop(*w, {dir.Path("first.txt"), dir.Path("second.txt")});
  EXPECT_EQ(w->txtReadText->toPlainText(), "そのまま");  // not before the second has passed
  ASSERT_TRUE(WaitUntil([&] { return units.size() == 2 && CommandStates(*w) == kStopped; }));
  EXPECT_EQ(w->txtReadText->toPlainText(), "かき");
  EXPECT_EQ(units, (Units{"か", "き"}));
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
  EXPECT_EQ(heard[nFirst].sSelection, "0+3");
  // The old reading stopped (twice) before the new one began; never two at once.
  const auto secondPlay = std::find(std::next(std::find(w->log.begin(), w->log.end(), "play")), w->log.end(), "play");
  ASSERT_NE(secondPlay, w->log.end());
  EXPECT_EQ(std::count(w->log.begin(), secondPlay, "stop"), 2);
}

TEST_F(MainWindowTest, FileDroppedWhilePausedReadsTheFileNotTheOldSentences) {
  WriteBytes(dir.Path("drop.txt"), {0xE3, 0x81, 0x9B});  // "せ"
  SetText(u"あいうえお");
  AtUnit(2, [this] { w->mnuRun_Pause->trigger(); });
  w->mnuRun_Play->trigger();
  ASSERT_EQ(CommandStates(*w), kPaused);
  Drop(*w, {dir.Path("drop.txt")});
  ASSERT_TRUE(WaitUntil([&] { return units.size() == 3 && CommandStates(*w) == kStopped; }));
  EXPECT_EQ(units.back(), "せ");
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
