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
  ekoto::frmDictionary form({.sTempletePath = ekoto::Utf8ToUtf16(argv[1]),
                             .options = {},
                             .converter = ekoto::DefaultReverseConverter(),
                             .hear = nullptr});
  form.show();
  form.lstEntries->viewport()->repaint();
  QApplication::processEvents();
  std::printf("open with %d entries: %.1f ms\n", form.lstEntries->model()->rowCount(), MsSince(start));

  // Typed one character at a time, then taken back: each answer includes the repaint.
  const QString sTyped = QStringLiteral("東京都立大学");
  double worst = 0;
  double total = 0;
  int nKeys = 0;
  const auto key = [&](const QString& sText) {
    const auto t = Clock::now();
    form.txtSearch->setText(sText);
    form.lstEntries->viewport()->repaint();
    QApplication::processEvents();
    const double ms = MsSince(t);
    worst = std::max(worst, ms);
    total += ms;
    ++nKeys;
  };
  for (int n = 1; n <= sTyped.size(); ++n) key(sTyped.left(n));
  for (int n = static_cast<int>(sTyped.size()) - 1; n >= 0; --n) key(sTyped.left(n));
  std::printf("search: %d keystrokes, mean %.1f ms, worst %.1f ms\n", nKeys, total / nKeys, worst);
  return 0;
}
