// frmPA: loading the list, its layout in twips, and playing a unit double-clicked
// or chosen with Enter or Space.
#include "ui/frmPA.h"

#include <QCoreApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QListWidget>
#include <QMessageBox>
#include <QResizeEvent>
#include <utility>

#include "ui/JapaneseFonts.h"
#include "ui/Twips.h"
#include "ui/frmMain.h"
#include "voice/PaFile.h"

namespace ekoto {
namespace {

// The designed client area, in twips.
constexpr int kClientWidth = 5400;
constexpr int kClientHeight = 5400;
constexpr int kLabelHeight = 255;

frmPA::MessageHook& Hook() {
  static frmPA::MessageHook hook;
  return hook;
}

void ShowMessage(QWidget* parent, const QString& sText) {
  if (Hook()) {
    Hook()(parent, sText);
    return;
  }
  QMessageBox::critical(parent, QCoreApplication::applicationName(), sText);
}

}  // namespace

frmPA::frmPA(frmMain& owner, QWidget* parent) : QDialog(parent), m_owner(owner) {
  setWindowTitle(QStringLiteral("サポートされている声"));
  Label1 = new QLabel(QStringLiteral("ダブルクリックすると再生します"), this);
  Label1->setGeometry(TwipsX(120), TwipsY(120), TwipsX(kClientWidth - 120), TwipsY(kLabelHeight));
  List1 = new QListWidget(this);
  QFont font;
  font.setFamilies({QStringLiteral("ＭＳ Ｐゴシック"), JapaneseFallbackFace()});
  font.setPointSizeF(11.25);
  List1->setFont(font);
  List1->setAccessibleName(QStringLiteral("声の一覧"));
  List1->setAccessibleDescription(QStringLiteral("Enter かスペース、またはダブルクリックで声を再生します"));
  List1->installEventFilter(this);
  connect(List1, &QListWidget::itemDoubleClicked, this, &frmPA::List1_DblClick);
  resize(TwipsX(kClientWidth), TwipsY(kClientHeight));
}

void frmPA::SetMessageHook(MessageHook hook) { Hook() = std::move(hook); }

bool frmPA::Form_Load(const std::u16string& sPath) {
  PAHEADER header;
  const std::optional<std::vector<std::u16string>> names = GetPASoundNames(sPath, header);
  if (!names) {
    ShowMessage(parentWidget(), QStringLiteral("PAファイルが見つかりません\n") + QString::fromStdU16String(sPath));
    return false;
  }
  setWindowTitle(windowTitle() + QStringLiteral(" - ") + QString::number(header.lEntryCount) + QStringLiteral("声"));
  List1->clear();
  for (const std::u16string& name : *names) List1->addItem(QString::fromStdU16String(name));
  return true;
}

void frmPA::List1_DblClick() {
  const QListWidgetItem* item = List1->currentItem();
  if (item == nullptr) return;
  m_owner.sdPlaySound(item->text().toStdU16String());
}

bool frmPA::eventFilter(QObject* watched, QEvent* event) {
  // Enter and Space play the unit as a double click does (Enter would otherwise
  // close the dialog as its default button).
  if (watched == List1 && event->type() == QEvent::KeyPress) {
    const int nKey = static_cast<QKeyEvent*>(event)->key();
    if (nKey == Qt::Key_Return || nKey == Qt::Key_Enter || nKey == Qt::Key_Space) {
      List1_DblClick();
      return true;
    }
  }
  return QDialog::eventFilter(watched, event);
}

void frmPA::resizeEvent(QResizeEvent* event) {
  QDialog::resizeEvent(event);
  Form_Resize();
}

void frmPA::Form_Resize() {
  const int nLabelHeight = Label1->height();
  Label1->setGeometry(TwipsX(120), TwipsY(120), width() - TwipsX(120), nLabelHeight);
  List1->setGeometry(0, Label1->y() + nLabelHeight + TwipsY(120), width(), height() - nLabelHeight - TwipsY(240));
}

int frmPA::TwipsX(int nTwips) const { return TwipsToPixels(nTwips, logicalDpiX()); }
int frmPA::TwipsY(int nTwips) const { return TwipsToPixels(nTwips, logicalDpiY()); }

void ShowVoiceList(frmMain& owner, const std::u16string& sPath, QWidget* parent) {
  frmPA form(owner, parent);
  if (form.Form_Load(sPath)) form.exec();
}

}  // namespace ekoto
