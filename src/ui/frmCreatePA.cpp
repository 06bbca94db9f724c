// frmCreatePA: the fields, the build with its progress bar, and the outcome.
#include "ui/frmCreatePA.h"

#include <QCheckBox>
#include <QComboBox>
#include <QCoreApplication>
#include <QFileDialog>
#include <QFileInfo>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMessageBox>
#include <QProgressBar>
#include <QPushButton>
#include <QVBoxLayout>

#include "voice/VoiceFolderBuild.h"

namespace ekoto {
namespace {

// A line edit with its "..." button beside it.
QWidget* WithBrowseButton(QLineEdit* edit, QPushButton* button) {
  auto* row = new QWidget;
  auto* layout = new QHBoxLayout(row);
  layout->setContentsMargins(0, 0, 0, 0);
  layout->addWidget(edit);
  layout->addWidget(button);
  return row;
}

}  // namespace

frmCreatePA::frmCreatePA(QWidget* parent) : QDialog(parent) {
  setWindowTitle(QStringLiteral("声源ファイルの作成"));

  txtFolder = new QLineEdit(this);
  cmdFolder = new QPushButton(QStringLiteral("..."), this);
  cboRate = new QComboBox(this);
  cboRate->addItem(QStringLiteral("録音のまま"), 0);
  for (int nRate : {8000, 11025, 16000, 22050, 44100, 48000}) cboRate->addItem(QStringLiteral("%1 Hz").arg(nRate), nRate);
  chkCipher = new QCheckBox(QStringLiteral("サンプルを暗号化する(&E)"), this);
  txtOutPath = new QLineEdit(this);
  cmdOutPath = new QPushButton(QStringLiteral("..."), this);
  for (QPushButton* browse : {cmdFolder, cmdOutPath}) browse->setFixedWidth(browse->fontMetrics().horizontalAdvance(QStringLiteral("...")) + 24);

  auto* form = new QFormLayout;
  form->addRow(QStringLiteral("録音のフォルダ(&F):"), WithBrowseButton(txtFolder, cmdFolder));
  form->addRow(QStringLiteral("サンプリング周波数(&R):"), cboRate);
  form->addRow(QString(), chkCipher);
  form->addRow(QStringLiteral("声源ファイル(&O):"), WithBrowseButton(txtOutPath, cmdOutPath));

  auto* hint = new QLabel(QStringLiteral("録音は単位ごとに一つのファイル (WAV, FLAC, OGG) で、ファイル名が単位名です (例: か.wav, きゃ.wav)。"), this);
  hint->setWordWrap(true);

  prgBuild = new QProgressBar(this);
  prgBuild->setRange(0, 1);
  prgBuild->setValue(0);
  lblResult = new QLabel(this);
  lblResult->setWordWrap(true);
  lblResult->setTextInteractionFlags(Qt::TextSelectableByMouse);
  lblMissing = new QLabel(this);
  lstMissing = new QListWidget(this);
  lstMissing->setFlow(QListView::LeftToRight);
  lstMissing->setWrapping(true);

  cmdCreate = new QPushButton(QStringLiteral("作成(&C)"), this);
  cmdCreate->setDefault(true);
  cmdClose = new QPushButton(QStringLiteral("閉じる"), this);
  auto* buttons = new QHBoxLayout;
  buttons->addStretch();
  buttons->addWidget(cmdCreate);
  buttons->addWidget(cmdClose);

  auto* layout = new QVBoxLayout(this);
  layout->addWidget(hint);
  layout->addLayout(form);
  layout->addWidget(prgBuild);
  layout->addWidget(lblResult);
  layout->addWidget(lblMissing);
  layout->addWidget(lstMissing, 1);
  layout->addLayout(buttons);
  resize(520, 420);

  connect(cmdFolder, &QPushButton::clicked, this, &frmCreatePA::cmdFolder_Click);
  connect(cmdOutPath, &QPushButton::clicked, this, &frmCreatePA::cmdOutPath_Click);
  connect(cmdCreate, &QPushButton::clicked, this, &frmCreatePA::cmdCreate_Click);
  connect(cmdClose, &QPushButton::clicked, this, &frmCreatePA::reject);
}

void frmCreatePA::cmdFolder_Click() {
  const QString sFolder = QFileDialog::getExistingDirectory(this, QString(), txtFolder->text());
  if (!sFolder.isEmpty()) txtFolder->setText(sFolder);
}

void frmCreatePA::cmdOutPath_Click() {
  const QString sPath = QFileDialog::getSaveFileName(this, QString(), txtOutPath->text(),
                                                     QStringLiteral("声源ファイル(*.pa)"));
  if (!sPath.isEmpty()) txtOutPath->setText(sPath);
}

void frmCreatePA::cmdCreate_Click() {
  if (m_bBuilding) return;
  lblResult->clear();
  lblMissing->clear();
  lstMissing->clear();
  const QString sFolder = txtFolder->text();
  const QString sOutPath = txtOutPath->text();
  if (sFolder.isEmpty() || sOutPath.isEmpty()) {
    ShowError(QStringLiteral("録音のフォルダと声源ファイルを指定してください。"));
    return;
  }
  // The file dialog asks before replacing a file; a typed path asks here.
  if (QFileInfo::exists(sOutPath) &&
      QMessageBox::question(this, windowTitle(), QStringLiteral("%1 は既にあります。置き換えますか?").arg(sOutPath)) !=
          QMessageBox::Yes) {
    return;
  }

  VoiceBuildSettings settings;
  settings.sFolder = sFolder.toStdU16String();
  settings.sOutPath = sOutPath.toStdU16String();
  settings.lSampleRate = cboRate->currentData().toInt();
  settings.bCipher = chkCipher->isChecked();

  m_bBuilding = true;
  m_bCancel = false;
  SetInputsEnabled(false);
  const VoiceBuildResult result = BuildVoiceFromFolder(settings, [this](size_t nDone, size_t nTotal) {
    prgBuild->setRange(0, static_cast<int>(nTotal));
    prgBuild->setValue(static_cast<int>(nDone));
    // The bar paints and a cancel gets through between two recordings.
    QCoreApplication::processEvents();
    return !m_bCancel;
  });
  m_bBuilding = false;
  SetInputsEnabled(true);

  if (!result.status.bOk && m_bCancel) {
    ShowError(QStringLiteral("中止しました。声源ファイルは作成していません。"));
  } else if (!result.status.bOk) {
    ShowError(QStringLiteral("声源ファイルを作成できませんでした。\n") + QString::fromStdU16String(result.status.sMessage));
  } else {
    lblResult->setStyleSheet(QString());
    lblResult->setText(QStringLiteral("%1 を作成しました (%2 単位, %3 Hz, 8 ビット モノラル%4)。")
                           .arg(sOutPath)
                           .arg(result.nUnits)
                           .arg(result.lSampleRate)
                           .arg(settings.bCipher ? QStringLiteral(", 暗号化") : QString()));
    if (result.missingUnits.empty()) {
      lblMissing->setText(QStringLiteral("ふつうの文章に必要な単位はすべてそろっています。"));
    } else {
      lblMissing->setText(QStringLiteral("ふつうの文章に必要で、この声源にない単位 (%1):").arg(result.missingUnits.size()));
      for (const std::u16string& unit : result.missingUnits) lstMissing->addItem(QString::fromStdU16String(unit));
    }
  }
  if (std::exchange(m_bCloseWhenDone, false)) QDialog::reject();
}

void frmCreatePA::reject() {
  if (m_bBuilding) {
    m_bCancel = true;
    m_bCloseWhenDone = true;
    return;
  }
  QDialog::reject();
}

void frmCreatePA::SetInputsEnabled(bool bEnabled) {
  for (QWidget* w : std::initializer_list<QWidget*>{txtFolder, cmdFolder, cboRate, chkCipher, txtOutPath, cmdOutPath,
                                                     cmdCreate}) {
    w->setEnabled(bEnabled);
  }
}

void frmCreatePA::ShowError(const QString& sMessage) {
  lblResult->setStyleSheet(QStringLiteral("color: #b00000;"));
  lblResult->setText(sMessage);
}

}  // namespace ekoto
