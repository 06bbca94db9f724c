// SIGTERM and SIGINT as a Qt signal: the handler only writes a byte to a pipe
// (async-signal-safe); the GUI thread reads it and asks the window to close, so
// the settings are saved as on any other close.
#pragma once
#include <QObject>

class QSocketNotifier;

namespace ekoto {

class ShutdownSignals : public QObject {
  Q_OBJECT

 public:
  // Installs the handlers. One instance at a time.
  explicit ShutdownSignals(QObject* parent = nullptr);
  // Puts the default handlers back.
  ~ShutdownSignals() override;

 signals:
  // On the GUI thread, once per burst of signals.
  void Requested();

 private:
  void ReadPipe();

  QSocketNotifier* m_notifier = nullptr;
};

}  // namespace ekoto
