// The main window driven as a user would: start-up, reading with its highlight
// and command states, pause, stop, slow and caret play, mute, presets, layout,
// options.dat across two runs, closing while reading, and dropped files.
#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
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
#include <filesystem>
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
  std::string sUnit;
  std::string sSelection;
  States states;
};

class MainWindowTest : public ::testing::Test, public MainWindowFixture {
 protected:
  void SetUp() override {
    ASSERT_TRUE(VoiceWritten());
    w = OpenWindow();
    output.onWrite = [this](const std::vector<uint8_t>& bytes) {
      heard.push_back({UnitOfLength(bytes.size()), Selection(*w), CommandStates(*w)});
      lastBytes = bytes;
      if (atUnit && heard.size() == atUnitIndex) std::exchange(atUnit, nullptr)();
    };
  }
  void TearDown() override { output.onWrite = nullptr; }

  // Runs action (from the event loop, during the unit's wait) when the n-th unit starts.
  void AtUnit(size_t n, std::function<void()> action) {
    atUnitIndex = n;
    atUnit = [this, action = std::move(action)] { Later(w.get(), action); };
  }
  void SetText(const char16_t* text) { w->txtReadText->setPlainText(QString::fromUtf16(text)); }
  std::vector<std::string> Units() const {
    std::vector<std::string> units;
    for (const Heard& h : heard) units.push_back(h.sUnit);
    return units;
  }

  std::unique_ptr<LoggingWindow> w;
  std::vector<Heard> heard;
  std::vector<uint8_t> lastBytes;
  size_t atUnitIndex = 0;
  std::function<void()> atUnit;
};

TEST_F(MainWindowTest, FirstStartShowsTheDefaults) {
  EXPECT_EQ(w->windowTitle(), "Ekoto");
  EXPECT_EQ(w->lblVolume->text(), "x4.00");
  EXPECT_EQ(w->lblSpeed->text(), "x1.00");
  EXPECT_EQ(w->Volumebar->Max(), 400);
  EXPECT_EQ(w->Volumebar->Value(), 400);
  EXPECT_EQ(w->Speedbar->Max(), 1000);
  EXPECT_EQ(w->Speedbar->Value(), 1000);
  EXPECT_EQ(CommandStates(*w), kStopped);
  EXPECT_FALSE(w->mnuProperty_Mute->isChecked());
  for (QAction* view : {w->mnuView_Playbar, w->mnuView_Volumebar, w->mnuView_Speedbar}) EXPECT_TRUE(view->isChecked());
  for (QWidget* bar : {static_cast<QWidget*>(w->fraPlay), static_cast<QWidget*>(w->fraVolume),
                       static_cast<QWidget*>(w->fraSpeed)}) {
    EXPECT_TRUE(bar->isVisible());
  }
  EXPECT_EQ(w->clsOptions.sPAPath, dir.Path16("50on.pa"));

  const QFont font = w->txtReadText->font();
  EXPECT_EQ(font.family(), "ＭＳ Ｐゴシック");
  EXPECT_EQ(font.pointSize(), 10);
  EXPECT_FALSE(font.bold() || font.italic() || font.strikeOut() || font.underline());
  // The Windows face is not installed; Japanese must still have glyphs.
  EXPECT_TRUE(QFontMetrics(font).inFont(QChar(u'あ')));
  EXPECT_TRUE(QFontMetrics(font).inFont(QChar(u'読')));
}

