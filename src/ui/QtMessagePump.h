// The window's message queue on Qt's event loop: a posted message becomes a
// MessageEvent that is dispatched to the window (through its hook), on the GUI
// thread, whichever thread posted it.
#pragma once
#include <QEvent>
#include <QObject>
#include <QPointer>
#include <cstdint>

#include "util/MessagePump.h"

namespace ekoto {

// One posted message. The hook may change the three values on its way.
class MessageEvent : public QEvent {
 public:
  MessageEvent(int32_t nMsg, int32_t nWParam, int32_t nLParam)
      : QEvent(EventType()), uMsg(nMsg), wParam(nWParam), lParam(nLParam) {}
  static QEvent::Type EventType();

  int32_t uMsg;
  int32_t wParam;
  int32_t lParam;
};

// The message that does nothing; posted to wake a waiting player.
inline constexpr int32_t kWmNull = 0;

class QtMessagePump : public QObject, public IMessagePump {
  Q_OBJECT

 public:
  // Messages are dispatched to target; it must live on this object's thread.
  explicit QtMessagePump(QObject* target, QObject* parent = nullptr);

  // Thread-safe.
  void PostMessage(int32_t uMsg, int32_t wParam, int32_t lParam) override;
  // Runs the GUI thread's event loop, blocked in it while nothing happens, until
  // at least one message posted here has been dispatched. Everything else that
  // arrives meanwhile (input, timers, paints) is handled as usual.
  void WaitAndDispatch() override;

 protected:
  bool event(QEvent* e) override;

 private:
  QPointer<QObject> m_target;
  // GUI thread only: how many messages have been dispatched so far.
  uint64_t m_nDispatched = 0;
};

}  // namespace ekoto
