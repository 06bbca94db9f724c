#include "ui/modSubClass.h"

#include "ui/QtMessagePump.h"

namespace ekoto {

void modSubClass::StartSubClass(QObject* window, int32_t hWnd, IWindowMessageReceiver* target) {
  EndSubClass();
  m_window = window;
  m_hWnd = hWnd;
  m_target = target;
  if (m_window) m_window->installEventFilter(this);
}

void modSubClass::EndSubClass() {
  if (m_window) m_window->removeEventFilter(this);
  m_window = nullptr;
  m_hWnd = 0;
  m_target = nullptr;
}

bool modSubClass::eventFilter(QObject* watched, QEvent* event) {
  if (watched != m_window || m_target == nullptr) return false;
  if (event->type() == MessageEvent::EventType()) {
    auto* message = static_cast<MessageEvent*>(event);
    return SubClassProc(message->uMsg, message->wParam, message->lParam) != 0;
  }
  int32_t uMsg = kQtEventMessageBase + static_cast<int32_t>(event->type());
  int32_t wParam = 0;
  int32_t lParam = 0;
  return SubClassProc(uMsg, wParam, lParam) != 0;
}

int32_t modSubClass::SubClassProc(int32_t& uMsg, int32_t& wParam, int32_t& lParam) {
  int32_t hWnd = m_hWnd;
  int32_t ret = 0;
  m_target->EventNofity(hWnd, uMsg, wParam, lParam, ret);
  return ret;
}

}  // namespace ekoto
