// frmMain: additions to the original window. Next and previous sentence, the
// tempo, keyboard and screen-reader access, and the reading kept from the last
// close. Settings that options.dat has no room for live in ekoto.ini beside it,
// so options.dat stays the file other copies of the program read.
#include <QAccessible>
#include <QAction>
#include <QActionGroup>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QGroupBox>
#include <QKeyEvent>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QSettings>
#include <QStatusBar>
#include <QToolButton>
#include <algorithm>
#include <cmath>
#include <cstdio>

#include "audio/UnitTempo.h"
#include "controls/VolumeBar.h"
#include "ui/ReadTextBox.h"
#include "ui/VolumeBarAccessible.h"
#include "ui/frmMain.h"

namespace ekoto {
namespace {

constexpr double kTempoPresets[] = {0.5, 0.75, 1.0, 1.5, 2.0, 3.0};
constexpr double kTempoStep = 0.25;
// Longer texts are not kept: the settings file is read whole at every start.
constexpr qsizetype kMaxKeptText = 1 << 20;

QString TempoText(double dTempo) { return QStringLiteral("×%1").arg(dTempo, 0, 'f', 2); }

// Ctrl+← and Ctrl+→ move the text box's caret by words; while a reading runs
// or is paused they move the reading by sentences instead.
class SentenceKeys : public QObject {
 public:
  SentenceKeys(QAction* next, QAction* previous, QObject* parent)
      : QObject(parent), m_next(next), m_previous(previous) {}

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override {
    if (event->type() != QEvent::ShortcutOverride && event->type() != QEvent::KeyPress) {
      return QObject::eventFilter(watched, event);
    }
    const auto* key = static_cast<QKeyEvent*>(event);
    QAction* action = nullptr;
    if (key->modifiers() == Qt::ControlModifier && key->key() == Qt::Key_Right) action = m_next;
    if (key->modifiers() == Qt::ControlModifier && key->key() == Qt::Key_Left) action = m_previous;
    if (action == nullptr || !action->isEnabled()) return QObject::eventFilter(watched, event);
    // The override is taken so that the key comes here once, as a key press.
    event->accept();
    if (event->type() == QEvent::KeyPress) action->trigger();
    return true;
  }

