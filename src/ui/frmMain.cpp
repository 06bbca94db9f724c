// frmMain: start-up, shutdown, the controls and menus, layout and the message hook.
#include "ui/frmMain.h"

#include <QAction>
#include <QCheckBox>
#include <QClipboard>
#include <QCloseEvent>
#include <QFrame>
#include <QGuiApplication>
#include <QGroupBox>
#include <QLabel>
#include <QMenuBar>
#include <QStatusBar>
#include <QTimer>
#include <QToolButton>
#include <algorithm>
#include <cstdio>

#include "audio/PlaySoundFile.h"
#include "controls/VolumeBar.h"
#include "conversion/ConvTemplete.h"
#include "settings/modLoadAndSaveOptions.h"
#include "ui/AudioExport.h"
#include "ui/PlayerIcons.h"
#include "ui/ReadTextBox.h"
#include "ui/Twips.h"
#include "ui/frmAbout.h"
#include "ui/frmCreatePA.h"
#include "ui/frmDictionary.h"
#include "ui/frmOptions.h"

namespace ekoto {
namespace {

// The designed client area, in twips.
constexpr int kClientWidth = 6180;
constexpr int kClientHeight = 4260;

struct TwipsRect {
  int nLeft, nTop, nWidth, nHeight;
};

struct PlayerButtonDesign {
  int nIndex;
  PlayerIcon icon;
  TwipsRect rect;  // inside fraPlay
};

// Left to right as they sit in the play bar; neighbours overlap by 15 twips.
constexpr PlayerButtonDesign kPlayerButtons[] = {
    {2, PlayerIcon::kPlay, {0, 0, 975, 495}},      {4, PlayerIcon::kSlowPlay, {960, 0, 735, 495}},
    {1, PlayerIcon::kPause, {1680, 0, 615, 495}},  {0, PlayerIcon::kStop, {2280, 0, 615, 495}},
    {3, PlayerIcon::kCaretPlay, {2880, 0, 615, 495}},
};

}  // namespace

frmMain::frmMain(const MainWindowServices& services, QWidget* parent)
    : QMainWindow(parent),
      m_converter(services.converter),
      m_sOptionsPath(services.sOptionsPath),
      m_sOptionsSavePath(services.sOptionsSavePath.empty() ? services.sOptionsPath : services.sOptionsSavePath),
      m_soundOutput(services.output),
      m_clsPlaySound(m_soundOutput, m_pump),
      m_makeConverter(services.makeConverter),
      m_makeAccentSource(services.makeAccentSource),
      m_pAccent(m_makeAccentSource ? m_makeAccentSource() : nullptr) {
  if (m_pAccent) m_templeteAccent.emplace(*m_pAccent, ConvTempleteTable());
  setWindowTitle(QStringLiteral("Ekoto"));
  m_clsPlaySound.SetReport([this](const std::string& sError) { ReportSoundProblem(sError); });
  m_clsReadUp.SetWaveFilePlayer([this](const std::u16string& fp) { PlayWaveFile(fp, m_clsPlaySound); });
  CreateControls();
  CreateMenus();
  // The designed client area, with the menu bar above it and the status bar below;
  // wide enough to show every menu rather than hide the last ones behind » (with
  // a line's height to spare: Japanese glyphs from a fallback font can paint
  // wider than the menu bar measured them).
  resize(std::max(TwipsX(kClientWidth), menuBar()->sizeHint().width() + menuBar()->fontMetrics().height()),
         TwipsY(kClientHeight) + menuBar()->sizeHint().height() + statusBar()->sizeHint().height());

  m_bNotReady = false;
  SetEnableds(true, false, false);
  SetStartupDefaults(clsOptions, services.sProgramFolder);

  Volumebar->SetMax(400);
  Volumebar->SetValue(500);  // clamped to the maximum: the start-up volume is 4.00
  Volumebar_Scroll();
  Speedbar->SetMax(1000);
  Speedbar->SetValue(1000);
  Speedbar_Scroll();

  tmr1000->setInterval(1000);
  tmr1000->start();
  tmrClipboard->stop();
  tmrClipboard->setInterval(1000);
  tmrClipboard->setSingleShot(true);

  EnabledTooltip(true);
  LoadOptions(m_sOptionsPath, clsOptions, *this);
  ApplyOptions(clsOptions);
  SetUpAccessibility();

  m_hWnd = static_cast<int32_t>(winId());
  // Watching starts before the hook: nothing already on the clipboard is read.
  m_clipboard.StartClipboardWatch(m_pump, QGuiApplication::clipboard());
  m_hook.StartSubClass(this, m_hWnd, this);
  show();
  repaint();
  Form_Resize();
  tmr1000_Timer();
}

frmMain::~frmMain() {
  // A window destroyed without being closed: no event may reach it any more.
  m_hook.EndSubClass();
  m_bNotReady = true;
}

void frmMain::CreateControls() {
  m_pClient = new QWidget(this);
  setCentralWidget(m_pClient);
  m_pClient->installEventFilter(this);

  txtReadText = new ReadTextBox(m_pClient);
  txtReadText->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
  txtReadText->setGeometry(TwipsX(120), TwipsY(480), TwipsX(5895), TwipsY(2055));
  connect(txtReadText, &ReadTextBox::FilesDropped, this, &frmMain::txtReadText_OLEDragDrop);

  Label1 = new QLabel(QStringLiteral("読み上げる文章(&R):"), m_pClient);
  Label1->setGeometry(TwipsX(120), TwipsY(240), TwipsX(1815), TwipsY(255));
  Label1->setBuddy(txtReadText);

  fraPlay = new QFrame(m_pClient);
  fraPlay->setFrameShape(QFrame::NoFrame);
  fraPlay->setGeometry(TwipsX(120), TwipsY(2640), TwipsX(3615), TwipsY(615));
  for (const PlayerButtonDesign& design : kPlayerButtons) {
    auto* button = new QToolButton(fraPlay);
    button->setIcon(PlayerButtonIcon(design.icon, *style()));
    button->setIconSize(QSize(16, 16));
    button->setGeometry(TwipsX(design.rect.nLeft), TwipsY(design.rect.nTop), TwipsX(design.rect.nWidth),
                        TwipsY(design.rect.nHeight));
    const int nIndex = design.nIndex;
    connect(button, &QToolButton::clicked, this, [this, nIndex] { cmdPlayerInterface_Click(nIndex); });
    cmdPlayerInterface[static_cast<size_t>(nIndex)] = button;
  }

  struct Bar {
    QGroupBox*& frame;
    VolumeBar*& slider;
    QLabel*& label;
    const char16_t* caption;
    int nTop;
  };
  for (const Bar& bar : {Bar{fraVolume, Volumebar, lblVolume, u"ボリューム", 2640},
                         Bar{fraSpeed, Speedbar, lblSpeed, u"スピード", 3600}}) {
    bar.frame = new QGroupBox(QString::fromUtf16(bar.caption), m_pClient);
    bar.frame->setGeometry(TwipsX(3720), TwipsY(bar.nTop), TwipsX(2295), TwipsY(855));
    bar.slider = new VolumeBar(bar.frame);
    bar.slider->LoadProperties(40, 0, 500);
    bar.slider->move(TwipsX(240), TwipsY(240));
    bar.label = new QLabel(bar.frame);
    // The label may run to the frame's edge: "x4.00" is wider in today's faces
    // than the 375 twips it was designed in.
    bar.label->setGeometry(TwipsX(1800), TwipsY(480), TwipsX(2295 - 1800 - 45), TwipsY(255));
  }
  connect(Volumebar, &VolumeBar::Scroll, this, &frmMain::Volumebar_Scroll);
  connect(Speedbar, &VolumeBar::Scroll, this, &frmMain::Speedbar_Scroll);

  tmr1000 = new QTimer(this);
  connect(tmr1000, &QTimer::timeout, this, &frmMain::tmr1000_Timer);
  tmrClipboard = new QTimer(this);
  connect(tmrClipboard, &QTimer::timeout, this, &frmMain::tmrClipboard_Timer);
}

void frmMain::CreateMenus() {
  auto add = [this](QMenu* menu, const char16_t* caption, void (frmMain::*handler)(),
                    const QKeySequence& shortcut = {}) {
    QAction* action = menu->addAction(QString::fromUtf16(caption));
    action->setShortcut(shortcut);
    connect(action, &QAction::triggered, this, handler);
    return action;
  };
  auto addValue = [this](QMenu* menu, const char16_t* caption, void (frmMain::*setter)(float), float value) {
    QAction* action = menu->addAction(QString::fromUtf16(caption));
    connect(action, &QAction::triggered, this, [this, setter, value] { (this->*setter)(value); });
    return action;
  };

  QMenu* mnuRun = menuBar()->addMenu(QStringLiteral("実行(&R)"));
  mnuRun_Play = add(mnuRun, u"再生(&P)", &frmMain::mnuRun_Play_Click, QKeySequence(Qt::Key_F5));
  mnuRun_SlowPlay = add(mnuRun, u"低速再生(&L)", &frmMain::mnuRun_SlowPlay_Click, QKeySequence(Qt::Key_F6));
  mnuRun_Pause = add(mnuRun, u"一時停止(A)", &frmMain::mnuRun_Pause_Click);
  mnuRun_Stop = add(mnuRun, u"停止(&S)", &frmMain::mnuRun_Stop_Click);
  mnuRun_CaretPlay = add(mnuRun, u"カーソル位置から再生(&C)", &frmMain::mnuRun_CaretPlay_Click);
  mnuRun->addSeparator();
  mnuRun_Exit = add(mnuRun, u"終了(&X)", &frmMain::mnuRun_Exit_Click);

  QMenu* mnuProperty = menuBar()->addMenu(QStringLiteral("プロパティ(&P)"));
  QMenu* mnuProperty_Volume = mnuProperty->addMenu(QStringLiteral("ボリューム(&V)"));
  mnuProperty_Volume_Large = addValue(mnuProperty_Volume, u"大(&L)", &frmMain::SetVolume, 4.0f);
  mnuProperty_Volume_Middle = addValue(mnuProperty_Volume, u"中(&M)", &frmMain::SetVolume, 2.0f);
  mnuProperty_Volume_Small = addValue(mnuProperty_Volume, u"小(&S)", &frmMain::SetVolume, 1.0f);
  QMenu* mnuProperty_Speed = mnuProperty->addMenu(QStringLiteral("スピード(&S)"));
  mnuProperty_Speed_Fast = addValue(mnuProperty_Speed, u"速(&L)", &frmMain::SetSpeed, 1.0f);
  mnuProperty_Speed_Middle = addValue(mnuProperty_Speed, u"中(&M)", &frmMain::SetSpeed, 0.5f);
  mnuProperty_Speed_Slow = addValue(mnuProperty_Speed, u"遅(&S)", &frmMain::SetSpeed, 0.25f);
  mnuProperty->addSeparator();
  mnuProperty_Mute = add(mnuProperty, u"ミュート(&M)", &frmMain::mnuProperty_Mute_Click);
  mnuProperty_Mute->setCheckable(true);

  QMenu* mnuView = menuBar()->addMenu(QStringLiteral("表示(&V)"));
  mnuView_Playbar = add(mnuView, u"再生 バー(&P)", &frmMain::mnuView_Playbar_Click);
  mnuView_Volumebar = add(mnuView, u"ボリューム バー(&V)", &frmMain::mnuView_Volumebar_Click);
  mnuView_Speedbar = add(mnuView, u"スピード バー(&S)", &frmMain::mnuView_Speedbar_Click);
  for (QAction* action : {mnuView_Playbar, mnuView_Volumebar, mnuView_Speedbar}) action->setCheckable(true);

  mnuSystem = menuBar()->addMenu(QStringLiteral("システム(&S)"));
  mnuSystem_Options = add(mnuSystem, u"オプション(&O) ...", &frmMain::mnuSystem_Options_Click,
                          QKeySequence(Qt::CTRL | Qt::Key_Q));
  mnuSystem->addSeparator();
  mnuSystem_About = add(mnuSystem, u"バージョン情報(&V) ...", &frmMain::mnuSystem_About_Click);

  mnuTool = menuBar()->addMenu(QStringLiteral("ツール(&T)"));
  mnuTool_CreateFilePA = add(mnuTool, u"声源ファイルの作成(&P) ...", &frmMain::mnuTool_CreateFilePA_Click);
  mnuTool_Dictionary = add(mnuTool, u"辞書(&D) ...", &frmMain::mnuTool_Dictionary_Click);
  CreateFeatureMenus(mnuRun, mnuProperty);
}

void frmMain::closeEvent(QCloseEvent* event) {
  // Closing cannot be cancelled.
  event->accept();
  if (m_bNotReady) return;
  Form_Unload();
  FinishUnloadIfUnwound();
}

void frmMain::FinishUnloadIfUnwound() {
  // A reading still on the stack below the close unwinds first; ReadAloud calls here again.
  if (!m_bNotReady || m_bUnloaded || m_clsReadUp.IsReading()) return;
  m_bUnloaded = true;
  emit Unloaded();
}

void frmMain::Form_Unload() {
  if (m_bNotReady) return;
  // Saved first, while the controls still hold their values; a slow reading in
  // progress gives back the speed the user set.
  if (m_fSlowPlayUserSpeed) SetSpeed(*m_fSlowPlayUserSpeed);
  SaveFeatureSettings();
  if (!SaveOptions(m_sOptionsSavePath, clsOptions, *this)) {
    std::fprintf(stderr, "ekoto: the settings could not be saved to %s\n",
                 QString::fromStdU16String(m_sOptionsSavePath).toLocal8Bit().constData());
  }
  m_hook.EndSubClass();
  m_clipboard.EndClipboardWatch();
  // No window of the program outlives the main window.
  for (QDialog* dialog : findChildren<QDialog*>(Qt::FindDirectChildrenOnly)) dialog->close();
  tmr1000->stop();
  tmrClipboard->stop();
  m_bNotReady = true;
  m_strPendingText.clear();
  m_bStartWhenUnwound = false;
  m_clsReadUp.StopText();
  m_clsPlaySound.CancelPlay();
  // The hook is gone, so the device's done message no longer reaches the player;
  // this message ends a wait in progress, which then sees the cancel.
  m_pump.PostMessage(kWmNull, 0, 0);
}

void frmMain::Form_Resize() {
  // Every step stands alone: one that cannot be done is skipped and the later
  // ones use the controls' actual geometry.
  const int Sw = m_pClient->width();
  const int Sh = m_pClient->height();
  const int n120x = TwipsX(120);
  const int n120y = TwipsY(120);

  Label1->move(n120x, n120y);
  const int playH = fraPlay->isHidden() ? 0 : fraPlay->height();
  int barH = 0;
  int volRight = 0;
  if (!fraVolume->isHidden()) {
    barH = fraVolume->height();
    volRight = fraVolume->width() + n120x;
  }
  if (!fraSpeed->isHidden()) barH = fraSpeed->height();
  const int gap = barH > 0 ? n120y : 0;

  fraVolume->move(n120x, Sh - fraVolume->height() - n120y);
  fraSpeed->move(volRight + n120x, fraVolume->y());

  const int labelBottom = Label1->y() + Label1->height();
  const int txtWidth = Sw - TwipsX(240);
  const int txtHeight = Sh - playH - barH - labelBottom - n120y - gap;
  // Too small a window: the text box keeps its last geometry.
  if (txtWidth >= 0 && txtHeight >= 0) txtReadText->setGeometry(n120x, labelBottom, txtWidth, txtHeight);

  fraPlay->move(n120x, txtReadText->y() + txtReadText->height() + n120y);
}

void frmMain::tmr1000_Timer() {
  if (isMinimized() || isMaximized() || isFullScreen()) return;
  // Position with the frame, as move() takes it; size without the desktop's
  // frame, as resize() takes it, so a saved window comes back the same size.
  p_WindowLeft = x();
  p_WindowTop = y();
  p_WindowWidth = width();
  p_WindowHeight = height();
}

void frmMain::SetWindowLeft(int32_t left) { move(left, y()); }
void frmMain::SetWindowTop(int32_t top) { move(x(), top); }
void frmMain::SetWindowWidth(int32_t width) { resize(width, height()); }
void frmMain::SetWindowHeight(int32_t height) { resize(width(), height); }

bool frmMain::eventFilter(QObject* watched, QEvent* event) {
  if (watched == m_pClient && event->type() == QEvent::Resize) Form_Resize();
  return QMainWindow::eventFilter(watched, event);
}

void frmMain::EventNofity(int32_t& hWnd_, int32_t& uMsg, int32_t& wParam, int32_t& lParam, int32_t& ret) {
  m_clsPlaySound.EventNofity(hWnd_, uMsg, wParam, lParam, ret);
  m_clipboard.ClipboardNotify(uMsg);
}

bool frmMain::ClipboardWatchOn() {
  const auto* chkClipboard = findChild<QCheckBox*>(QStringLiteral("chkClipboard"));
  if (chkClipboard != nullptr && chkClipboard->window()->isVisible()) return chkClipboard->isChecked();
  return clsOptions.bClipboard;
}

void frmMain::mnuSystem_About_Click() {
  auto* about = new frmAbout(this);
  about->setAttribute(Qt::WA_DeleteOnClose);
  about->open();
}

void frmMain::mnuTool_CreateFilePA_Click() {
  auto* builder = new frmCreatePA(this);
  builder->setAttribute(Qt::WA_DeleteOnClose);
  builder->open();
}

void frmMain::mnuTool_Dictionary_Click() { OpenDictionary(clsOptions.sConvTempletePath, this, false); }

frmDictionary* frmMain::OpenDictionary(const std::u16string& sPath, QWidget* parent, bool bModal) {
  DictionaryServices services{.sTempletePath = sPath,
                              .options = {.bAUpperCase = clsOptions.bAUpperCase,
                                          .bANNarrow = clsOptions.bANNarrow,
                                          .bNumeric = clsOptions.bNumeric},
                              .converter = m_converter,
                              .pAccent = m_pAccent.get(),
                              .hear = [this](const std::u16string& text, const CConvTemplete& table) {
                                HearWithTemplete(text, table);
                              }};
  auto* dictionary = new frmDictionary(services, parent);
  dictionary->setAttribute(Qt::WA_DeleteOnClose);
  if (bModal) {
    dictionary->exec();
    return nullptr;
  }
  dictionary->show();
  return dictionary;
}

void frmMain::ReportProblem(const QString& sMessage) {
  // Some layers name the program themselves, for the terminal.
  QString sText = sMessage;
  if (sText.startsWith(QStringLiteral("ekoto: "))) sText.remove(0, 7);
  if (sText == m_sLastProblem) return;
  m_sLastProblem = sText;
  std::fprintf(stderr, "ekoto: %s\n", sText.toLocal8Bit().constData());
  if (!m_bNotReady) statusBar()->showMessage(sText);
}

int frmMain::TwipsX(int nTwips) const { return TwipsToPixels(nTwips, logicalDpiX()); }
int frmMain::TwipsY(int nTwips) const { return TwipsToPixels(nTwips, logicalDpiY()); }

}  // namespace ekoto