TEST_F(MainWindowTest, MenusButtonsAndTooltipsCarryTheirTexts) {
  const struct {
    QAction* action;
    const char16_t* caption;
    QKeySequence shortcut;
  } items[] = {
      {w->mnuRun_Play, u"再生(&P)", QKeySequence(Qt::Key_F5)},
      {w->mnuRun_SlowPlay, u"低速再生(&L)", QKeySequence(Qt::Key_F6)},
      {w->mnuRun_Pause, u"一時停止(A)", {}},
      {w->mnuRun_Stop, u"停止(&S)", {}},
      {w->mnuRun_CaretPlay, u"カーソル位置から再生(&C)", {}},
      {w->mnuRun_Exit, u"終了(&X)", {}},
      {w->mnuProperty_Volume_Large, u"大(&L)", {}},
      {w->mnuProperty_Volume_Middle, u"中(&M)", {}},
      {w->mnuProperty_Volume_Small, u"小(&S)", {}},
      {w->mnuProperty_Speed_Fast, u"速(&L)", {}},
      {w->mnuProperty_Speed_Middle, u"中(&M)", {}},
      {w->mnuProperty_Speed_Slow, u"遅(&S)", {}},
      {w->mnuProperty_Mute, u"ミュート(&M)", {}},
      {w->mnuView_Playbar, u"再生 バー(&P)", {}},
      {w->mnuView_Volumebar, u"ボリューム バー(&V)", {}},
      {w->mnuView_Speedbar, u"スピード バー(&S)", {}},
  };
  for (const auto& item : items) {
    EXPECT_EQ(item.action->text(), QString::fromUtf16(item.caption));
    EXPECT_EQ(item.action->shortcut(), item.shortcut) << item.action->text().toStdString();
  }
  const char16_t* tips[] = {u"停止", u"一時停止", u"再生", u"カーソル位置から再生", u"低速再生"};
  for (size_t i = 0; i < 5; ++i) {
    EXPECT_EQ(w->cmdPlayerInterface[i]->toolTip(), QString::fromUtf16(tips[i]));
    EXPECT_FALSE(w->cmdPlayerInterface[i]->icon().isNull());
  }
  EXPECT_EQ(w->Volumebar->ToolTip(), "ボリューム");
  EXPECT_EQ(w->Speedbar->ToolTip(), "スピード");
  EXPECT_EQ(w->Label1->text(), "読み上げる文章(&R):");
  EXPECT_EQ(w->fraVolume->title(), "ボリューム");
  EXPECT_EQ(w->fraSpeed->title(), "スピード");

  w->EnabledTooltip(false);
  for (QToolButton* button : w->cmdPlayerInterface) EXPECT_TRUE(button->toolTip().isEmpty());
  EXPECT_TRUE(w->Volumebar->ToolTip().isEmpty());
}

TEST_F(MainWindowTest, PlayHighlightsEachSentenceWhileItIsHeard) {
  SetText(u"あい。う");
  w->mnuRun_Play->trigger();

  ASSERT_EQ(heard.size(), 3u);
  const Heard expected[] = {{"あ", "0+3", kPlaying}, {"い", "0+3", kPlaying}, {"う", "3+1", kPlaying}};
  for (size_t i = 0; i < 3; ++i) {
    EXPECT_EQ(heard[i].sUnit, expected[i].sUnit) << i;
    EXPECT_EQ(heard[i].sSelection, expected[i].sSelection) << i;
    EXPECT_EQ(heard[i].states, expected[i].states) << i;
  }
  EXPECT_EQ(w->log, (std::vector<std::string>{"play", "pos 0+3", "pos 3+1", "stop"}));
  EXPECT_EQ(CommandStates(*w), kStopped);
  EXPECT_EQ(Selection(*w), "0+0");
}

TEST_F(MainWindowTest, PauseThenPlayHearsThePausedUnitAgain) {
  SetText(u"あいうえ");
  AtUnit(2, [this] { w->cmdPlayerInterface_Click(1); });
  w->mnuRun_Play->trigger();
  EXPECT_EQ(Units(), (std::vector<std::string>{"あ", "い"}));
  EXPECT_EQ(CommandStates(*w), kPaused);
  EXPECT_EQ(w->log.back(), "pause");

  w->cmdPlayerInterface_Click(2);
  EXPECT_EQ(Units(), (std::vector<std::string>{"あ", "い", "い", "う", "え"}));
  EXPECT_EQ(CommandStates(*w), kStopped);
}

