#include "ui/QtMessagePump.h"

#include <QCoreApplication>
#include <QEventLoop>

namespace ekoto {

QEvent::Type MessageEvent::EventType() {
  static const QEvent::Type type = static_cast<QEvent::Type>(QEvent::registerEventType());
  return type;
}

QtMessagePump::QtMessagePump(QObject* target, QObject* parent) : QObject(parent), m_target(target) {}

void QtMessagePump::PostMessage(int32_t uMsg, int32_t wParam, int32_t lParam) {
  // Posted to the pump rather than to the window, so that a wait learns of the
  // dispatch even when the hook consumes the message.
  QCoreApplication::postEvent(this, new MessageEvent(uMsg, wParam, lParam));
}

void QtMessagePump::WaitAndDispatch() {
  const uint64_t nStart = m_nDispatched;
  // processEvents, not a QEventLoop: an application that has been told to quit
  // makes QEventLoop::exec return at once, and this wait would turn into a spin.
  while (m_nDispatched == nStart) QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
}

bool QtMessagePump::event(QEvent* e) {
  if (e->type() != MessageEvent::EventType()) return QObject::event(e);
  if (m_target) QCoreApplication::sendEvent(m_target, e);
  ++m_nDispatched;
  return true;
}

}  // namespace ekoto
