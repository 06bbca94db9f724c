// frmPA: the voice list window. It lists the units of a voice source file in file
// order, duplicates included, and plays a double-clicked one through the main window.
#pragma once
#include <QDialog>
#include <functional>
#include <string>

class QLabel;
class QListWidget;
class QResizeEvent;

namespace ekoto {

class frmMain;

class frmPA : public QDialog {
  Q_OBJECT

 public:
  // The window as designed, empty; Form_Load fills it.
  explicit frmPA(frmMain& owner, QWidget* parent = nullptr);

  // Lists the voice source file at sPath and counts its entries in the caption.
  // A file without a list (missing, invalid, no entries) shows the message
  // "PAファイルが見つかりません" with the path and returns false: the window is
  // then not to be shown.
  bool Form_Load(const std::u16string& sPath);
  // Plays the selected line's unit through the main window, from the voice of
  // the stored options; returns when it has played.
  void List1_DblClick();

  // Shows a failed load's message (a critical message box by default); tests
  // intercept it. A null hook restores the message box.
  using MessageHook = std::function<void(QWidget* parent, const QString& sText)>;
  static void SetMessageHook(MessageHook hook);

  QLabel* Label1 = nullptr;
  QListWidget* List1 = nullptr;

 protected:
  void resizeEvent(QResizeEvent* event) override;
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  void Form_Resize();
  int TwipsX(int nTwips) const;
  int TwipsY(int nTwips) const;

  frmMain& m_owner;
};

// The voice list of sPath, shown modally over parent; returns when it is closed,
// or at once after the message when the file has no list.
void ShowVoiceList(frmMain& owner, const std::u16string& sPath, QWidget* parent);

}  // namespace ekoto
