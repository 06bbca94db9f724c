// frmMain: the file menu, an addition to the original window. Opening a text
// file or a book (as a drop reads it, without starting to read) and saving the reading
// as an audio file in the background.
#include <QFile>
#include <QFileInfo>
#include <QMenuBar>
#include <QProgressDialog>
#include <QStatusBar>

#include "conversion/MecabReverseConverter.h"
#include "ui/AudioExport.h"
#include "ui/CFileDialogs.h"
#include "ui/ReadTextBox.h"
#include "ui/frmMain.h"

namespace ekoto {

void frmMain::mnuFile_Open_Click() {
  QString sPath;
  static const QString kFilter = QStringLiteral(
      "テキスト・本 (*.txt *.epub *.html *.htm *.xhtml)|*.txt *.epub *.html *.htm *.xhtml|"
      "テキスト ファイル (*.txt)|*.txt|EPUB (*.epub)|*.epub|HTML (*.html *.htm *.xhtml)|*.html *.htm *.xhtml|"
      "すべてのファイル (*)|*");
  if (CFileDialogs().ShowOpenFileDialog(this, sPath, kFilter, QString(), QString(), 0)) {
    OpenTextFile(sPath);
  }
}

bool frmMain::OpenTextFile(const QString& sPath) {
  BookText book;
  if (!ReadBookFile(sPath, book)) return false;
  // The old position belongs to the old text.
  if (m_clsReadUp.IsReading() || m_clsReadUp.HoldsPosition()) m_clsReadUp.StopText();
  txtReadText->setPlainText(QString::fromStdU16String(book.sText));
  AdoptBook(std::move(book), sPath);
  statusBar()->showMessage(QStringLiteral("開きました: %1").arg(QFileInfo(sPath).fileName()));
  return true;
}

void frmMain::mnuFile_SaveAudio_Click() {
  QString sPath;
  if (CFileDialogs().ShowSaveFileDialog(
          this, sPath, QStringLiteral("WAV (*.wav)|*.wav|FLAC (*.flac)|*.flac|Ogg Vorbis (*.ogg)|*.ogg"),
          QStringLiteral("reading.wav"), QString(), 0)) {
    SaveReadingAs(sPath);
  }
}

void frmMain::SaveReadingAs(const QString& sPath) {
  if (m_pExport) return;
  // While a reading runs or is paused the selection is its highlight, not the user's.
  const QTextCursor cursor = txtReadText->textCursor();
  const bool bSelection = cursor.hasSelection() && !m_clsReadUp.IsReading() && !m_clsReadUp.HoldsPosition();
  QString sText = bSelection ? cursor.selectedText() : txtReadText->toPlainText();
  // The selection separates lines with U+2029.
  sText.replace(QChar::ParagraphSeparator, u'\n');
  if (sText.isEmpty()) {
    ReportProblem(QStringLiteral("保存する文章がありません"));
    emit SavingFinished(false);
    return;
  }

  ExportSettings settings;
  settings.sPAPath = clsOptions.sPAPath;
  settings.sTempletePath = clsOptions.sConvTempletePath;
  settings.reading = {clsOptions.bAUpperCase, clsOptions.bANNarrow, clsOptions.bNumeric};
  settings.fVolume = clsOptions.bMute ? 0.0f : GetVolume();
  settings.fSpeed = GetSpeed();
  settings.dTempo = m_dTempo;
  std::unique_ptr<IReverseConverter> converter =
      m_makeConverter ? m_makeConverter() : std::make_unique<MecabReverseConverter>();
  std::unique_ptr<IAccentSource> accent = m_bIntonation && m_makeAccentSource ? m_makeAccentSource() : nullptr;
  m_pExport = std::make_unique<AudioExportJob>(sText.toStdU16String(), settings, std::move(converter),
                                               QFile::encodeName(sPath).toStdString(), std::move(accent));
  m_pExport->setObjectName(sPath);

  prgSaving = new QProgressDialog(QStringLiteral("音声ファイルに保存しています: %1").arg(QFileInfo(sPath).fileName()),
                                  QStringLiteral("キャンセル"), 0, 100, this);
  prgSaving->setWindowTitle(QStringLiteral("音声ファイルに保存"));
  prgSaving->setAccessibleName(QStringLiteral("保存の進み具合"));
  prgSaving->setMinimumDuration(0);
  prgSaving->setAutoClose(false);
  prgSaving->setAutoReset(false);
  // The window stays usable: a reading may go on while the file is written.
  prgSaving->setWindowModality(Qt::NonModal);
  prgSaving->setValue(0);
  connect(m_pExport.get(), &AudioExportJob::ProgressChanged, prgSaving, &QProgressDialog::setValue);
  connect(prgSaving, &QProgressDialog::canceled, m_pExport.get(), &AudioExportJob::Cancel);
  connect(m_pExport.get(), &AudioExportJob::Finished, this, &frmMain::FinishSaving);
  mnuFile_SaveAudio->setEnabled(false);
  m_pExport->Start();
}

void frmMain::FinishSaving() {
  const ExportResult result = m_pExport->Result();
  const QString sPath = m_pExport->objectName();
  const QString sName = QFileInfo(sPath).fileName();
  m_pExport.reset();
  delete prgSaving;
  prgSaving = nullptr;
  mnuFile_SaveAudio->setEnabled(true);
  switch (result.status) {
    case ExportStatus::kSaved:
      statusBar()->showMessage(QStringLiteral("保存しました: %1").arg(QFileInfo(sPath).absoluteFilePath()));
      break;
    case ExportStatus::kCancelled:
      statusBar()->showMessage(QStringLiteral("保存を取り消しました。ファイルは作られていません"));
      break;
    case ExportStatus::kNoSound:
      ReportProblem(QStringLiteral("声源ファイルにこの文章の音がないため、保存しませんでした: %1").arg(sName));
      break;
    case ExportStatus::kBadFileType:
      ReportProblem(QStringLiteral("この種類のファイルには保存できません (.wav .flac .ogg): %1").arg(sName));
      break;
    case ExportStatus::kWriteFailed:
      ReportProblem(QStringLiteral("音声ファイルを保存できません: %1 (%2)")
                        .arg(sName, QString::fromLocal8Bit(result.sDetail.c_str())));
      break;
  }
  emit SavingFinished(result.status == ExportStatus::kSaved);
}

}  // namespace ekoto
