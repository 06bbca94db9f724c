// frmAbout: the about box — product name, version, the maker's home page and
// mail address as links, and a short notice. Laid out in twips like the main window.
#pragma once
#include <QDialog>
#include <QString>

class QLabel;
class QPushButton;

namespace ekoto {

class Button;

// "version " + major + "." + minor in at least two digits: "1.16.0" gives
// "version 1.16", "2.5" gives "version 2.05".
QString AboutVersionText(const QString& sVersion);

// The credit of the bundled voice, with its licence as a link.
QString VoiceCreditText();

// The addresses the build was configured with (EKOTO_HOMEPAGE, EKOTO_MAIL).
QString MakerHomePage();
QString MakerMailAddress();

class frmAbout : public QDialog {
  Q_OBJECT

 public:
  explicit frmAbout(QWidget* parent = nullptr);

  QLabel* Image1 = nullptr;
  QLabel* Label1 = nullptr;
  QLabel* Label2 = nullptr;
  QLabel* Label3 = nullptr;
  QLabel* Label4 = nullptr;
  QLabel* Label5 = nullptr;
  QLabel* lblVoice = nullptr;  // the bundled voice's credit and licence
  Button* Button1 = nullptr;  // home page
  Button* Button2 = nullptr;  // mail
  QPushButton* Command1 = nullptr;

 private:
  void Form_Load();
  void Button1_Click();
  void Button2_Click();
  int TwipsX(int nTwips) const;
  int TwipsY(int nTwips) const;
};

}  // namespace ekoto
