// frmAbout: the about box's layout, its texts and the two links.
#include "ui/frmAbout.h"

#include <QApplication>
#include <QFile>
#include <QIcon>
#include <QLabel>
#include <QPushButton>
#include <QStringList>
#include <algorithm>

#include "controls/Button.h"
#include "ui/Twips.h"
#include "ui/modShellEx.h"

// Resources of a static library are registered by hand.
static void InitIconResource() { Q_INIT_RESOURCE(ekoto_icons); }

namespace ekoto {
namespace {

// The program's icon, built in from data/icons; the application's when the
// resource is missing.
QPixmap ProgramIcon(int nSize) {
  InitIconResource();
  const QString sResource = QStringLiteral(":/icons/%1/ekoto.png").arg(nSize);
  if (QFile::exists(sResource)) return QIcon(sResource).pixmap(nSize, nSize);
  return QApplication::windowIcon().pixmap(nSize, nSize);
}

}  // namespace

QString AboutVersionText(const QString& sVersion) {
  const QStringList parts = sVersion.split(u'.');
  const int nMajor = parts.value(0).toInt();
  const int nMinor = parts.value(1).toInt();
  return QStringLiteral("version %1.%2").arg(nMajor).arg(nMinor, 2, 10, QLatin1Char('0'));
}

QString VoiceCreditText() {
  return QStringLiteral(
      "声: HTS voice tohoku-f01, Copyright (c) 2015 Intelligent Communication Network (Ito-Nose) Laboratory, "
      "Tohoku University, licensed under CC BY 4.0 "
      "(<a href=\"https://creativecommons.org/licenses/by/4.0/\">https://creativecommons.org/licenses/by/4.0/</a>). "
      "Changes: syllables synthesised with Open JTalk, cut into units and levelled.");
}

QString MakerHomePage() { return QStringLiteral(EKOTO_HOMEPAGE); }
QString MakerMailAddress() { return QStringLiteral(EKOTO_MAIL); }

frmAbout::frmAbout(QWidget* parent) : QDialog(parent) {
  setWindowTitle(QStringLiteral("バージョン情報"));
  setFixedSize(TwipsX(5250), TwipsY(2745));

  struct Place {
    int nLeft, nTop, nWidth, nHeight;
  };
  auto place = [this](QWidget* w, Place p) {
    w->setGeometry(TwipsX(p.nLeft), TwipsY(p.nTop), TwipsX(p.nWidth), TwipsY(p.nHeight));
  };

  Image1 = new QLabel(this);
  place(Image1, {240, 360, 480, 480});
  Image1->setPixmap(ProgramIcon(32));

  Label1 = new QLabel(QStringLiteral("Ekoto"), this);
  place(Label1, {960, 480, 3735, 495});
  QFont nameFont(QStringLiteral("ＭＳ Ｐゴシック"));
  nameFont.setPointSize(18);
  Label1->setFont(nameFont);

  Label2 = new QLabel(this);
  place(Label2, {2760, 720, 1335, 255});

  Label5 = new QLabel(QStringLiteral("メール"), this);
  place(Label5, {120, 1320, 1335, 255});
  Button2 = new Button(this);
  place(Button2, {1560, 1320, 2055, 255});

  Label4 = new QLabel(QStringLiteral("ホームページ"), this);
  place(Label4, {120, 1680, 1335, 255});
  Button1 = new Button(this);
  place(Button1, {1560, 1680, 2655, 255});

  Label3 = new QLabel(QStringLiteral("作者: Ekoto プロジェクト\n日本語の文章を読み上げます。"), this);
  place(Label3, {360, 2280, 2895, 375});
  // Two lines of today's faces are taller than the 375 twips they were designed
  // in: the notice, and the box below it, grow to hold them.
  Label3->resize(Label3->width(), std::max(Label3->height(), Label3->sizeHint().height()));
  setFixedSize(width(), std::max(height(), Label3->geometry().bottom() + 1 + TwipsY(120)));

  Command1 = new QPushButton(QStringLiteral("OK"), this);
  place(Command1, {3720, 2280, 1335, 315});
  Command1->setDefault(true);

  // The bundled voice is made from a CC BY voice, whose licence asks for this credit.
  lblVoice = new QLabel(VoiceCreditText(), this);
  lblVoice->setWordWrap(true);
  lblVoice->setOpenExternalLinks(true);
  const int nVoiceTop = std::max(Label3->geometry().bottom(), Command1->geometry().bottom()) + 1 + TwipsY(120);
  lblVoice->setGeometry(TwipsX(120), nVoiceTop, width() - 2 * TwipsX(120), 0);
  lblVoice->resize(lblVoice->width(), lblVoice->heightForWidth(lblVoice->width()));
  setFixedSize(width(), lblVoice->geometry().bottom() + 1 + TwipsY(120));

  connect(Button1, &Button::Click, this, &frmAbout::Button1_Click);
  connect(Button2, &Button::Click, this, &frmAbout::Button2_Click);
  connect(Command1, &QPushButton::clicked, this, &QDialog::accept);
  Form_Load();
}

void frmAbout::Form_Load() {
  Button1->SetCaption(MakerHomePage());
  Button2->SetCaption(MakerMailAddress());
  for (Button* link : {Button1, Button2}) {
    link->SetLinkStyle(true);
    link->SetFlatStyle(true);
    link->setCursor(Qt::PointingHandCursor);
  }
  Label2->setText(AboutVersionText(QStringLiteral(EKOTO_VERSION)));
}

// A link that cannot be opened is ignored: there is nothing the user could do.
void frmAbout::Button1_Click() { ShellExec(Button1->Caption(), false); }

void frmAbout::Button2_Click() { ShellExec(QStringLiteral("mailto:") + Button2->Caption(), false); }

int frmAbout::TwipsX(int nTwips) const { return TwipsToPixels(nTwips, logicalDpiX()); }
int frmAbout::TwipsY(int nTwips) const { return TwipsToPixels(nTwips, logicalDpiY()); }

}  // namespace ekoto