TEST_F(MainWindowTest, StopEndsTheReadingWithTwoStops) {
  SetText(u"あいうえお");
  AtUnit(2, [this] { w->mnuRun_Stop->trigger(); });
  w->mnuRun_Play->trigger();
  EXPECT_EQ(Units(), (std::vector<std::string>{"あ", "い"}));
  EXPECT_EQ(std::count(w->log.begin(), w->log.end(), "stop"), 2);
  EXPECT_EQ(CommandStates(*w), kStopped);
  EXPECT_EQ(Selection(*w), "0+0");

  // Nothing is held: the next play starts at the beginning.
  heard.clear();
  w->mnuRun_Play->trigger();
  EXPECT_EQ(Units().front(), "あ");
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

TEST_F(MainWindowTest, CaretPlayHighlightsFromTheCaret) {
  // Ten characters before the caret, then a sentence of six and one of two.
  SetText(u"かきくけこさしすせそあいうえお。かき");
  QTextCursor cursor = w->txtReadText->textCursor();
  cursor.setPosition(10);
  cursor.setPosition(13, QTextCursor::KeepAnchor);  // a selection: reading starts at its start
  w->txtReadText->setTextCursor(cursor);

  w->mnuRun_CaretPlay->trigger();
  EXPECT_EQ(w->log, (std::vector<std::string>{"stop", "play", "pos 10+6", "pos 16+2", "stop"}));
  EXPECT_EQ(Units(), (std::vector<std::string>{"あ", "い", "う", "え", "お", "か", "き"}));
  EXPECT_EQ(heard.front().sSelection, "10+6");
  EXPECT_EQ(Selection(*w), "0+0");

  // The offset is gone after the stop: a plain play highlights from 0.
  w->log.clear();
  w->mnuRun_Play->trigger();
  EXPECT_EQ(w->log[1], "pos 0+16");
}

TEST_F(MainWindowTest, CaretPlayPausedAndResumedKeepsTheOffset) {
  SetText(u"かきくけこさしすせそあいうえお。");
  QTextCursor cursor = w->txtReadText->textCursor();
  cursor.setPosition(10);
  w->txtReadText->setTextCursor(cursor);
  AtUnit(2, [this] { w->mnuRun_Pause->trigger(); });
  w->mnuRun_CaretPlay->trigger();
  ASSERT_EQ(CommandStates(*w), kPaused);

  w->log.clear();
  w->mnuRun_Play->trigger();
  EXPECT_EQ(w->log.at(1), "pos 10+6");
}

TEST_F(MainWindowTest, CaretPlayAtTheEndReadsNothing) {
  SetText(u"あいう");
  QTextCursor cursor = w->txtReadText->textCursor();
  cursor.setPosition(3);
  w->txtReadText->setTextCursor(cursor);
  w->mnuRun_CaretPlay->trigger();
  EXPECT_TRUE(heard.empty());
  EXPECT_EQ(w->log, (std::vector<std::string>{"stop", "play", "stop"}));
  EXPECT_EQ(CommandStates(*w), kStopped);
}

TEST_F(MainWindowTest, MuteSilencesTheUnitsButKeepsReading) {
  w->SetVolume(1.0f);
  SetText(u"あ");
  w->mnuRun_Play->trigger();
  ASSERT_EQ(heard.size(), 1u);
  EXPECT_TRUE(std::all_of(lastBytes.begin(), lastBytes.end(), [](uint8_t b) { return b == kSampleByte; }));

  w->mnuProperty_Mute->trigger();
  EXPECT_TRUE(w->clsOptions.bMute);
  EXPECT_TRUE(w->mnuProperty_Mute->isChecked());
  w->mnuRun_Play->trigger();
  ASSERT_EQ(heard.size(), 2u);
  EXPECT_EQ(lastBytes.size(), UnitLength(0));
  EXPECT_TRUE(std::all_of(lastBytes.begin(), lastBytes.end(), [](uint8_t b) { return b == 127; }));

  w->mnuProperty_Mute->trigger();
  EXPECT_FALSE(w->clsOptions.bMute);
  EXPECT_FALSE(w->mnuProperty_Mute->isChecked());
}

TEST_F(MainWindowTest, PresetsAndSettersMoveTheSliders) {
  struct Row {
    std::function<void()> act;
    int32_t nVolume;
    int32_t nSpeed;
    const char* sVolumeLabel;
    const char* sSpeedLabel;
  };
  const Row rows[] = {
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

TEST_F(MainWindowTest, LayoutFollowsTheBarsAtTheDesignedSize) {
  const double dpiX = w->logicalDpiX();
  const double dpiY = w->logicalDpiY();
  auto px = [&](int nTwips) { return TwipsToPixels(nTwips, dpiX); };
  auto py = [&](int nTwips) { return TwipsToPixels(nTwips, dpiY); };
  QWidget* client = w->centralWidget();
  w->resize(w->size() + QSize(px(6180), py(4260)) - client->size());
  ASSERT_TRUE(WaitUntil([&] { return client->size() == QSize(px(6180), py(4260)); }));

  // Twips at the designed client size 6180 × 4260.
  const struct {
    bool bPlay, bVolume, bSpeed;
    int nTextHeight, nPlayTop, nSpeedLeft;
  } rows[] = {
      {true, true, true, 2175, 2670, 2535},   {true, true, false, 2175, 2670, 2535},
      {true, false, true, 2175, 2670, 120},   {true, false, false, 3150, 3645, 120},
      {false, true, true, 2790, 3285, 2535},  {false, true, false, 2790, 3285, 2535},
      {false, false, true, 2790, 3285, 120},  {false, false, false, 3765, 4260, 120},
  };
  for (const auto& row : rows) {
    if (w->clsOptions.bPlaybar != row.bPlay) w->mnuView_Playbar->trigger();
    if (w->clsOptions.bVolumebar != row.bVolume) w->mnuView_Volumebar->trigger();
    if (w->clsOptions.bSpeedbar != row.bSpeed) w->mnuView_Speedbar->trigger();
    const std::string sRow = std::to_string(row.bPlay) + std::to_string(row.bVolume) + std::to_string(row.bSpeed);
    EXPECT_EQ(w->mnuView_Playbar->isChecked(), row.bPlay) << sRow;
    EXPECT_EQ(w->fraPlay->isVisible(), row.bPlay) << sRow;
    EXPECT_EQ(w->fraVolume->isVisible(), row.bVolume) << sRow;
    EXPECT_EQ(w->fraSpeed->isVisible(), row.bSpeed) << sRow;
    EXPECT_EQ(w->Label1->pos(), QPoint(px(120), py(120))) << sRow;
    EXPECT_EQ(w->txtReadText->geometry(), QRect(px(120), py(375), px(5940), py(row.nTextHeight))) << sRow;
    EXPECT_EQ(w->fraPlay->pos(), QPoint(px(120), py(row.nPlayTop))) << sRow;
    EXPECT_EQ(w->fraVolume->pos(), QPoint(px(120), py(3285))) << sRow;
    EXPECT_EQ(w->fraSpeed->pos(), QPoint(px(row.nSpeedLeft), py(3285))) << sRow;
  }
}

TEST_F(MainWindowTest, TooSmallAWindowKeepsTheTextBoxAndPlacesTheRest) {
  QWidget* client = w->centralWidget();
  const QRect before = w->txtReadText->geometry();
  client->resize(200, 60);  // the layout runs on the client area's resizes
  EXPECT_EQ(w->txtReadText->geometry(), before);
  EXPECT_EQ(w->fraVolume->y() + w->fraVolume->height(), 60 - TwipsToPixels(120, w->logicalDpiY()));
  EXPECT_EQ(w->fraPlay->y(), before.bottom() + 1 + TwipsToPixels(120, w->logicalDpiY()));
}

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

  const std::vector<uint8_t> bytes = ReadBytes(path);
  const std::string text(bytes.begin(), bytes.end());
  EXPECT_EQ(text.rfind("// \r\nVolume=2.00\r\nMute=true\r\nSpeed=0.50\r\n", 0), 0u) << text;
  EXPECT_NE(text.find("\r\nSpeedbar=false\r\n"), std::string::npos);
  EXPECT_NE(text.find("\r\nWindowWidth=500\r\nWindowHeight=400\r\n"), std::string::npos);
  EXPECT_EQ(std::count(text.begin(), text.end(), '\n'), 23);

  {
    // The user edits the font by hand between the runs.
    std::ofstream out(path, std::ios::binary | std::ios::app);
    out << "FontSize=14\r\nFontBold=true\r\n";
  }
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
  EXPECT_EQ(Units(), (std::vector<std::string>{"あ", "い", "う"}));
  // The reader's stops reached the window, which left the screen alone.
  EXPECT_EQ(w->log.size(), logAtClose.size() + 2);
  EXPECT_EQ(Selection(*w), sSelectionAtClose);
  EXPECT_EQ(CommandStates(*w), kPlaying);
  const std::vector<uint8_t> bytes = ReadBytes(dir.Path("options.dat"));
  EXPECT_NE(std::string(bytes.begin(), bytes.end()).find("\r\nSpeed=0.90\r\n"), std::string::npos);

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
  EXPECT_TRUE(heard.empty());
  // The reading ends at its first unit instead of running on unseen.
  EXPECT_EQ(w->nSounds, 1);
  EXPECT_EQ(Selection(*w), "0+0");
  EXPECT_EQ(nUnloaded, 1);
}

TEST_F(MainWindowTest, ClosingDuringSlowPlaySavesTheLoweredSpeed) {
  SetText(u"あいう");
  AtUnit(1, [this] { w->close(); });
  w->mnuRun_SlowPlay->trigger();
  EXPECT_EQ(w->Speedbar->Value(), 750);
  const std::vector<uint8_t> bytes = ReadBytes(dir.Path("options.dat"));
  EXPECT_NE(std::string(bytes.begin(), bytes.end()).find("\r\nSpeed=0.75\r\n"), std::string::npos);
  EXPECT_EQ(nUnloaded, 1);
}

void Drop(frmMain& w, const QStringList& paths) {
  auto mime = std::make_unique<QMimeData>();
  QList<QUrl> urls;
  for (const QString& path : paths) urls.append(QUrl::fromLocalFile(path));
  mime->setUrls(urls);
  // A drop goes to the widget that accepted the drag's entry.
  QDragEnterEvent enter(QPoint(10, 10), Qt::CopyAction, mime.get(), Qt::LeftButton, Qt::NoModifier);
  QCoreApplication::sendEvent(w.txtReadText->viewport(), &enter);
  QDropEvent drop(QPointF(10, 10), Qt::CopyAction, mime.get(), Qt::LeftButton, Qt::NoModifier);
  QCoreApplication::sendEvent(w.txtReadText->viewport(), &drop);
}

TEST_F(MainWindowTest, DroppedFileIsShownAndReadASecondLater) {
  const QString first = QString::fromStdString(dir.Path("first.txt").string());
  const QString second = QString::fromStdString(dir.Path("second.txt").string());
  WriteBytes(dir.Path("first.txt"), {0xE3, 0x81, 0x8B, 0xE3, 0x81, 0x8D});  // "かき" in UTF-8
  WriteBytes(dir.Path("second.txt"), {0xE3, 0x81, 0x82});
  SetText(u"そのまま");
  Drop(*w, {first, second});
  EXPECT_EQ(w->txtReadText->toPlainText(), "そのまま");  // not before the second has passed
  ASSERT_TRUE(WaitUntil([&] { return heard.size() == 2 && CommandStates(*w) == kStopped; }));
  EXPECT_EQ(w->txtReadText->toPlainText(), "かき");
  EXPECT_EQ(Units(), (std::vector<std::string>{"か", "き"}));
}

TEST_F(MainWindowTest, FileDroppedDuringAReadingStopsItAndReadsTheFileFromItsStart) {
  WriteBytes(dir.Path("drop.txt"), {0x82, 0xB3, 0x82, 0xB5, 0x82, 0xB7});  // "さしす" in CP932
  // Long enough to be still running when the dropped text's second has passed.
  SetText(u"あいうえおかきくけこあいうえおかきくけこあいうえおかきくけこ");
  AtUnit(2, [this] { Drop(*w, {QString::fromStdString(dir.Path("drop.txt").string())}); });
  w->mnuRun_Play->trigger();
  const size_t nFirst = heard.size();
  EXPECT_LT(nFirst, 30u);

  ASSERT_TRUE(WaitUntil([&] { return heard.size() == nFirst + 3 && CommandStates(*w) == kStopped; }));
  EXPECT_EQ(w->txtReadText->toPlainText(), "さしす");
  const std::vector<std::string> units = Units();
  EXPECT_EQ(std::vector<std::string>(units.begin() + static_cast<long>(nFirst), units.end()),
            (std::vector<std::string>{"さ", "し", "す"}));
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
  Drop(*w, {QString::fromStdString(dir.Path("drop.txt").string())});
  ASSERT_TRUE(WaitUntil([&] { return heard.size() == 3 && CommandStates(*w) == kStopped; }));
  EXPECT_EQ(heard.back().sUnit, "せ");
}

TEST_F(MainWindowTest, OversizedDroppedFileIsRefusedWithAMessage) {
  const auto big = dir.Path("big.txt");
  { std::ofstream(big).put('a'); }
  std::filesystem::resize_file(big, kMaxDroppedFileBytes + 1);
  SetText(u"そのまま");
  Drop(*w, {QString::fromStdString(big.string())});
  EXPECT_FALSE(w->tmrClipboard->isActive());
  EXPECT_TRUE(w->statusBar()->currentMessage().contains("big.txt"));
  EXPECT_EQ(w->txtReadText->toPlainText(), "そのまま");
}

}  // namespace
}  // namespace ekoto::testing
