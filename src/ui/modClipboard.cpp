// modClipboard: change notices in, the format test, plain text out to the window
// (the HTML flavour's text when it holds ruby).
#include "ui/modClipboard.h"

#include <QClipboard>
#include <QStringList>

#include "book/MarkupText.h"

namespace ekoto {
namespace {

bool HasFormat(const QStringList& formats, QLatin1StringView type) {
  // X11 names the text target with its charset ("text/plain;charset=utf-8").
  for (const QString& format : formats) {
    if (format == type || (format.startsWith(type) && format.mid(type.size()).startsWith(u';'))) return true;
  }
  return false;
}

// The text of a plain-text offer; "" for anything else. Unreadable contents
// count as not plain text.
QString PlainText(const QMimeData* data) {
  if (data == nullptr || !IsPlainTextOnly(*data)) return QString();
  // A page with ruby gives base and ruby run together as plain text; its HTML
  // keeps them apart, as the notation the reading chain reads.
  if (data->hasHtml()) {
    const QString sHtml = data->html();
    if (sHtml.contains(QLatin1StringView("<rt"), Qt::CaseInsensitive)) {
      const QByteArray utf8 = sHtml.toUtf8();
      return QString::fromStdU16String(BookOfHtml(std::string_view(utf8.constData(), utf8.size()), "UTF-8").sText);
    }
  }
  return data->text();
}

}  // namespace

bool IsPlainTextOnly(const QMimeData& data) {
  const QStringList formats = data.formats();
  enum : int { kText = 1, kPicture = 2, kRichText = 8, kFiles = 16 };
  int f = 0;
  if (HasFormat(formats, QLatin1StringView("text/plain"))) f |= kText;
  if (data.hasImage()) f |= kPicture;
  for (const QString& format : formats) {
    if (format.startsWith(QLatin1StringView("image/"))) f |= kPicture;
  }
  if (HasFormat(formats, QLatin1StringView("text/rtf")) || HasFormat(formats, QLatin1StringView("application/rtf"))) {
    f |= kRichText;
  }
  // Files copied in a file manager come with their paths as text; they are files, not text.
  if (HasFormat(formats, QLatin1StringView("text/uri-list")) ||
      HasFormat(formats, QLatin1StringView("x-special/gnome-copied-files"))) {
    f |= kFiles;
  }
  return f == kText;
}

modClipboard::modClipboard(IClipboardWindow& window, QObject* parent) : QObject(parent), m_window(window) {}

void modClipboard::StartClipboardWatch(IMessagePump& pump, QClipboard* clipboard) {
  EndClipboardWatch();
  if (clipboard == nullptr) return;
  m_clipboard = clipboard;
  // What the clipboard holds now has been seen: announcing it again is no copy.
  m_sLastSeen = PlainText(clipboard->mimeData(QClipboard::Clipboard));
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
  // A compositor announces the clipboard again when the window gains focus
  // (Wayland, and XWayland for X11 programs): only a change of what it holds is a copy.
  const QString sText = PlainText(m_clipboard->mimeData(QClipboard::Clipboard));
  if (sText == m_sLastSeen) return;
  m_sLastSeen = sText;
  if (sText.isEmpty() || !m_window.ClipboardWatchOn()) return;
  m_window.Timer_SetToStart(sText.toStdU16String());
}

}  // namespace ekoto
