// modClipboard: the clipboard watcher. A change of the clipboard becomes message
// 776 (WM_DRAWCLIPBOARD) posted to the watching window, so it reaches the window's
// dispatcher through the message hook like every other message; the dispatcher
// hands it to ClipboardNotify, which passes plain text on for a delayed reading.
#pragma once
#include <QMetaObject>
#include <QMimeData>
#include <QObject>
#include <cstdint>
#include <string>

#include "util/MessagePump.h"

class QClipboard;

namespace ekoto {

// The clipboard's change notice, as the window receives it.
inline constexpr int32_t kWmDrawClipboard = 776;

// What the watcher asks of the window that watches.
class IClipboardWindow {
 public:
  virtual ~IClipboardWindow() = default;
  // Whether copied text is to be read now (the clipboard-watching setting).
  virtual bool ClipboardWatchOn() = 0;
  // Reads strReadText from its start one second from now.
  virtual void Timer_SetToStart(const std::u16string& strReadText) = 0;
};

// Returns true iff data holds plain text and neither a picture, rich text (RTF)
// nor copied files — text that also comes as HTML counts, since browsers always add HTML.
bool IsPlainTextOnly(const QMimeData& data);

class modClipboard : public QObject {
  Q_OBJECT

 public:
  explicit modClipboard(IClipboardWindow& window, QObject* parent = nullptr);
  ~modClipboard() override { EndClipboardWatch(); }

  // Posts kWmDrawClipboard through pump at every change of clipboard (the
  // clipboard proper; the X11 primary selection is not watched). What the
  // clipboard holds now is not announced, and counts as seen.
  void StartClipboardWatch(IMessagePump& pump, QClipboard* clipboard);
  // Stops the notices; a second call does nothing.
  void EndClipboardWatch();
  bool IsWatching() const { return static_cast<bool>(m_changed); }

  // Every message of the window, from its dispatcher. A notice that arrives
  // while one is handled is dropped. A notice is a copy only when the plain
  // text on the clipboard differs from the last seen there (anything else
  // counts as no text): the same text copied again is not read again.
  void ClipboardNotify(int32_t uMsg);

 private:
  void ReadClipboardText();

  IClipboardWindow& m_window;
  QClipboard* m_clipboard = nullptr;
  QMetaObject::Connection m_changed;
  bool m_bBusy = false;
  QString m_sLastSeen;
};

}  // namespace ekoto
