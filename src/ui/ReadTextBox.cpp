#include "ui/ReadTextBox.h"

#include <QDragEnterEvent>
#include <QDragMoveEvent>
#include <QDropEvent>
#include <QMimeData>
#include <QUrl>

namespace ekoto {
namespace {

QStringList LocalFiles(const QMimeData* mime) {
  QStringList paths;
  if (mime == nullptr || !mime->hasUrls()) return paths;
  for (const QUrl& url : mime->urls()) {
    if (url.isLocalFile()) paths.append(url.toLocalFile());
  }
  return paths;
}

}  // namespace

ReadTextBox::ReadTextBox(QWidget* parent) : QPlainTextEdit(parent) { setAcceptDrops(true); }

void ReadTextBox::dragEnterEvent(QDragEnterEvent* e) {
  if (LocalFiles(e->mimeData()).isEmpty()) {
    QPlainTextEdit::dragEnterEvent(e);
    return;
  }
  e->acceptProposedAction();
}

void ReadTextBox::dragMoveEvent(QDragMoveEvent* e) {
  if (LocalFiles(e->mimeData()).isEmpty()) {
    QPlainTextEdit::dragMoveEvent(e);
    return;
  }
  e->acceptProposedAction();
}

void ReadTextBox::dropEvent(QDropEvent* e) {
  const QStringList paths = LocalFiles(e->mimeData());
  if (paths.isEmpty()) {
    QPlainTextEdit::dropEvent(e);
    return;
  }
  e->acceptProposedAction();
  emit FilesDropped(paths);
}

}  // namespace ekoto
