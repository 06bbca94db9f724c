// MessageQueue: posted messages in a deque, woken through an eventfd.
#include "util/MessagePump.h"

#include <poll.h>
#include <sys/eventfd.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <thread>

namespace ekoto {

MessageQueue::MessageQueue() {
  m_fdWake = eventfd(0, EFD_NONBLOCK | EFD_CLOEXEC);
  if (m_fdWake < 0) {
    // Without it no wait could ever end; nothing sensible can go on.
    std::perror("ekoto: eventfd");
    std::abort();
  }
}

MessageQueue::~MessageQueue() { close(m_fdWake); }

void MessageQueue::Wake() {
  const uint64_t one = 1;
  // A full counter (never reached in practice) still leaves the fd readable.
  [[maybe_unused]] ssize_t n = write(m_fdWake, &one, sizeof one);
}

void MessageQueue::PostMessage(int32_t uMsg, int32_t wParam, int32_t lParam) {
  {
    std::lock_guard<std::mutex> lock(m_mutex);
    m_queue.push_back({uMsg, wParam, lParam});
  }
  // The owner's own thread is not waiting while it posts, and looks at the queue
  // before it waits: only other threads need to wake it.
  if (std::this_thread::get_id() != m_owner) Wake();
}

void MessageQueue::PostFromSignal(int32_t uMsg) {
  const int savedErrno = errno;
  m_nSignalMsg.store(uMsg);
  Wake();
  errno = savedErrno;
}

bool MessageQueue::TakeOne(Message& retMsg) {
  // A signal's message goes first: it is usually "stop".
  const int32_t nSignal = m_nSignalMsg.exchange(0);
  if (nSignal != 0) {
    retMsg = {nSignal, 0, 0};
    return true;
  }
  std::lock_guard<std::mutex> lock(m_mutex);
  if (m_queue.empty()) return false;
  retMsg = m_queue.front();
  m_queue.pop_front();
  return true;
}

int MessageQueue::DispatchPending() {
  // One message at a time and no lock held while dispatching, so that a handler
  // that waits again (nested) sees the remaining messages in posted order.
  int n = 0;
  Message msg{};
  while (TakeOne(msg)) {
    ++n;
    if (m_fnDispatch) m_fnDispatch(msg.uMsg, msg.wParam, msg.lParam);
  }
  return n;
}

void MessageQueue::WaitAndDispatch() {
  if (DispatchPending() > 0) return;
  for (;;) {
    // Reset the counter before looking, so a post that lands after the look
    // leaves the fd readable for the poll below.
    uint64_t count = 0;
    [[maybe_unused]] ssize_t n = read(m_fdWake, &count, sizeof count);
    if (DispatchPending() > 0) return;
    pollfd pfd{m_fdWake, POLLIN, 0};
    while (poll(&pfd, 1, -1) < 0 && errno == EINTR) {
      // A signal handler may have posted; look again.
      if (m_nSignalMsg.load() != 0) break;
    }
  }
}

}  // namespace ekoto