 private:
  QAction* m_next;
  QAction* m_previous;
};

}  // namespace

QString frmMain::FeatureSettingsPath() const {
  // Beside the options.dat that is saved, where this user can write.
  return QFileInfo(QString::fromStdU16String(m_sOptionsSavePath)).dir().filePath(QStringLiteral("ekoto.ini"));
}

void frmMain::CreateFeatureMenus(QMenu* mnuRun, QMenu* mnuProperty) {
  auto add = [this](QMenu* menu, const char16_t* caption, void (frmMain::*handler)(), const QKeySequence& keys) {
    QAction* action = new QAction(QString::fromUtf16(caption), menu);
    action->setShortcut(keys);
    connect(action, &QAction::triggered, this, handler);
    return action;
  };

  mnuFile = new QMenu(QStringLiteral("ファイル(&F)"), this);
  menuBar()->insertMenu(menuBar()->actions().value(0), mnuFile);
  mnuFile_Open = add(mnuFile, u"開く(&O) ...", &frmMain::mnuFile_Open_Click, QKeySequence(Qt::CTRL | Qt::Key_O));
  mnuFile_SaveAudio = add(mnuFile, u"音声ファイルに保存(&S) ...", &frmMain::mnuFile_SaveAudio_Click,
                          QKeySequence(Qt::CTRL | Qt::Key_S));
  mnuFile->addActions({mnuFile_Open, mnuFile_SaveAudio});

  // Before the separator above 終了.
  QAction* beforeExit = mnuRun->actions().value(mnuRun->actions().indexOf(mnuRun_Exit) - 1);
  mnuRun_PrevSentence = add(mnuRun, u"前の文へ(&B)", &frmMain::mnuRun_PrevSentence_Click,
                            QKeySequence(Qt::CTRL | Qt::Key_Left));
  mnuRun_NextSentence = add(mnuRun, u"次の文へ(&N)", &frmMain::mnuRun_NextSentence_Click,
                            QKeySequence(Qt::CTRL | Qt::Key_Right));
  mnuRun->insertSeparator(beforeExit);
  mnuRun->insertActions(beforeExit, {mnuRun_PrevSentence, mnuRun_NextSentence});
  txtReadText->installEventFilter(new SentenceKeys(mnuRun_NextSentence, mnuRun_PrevSentence, this));
  CreateChapterMenu(mnuProperty);

  QMenu* mnuProperty_Tempo_Menu = new QMenu(QStringLiteral("テンポ(&T)"), mnuProperty);
  mnuProperty->insertMenu(mnuProperty->actions().value(2), mnuProperty_Tempo_Menu);
  auto* presets = new QActionGroup(mnuProperty_Tempo_Menu);
  presets->setExclusionPolicy(QActionGroup::ExclusionPolicy::ExclusiveOptional);
  for (const double dTempo : kTempoPresets) {
    QAction* action = mnuProperty_Tempo_Menu->addAction(TempoText(dTempo));
    action->setCheckable(true);
    presets->addAction(action);
    connect(action, &QAction::triggered, this, [this, dTempo] { SetTempo(dTempo); });
    mnuProperty_Tempo.push_back(action);
  }
  mnuProperty_Tempo_Menu->addSeparator();
  mnuProperty_Tempo_Faster = mnuProperty_Tempo_Menu->addAction(QStringLiteral("速く(&F)"));
  mnuProperty_Tempo_Faster->setShortcut(QKeySequence(Qt::Key_F8));
  connect(mnuProperty_Tempo_Faster, &QAction::triggered, this, [this] { SetTempo(m_dTempo + kTempoStep); });
  mnuProperty_Tempo_Slower = mnuProperty_Tempo_Menu->addAction(QStringLiteral("遅く(&W)"));
  mnuProperty_Tempo_Slower->setShortcut(QKeySequence(Qt::Key_F7));
  connect(mnuProperty_Tempo_Slower, &QAction::triggered, this, [this] { SetTempo(m_dTempo - kTempoStep); });

  const QSettings ini(FeatureSettingsPath(), QSettings::IniFormat);
  bool bNumber = false;
  const double dTempo = ini.value(QStringLiteral("Tempo"), 1.0).toDouble(&bNumber);
  SetTempo(bNumber ? dTempo : m_dTempo);
  m_bIntonation = ini.value(QStringLiteral("Intonation"), true).toBool();
  statusBar()->clearMessage();
}

void frmMain::SetTempo(double dTempo) {
  // A step past either end stops at it; a value that is no number keeps the tempo.
  if (std::isnan(dTempo)) return;
  m_dTempo = std::clamp(std::round(dTempo * 100.0) / 100.0, kMinTempo, kMaxTempo);
  for (size_t i = 0; i < mnuProperty_Tempo.size(); ++i) mnuProperty_Tempo[i]->setChecked(kTempoPresets[i] == m_dTempo);
  statusBar()->showMessage(QStringLiteral("テンポ %1").arg(TempoText(m_dTempo)));
}

void frmMain::mnuRun_NextSentence_Click() { m_clsReadUp.SeekSentence(1); }

void frmMain::mnuRun_PrevSentence_Click() { m_clsReadUp.SeekSentence(-1); }

void frmMain::SetUpAccessibility() {
  InstallVolumeBarAccessibility();
  txtReadText->setTabChangesFocus(true);
  txtReadText->setAccessibleName(QStringLiteral("読み上げる文章"));
  txtReadText->setAccessibleDescription(
      QStringLiteral("読み上げる文章を入力します。読んでいる間は、読んでいる文が選択されます"));

  struct ButtonText {
    int nIndex;
    const char16_t* sName;
    const char16_t* sDescription;
  };
  // Left to right as they sit in the play bar, which is also their tab order.
  static constexpr ButtonText kButtons[] = {
      {2, u"再生", u"文章を最初から、一時停止中は続きから読みます (F5)"},
      {4, u"低速再生", u"スピードを 4 分の 3 にして読みます (F6)"},
      {1, u"一時停止", u"読むのを止め、次の再生で続きから読みます"},
      {0, u"停止", u"読むのを止め、次の再生で最初から読みます"},
      {3, u"カーソル位置から再生", u"カーソルのある所から読みます"},
  };
  QWidget* previous = txtReadText;
  for (const ButtonText& text : kButtons) {
    QToolButton* button = cmdPlayerInterface[static_cast<size_t>(text.nIndex)];
    button->setAccessibleName(QString::fromUtf16(text.sName));
    button->setAccessibleDescription(QString::fromUtf16(text.sDescription));
    button->setFocusPolicy(Qt::StrongFocus);
    setTabOrder(previous, button);
    previous = button;
  }

  struct SliderText {
    VolumeBar* bar;
    QLabel* label;
    const char16_t* sName;
    const char16_t* sDescription;
  };
  for (const SliderText& slider :
       {SliderText{Volumebar, lblVolume, u"ボリューム", u"音の大きさ。x0.00 で無音、x4.00 が最大。矢印キーで変えます"},
        SliderText{Speedbar, lblSpeed, u"スピード",
                   u"音と音の間。x1.00 で間なし、値を下げるほど各音の前に間が入ります。矢印キーで変えます"}}) {
    const QString sName = QString::fromUtf16(slider.sName);
    slider.bar->setAccessibleName(sName);
    slider.bar->setAccessibleDescription(QString::fromUtf16(slider.sDescription));
    slider.label->setAccessibleDescription(QStringLiteral("%1の値").arg(sName));
    setTabOrder(previous, slider.bar);
    previous = slider.bar;
    VolumeBar* bar = slider.bar;
    QLabel* label = slider.label;
    const auto announce = [bar, label, sName] {
      label->setAccessibleName(QStringLiteral("%1 %2").arg(sName, label->text()));
      QAccessibleValueChangeEvent event(bar, bar->Value());
      QAccessible::updateAccessibility(&event);
    };
    connect(bar, &VolumeBar::Scroll, this, announce);
    announce();
  }
  // Steps a listener hears and the label shows: 0.05 an arrow, a page 0.50 or 0.25.
  Volumebar->SetKeySteps(5, 50);
  Speedbar->SetKeySteps(50, 250);
}

void frmMain::SaveFeatureSettings() {
  QSettings ini(FeatureSettingsPath(), QSettings::IniFormat);
  ini.setValue(QStringLiteral("Tempo"), m_dTempo);
  ini.setValue(QStringLiteral("Intonation"), m_bIntonation);
  const QString sText = txtReadText->toPlainText();
  const bool bHeld = m_clsReadUp.IsReading() || m_clsReadUp.HoldsPosition();
  ini.remove(QStringLiteral("Resume"));
  // A book is kept by its path, however long; other texts whole.
  if (bHeld && !KeepBookPlace(ini) && sText.size() <= kMaxKeptText) {
    ini.setValue(QStringLiteral("Resume/Text"), sText);
    ini.setValue(QStringLiteral("Resume/Offset"), m_lSeekOffset);
    ini.setValue(QStringLiteral("Resume/Sentence"), m_clsReadUp.SentenceIndex());
  }
  ini.sync();
  if (ini.status() != QSettings::NoError) {
    std::fprintf(stderr, "ekoto: the settings could not be saved to %s\n",
                 QFile::encodeName(FeatureSettingsPath()).constData());
  }
}

void frmMain::RestoreReading(const QString& sFile) {
  if (RestoreBookPlace(sFile)) return;
  const QSettings ini(FeatureSettingsPath(), QSettings::IniFormat);
  const QString sKept = ini.value(QStringLiteral("Resume/Text")).toString();
  const int32_t lOffset = ini.value(QStringLiteral("Resume/Offset"), 0).toInt();
  const int32_t lSentence = ini.value(QStringLiteral("Resume/Sentence"), 0).toInt();
  if (!sFile.isEmpty()) {
    // A changed text starts from the beginning.
    if (!OpenTextFile(sFile) || txtReadText->toPlainText() != sKept) return;
  } else {
    if (sKept.isEmpty()) return;
    txtReadText->setPlainText(sKept);
  }
  const std::u16string strText = sKept.toStdU16String();
  if (lOffset < 0 || static_cast<size_t>(lOffset) > strText.size()) return;
  m_lSeekOffset = lOffset;
  if (!m_clsReadUp.HoldAt(strText.substr(static_cast<size_t>(lOffset)), lSentence)) {
    m_lSeekOffset = 0;
    return;
  }
  SetEnableds(true, false, true);
  statusBar()->showMessage(
      QStringLiteral("前回の続き (%1 文目) から読めます: 再生 (F5) で続きから、停止で最初から").arg(lSentence + 1));
}

}  // namespace ekoto
