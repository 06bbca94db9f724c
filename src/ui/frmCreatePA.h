// frmCreatePA: makes a voice source file from a folder of recordings (one file
// per unit, named by the unit), then lists the units ordinary text needs that
// the new voice lacks. The work is BuildVoiceFromFolder's; this is its form.
#pragma once
#include <QDialog>

class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QListWidget;
class QProgressBar;
class QPushButton;

namespace ekoto {

class frmCreatePA : public QDialog {
  Q_OBJECT

 public:
  explicit frmCreatePA(QWidget* parent = nullptr);

  // Builds the file the fields describe; returns once it is written or has failed.
  void cmdCreate_Click();
  bool IsBuilding() const { return m_bBuilding; }

  QLineEdit* txtFolder = nullptr;
  QPushButton* cmdFolder = nullptr;
  QComboBox* cboRate = nullptr;  // item data: the rate, 0 for the recordings' own
  QCheckBox* chkCipher = nullptr;
  QLineEdit* txtOutPath = nullptr;
  QPushButton* cmdOutPath = nullptr;
  QProgressBar* prgBuild = nullptr;
  QLabel* lblResult = nullptr;
  QLabel* lblMissing = nullptr;
  QListWidget* lstMissing = nullptr;
  QPushButton* cmdCreate = nullptr;
  QPushButton* cmdClose = nullptr;

 public slots:
  // While building: cancels, and the dialog closes once the build has unwound.
  void reject() override;

 private:
  void cmdFolder_Click();
  void cmdOutPath_Click();
  void SetInputsEnabled(bool bEnabled);
  void ShowError(const QString& sMessage);

  bool m_bBuilding = false;
  bool m_bCancel = false;
  bool m_bCloseWhenDone = false;
};

}  // namespace ekoto
