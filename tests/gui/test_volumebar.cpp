// VolumeBar: Value kept in [Min, Max] by setter, keys, Max changes and the
// mouse, and a painted thumb that follows the value inside the control.
#include <gtest/gtest.h>

#include <QApplication>
#include <QImage>
#include <QKeyEvent>
#include <QMouseEvent>
#include <functional>
#include <limits>

#include "controls/VolumeBar.h"

using ekoto::VolumeBar;

namespace {

constexpr int32_t kIntMin = std::numeric_limits<int32_t>::min();
constexpr int32_t kIntMax = std::numeric_limits<int32_t>::max();

void Send(VolumeBar& bar, QEvent&& e) { QApplication::sendEvent(&bar, &e); }
void Key(VolumeBar& bar, int key) { Send(bar, QKeyEvent(QEvent::KeyPress, key, Qt::NoModifier)); }
void Mouse(VolumeBar& bar, QEvent::Type type, QPointF at, Qt::MouseButtons held = Qt::LeftButton) {
  const Qt::MouseButton button = type == QEvent::MouseMove ? Qt::NoButton : Qt::MouseButton(held.toInt());
  Send(bar, QMouseEvent(type, at, bar.mapToGlobal(at), button, held, Qt::NoModifier));
}

// Value clamped before Scroll, which fires once and reads it; keys step (arrows by one unless set) without
// overflow; Max below Value lowers Value, and is ignored when not positive or while Min > Max.
TEST(VolumeBar, ValueStaysInsideMinMax) {
  const struct { int32_t min, max, start; std::function<void(VolumeBar&)> act; int32_t value, newMax; size_t scrolls; } rows[] = {
      {0, 100, 1, [](VolumeBar& b) { b.SetValue(kIntMax); }, 100, 100, 1},
      {-20, 100, 1, [](VolumeBar& b) { b.SetValue(-30); }, -20, 100, 1},
      {0, 100, 50, [](VolumeBar& b) { Key(b, Qt::Key_Right); }, 51, 100, 1},
      {0, 100, 50, [](VolumeBar& b) { Key(b, Qt::Key_Left), Key(b, Qt::Key_Down); }, 48, 100, 2},
      {0, 100, 50, [](VolumeBar& b) { b.SetKeySteps(5, 20), Key(b, Qt::Key_PageUp), Key(b, Qt::Key_Up); }, 75, 100, 2},
      {0, 100, 50, [](VolumeBar& b) { Key(b, Qt::Key_Home), Key(b, Qt::Key_PageDown); }, 0, 100, 2},
      {0, 100, 50, [](VolumeBar& b) { Key(b, Qt::Key_End); }, 100, 100, 1},
      {0, kIntMax, kIntMax, [](VolumeBar& b) { Key(b, Qt::Key_Right); }, kIntMax, kIntMax, 1},
      {kIntMin, 100, kIntMin, [](VolumeBar& b) { Key(b, Qt::Key_Left); }, kIntMin, 100, 1},
      {0, 500, 450, [](VolumeBar& b) { b.SetMax(400); }, 400, 400, 1},
      {0, 500, 400, [](VolumeBar& b) { b.SetMax(1000); }, 400, 1000, 1},
      {0, 500, 40, [](VolumeBar& b) { b.SetMax(0); }, 40, 500, 0},
      {600, 500, 40, [](VolumeBar& b) { b.SetMax(1000); }, 600, 500, 0},
      {0, 100, 0, [](VolumeBar& b) {  // a Scroll handler that sets Value nests
         QObject::connect(&b, &VolumeBar::Scroll, [&b] { if (b.Value() == 100) b.SetValue(30); });
         b.SetValue(250);
       }, 30, 100, 2},
  };
  for (size_t i = 0; i < std::size(rows); ++i) {
    VolumeBar bar;
    bar.LoadProperties(rows[i].start, rows[i].min, rows[i].max);
    std::vector<int32_t> seen;
    QObject::connect(&bar, &VolumeBar::Scroll, [&] { seen.push_back(bar.Value()); });
    rows[i].act(bar);
    EXPECT_EQ(std::pair(bar.Value(), bar.Max()), std::pair(rows[i].value, rows[i].newMax)) << i;
    EXPECT_EQ(seen.size(), rows[i].scrolls) << i;
    EXPECT_EQ(seen.empty() ? rows[i].value : seen.back(), rows[i].value) << i;  // what the handler read
  }
}

// Mouse: a press maps the pointer, a drag keeps the grab offset, only the left button alone counts.
TEST(VolumeBar, MousePressAndDrag) {
  VolumeBar bar;
  bar.LoadProperties(200, 0, 400);  // thumb's left edge at 41 of a travel of 82
  const struct { QEvent::Type type; QPointF at; Qt::MouseButtons held; int32_t value; } steps[] = {
      {QEvent::MouseButtonPress, {46, 10}, Qt::LeftButton, 200},  // 5 px into the thumb: no jump
      {QEvent::MouseMove, {56, 10}, Qt::LeftButton, 249},         // 10 px on: 10 × 400 / 82 = 48.8 more
      {QEvent::MouseMove, {5000, 40}, Qt::LeftButton, 400},  // below the control still drags
      {QEvent::MouseMove, {-1e12, 10}, Qt::LeftButton, 0},
      {QEvent::MouseMove, {60, 10}, Qt::LeftButton | Qt::RightButton, 0},
      {QEvent::MouseButtonPress, {70, 1}, Qt::LeftButton, 317},  // beside the thumb, the grab offset stays: 65 × 400 / 82
      {QEvent::MouseButtonPress, {66, 3}, Qt::LeftButton, 298},  // nor on the thumb's outline: 61 × 400 / 82
  };
  for (const auto& s : steps) {
    Mouse(bar, s.type, s.at, s.held);
    EXPECT_EQ(bar.Value(), s.value) << s.at.x();
  }
}

// The painted thumb: its top edge is the only thing drawn on row 3. It keeps its
// width, moves with the value from the left end to the right end, and never leaves the control.
TEST(VolumeBar, PaintedThumbFollowsTheValueInsideTheControl) {
  QPalette pal;
  pal.setColor(QPalette::Button, qRgb(10, 20, 30));
  for (const int32_t max : {400, 1000}) {
    VolumeBar bar;
    bar.setPalette(pal);
    bar.resize(200, 50);  // undone: the bar keeps its size
    int nLastLeft = 0, nWidth = -1;
    for (int32_t v = -20; v <= max + 20; v += 7) {
      bar.LoadProperties(v, 0, max);
      const QImage img = bar.grab().toImage().convertToFormat(QImage::Format_RGB32);
      ASSERT_EQ(img.size(), QSize(96, 33));
      int nLeft = -1, nRight = -1;
      for (int x = 0; x < img.width(); ++x) {
        if (img.pixel(x, 3) != qRgb(10, 20, 30)) std::tie(nLeft, nRight) = std::pair(nLeft < 0 ? x : nLeft, x);
      }
      SCOPED_TRACE(testing::Message() << "max " << max << " value " << v);
      if (nWidth < 0) nWidth = nRight - nLeft;
      EXPECT_EQ(nRight - nLeft, nWidth);
      EXPECT_GE(nLeft, nLastLeft);
      EXPECT_NEAR(nLeft, std::clamp(v, 0, max) * (95.0 - nWidth) / max, 1.0);
      nLastLeft = nLeft;
    }
    EXPECT_EQ(nLastLeft + nWidth, 95);
  }
}

}  // namespace
