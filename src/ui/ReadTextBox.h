// The reading text box: plain multi-line text that takes file drops. A dropped
// file list is handed on as a signal instead of being inserted as text.
#pragma once
#include <QPlainTextEdit>
#include <QStringList>

namespace ekoto {

class ReadTextBox : public QPlainTextEdit {
  Q_OBJECT

 public:
  explicit ReadTextBox(QWidget* parent = nullptr);

 signals:
  // The local paths of a drop, in the order the source gave them; never empty.
  void FilesDropped(const QStringList& paths);

 protected:
  void dragEnterEvent(QDragEnterEvent* e) override;
  void dragMoveEvent(QDragMoveEvent* e) override;
  void dropEvent(QDropEvent* e) override;
};

}  // namespace ekoto
