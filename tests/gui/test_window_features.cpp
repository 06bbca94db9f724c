// The window's additions: opening a file, saving the reading as audio, moving
// by sentences, the tempo, keyboard and screen-reader access, and the reading
// kept across a close. All on the real window, offscreen.
#include <sndfile.h>

#include <numeric>

#include <QAccessible>
#include <QApplication>
#include <QFileInfo>
#include <QLabel>
#include <QProgressDialog>
#include <QPushButton>
#include <QStatusBar>
#include <QTest>
#include <QTranslator>

#include "../RunTool.h"
#include "MainWindowTestKit.h"
#include "controls/VolumeBar.h"
#include "ui/CFileDialogs.h"
#include "ui/QtTranslations.h"

namespace ekoto::testing {
namespace {

int64_t SoundFrames(const std::filesystem::path& path) {
  SF_INFO info{};
  SNDFILE* file = sf_open(path.c_str(), SFM_READ, &info);
  return file != nullptr && sf_close(file) == 0 ? info.frames : -1;
}

class FeaturesTest : public WindowTest {
 protected:
  QString Status() const { return w->statusBar()->currentMessage(); }
  void Key(QWidget* target, int nKey, Qt::KeyboardModifiers modifiers = Qt::NoModifier) {
    QApplication::setActiveWindow(target->window());
    target->setFocus();
    QTest::keyClick(target, static_cast<Qt::Key>(nKey), modifiers);
  }
};

TEST_F(FeaturesTest, OpenPutsTextFilesInTheBoxAndRefusesOthersAsADropDoes) {
  // bytes "": no such file; box: the text box afterwards; status: the start of the status bar's message.
  struct Row { const char* name; std::string bytes; const char16_t* box; const char* status; };
  const Row rows[] = {
      {"utf8.txt", "あい。", u"あい。", "開きました: utf8.txt"},
      {"binary.bin", std::string("a\0b", 3), u"前の文章", "テキストファイルではありません: binary.bin"},
      {"missing.txt", "", u"前の文章", "ファイルを読み込めません: missing.txt"},
  };
  QString sChosen;  // what the dialog Ctrl+O opens answers
  CFileDialogs::SetDialogRunner([&](const FileDialogRequest&) { return std::optional<FileDialogAnswer>({{sChosen}, 0}); });
  for (const Row& row : rows) {
    SetText(u"前の文章");
    if (!row.bytes.empty()) WriteString(dir.Path(row.name), row.bytes);
    sChosen = QString::fromStdString(dir.Path(row.name).string());
    Key(w->txtReadText, Qt::Key_O, Qt::ControlModifier);
    EXPECT_EQ(w->txtReadText->toPlainText(), QString::fromUtf16(row.box)) << row.name;
    EXPECT_TRUE(Status().startsWith(QString::fromUtf8(row.status))) << row.name << ": " << Status().toStdString();
  }
  CFileDialogs::SetDialogRunner(nullptr);
}

TEST_F(FeaturesTest, StatusMessagesStayOnlyWhileTheyAreTrue) {
  const QString sNoSound = "サウンドデバイスで音を出せません", sSaveError = "音声ファイルを保存できません: x";
  const auto play = [this] { w->mnuRun_Play_Click(); };
  const struct { const char* what; std::function<void()> act; QString status; } rows[] = {
      {"an error", [&] { w->ReportProblem(sSaveError); }, sSaveError},
      {"goes at the next reading", play, ""},
      {"the same error again is news", [&] { w->ReportProblem(sSaveError); }, sSaveError},
      {"goes at a stop", [&] { AtUnit(1, [this] { w->mnuRun_Pause_Click(); }), play(), w->mnuRun_Stop_Click(); }, ""},
      {"no sound", [&] { output.sFailure = "ekoto: no sound device could be opened", play(); }, sNoSound},
      {"stays while true", [&] { w->mnuRun_SlowPlay_Click(), w->mnuRun_CaretPlay_Click(); }, sNoSound},
      {"goes once sound returns", [&] { output.sFailure.clear(), play(); }, ""},
  };
  SetText(u"あい");
  for (const auto& row : rows) {
    row.act();
    EXPECT_EQ(Status(), row.status) << row.what;
  }
  EXPECT_LE(w->statusBar()->fontMetrics().horizontalAdvance(sNoSound), w->statusBar()->width()) << "cut off";
}

// Qt's own buttons and dialogs speak the user's language when Qt has a translation for it.
TEST(QtTranslationsTest, JapaneseLocaleGetsQtsOwnWords) {
  const struct { QLocale locale; bool bInstalled; QString sCancel; } rows[] = {
      {QLocale::c(), false, "Cancel"}, {QLocale(QLocale::Japanese, QLocale::Japan), true, "キャンセル"}};
  for (const auto& row : rows) {
    QLocale::setDefault(row.locale);
    EXPECT_EQ(InstallQtTranslations(*qApp), row.bInstalled) << row.sCancel.toStdString();
    EXPECT_EQ(QCoreApplication::translate("QPlatformTheme", "Cancel"), row.sCancel);
  }
  for (QTranslator* translator : qApp->findChildren<QTranslator*>()) QCoreApplication::removeTranslator(translator);
  QLocale::setDefault(QLocale::c());
}

TEST_F(FeaturesTest, SaveDialogKeepsTheTypedExtensionAndAsksAboutTheFileReplaced) {
  // nFilter: the filter chosen with the name typed; asked: the file the replace question names ("" none);
  // saved: the path returned, "" when the dialog, shown again after a "no", is cancelled.
  struct Row { const char* typed; int nFilter; bool bReplace; const char* asked; const char* saved; };
  const Row rows[] = {
      {"x.flac", 0, true, "", "x.flac"},         {"x.OGG", 1, true, "", "x.OGG"},
      {"x", 1, true, "", "x.flac"},              {"x.txt", 0, true, "", "x.txt.wav"},
      {"old", 0, true, "old.wav", "old.wav"},    {"old.flac", 0, true, "old.flac", "old.flac"},
      {"old", 1, false, "old.flac", ""},
  };
  WriteString(dir.Path("old.wav"), "earlier");
  WriteString(dir.Path("old.flac"), "earlier");
  for (const Row& row : rows) {
    QStringList proposed, asked;
    CFileDialogs::SetDialogRunner([&](const FileDialogRequest& request) -> std::optional<FileDialogAnswer> {
      const QString sTyped = QString::fromStdString(dir.Path(row.typed).string());
      if (request.kind == FileDialogRequest::Kind::kReplace) {
        asked.append(QFileInfo(request.sFileName).fileName());
        return row.bReplace ? std::optional<FileDialogAnswer>({{request.sFileName}, 0}) : std::nullopt;
      }
      proposed.append(QFileInfo(request.sFileName).fileName());
      return proposed.size() > 1 ? std::nullopt : std::optional<FileDialogAnswer>({{sTyped}, row.nFilter});
    });
    QString sPath;
    const bool bSaved = CFileDialogs().ShowSaveFileDialog(
        w.get(), sPath, "WAV (*.wav)|*.wav|FLAC (*.flac)|*.flac|Ogg Vorbis (*.ogg)|*.ogg", "reading.wav", QString(), 0);
    EXPECT_EQ(bSaved ? QFileInfo(sPath).fileName() : QString(), row.saved) << row.typed;
    EXPECT_EQ(asked, *row.asked ? QStringList{row.asked} : QStringList()) << row.typed;
    EXPECT_EQ(proposed.size(), bSaved ? 1 : 2) << row.typed;
  }
  CFileDialogs::SetDialogRunner(nullptr);
}

TEST_F(FeaturesTest, SavedReadingIsAsLongAsEkotoSaysAtTheSameTempoAndCancelLeavesNoFile) {
  WriteString(dir.Path("empty.txt"), "");
  w->clsOptions.sConvTempletePath = dir.Path16("empty.txt");
  w->SetSpeed(0.5f);
  w->SetTempo(2.0);
  SetText(u"あい。うえお。");
  const auto saved = dir.Path("reading.wav"), said = dir.Path("said.wav");
  w->SaveReadingAs(QString::fromStdString(saved.string()));
  ASSERT_TRUE(WaitUntil([&] { return !w->IsSaving(); }));
  EXPECT_TRUE(Status().contains(QString::fromStdString(saved.string()))) << Status().toStdString();
  const ToolResult say = RunTool("ekoto-say", "--voice " + dir.Path("50on.pa").string() + " --template " +
                                                  dir.Path("empty.txt").string() + " --speed 0.5 --tempo 2 -o " +
                                                  said.string() + " あい。うえお。");
  ASSERT_EQ(say.status, 0) << say.output;
  EXPECT_EQ(SoundFrames(saved), SoundFrames(said));
  // Eight waits of 500 ms at 8000 Hz, and the five units' 2080 frames halved by the tempo.
  EXPECT_NEAR(static_cast<double>(SoundFrames(saved)), 8 * 4000 + 2080 / 2.0, 100);

  // A long text, cancelled from the progress dialog at once.
  SetText(std::u16string(2000, u'あ').c_str());
  const auto cancelled = dir.Path("cancelled.flac");
  w->SaveReadingAs(QString::fromStdString(cancelled.string()));
  ASSERT_NE(w->prgSaving, nullptr);
  w->prgSaving->findChild<QPushButton*>()->click();
  ASSERT_TRUE(WaitUntil([&] { return !w->IsSaving(); }));
  EXPECT_FALSE(std::filesystem::exists(cancelled));
}

TEST_F(FeaturesTest, SentenceKeysMoveTheReadingOrThePausedPlaceAndAreTheBoxsOwnWhenStopped) {
  // Ctrl+→ (+1) and Ctrl+← (-1) pressed as unit nAt plays, or after pausing there; heard: every unit, the resume
  // included (。 is not in the test voice); held: the window's last event after the keys while paused.
  struct Row { size_t nAt; bool bPause; std::vector<int> keys; const char* heard; const char* held; };
  const Row rows[] = {
      {1, false, {1}, "あうえお", ""},
      {3, false, {-1}, "あいうあいうえお", ""},
      {5, false, {1}, "あいうえお", ""},  // at the ends nothing moves
      {1, false, {-1}, "あいうえお", ""},
      {1, false, {1, 1, 1}, "あお", ""},  // presses within one unit add up
      {2, true, {1}, "あいうえお", "pos 3+3"},
      {3, true, {-1, -1}, "あいうあいうえお", "pos 0+3"},  // back to the start is still held
      {5, true, {1}, "あいうえおお", "pause"},
  };
  SetText(u"あい。うえ。お");
  for (const Row& row : rows) {
    units.clear();
    const auto press = [this, &row] {
      for (int n : row.keys) Key(w->txtReadText, n > 0 ? Qt::Key_Right : Qt::Key_Left, Qt::ControlModifier);
    };
    AtUnit(row.nAt, row.bPause ? std::function<void()>([this] { w->mnuRun_Pause_Click(); }) : press);
    w->mnuRun_Play_Click();
    if (row.bPause) {
      press();
      EXPECT_EQ(w->log.back(), row.held) << row.heard;
      w->mnuRun_Play_Click();
    }
    EXPECT_EQ(std::accumulate(units.begin(), units.end(), std::string()), row.heard) << row.nAt;
  }

  // Stopped, the caret moves by words as in any text box.
  EXPECT_FALSE(w->mnuRun_NextSentence->isEnabled());
  SetCaret(0);
  Key(w->txtReadText, Qt::Key_Right, Qt::ControlModifier);
  EXPECT_GT(w->txtReadText->textCursor().position(), 0);
}

TEST_F(FeaturesTest, TempoPresetsAndStepsStayWithinHalfToThreeTimesAndStretchTheUnits) {
  const auto f8 = [this] { Key(w->txtReadText, Qt::Key_F8); };
  // nChecked: the checked preset, -1 for none.
  const struct { std::function<void()> act; double dTempo; int nChecked; } rows[] = {
      {[this] { w->mnuProperty_Tempo[5]->trigger(); }, 3.0, 5},
      {f8, 3.0, 5},
      {[this] { w->SetTempo(0.1); }, 0.5, 0},
      {f8, 0.75, 1},
      {[this] { Key(w->txtReadText, Qt::Key_F7); }, 0.5, 0},
      {[this] { w->SetTempo(2.25); }, 2.25, -1},
  };
  for (const auto& row : rows) {
    row.act();
    EXPECT_DOUBLE_EQ(w->Tempo(), row.dTempo);
    for (size_t p = 0; p < w->mnuProperty_Tempo.size(); ++p)
      EXPECT_EQ(w->mnuProperty_Tempo[p]->isChecked(), static_cast<int>(p) == row.nChecked) << row.dTempo;
  }
  // あ's 400 frames of 8 bits, a third as long as 16-bit samples.
  SetText(u"あ");
  w->SetTempo(3.0);
  w->mnuRun_Play_Click();
  EXPECT_NEAR(static_cast<double>(lastBytes.size()), 2 * 400 / 3.0, 40);
}

// Every control a user can reach has a name, a description and a role; a slider's name is followed by its value.
void WalkAccessible(QAccessibleInterface* node, QStringList& names) {
  const QAccessible::Role role = node->role();
  if ((role == QAccessible::PushButton || role == QAccessible::Slider || role == QAccessible::EditableText ||
       role == QAccessible::ButtonMenu) && !node->state().invisible) {
    EXPECT_FALSE(node->text(QAccessible::Description).isEmpty()) << node->text(QAccessible::Name).toStdString();
    const QAccessibleValueInterface* value = role == QAccessible::Slider ? node->valueInterface() : nullptr;
    names.append(node->text(QAccessible::Name) + (value == nullptr ? QString() : QString(" %1/%2").arg(
        value->currentValue().toInt()).arg(value->maximumValue().toInt())));
  }
  for (int i = 0; i < node->childCount(); ++i) WalkAccessible(node->child(i), names);
}

TEST_F(FeaturesTest, AccessibilityTreeNamesEveryControlAndTabVisitsThemInOrder) {
  w->SetVolume(2.5f);
  QStringList names, expected{"読み上げる文章", "再生", "低速再生", "一時停止", "停止", "カーソル位置から再生"};
  for (const auto& [bar, name] : {std::pair{w->Volumebar, "ボリューム"}, std::pair{w->Speedbar, "スピード"}})
    expected.append(QString("%1 %2/%3").arg(name).arg(bar->Value()).arg(bar->Max()));
  WalkAccessible(QAccessible::queryAccessibleInterface(w.get()), names);
  names.sort();
  expected.sort();
  EXPECT_EQ(names, expected);
  EXPECT_EQ(w->lblVolume->accessibleName(), "ボリューム x2.50");
  for (const int nKey : {Qt::Key_Left, Qt::Key_PageDown}) Key(w->Speedbar, nKey);
  EXPECT_EQ(w->lblSpeed->text(), "x0.70") << "arrows and pages move by steps the label shows";

  // Tab from the text box through the enabled buttons to the two sliders (pause and stop are disabled).
  QStringList visited;
  for (QWidget* widget = w->txtReadText->nextInFocusChain(); widget != w->txtReadText && visited.size() < 5;
       widget = widget->nextInFocusChain())
    if (widget->isEnabled() && widget->isVisible() && (widget->focusPolicy() & Qt::TabFocus))
      visited.append(widget->accessibleName());
  EXPECT_EQ(visited, QStringList({"再生", "低速再生", "カーソル位置から再生", "ボリューム", "スピード"}));
}

TEST_F(FeaturesTest, ClosingWhilePausedKeepsThePlaceForTheSameTextOnlyAndOptionsDatAsItWas) {
  OpenWindow()->close();  // options.dat from a window that used none of the additions
  const std::string options = FileText(dir.Path("options.dat"));
  const char16_t* text = u"あい。うえ。お";
  WriteString(dir.Path("same.txt"), "あい。うえ。お");
  WriteString(dir.Path("other.txt"), "かき。くけ。こ");
  SetText(text);
  AtUnit(3, [this] { w->mnuRun_Pause_Click(); });
  w->mnuRun_Play_Click();
  w->SetTempo(1.5);
  EXPECT_TRUE(w->Intonation());  // 抑揚 is on until turned off
  w->SetIntonation(false);
  w->close();
  EXPECT_EQ(FileText(dir.Path("options.dat")), options);

  // Each close keeps the place again while it is held; the changed text forgets it.
  // file "": started without a file.
  const struct { const char* file; const char16_t* box; bool bOffered; } rows[] = {
      {"", text, true}, {"same.txt", text, true}, {"other.txt", u"かき。くけ。こ", false}, {"", u"", false}};
  for (const auto& row : rows) {
    auto next = OpenWindow();
    EXPECT_DOUBLE_EQ(next->Tempo(), 1.5);
    EXPECT_FALSE(next->Intonation());
    next->RestoreReading(*row.file ? QString::fromStdString(dir.Path(row.file).string()) : QString());
    EXPECT_EQ(next->txtReadText->toPlainText(), QString::fromUtf16(row.box)) << row.file;
    EXPECT_EQ(next->mnuRun_Stop->isEnabled(), row.bOffered) << row.file;
    // The held sentence is highlighted; play goes on from it (paused again at once, so the place stays held).
    EXPECT_EQ(next->log.empty() ? "" : next->log.back(), row.bOffered ? "pos 3+3" : "") << row.file;
    if (row.file == std::string("same.txt")) {
      AtUnit(units.size() + 1, [&next] { next->mnuRun_Pause_Click(); });
      next->mnuRun_Play_Click();
      EXPECT_EQ(next->log, (std::vector<std::string>{"pos 3+3", "play", "pos 3+3", "pause"}));
    }
    next->close();
  }
  EXPECT_EQ(FileText(dir.Path("options.dat")), options);
  // A tempo that is no number keeps the tempo the window starts with.
  for (const char* sTempo : {"abc", ""}) {
    WriteString(dir.Path("ekoto.ini"), std::string("[General]\nTempo=") + sTempo + "\n");
    EXPECT_DOUBLE_EQ(OpenWindow()->Tempo(), 1.0) << sTempo;
  }
}

}  // namespace
}  // namespace ekoto::testing
