// The window's additions: opening a file, saving the reading as audio, moving
// by sentences, the tempo, keyboard and screen-reader access, and the reading
// kept across a close. All on the real window, offscreen.
#include <sndfile.h>

#include <QAccessible>
#include <QApplication>
#include <QLabel>
#include <QProgressDialog>
#include <QPushButton>
#include <QStatusBar>
#include <QTest>

#include "../RunTool.h"
#include "MainWindowTestKit.h"
#include "controls/VolumeBar.h"
#include "ui/CFileDialogs.h"

namespace ekoto::testing {
namespace {

int64_t SoundFrames(const std::filesystem::path& path) {
  SF_INFO info{};
  SNDFILE* file = sf_open(path.c_str(), SFM_READ, &info);
  if (file == nullptr) return -1;
  sf_close(file);
  return info.frames;
}

class FeaturesTest : public WindowTest {
 protected:
  void TearDown() override {
    CFileDialogs::SetDialogRunner(nullptr);
    WindowTest::TearDown();
  }
  QString Status() const { return w->statusBar()->currentMessage(); }
  void Key(QWidget* target, int nKey, Qt::KeyboardModifiers modifiers = Qt::NoModifier) {
    QApplication::setActiveWindow(target->window());
    target->setFocus();
    QTest::keyClick(target, static_cast<Qt::Key>(nKey), modifiers);
  }
};

TEST_F(FeaturesTest, OpenPutsTextFilesInTheBoxAndRefusesOthersAsADropDoes) {
  struct Row {
    const char* name;
    std::string bytes;
    const char16_t* box;  // the text box afterwards
    const char* status;   // the start of the status bar's message
  };
  const Row rows[] = {
      {"utf8.txt", "あい。", u"あい。", "開きました: utf8.txt"},
      {"binary.bin", std::string("a\0b", 3), u"前の文章", "テキストファイルではありません: binary.bin"},
      {"missing.txt", "", u"前の文章", "ファイルを読み込めません: missing.txt"},
  };
  for (const Row& row : rows) {
    SetText(u"前の文章");
    if (row.bytes.size() > 0) WriteString(dir.Path(row.name), row.bytes);
    // Through the menu's dialog, as Ctrl+O opens it.
    CFileDialogs::SetDialogRunner([&](const FileDialogRequest&) {
      return std::optional<FileDialogAnswer>({{QString::fromStdString(dir.Path(row.name).string())}, 0});
    });
    Key(w->txtReadText, Qt::Key_O, Qt::ControlModifier);
    EXPECT_EQ(w->txtReadText->toPlainText(), QString::fromUtf16(row.box)) << row.name;
    EXPECT_TRUE(Status().startsWith(QString::fromUtf8(row.status))) << row.name << ": " << Status().toStdString();
    EXPECT_FALSE(w->mnuRun_Stop->isEnabled()) << "opening starts no reading";
  }
}

TEST_F(FeaturesTest, SavedReadingIsAsLongAsEkotoSaysAtTheSameTempoAndCancelLeavesNoFile) {
  WriteString(dir.Path("empty.txt"), "");
  w->clsOptions.sConvTempletePath = dir.Path16("empty.txt");
  w->SetSpeed(0.5f);
  w->SetTempo(2.0);
  SetText(u"あい。うえお。");
  const auto saved = dir.Path("reading.wav");
  bool bSaved = false;
  QObject::connect(w.get(), &frmMain::SavingFinished, [&](bool b) { bSaved = b; });
  w->SaveReadingAs(QString::fromStdString(saved.string()));
  ASSERT_NE(w->prgSaving, nullptr);
  ASSERT_TRUE(WaitUntil([&] { return !w->IsSaving(); }));
  EXPECT_TRUE(bSaved);
  EXPECT_TRUE(Status().contains(QString::fromStdString(saved.string()))) << Status().toStdString();

  const auto said = dir.Path("said.wav");
  const ToolResult say = RunTool("ekoto-say", "--voice " + dir.Path("50on.pa").string() + " --template " +
                                                  dir.Path("empty.txt").string() + " --speed 0.5 --tempo 2 -o " +
                                                  said.string() + " あい。うえお。");
  ASSERT_EQ(say.status, 0) << say.output;
  EXPECT_GT(SoundFrames(saved), 0);
  EXPECT_EQ(SoundFrames(saved), SoundFrames(said));
  // Eight waits of 500 ms at 8000 Hz, and the five units' 2080 frames halved by the tempo.
  EXPECT_NEAR(static_cast<double>(SoundFrames(saved)), 8 * 4000 + 2080 / 2.0, 100);

  // A long text, cancelled from the progress dialog at once.
  SetText(std::u16string(2000, u'あ').c_str());
  const auto cancelled = dir.Path("cancelled.flac");
  w->SaveReadingAs(QString::fromStdString(cancelled.string()));
  w->prgSaving->findChild<QPushButton*>()->click();
  ASSERT_TRUE(WaitUntil([&] { return !w->IsSaving(); }));
  EXPECT_FALSE(bSaved);
  EXPECT_FALSE(std::filesystem::exists(cancelled));
  std::string sFiles;
  for (const auto& entry : std::filesystem::directory_iterator(dir.Root())) sFiles += entry.path().filename().string() + " ";
  EXPECT_EQ(std::count(sFiles.begin(), sFiles.end(), ' '), 4) << "no temporary file left: " << sFiles;
}

TEST_F(FeaturesTest, SentenceKeysMoveTheReadingAndThePausedPosition) {
  SetText(u"あい。うえ。お");
  // While reading: Ctrl+→ after the first unit skips to the second sentence.
  AtUnit(1, [this] { Key(w->txtReadText, Qt::Key_Right, Qt::ControlModifier); });
  w->mnuRun_Play_Click();
  EXPECT_EQ(units, (std::vector<std::string>{"あ", "う", "え", "お"}));  // 。 is not in the test voice

  // While paused: Ctrl+← moves the held position and its highlight back.
  units.clear();
  w->log.clear();
  AtUnit(3, [this] { w->mnuRun_Pause_Click(); });
  w->mnuRun_Play_Click();
  ASSERT_TRUE(w->mnuRun_PrevSentence->isEnabled());
  Key(w->txtReadText, Qt::Key_Left, Qt::ControlModifier);
  EXPECT_EQ(w->log.back(), "pos 0+3");
  Key(w->txtReadText, Qt::Key_Left, Qt::ControlModifier);  // at the first sentence: nothing
  EXPECT_EQ(w->log.back(), "pos 0+3");
  w->mnuRun_Play_Click();
  EXPECT_EQ(units, (std::vector<std::string>{"あ", "い", "う", "あ", "い", "う", "え", "お"}));

  // Stopped: the keys are the text box's own again (the caret moves by words).
  EXPECT_FALSE(w->mnuRun_NextSentence->isEnabled());
  SetCaret(0);
  Key(w->txtReadText, Qt::Key_Right, Qt::ControlModifier);
  EXPECT_GT(w->txtReadText->textCursor().position(), 0);
}

TEST_F(FeaturesTest, TempoPresetsAndStepsStayWithinHalfToThreeTimesAndStretchTheUnits) {
  struct Row {
    std::function<void()> act;
    double dTempo;
    int nChecked;  // index of the checked preset, -1 for none
  };
  const Row rows[] = {
      {[this] { w->mnuProperty_Tempo[5]->trigger(); }, 3.0, 5},
      {[this] { Key(w->txtReadText, Qt::Key_F8); }, 3.0, 5},
      {[this] { w->SetTempo(0.1); }, 0.5, 0},
      {[this] { Key(w->txtReadText, Qt::Key_F8); }, 0.75, 1},
      {[this] { Key(w->txtReadText, Qt::Key_F8); }, 1.0, 2},
      {[this] { Key(w->txtReadText, Qt::Key_F7); }, 0.75, 1},
      {[this] { w->SetTempo(2.25); }, 2.25, -1},
  };
  for (size_t i = 0; i < std::size(rows); ++i) {
    rows[i].act();
    EXPECT_DOUBLE_EQ(w->Tempo(), rows[i].dTempo) << "row " << i;
    for (size_t p = 0; p < w->mnuProperty_Tempo.size(); ++p) {
      EXPECT_EQ(w->mnuProperty_Tempo[p]->isChecked(), static_cast<int>(p) == rows[i].nChecked) << "row " << i;
    }
  }
  // あ is 400 frames of 8 bits; stretched units are played as 16-bit samples.
  SetText(u"あ");
  for (const auto& [dTempo, dBytes] : {std::pair{1.0, 400.0}, std::pair{3.0, 2 * 400 / 3.0}, std::pair{0.5, 2 * 800.0}}) {
    w->SetTempo(dTempo);
    w->mnuRun_Play_Click();
    EXPECT_NEAR(static_cast<double>(lastBytes.size()), dBytes, 0.15 * dBytes) << dTempo;
  }
}

// Every control a user can reach: a name, a role; the sliders tell their value.
void WalkAccessible(QAccessibleInterface* node, std::vector<std::string>& names, int& nSliders) {
  if (node == nullptr) return;
  const QAccessible::Role role = node->role();
  const bool bInteractive = role == QAccessible::PushButton || role == QAccessible::Slider ||
                            role == QAccessible::EditableText || role == QAccessible::ButtonMenu;
  if (bInteractive && !node->state().invisible) {
    EXPECT_FALSE(node->text(QAccessible::Name).isEmpty()) << "role " << role;
    EXPECT_FALSE(node->text(QAccessible::Description).isEmpty()) << node->text(QAccessible::Name).toStdString();
    names.push_back(node->text(QAccessible::Name).toStdString());
  }
  if (role == QAccessible::Slider) {
    ++nSliders;
    auto* bar = qobject_cast<VolumeBar*>(node->object());
    ASSERT_NE(node->valueInterface(), nullptr);
    ASSERT_NE(bar, nullptr);
    EXPECT_EQ(node->valueInterface()->currentValue().toInt(), bar->Value());
    EXPECT_EQ(node->valueInterface()->maximumValue().toInt(), bar->Max());
  }
  for (int i = 0; i < node->childCount(); ++i) WalkAccessible(node->child(i), names, nSliders);
}

TEST_F(FeaturesTest, AccessibilityTreeNamesEveryControlAndTabVisitsThemInOrder) {
  w->SetVolume(2.5f);
  std::vector<std::string> names;
  int nSliders = 0;
  WalkAccessible(QAccessible::queryAccessibleInterface(w.get()), names, nSliders);
  EXPECT_EQ(nSliders, 2);
  for (const char* name : {"読み上げる文章", "再生", "低速再生", "一時停止", "停止", "カーソル位置から再生", "ボリューム",
                           "スピード"}) {
    EXPECT_NE(std::find(names.begin(), names.end(), name), names.end()) << name;
  }
  EXPECT_EQ(w->lblVolume->accessibleName(), "ボリューム x2.50");

  // Tab from the text box through the enabled buttons to the two sliders (pause and stop are disabled).
  std::vector<QString> visited;
  for (QWidget* widget = w->txtReadText->nextInFocusChain(); widget != w->txtReadText && visited.size() < 5;
       widget = widget->nextInFocusChain()) {
    if (widget->isEnabled() && widget->isVisible() && (widget->focusPolicy() & Qt::TabFocus)) {
      visited.push_back(widget->accessibleName());
    }
  }
  EXPECT_EQ(visited, (std::vector<QString>{"再生", "低速再生", "カーソル位置から再生", "ボリューム", "スピード"}));
  w->Volumebar->setFocus();
  Key(w->Volumebar, Qt::Key_Right);
  EXPECT_EQ(QAccessible::queryAccessibleInterface(w->Volumebar)->valueInterface()->currentValue().toInt(),
            w->Volumebar->Value());
}

TEST_F(FeaturesTest, ClosingWhilePausedKeepsThePlaceForTheSameTextOnly) {
  const char16_t* text = u"あい。うえ。お";
  WriteString(dir.Path("same.txt"), "あい。うえ。お");
  WriteString(dir.Path("other.txt"), "かき。くけ。こ");
  SetText(text);
  AtUnit(3, [this] { w->mnuRun_Pause_Click(); });
  w->mnuRun_Play_Click();
  w->SetTempo(1.5);
  w->close();
  const std::string options = FileText(dir.Path("options.dat"));
  EXPECT_EQ(std::count(options.begin(), options.end(), '\n'), 23);
  EXPECT_EQ(options.find("Tempo"), std::string::npos);

  struct Row {
    const char* file;  // "" : started without a file
    const char16_t* box;
    bool bOffered;
  } rows[] = {{"", text, true}, {"same.txt", text, true}, {"other.txt", u"かき。くけ。こ", false}};
  // Each close keeps the place again while it is held; the changed text forgets it.
  for (const Row& row : rows) {
    auto next = OpenWindow();
    EXPECT_DOUBLE_EQ(next->Tempo(), 1.5);
    next->RestoreReading(*row.file ? QString::fromStdString(dir.Path(row.file).string()) : QString());
    EXPECT_EQ(next->txtReadText->toPlainText(), QString::fromUtf16(row.box)) << row.file;
    EXPECT_EQ(next->mnuRun_Stop->isEnabled(), row.bOffered) << row.file;
    // The held sentence is highlighted; play goes on from it.
    EXPECT_EQ(next->log.empty() ? "" : next->log.back(), row.bOffered ? "pos 3+3" : "") << row.file;
    next->close();
  }
  auto last = OpenWindow();
  last->RestoreReading(QString());
  EXPECT_TRUE(last->txtReadText->toPlainText().isEmpty());
  // options.dat is the same file whatever ekoto.ini holds.
  last->close();
  EXPECT_EQ(FileText(dir.Path("options.dat")), options);
}

}  // namespace
}  // namespace ekoto::testing
