#include "ui/ShutdownSignals.h"

#include <fcntl.h>
#include <unistd.h>

#include <QSocketNotifier>
#include <cerrno>
#include <csignal>

namespace ekoto {
namespace {

int s_fdPipe[2] = {-1, -1};
constexpr int kSignals[] = {SIGTERM, SIGINT};

void OnSignal(int /*nSignal*/) {
  const int nSavedErrno = errno;
  const char c = 1;
  // A full pipe already holds a wake-up; losing this byte loses nothing.
  [[maybe_unused]] const ssize_t n = ::write(s_fdPipe[1], &c, 1);
  errno = nSavedErrno;
}

}  // namespace

ShutdownSignals::ShutdownSignals(QObject* parent) : QObject(parent) {
  if (::pipe2(s_fdPipe, O_CLOEXEC | O_NONBLOCK) != 0) {
    s_fdPipe[0] = s_fdPipe[1] = -1;
    return;
  }
  m_notifier = new QSocketNotifier(s_fdPipe[0], QSocketNotifier::Read, this);
  connect(m_notifier, &QSocketNotifier::activated, this, &ShutdownSignals::ReadPipe);
  struct sigaction action = {};
  action.sa_handler = OnSignal;
  sigemptyset(&action.sa_mask);
  action.sa_flags = SA_RESTART;
  for (int nSignal : kSignals) ::sigaction(nSignal, &action, nullptr);
}

ShutdownSignals::~ShutdownSignals() {
  for (int nSignal : kSignals) std::signal(nSignal, SIG_DFL);
  if (s_fdPipe[0] < 0) return;
  delete m_notifier;
  ::close(s_fdPipe[0]);
  ::close(s_fdPipe[1]);
  s_fdPipe[0] = s_fdPipe[1] = -1;
}

void ShutdownSignals::ReadPipe() {
  char buffer[64];
  while (::read(s_fdPipe[0], buffer, sizeof buffer) > 0) {
  }
  emit Requested();
}

}  // namespace ekoto
