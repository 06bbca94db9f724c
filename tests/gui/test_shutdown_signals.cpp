// SIGTERM and SIGINT arrive as the Qt signal asking for a shutdown. (The message
// pump and the window hook are driven by every reading in the main window tests:
// the paced output's timer thread posts each buffer's done message through them.)
#include <csignal>

#include "MainWindowTestKit.h"
#include "ui/ShutdownSignals.h"

namespace ekoto::testing {
namespace {

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
