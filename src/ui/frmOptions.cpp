// frmOptions: the controls, filling them from the record, writing them back on OK,
// and the browse, voice list and font buttons.
#include "ui/frmOptions.h"

#include <QCheckBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>
#include <cmath>
#include <initializer_list>
#include <utility>

#include "ui/CFileDialogs.h"
#include "ui/ReadTextBox.h"
#include "ui/frmMain.h"
#include "ui/frmPA.h"
#include "ui/modShowChooseFont.h"

namespace ekoto {

frmOptions::frmOptions(frmMain& owner, QWidget* parent) : QDialog(parent), m_owner(owner) {
  setWindowTitle(QStringLiteral("オプション"));
  CreateControls();
  OptionsFormRead();
}

void frmOptions::CreateControls() {
  Frame1 = new QGroupBox(QStringLiteral("設定"), this);
  chkClipboard = new QCheckBox(QStringLiteral("クリップボードの監視(&C)"), Frame1);
  chkANNarrow = new QCheckBox(QStringLiteral("アルファベット、数字、記号は半角読み(&N)"), Frame1);
  chkAUpperCase = new QCheckBox(QStringLiteral("アルファベットは大文字読み(&U)"), Frame1);
  chkNumeric = new QCheckBox(QStringLiteral("数字を桁読み(&E)"), Frame1);
  chkIntonation = new QCheckBox(QStringLiteral("抑揚(&I)"), Frame1);
  Command3 = new QPushButton(QStringLiteral("フォント(&F)"), Frame1);
  lblFont = new QLabel(QStringLiteral("#"), Frame1);
  lblFont->hide();

  Label2[1] = new QLabel(QStringLiteral("テンプレート(&T):"), Frame1);
  txtConvTempletePath = new QLineEdit(Frame1);
  cmdOpenDlg[1] = new QPushButton(QStringLiteral("..."), Frame1);
  Label2[0] = new QLabel(QStringLiteral("声源(&V):"), Frame1);
  txtPAPath = new QLineEdit(Frame1);
  cmdOpenDlg[0] = new QPushButton(QStringLiteral("..."), Frame1);
  cmdOpenDlg[2] = new QPushButton(QStringLiteral("!"), Frame1);
  cmdDictionary = new QPushButton(QStringLiteral("辞書(&D)..."), Frame1);
  cmdDictionary->setAutoDefault(false);
  cmdDictionary->setAccessibleDescription(QStringLiteral("このテンプレートの語を辞書の画面で編集します"));
  Label1 = new QLabel(QStringLiteral("※声源ファイルは ツール → 声源ファイルの作成 か、コマンドの ekoto-pa build で作れます。"), Frame1);
  Label2[1]->setBuddy(txtConvTempletePath);
  Label2[0]->setBuddy(txtPAPath);
  txtConvTempletePath->setMinimumWidth(fontMetrics().averageCharWidth() * 40);
  // The buttons show only marks: a screen reader says these names instead.
  cmdOpenDlg[1]->setAccessibleName(QStringLiteral("テンプレートを選ぶ"));
  cmdOpenDlg[0]->setAccessibleName(QStringLiteral("声源を選ぶ"));
  cmdOpenDlg[2]->setAccessibleName(QStringLiteral("声源の声の一覧"));
  for (QPushButton* button : cmdOpenDlg) {
    button->setToolTip(button->accessibleName());
    button->setAutoDefault(false);
    button->setFixedWidth(button->sizeHint().height() * 3 / 2);
  }
  Command3->setAutoDefault(false);
  // Named as the program knows them: the clipboard watcher finds its check box by name.
  for (auto [widget, name] : std::initializer_list<std::pair<QWidget*, const char*>>{
           {Frame1, "Frame1"}, {chkClipboard, "chkClipboard"}, {chkANNarrow, "chkANNarrow"},
           {chkAUpperCase, "chkAUpperCase"}, {chkNumeric, "chkNumeric"}, {chkIntonation, "chkIntonation"}, {Command3, "Command3"},
           {txtConvTempletePath, "txtConvTempletePath"}, {txtPAPath, "txtPAPath"}, {Label1, "Label1"},
           {lblFont, "lblFont"}}) {
    widget->setObjectName(QLatin1String(name));
  }

  auto* grid = new QGridLayout(Frame1);
  int nRow = 0;
  for (QCheckBox* check : {chkClipboard, chkANNarrow, chkAUpperCase, chkNumeric, chkIntonation}) grid->addWidget(check, nRow++, 0, 1, 4);
  grid->addWidget(Command3, nRow++, 0, Qt::AlignLeft);
  grid->setRowMinimumHeight(nRow++, fontMetrics().height() / 2);
  grid->addWidget(Label2[1], nRow++, 0, 1, 4);
  grid->addWidget(txtConvTempletePath, nRow, 0, 1, 2);
  grid->addWidget(cmdOpenDlg[1], nRow, 2);
  grid->addWidget(cmdDictionary, nRow++, 3);
  grid->addWidget(Label2[0], nRow++, 0, 1, 4);
  grid->addWidget(txtPAPath, nRow, 0, 1, 2);
  grid->addWidget(cmdOpenDlg[0], nRow, 2);
  grid->addWidget(cmdOpenDlg[2], nRow++, 3);
  grid->addWidget(Label1, nRow++, 0, 1, 4);
  grid->setColumnStretch(1, 1);

  Command1 = new QPushButton(QStringLiteral("OK"), this);
  Command2 = new QPushButton(QStringLiteral("キャンセル"), this);
  Command1->setDefault(true);
  auto* buttons = new QHBoxLayout;
  buttons->addStretch();
  buttons->addWidget(Command1);
  buttons->addWidget(Command2);
  auto* layout = new QVBoxLayout(this);
  layout->addWidget(Frame1);
  layout->addStretch();
  layout->addLayout(buttons);

  for (int nIndex = 0; nIndex < static_cast<int>(cmdOpenDlg.size()); ++nIndex) {
    connect(cmdOpenDlg[static_cast<size_t>(nIndex)], &QPushButton::clicked, this,
            [this, nIndex] { cmdOpenDlg_Click(nIndex); });
  }
  connect(Command1, &QPushButton::clicked, this, &frmOptions::Command1_Click);
  connect(Command2, &QPushButton::clicked, this, &frmOptions::Command2_Click);
  connect(Command3, &QPushButton::clicked, this, &frmOptions::Command3_Click);
  connect(cmdDictionary, &QPushButton::clicked, this,
          [this] { m_owner.OpenDictionary(txtConvTempletePath->text().toStdU16String(), this, true); });
}

void frmOptions::OptionsFormRead() {
  const COptions& options = m_owner.clsOptions;
  chkClipboard->setChecked(options.bClipboard);
  chkANNarrow->setChecked(options.bANNarrow);
  chkAUpperCase->setChecked(options.bAUpperCase);
  chkNumeric->setChecked(options.bNumeric);
  chkIntonation->setChecked(m_owner.Intonation());
  txtPAPath->setText(QString::fromStdU16String(options.sPAPath));
  txtConvTempletePath->setText(QString::fromStdU16String(options.sConvTempletePath));
  CopyReadingFont();
}

void frmOptions::OptionsFormWrite() {
  COptions& options = m_owner.clsOptions;
  options.bClipboard = chkClipboard->isChecked();
  options.bANNarrow = chkANNarrow->isChecked();
  options.bAUpperCase = chkAUpperCase->isChecked();
  options.bNumeric = chkNumeric->isChecked();
  m_owner.SetIntonation(chkIntonation->isChecked());
  options.sPAPath = txtPAPath->text().toStdU16String();
  options.sConvTempletePath = txtConvTempletePath->text().toStdU16String();
  const QFont font = lblFont->font();
  options.sFontName = font.family().toStdU16String();
  // Halves to the even neighbour: 10.5 pt is stored as 10.
  options.nFontSize = FontSizeInRange(static_cast<int32_t>(std::nearbyint(font.pointSizeF())));
  options.bFontBold = font.bold();
  options.bFontItalic = font.italic();
  options.bFontStrikethrough = font.strikeOut();
  options.bFontUnderline = font.underline();
  m_owner.ApplyOptions(options);
}

void frmOptions::cmdOpenDlg_Click(int nIndex) {
  QString sPath;
  switch (nIndex) {
    case 0:
      if (CFileDialogs().ShowOpenFileDialog(this, sPath, QStringLiteral("声源ファイル(*.pa)|*.pa"), QString(), QString(), 0)) {
        txtPAPath->setText(sPath);
      }
      break;
    case 1:
      if (CFileDialogs().ShowOpenFileDialog(this, sPath, QStringLiteral("テンプレートファイル(*.txt)|*.txt"), QString(),
                                            QString(), 0)) {
        txtConvTempletePath->setText(sPath);
      }
      break;
    case 2: ShowVoiceList(m_owner, txtPAPath->text().toStdU16String(), this); break;
    default: break;
  }
}

void frmOptions::Command1_Click() {
  OptionsFormWrite();
  accept();
}

void frmOptions::Command2_Click() { reject(); }

void frmOptions::done(int nResult) {
  // Closed from outside (the main window closing): the voice list or a file or
  // font dialog open over this one closes first.
  for (QDialog* dialog : findChildren<QDialog*>()) {
    if (dialog->isVisible()) dialog->reject();
  }
  QDialog::done(nResult);
}

void frmOptions::Command3_Click() {
  CopyReadingFont();
  QFont font = lblFont->font();
  // A cancelled chooser leaves the copy just made.
  ShowChooseFont(font, this);
  lblFont->setFont(font);
}

void frmOptions::CopyReadingFont() {
  const QFont reading = m_owner.txtReadText->font();
  QFont font = lblFont->font();
  font.setFamilies(reading.families());
  font.setPointSizeF(reading.pointSizeF());
  font.setBold(reading.bold());
  font.setItalic(reading.italic());
  font.setStrikeOut(reading.strikeOut());
  font.setUnderline(reading.underline());
  lblFont->setFont(font);
}

}  // namespace ekoto
