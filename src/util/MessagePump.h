// The owner's message dispatch: outputs post their notifications here from any
// thread, and a waiting player lets the owner dispatch them on its own thread.
// The GUI implements IMessagePump with its event loop; MessageQueue serves the
// command-line tools and the tests.
#pragma once
#include <atomic>
#include <cstdint>
#include <deque>
#include <functional>
#include <mutex>
#include <thread>

namespace ekoto {

class IMessagePump {
 public:
  virtual ~IMessagePump() = default;
  // Queues one message for dispatch on the owner's thread. Thread-safe: may be
  // called from any thread.
  virtual void PostMessage(int32_t uMsg, int32_t wParam, int32_t lParam) = 0;
  // Blocks until at least one message is waiting, dispatches every waiting
  // message in the order posted, then returns. Dispatched handlers may call it
  // again (nested waits).
  virtual void WaitAndDispatch() = 0;
};

// Queue of posted messages with a blocking wait on an eventfd. The eventfd,
// rather than a condition variable, is what lets PostFromSignal wake the wait
// from inside a signal handler.
class MessageQueue : public IMessagePump {
 public:
  using Dispatcher = std::function<void(int32_t uMsg, int32_t wParam, int32_t lParam)>;

  MessageQueue();
  ~MessageQueue() override;
  MessageQueue(const MessageQueue&) = delete;
  MessageQueue& operator=(const MessageQueue&) = delete;

  // Set by the owner before the first dispatch; receives every message.
  void SetDispatcher(Dispatcher fn) { m_fnDispatch = std::move(fn); }

  void PostMessage(int32_t uMsg, int32_t wParam, int32_t lParam) override;
  void WaitAndDispatch() override;

  // Dispatches whatever is waiting without blocking. Returns the number dispatched.
  int DispatchPending();

  // Async-signal-safe post of uMsg (non-zero) with wParam = lParam = 0, for a
  // signal handler. Signals that arrive before the message is dispatched
  // collapse into one; the latest uMsg wins.
  void PostFromSignal(int32_t uMsg);

 private:
  struct Message {
    int32_t uMsg;
    int32_t wParam;
    int32_t lParam;
  };
  bool TakeOne(Message& retMsg);
  void Wake();

  int m_fdWake = -1;
  std::mutex m_mutex;
  std::deque<Message> m_queue;
  std::atomic<int32_t> m_nSignalMsg{0};
  Dispatcher m_fnDispatch;
  std::thread::id m_owner = std::this_thread::get_id();  // the thread that dispatches
  static_assert(std::atomic<int32_t>::is_always_lock_free, "PostFromSignal needs a lock-free slot");
};

}  // namespace ekoto
