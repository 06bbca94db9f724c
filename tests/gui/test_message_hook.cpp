// The Qt message pump and the window hook: messages posted from any thread end a
// wait once dispatched, reach the receiver with their values, may be consumed,
// and stop reaching it when unhooked. Also SIGTERM arriving as a Qt signal.
#include <QWidget>
#include <csignal>
#include <thread>

#include "MainWindowTestKit.h"
#include "ui/QtMessagePump.h"
#include "ui/ShutdownSignals.h"
#include "ui/modSubClass.h"

namespace ekoto::testing {
namespace {

struct Message {
  int32_t hWnd, uMsg, wParam, lParam;
  bool operator==(const Message&) const = default;
};

class RecordingReceiver : public IWindowMessageReceiver {
 public:
  void EventNofity(int32_t& hWnd_, int32_t& uMsg, int32_t& wParam, int32_t& lParam, int32_t& ret) override {
    if (uMsg < kQtEventMessageBase) messages.push_back({hWnd_, uMsg, wParam, lParam});
    else ++nQtEvents;
    if (uMsg == nConsume) ret = 1;
    if (uMsg == nRewrite) wParam = 99;
  }
  std::vector<Message> messages;
  int nQtEvents = 0;
  int32_t nConsume = -1;
  int32_t nRewrite = -1;
};

// Sees what reaches the window itself, after the hook.
class Window : public QWidget {
 public:
  bool event(QEvent* e) override {
    if (e->type() == MessageEvent::EventType()) {
      const auto* m = static_cast<MessageEvent*>(e);
      reached.push_back({0, m->uMsg, m->wParam, m->lParam});
    }
    return QWidget::event(e);
  }
  std::vector<Message> reached;
};

// A window hooked to a recording receiver, with a pump posting to it.
class MessageHook : public ::testing::Test {
 protected:
  void SetUp() override { hook.StartSubClass(&window, 42, &receiver); }
  Window window;
  RecordingReceiver receiver;
  modSubClass hook;
  QtMessagePump pump{&window};
};

TEST_F(MessageHook, PostedFromAnotherThreadEndsTheWaitAndReachesReceiverThenWindow) {
  std::thread poster([&] {
    std::this_thread::sleep_for(std::chrono::milliseconds(30));
    pump.PostMessage(kWomDone, 5, 7);
  });
  pump.WaitAndDispatch();
  poster.join();
  EXPECT_EQ(receiver.messages, (std::vector<Message>{{42, kWomDone, 5, 7}}));
  EXPECT_EQ(window.reached, (std::vector<Message>{{0, kWomDone, 5, 7}}));
}

TEST_F(MessageHook, ReceiverMayConsumeOrChangeAMessage) {
  receiver.nConsume = 1000;
  receiver.nRewrite = 1001;
  pump.PostMessage(1000, 1, 2);
  pump.WaitAndDispatch();  // a consumed message still ends the wait
  pump.PostMessage(1001, 1, 2);
  pump.WaitAndDispatch();
  EXPECT_EQ(receiver.messages.size(), 2u);
  EXPECT_EQ(window.reached, (std::vector<Message>{{0, 1001, 99, 2}}));
}

TEST_F(MessageHook, QtEventsReachTheReceiverAboveThePostedRange) {
  window.resize(50, 50);
  window.show();
  EXPECT_GT(receiver.nQtEvents, 0);
  EXPECT_TRUE(receiver.messages.empty());
}

TEST_F(MessageHook, AfterEndSubClassNothingReachesTheReceiver) {
  hook.EndSubClass();
  EXPECT_FALSE(hook.IsHooked());
  pump.PostMessage(kWomDone, 3, 0);
  pump.WaitAndDispatch();
  window.show();
  EXPECT_TRUE(receiver.messages.empty());
  EXPECT_EQ(receiver.nQtEvents, 0);
  EXPECT_EQ(window.reached, (std::vector<Message>{{0, kWomDone, 3, 0}}));
}

TEST_F(MessageHook, NestedWaitsBothEnd) {
  bool bInnerDone = false;
  // The first message's handler waits for a second one, as a nested play would.
  QObject::connect(&window, &QObject::objectNameChanged, [&] {
    pump.PostMessage(2, 0, 0);
    pump.WaitAndDispatch();
    bInnerDone = true;
  });
  pump.PostMessage(1, 0, 0);
  QTimer::singleShot(0, &window, [&] { window.setObjectName("nested"); });
  pump.WaitAndDispatch();
  EXPECT_TRUE(WaitUntil([&] { return bInnerDone; }));
  EXPECT_EQ(receiver.messages.size(), 2u);
}

// SIGTERM (and SIGINT) arrive as the Qt signal asking for a shutdown.
TEST(ShutdownSignals, SigtermArrivesAsRequested) {
  ShutdownSignals signals_;
  int nRequested = 0;
  QObject::connect(&signals_, &ShutdownSignals::Requested, [&] { ++nRequested; });
  std::raise(SIGTERM);
  std::raise(SIGINT);
  EXPECT_TRUE(WaitUntil([&] { return nRequested > 0; }));
}

}  // namespace
}  // namespace ekoto::testing
