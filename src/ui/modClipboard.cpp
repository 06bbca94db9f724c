// modClipboard: change notices in, the format test, plain text out to the window.
#include "ui/modClipboard.h"

#include <QClipboard>
#include <QStringList>

namespace ekoto {
namespace {

bool HasFormat(const QStringList& formats, QLatin1StringView type) {
  // X11 names the text target with its charset ("text/plain;charset=utf-8").
  for (const QString& format : formats) {
    if (format == type || (format.startsWith(type) && format.mid(type.size()).startsWith(u';'))) return true;
  }
  return false;
}

}  // namespace

bool IsPlainTextOnly(const QMimeData& data) {
  const QStringList formats = data.formats();
  enum : int { kText = 1, kPicture = 2, kRichText = 8 };
  int f = 0;
  if (HasFormat(formats, QLatin1StringView("text/plain"))) f |= kText;
  if (data.hasImage()) f |= kPicture;
  for (const QString& format : formats) {
    if (format.startsWith(QLatin1StringView("image/"))) f |= kPicture;
  }
  if (HasFormat(formats, QLatin1StringView("text/rtf")) || HasFormat(formats, QLatin1StringView("application/rtf"))) {
    f |= kRichText;
  }
  return f == kText;
}

modClipboard::modClipboard(IClipboardWindow& window, QObject* parent) : QObject(parent), m_window(window) {}

void modClipboard::StartClipboardWatch(IMessagePump& pump, QClipboard* clipboard) {
  EndClipboardWatch();
  if (clipboard == nullptr) return;
  m_clipboard = clipboard;
  // Posted, not handled here: the notice takes the window's own road, through
  // its hook, and runs from the event loop rather than inside the clipboard's signal.
  m_changed = connect(clipboard, &QClipboard::changed, this, [&pump](QClipboard::Mode mode) {
    if (mode == QClipboard::Clipboard) pump.PostMessage(kWmDrawClipboard, 0, 0);
  });
}

void modClipboard::EndClipboardWatch() {
  if (!m_changed) return;
  disconnect(m_changed);
  m_changed = {};
  m_clipboard = nullptr;
}

void modClipboard::ClipboardNotify(int32_t uMsg) {
  if (m_bBusy) return;
  m_bBusy = true;
  if (uMsg == kWmDrawClipboard) ReadClipboardText();
  m_bBusy = false;
}

void modClipboard::ReadClipboardText() {
  // A notice still queued when watching ended finds no clipboard.
  if (m_clipboard == nullptr) return;
  const QMimeData* data = m_clipboard->mimeData(QClipboard::Clipboard);
  // Unreadable contents count as not plain text.
  if (data == nullptr || !IsPlainTextOnly(*data)) return;
  if (!m_window.ClipboardWatchOn()) return;
  m_window.Timer_SetToStart(data->text().toStdU16String());
}

}  // namespace ekoto
