// The dictionary window with 10,000 entries: time to open it (read, build,
// show, first paint) and the time each keystroke of a search takes until the
// table is painted again. Run with QT_QPA_PLATFORM=offscreen.
// Usage: bench_dictionary TEMPLATE  (e.g. the file bench_templete --write makes)
#include <QApplication>
#include <QLineEdit>
#include <QTableView>
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <string>

#include "../ProcessCpu.h"
#include "conversion/MecabReverseConverter.h"
#include "ui/frmDictionary.h"
#include "util/Utf.h"

namespace {

using Clock = std::chrono::steady_clock;

double MsSince(Clock::time_point t) { return std::chrono::duration<double, std::milli>(Clock::now() - t).count(); }

}  // namespace

int main(int argc, char** argv) {
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  QApplication app(argc, argv);
  if (argc < 2) {
    std::fprintf(stderr, "usage: bench_dictionary TEMPLATE\n");
    return 1;
  }
  const auto start = Clock::now();
  const double startCpu = ekoto::bench::CpuSeconds();
  ekoto::frmDictionary form({.sTempletePath = ekoto::Utf8ToUtf16(argv[1]),
                             .options = {},
                             .converter = ekoto::DefaultReverseConverter(),
                             .hear = nullptr});
  form.show();
  form.lstEntries->viewport()->repaint();
  QApplication::processEvents();
  std::printf("open with %d entries: %.1f ms wall, %.1f ms cpu\n", form.lstEntries->model()->rowCount(), MsSince(start),
              (ekoto::bench::CpuSeconds() - startCpu) * 1e3);

  // Typed one character at a time, then taken back: each answer includes the repaint.
  const QString sTyped = QStringLiteral("東京都立大学");
  double worst = 0;
  double total = 0;
  double worstCpu = 0;
  int nKeys = 0;
  const auto key = [&](const QString& sText) {
    const auto t = Clock::now();
    const double cpu = ekoto::bench::CpuSeconds();
    form.txtSearch->setText(sText);
    form.lstEntries->viewport()->repaint();
    QApplication::processEvents();
    const double ms = MsSince(t);
    worst = std::max(worst, ms);
    worstCpu = std::max(worstCpu, (ekoto::bench::CpuSeconds() - cpu) * 1e3);
    total += ms;
    ++nKeys;
  };
  for (int n = 1; n <= sTyped.size(); ++n) key(sTyped.left(n));
  for (int n = static_cast<int>(sTyped.size()) - 1; n >= 0; --n) key(sTyped.left(n));
  std::printf("search: %d keystrokes, mean %.1f ms, worst %.1f ms wall, worst %.1f ms cpu\n", nKeys, total / nKeys,
              worst, worstCpu);
  return 0;
}
