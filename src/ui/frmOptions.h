// frmOptions: the options dialog. It edits the reading flags, the voice and
// template paths and the reading text font, and writes them into the main
// window's options record only on OK; cancel and the close box change nothing.
#pragma once
#include <QDialog>
#include <array>

class QCheckBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;

namespace ekoto {

class frmMain;

class frmOptions : public QDialog {
  Q_OBJECT

 public:
  // Loads the dialog, hidden: its controls are filled from owner's options
  // record and reading text font (OptionsFormRead).
  explicit frmOptions(frmMain& owner, QWidget* parent = nullptr);

  // The controls from the record; the working font from the reading text font.
  void OptionsFormRead();
  // The controls and the working font into the record, as they stand (paths
  // untrimmed, the size rounded half to even), then applied to the main window.
  void OptionsFormWrite();

  // 0 browse for a voice file, 1 browse for a template, 2 the voice list of the typed voice path.
  void cmdOpenDlg_Click(int nIndex);
  // OK: write, apply and close.
  void Command1_Click();
  // Cancel: close without writing.
  void Command2_Click();
  // The font chooser, starting each time from the reading text font in use.
  void Command3_Click();

  QGroupBox* Frame1 = nullptr;
  QCheckBox* chkClipboard = nullptr;
  QCheckBox* chkANNarrow = nullptr;
  QCheckBox* chkAUpperCase = nullptr;
  QCheckBox* chkNumeric = nullptr;
  QCheckBox* chkIntonation = nullptr;  // 抑揚: kept in ekoto.ini, not in the options record
  QPushButton* Command3 = nullptr;
  QPushButton* cmdDictionary = nullptr;  // the dictionary window over the template in the field
  std::array<QLabel*, 2> Label2{};  // 0 voice, 1 template
  QLineEdit* txtConvTempletePath = nullptr;
  QLineEdit* txtPAPath = nullptr;
  std::array<QPushButton*, 3> cmdOpenDlg{};
  QLabel* Label1 = nullptr;
  QLabel* lblFont = nullptr;  // hidden; its font is the working font
  QPushButton* Command1 = nullptr;
  QPushButton* Command2 = nullptr;

 protected:
  void done(int nResult) override;

 private:
  void CreateControls();
  // Face, size, bold, italic, strikethrough and underline of the reading text font onto the working font.
  void CopyReadingFont();

  frmMain& m_owner;
};

}  // namespace ekoto
