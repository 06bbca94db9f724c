// The window message hook: every event of the hooked window is shown to a
// receiver before the window handles it. Posted messages (MessageEvent) reach
// the receiver with their own number and parameters; any other Qt event reaches
// it as kQtEventMessageBase + its event type, with both parameters 0.
#pragma once
#include <QObject>
#include <QPointer>
#include <cstdint>

namespace ekoto {

// Qt's own events are numbered from here on, above every posted message number.
inline constexpr int32_t kQtEventMessageBase = 0x10000;

class IWindowMessageReceiver {
 public:
  virtual ~IWindowMessageReceiver() = default;
  // ret is 0 on entry; leaving it 0 lets the message go on to the window,
  // any other value consumes it. The receiver may change the other four.
  virtual void EventNofity(int32_t& hWnd_, int32_t& uMsg, int32_t& wParam, int32_t& lParam, int32_t& ret) = 0;
};

class modSubClass : public QObject {
  Q_OBJECT

 public:
  explicit modSubClass(QObject* parent = nullptr) : QObject(parent) {}
  ~modSubClass() override { EndSubClass(); }

  // Hooks window (handle hWnd) for target; replaces an earlier hook.
  void StartSubClass(QObject* window, int32_t hWnd, IWindowMessageReceiver* target);
  // Unhooks; from now on no event reaches the receiver.
  void EndSubClass();
  bool IsHooked() const { return m_window != nullptr; }

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  // Returns the receiver's ret for the message.
  int32_t SubClassProc(int32_t& uMsg, int32_t& wParam, int32_t& lParam);

  QPointer<QObject> m_window;
  int32_t m_hWnd = 0;
  IWindowMessageReceiver* m_target = nullptr;
};

}  // namespace ekoto
