// frmMain: the playback commands, the answers to the reader's events, the
// command states, volume and speed, and the delayed start of dropped text.
#include <QAction>
#include <QCoreApplication>
#include <QGroupBox>
#include <QLabel>
#include <QStatusBar>
#include <QThread>
#include <QTimer>
#include <QToolButton>
#include <algorithm>
#include <cmath>
#include <cstdio>

#include "audio/LoadSoundWithVolume.h"
#include "audio/UnitTempo.h"
#include "controls/VolumeBar.h"
#include "conversion/ConvTemplete.h"
#include "conversion/ConversionChain.h"
#include "settings/OptionsValues.h"
#include "ui/ReadTextBox.h"
#include "ui/frmMain.h"

namespace ekoto {
namespace {

// v × scale rounded half to even when 0 <= v <= max / scale, else the raw value 1.
int32_t SliderValueFor(float v, int32_t nMax, float scale) {
  if (v >= 0.0f && v <= static_cast<float>(nMax) / scale) return static_cast<int32_t>(std::nearbyint(v * scale));
  return 1;
}

}  // namespace

void frmMain::mnuRun_Play_Click() { ReadAloud(TextBoxText()); }

void frmMain::mnuRun_Pause_Click() { m_clsReadUp.PauseText(); }

void frmMain::mnuRun_Stop_Click() { m_clsReadUp.StopText(); }

void frmMain::mnuRun_CaretPlay_Click() {
  // Taken before StopText, whose OnStop clears the selection.
  const int32_t c = txtReadText->textCursor().selectionStart();
  m_clsReadUp.StopText();
  const std::u16string strText = TextBoxText();
  ReadAloud(static_cast<size_t>(c) < strText.size() ? strText.substr(static_cast<size_t>(c)) : std::u16string(), c);
}

void frmMain::mnuRun_SlowPlay_Click() {
  // Refused while a reading runs, as the reading itself would be.
  if (m_clsReadUp.IsReading()) return;
  const float s = GetSpeed();
  m_fSlowPlayUserSpeed = s;
  SetSpeed(s - s / 4);
  ReadAloud(TextBoxText());
  m_fSlowPlayUserSpeed.reset();
  // A closing window has saved the user's speed and is touched no more.
  if (!m_bNotReady) SetSpeed(s);
}

void frmMain::mnuProperty_Mute_Click() {
  clsOptions.bMute = !clsOptions.bMute;
  mnuProperty_Mute->setChecked(clsOptions.bMute);
}

void frmMain::mnuView_Playbar_Click() {
  clsOptions.bPlaybar = !clsOptions.bPlaybar;
  mnuView_Playbar->setChecked(clsOptions.bPlaybar);
  fraPlay->setVisible(clsOptions.bPlaybar);
  Form_Resize();
}

void frmMain::mnuView_Volumebar_Click() {
  clsOptions.bVolumebar = !clsOptions.bVolumebar;
  mnuView_Volumebar->setChecked(clsOptions.bVolumebar);
  fraVolume->setVisible(clsOptions.bVolumebar);
  Form_Resize();
}

void frmMain::mnuView_Speedbar_Click() {
  clsOptions.bSpeedbar = !clsOptions.bSpeedbar;
  mnuView_Speedbar->setChecked(clsOptions.bSpeedbar);
  fraSpeed->setVisible(clsOptions.bSpeedbar);
  Form_Resize();
}

void frmMain::cmdPlayerInterface_Click(int nIndex) {
  switch (nIndex) {
    case 0: mnuRun_Stop_Click(); break;
    case 1: mnuRun_Pause_Click(); break;
    case 2: mnuRun_Play_Click(); break;
    case 3: mnuRun_CaretPlay_Click(); break;
    case 4: mnuRun_SlowPlay_Click(); break;
    default: break;
  }
}

float frmMain::GetVolume() { return static_cast<float>(Volumebar->Value()) / 100.0f; }

void frmMain::SetVolume(float volume) { Volumebar->SetValue(SliderValueFor(volume, Volumebar->Max(), 100.0f)); }

float frmMain::GetSpeed() { return static_cast<float>(Speedbar->Value()) / 1000.0f; }

void frmMain::SetSpeed(float speed) { Speedbar->SetValue(SliderValueFor(speed, Speedbar->Max(), 1000.0f)); }

void frmMain::Volumebar_Scroll() {
  lblVolume->setText(QStringLiteral("x") + QString::fromStdU16String(DecimalToText(GetVolume())));
}

void frmMain::Speedbar_Scroll() {
  lblSpeed->setText(QStringLiteral("x") + QString::fromStdU16String(DecimalToText(GetSpeed())));
}

void frmMain::SetEnableds(bool bPlay, bool bPause, bool bStop) {
  cmdPlayerInterface[0]->setEnabled(bStop);
  cmdPlayerInterface[1]->setEnabled(bPause);
  cmdPlayerInterface[2]->setEnabled(bPlay);
  cmdPlayerInterface[3]->setEnabled(bPlay);
  cmdPlayerInterface[4]->setEnabled(bPlay);
  mnuRun_Play->setEnabled(bPlay);
  mnuRun_SlowPlay->setEnabled(bPlay);
  mnuRun_Pause->setEnabled(bPause);
  mnuRun_Stop->setEnabled(bStop);
  mnuRun_CaretPlay->setEnabled(bPlay);
  mnuRun_NextSentence->setEnabled(bStop);
  mnuRun_PrevSentence->setEnabled(bStop);
  if (bStop) txtReadText->setFocus();
  // The new states are painted now, not when the reading ends.
  DoEvents();
}

void frmMain::EnabledTooltip(bool bEnabled) {
  static constexpr const char16_t* kButtonTips[] = {u"停止", u"一時停止", u"再生", u"カーソル位置から再生", u"低速再生"};
  for (size_t i = 0; i < cmdPlayerInterface.size(); ++i) {
    cmdPlayerInterface[i]->setToolTip(bEnabled ? QString::fromUtf16(kButtonTips[i]) : QString());
  }
  Volumebar->SetToolTip(bEnabled ? QStringLiteral("ボリューム") : QString());
  Speedbar->SetToolTip(bEnabled ? QStringLiteral("スピード") : QString());
}

void frmMain::OnPlay() {
  if (m_bNotReady) return;
  ClearStaleStatus();
  SetEnableds(false, true, true);
  // Read at every start and resume, so that edits to the template apply at once.
  if (!m_pHearTemplete) LoadConvTemplete(clsOptions.sConvTempletePath);
}

void frmMain::OnPlayPos(int32_t lSeek, int32_t lLength) {
  if (m_bNotReady || m_pHearTemplete) return;
  SelectText(lSeek + m_lSeekOffset, lLength);
}

void frmMain::OnConvertion(std::u16string& txt) {
  ReadingOptions options;
  options.bAUpperCase = clsOptions.bAUpperCase;
  options.bANNarrow = clsOptions.bANNarrow;
  options.bNumeric = clsOptions.bNumeric;
  txt = m_pHearTemplete ? ApplyReadingOptions(std::move(txt), options, *m_pHearTemplete)
                        : ApplyReadingOptions(std::move(txt), options);
}

void frmMain::OnPlaySound(std::u16string s) {
  // A reading that outlives the close (the close came while it started) stops
  // at its first unit, silently.
  if (m_bNotReady) {
    m_clsReadUp.StopText();
    return;
  }
  // The speed setting: a wait before each unit, played as silence.
  sdPlaySound(s, std::max(0, 1000 - Speedbar->Value()));
}

void frmMain::OnPause() {
  if (m_bNotReady) return;
  SetEnableds(true, false, true);
}

void frmMain::OnStop() {
  if (m_bNotReady) return;
  ClearStaleStatus();
  SetEnableds(true, false, false);
  txtReadText->setFocus();
  SelectText(0, 0);
  m_lSeekOffset = 0;
}

void frmMain::DoEvents() { QCoreApplication::processEvents(); }

void frmMain::sdPlaySound(const std::u16string& s, int32_t lWaitMs) {
  if (m_bNotReady) return;
  const float vol = clsOptions.bMute ? 0.0f : GetVolume();
  PAHEADER header;
  std::vector<uint8_t> bytes = LoadSoundWithVolume(clsOptions.sPAPath, s, vol, header);
  // A unit the voice file lacks is silent, but its wait still passes.
  if (bytes.empty()) {
    if (lWaitMs > 0 && !m_clsPlaySound.PlaySilence(m_hWnd, lWaitMs)) QThread::msleep(static_cast<unsigned long>(lWaitMs));
    return;
  }
  // The tempo shortens or lengthens the unit itself, its pitch kept.
  int16_t nBits = header.nBitsPerSample;
  StretchUnit(bytes, nBits, header.nChannels, header.lSampleRate, m_dTempo, m_clsReadUp.PitchOfUnit());
  m_clsPlaySound.PlaySoundAfter(m_hWnd, lWaitMs, bytes, header.lSampleRate, nBits, header.nChannels);
}

namespace {
// Short enough for the status bar of the smallest window; the details go to stderr.
const QString kNoSound = QStringLiteral("サウンドデバイスで音を出せません");
}  // namespace

void frmMain::ReportSoundProblem(const std::string& sError) {
  if (!sError.empty()) {
    std::fprintf(stderr, "%s\n", sError.c_str());
    ReportProblem(kNoSound);
  } else if (m_sLastProblem == kNoSound) {
    m_sLastProblem.clear();
    if (statusBar()->currentMessage() == kNoSound) statusBar()->clearMessage();
  }
}

void frmMain::ClearStaleStatus() {
  if (statusBar()->currentMessage() == kNoSound) return;
  statusBar()->clearMessage();
  m_sLastProblem.clear();
}

void frmMain::HearWithTemplete(const std::u16string& text, const CConvTemplete& table) {
  if (m_bNotReady || m_clsReadUp.IsReading()) return;
  m_pHearTemplete = &table;
  if (m_templeteAccent) m_templeteAccent->SetTable(table);
  ReadAloud(text);
  m_pHearTemplete = nullptr;
  if (m_templeteAccent) m_templeteAccent->SetTable(ConvTempleteTable());
}

void frmMain::ReadAloud(const std::u16string& strText, int32_t lSeekOffset) {
  // A reading from the beginning highlights from where its text starts in the
  // box; a resumed one keeps the offset it started with.
  if (!m_clsReadUp.IsReading() && !m_clsReadUp.HoldsPosition()) m_lSeekOffset = lSeekOffset;
  if (!m_clsReadUp.IsReading()) {
    m_clsReadUp.SetAccentSource(m_bIntonation && m_templeteAccent ? &*m_templeteAccent : nullptr);
  }
  m_clsReadUp.PlayText(strText);
  AfterReading();
}

void frmMain::AfterReading() {
  // Still inside an outer reading (this call was refused): nothing has ended.
  if (m_clsReadUp.IsReading()) return;
  FinishUnloadIfUnwound();
  ReadChapterWhenUnwound();
  if (m_bNotReady || !m_bStartWhenUnwound) return;
  m_bStartWhenUnwound = false;
  // From the event loop: the handler that ran the stopped reading returns first.
  QTimer::singleShot(0, this, &frmMain::ReadFromStart);
}

void frmMain::Timer_SetToStart(const std::u16string& strReadText) {
  // A copy replaces a book dropped just before it.
  m_pendingBook.reset();
  m_strPendingText = strReadText;
  tmrClipboard->start();
}

void frmMain::tmrClipboard_Timer() {
  tmrClipboard->stop();
  ChangedClipboard();
}

void frmMain::ChangedClipboard() {
  // Taken before the reading: a text handed over while it runs waits for its own tick.
  const std::u16string strText = std::move(m_strPendingText);
  m_strPendingText.clear();
  SetToStart(strText);
}

void frmMain::SetToStart(const std::u16string& strReadText) {
  txtReadText->setPlainText(QString::fromStdU16String(strReadText));
  TakePendingBook(strReadText);
  ReadFromStart();
}

void frmMain::ReadFromStart() {
  if (m_bNotReady) return;
  // Only one reading may run: this one stops after its unit and the text box is
  // read once it has unwound (AfterReading).
  if (m_clsReadUp.IsReading()) {
    m_bStartWhenUnwound = true;
    m_clsReadUp.StopText();
    return;
  }
  // A paused reading would resume its old sentences instead of the new text.
  if (m_clsReadUp.HoldsPosition()) m_clsReadUp.StopText();
  ReadAloud(TextBoxText());
}

void frmMain::txtReadText_OLEDragDrop(const QStringList& paths) {
  if (paths.isEmpty()) return;
  BookText book;
  if (!ReadBookFile(paths.first(), book)) return;
  Timer_SetToStart(book.sText);
  m_pendingBook.emplace(std::move(book), paths.first());
}

std::u16string frmMain::TextBoxText() const { return txtReadText->toPlainText().toStdU16String(); }

void frmMain::SelectText(int32_t lStart, int32_t lLength) {
  QTextCursor cursor = txtReadText->textCursor();
  const int nEnd = txtReadText->document()->characterCount() - 1;
  const int nStart = std::clamp(lStart, 0, nEnd);
  cursor.setPosition(nStart);
  cursor.setPosition(std::clamp(nStart + std::max(lLength, 0), nStart, nEnd), QTextCursor::KeepAnchor);
  txtReadText->setTextCursor(cursor);
}

}  // namespace ekoto
