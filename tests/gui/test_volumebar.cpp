// VolumeBar: clamping, Max changes, mouse and keys, and the painted pixels.
// Expected values come from the thumb mapping: left edge = Value / Max × 82;
// a drag sets Value = (x − grab offset) × Max / 82, halves to even.
#include <gtest/gtest.h>

#include <QApplication>
#include <QImage>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPalette>
#include <cstdint>
#include <limits>
#include <vector>

#include "controls/VolumeBar.h"

using ekoto::VolumeBar;

namespace {

constexpr int32_t kIntMin = std::numeric_limits<int32_t>::min();
constexpr int32_t kIntMax = std::numeric_limits<int32_t>::max();

const QRgb kFace = qRgb(10, 20, 30);
const QRgb kShadow = qRgb(120, 0, 0);
const QRgb kHighlight = qRgb(0, 200, 0);
const QRgb kDarkShadow = qRgb(0, 0, 250);

// Records the Value that each Scroll handler reads.
struct ScrollLog {
  explicit ScrollLog(VolumeBar& bar) {
    QObject::connect(&bar, &VolumeBar::Scroll, [this, &bar] { seen.push_back(bar.Value()); });
  }
  std::vector<int32_t> seen;
};

void Press(VolumeBar& bar, QPointF at, Qt::MouseButton button = Qt::LeftButton) {
  QMouseEvent e(QEvent::MouseButtonPress, at, bar.mapToGlobal(at), button, button, Qt::NoModifier);
  QApplication::sendEvent(&bar, &e);
}

void Move(VolumeBar& bar, QPointF at, Qt::MouseButtons buttons = Qt::LeftButton) {
  QMouseEvent e(QEvent::MouseMove, at, bar.mapToGlobal(at), Qt::NoButton, buttons, Qt::NoModifier);
  QApplication::sendEvent(&bar, &e);
}

void Key(VolumeBar& bar, int key) {
  QKeyEvent e(QEvent::KeyPress, key, Qt::NoModifier);
  QApplication::sendEvent(&bar, &e);
}

QImage Painted(VolumeBar& bar) {
  QPalette pal;
  pal.setColor(QPalette::Button, kFace);
  pal.setColor(QPalette::Dark, kShadow);
  pal.setColor(QPalette::Light, kHighlight);
  pal.setColor(QPalette::Shadow, kDarkShadow);
  bar.setPalette(pal);
  return bar.grab().toImage().convertToFormat(QImage::Format_RGB32);
}

}  // namespace

// Value: defaults, clamping to [Min, Max] before Scroll, and a nested Scroll.
TEST(VolumeBarValue, FreshBarAndStoredProperties) {
  VolumeBar bar;
  EXPECT_EQ(bar.Value(), 20);
  EXPECT_EQ(bar.Min(), 0);
  EXPECT_EQ(bar.Max(), 100);
  EXPECT_EQ(bar.size(), QSize(96, 33));

  // The program's stored instances, then the start-up order of the volume bar.
  bar.LoadProperties(40, 0, 500);
  bar.SetMax(400);
  bar.SetValue(500);
  EXPECT_EQ(bar.Value(), 400);

  bar.LoadProperties(40, 0, 0);  // no usable Max: the default takes its place
  EXPECT_EQ(bar.Max(), 100);
}

TEST(VolumeBarValue, SetValueClampsBeforeReturningAndScrollsOnce) {
  struct Row { int32_t min, max, set, expected; };
  const Row rows[] = {
      {0, 100, -5, 0},      {0, 100, 110, 100},     {0, 100, 50, 50},     {0, 100, 100, 100},
      {0, 100, kIntMin, 0}, {0, 100, kIntMax, 100}, {50, 100, 10, 50},    {-20, 100, -30, -20},
      {-20, 100, -7, -7},
  };
  for (const Row& r : rows) {
    SCOPED_TRACE(testing::Message() << "min " << r.min << " max " << r.max << " set " << r.set);
    VolumeBar bar;
    bar.LoadProperties(1, r.min, r.max);
    ScrollLog log(bar);
    bar.SetValue(r.set);
    EXPECT_EQ(bar.Value(), r.expected);
    EXPECT_EQ(log.seen, std::vector<int32_t>{r.expected});
  }
}

TEST(VolumeBarValue, ScrollHandlerThatSetsValueNests) {
  VolumeBar bar;
  bar.LoadProperties(0, 0, 100);
  ScrollLog log(bar);
  QObject::connect(&bar, &VolumeBar::Scroll, [&bar] {
    if (bar.Value() == 100) bar.SetValue(30);
  });
  bar.SetValue(250);
  EXPECT_EQ(bar.Value(), 30);
  EXPECT_EQ(log.seen, (std::vector<int32_t>{100, 30}));
}

// Max: lowering it below Value lowers Value; it is ignored while Min > Max or when not positive.
TEST(VolumeBarMax, MaxBelowValueLowersValue) {
  VolumeBar bar;
  bar.LoadProperties(40, 0, 500);
  bar.SetValue(450);
  ScrollLog log(bar);
  bar.SetMax(400);
  EXPECT_EQ(bar.Max(), 400);
  EXPECT_EQ(bar.Value(), 400);
  EXPECT_EQ(log.seen, std::vector<int32_t>{400});

  bar.SetMax(1000);  // raising Max leaves Value where it is
  EXPECT_EQ(bar.Value(), 400);
}

TEST(VolumeBarMax, IgnoredWhileMinAboveMaxOrWhenNotPositive) {
  VolumeBar bar;
  bar.LoadProperties(40, 600, 500);
  EXPECT_EQ(bar.Value(), 600);  // clamped up to Min, which lies above Max
  ScrollLog log(bar);
  bar.SetMax(1000);
  EXPECT_EQ(bar.Max(), 500);
  EXPECT_TRUE(log.seen.empty());

  bar.LoadProperties(40, 0, 500);  // consistent again: accepted
  log.seen.clear();
  for (int32_t m : {0, -1, kIntMin}) {
    bar.SetMax(m);
    EXPECT_EQ(bar.Max(), 500) << m;
    EXPECT_EQ(bar.Value(), 40) << m;
  }
  EXPECT_TRUE(log.seen.empty());
  bar.SetMax(1000);
  EXPECT_EQ(bar.Max(), 1000);
}

// Mouse: a press maps the pointer, a drag keeps the grab offset, only the left button counts.
TEST(VolumeBarMouse, PressBesideThumbMapsPointerToValue) {
  // y = 1 is above the thumb (rows 3..30), so the grab offset stays 0.
  struct Row { int32_t max; double x; int32_t expected; };
  const Row rows[] = {
      {400, 41, 200}, {400, 20, 98}, {400, 82, 400}, {400, 95, 400}, {400, 0, 0},
      {41, 5, 2},     {41, 7, 4},  // x / 2: halves to even
      {1000, 40.5, 494},
  };
  for (const Row& r : rows) {
    SCOPED_TRACE(testing::Message() << "max " << r.max << " x " << r.x);
    VolumeBar bar;
    bar.LoadProperties(0, 0, r.max);
    ScrollLog log(bar);
    Press(bar, {r.x, 1});
    EXPECT_EQ(bar.Value(), r.expected);
    EXPECT_EQ(log.seen, std::vector<int32_t>{r.expected});
  }
}

TEST(VolumeBarMouse, DragKeepsGrabOffset) {
  VolumeBar bar;
  bar.LoadProperties(200, 0, 400);  // thumb's left edge at 41
  Press(bar, {46, 10});             // 5 px into the thumb: no jump
  EXPECT_EQ(bar.Value(), 200);
  Move(bar, {56, 10});  // 10 px on: 10 × 400 / 82 = 48.8 more
  EXPECT_EQ(bar.Value(), 249);
  Move(bar, {46, 40});  // below the control still drags
  EXPECT_EQ(bar.Value(), 200);

  // A later press beside the thumb keeps the last grab offset of 5.
  Press(bar, {70, 1});
  EXPECT_EQ(bar.Value(), 317);  // 65 × 400 / 82 = 317.07
}

TEST(VolumeBarMouse, OutermostThumbPixelsDoNotGrab) {
  // Thumb at x 41..54, y 3..30. A grab keeps Value at 200; a miss maps x alone.
  struct Row { double x, y; int32_t expected; };
  const Row rows[] = {
      {46, 4, 200}, {53.5, 29.5, 200},              // inside
      {54, 10, 263}, {46, 3, 224}, {46, 30, 224},  // on the outline: x × 400 / 82
  };
  for (const Row& r : rows) {
    SCOPED_TRACE(testing::Message() << "(" << r.x << ", " << r.y << ")");
    VolumeBar bar;
    bar.LoadProperties(200, 0, 400);
    Press(bar, {r.x, r.y});
    EXPECT_EQ(bar.Value(), r.expected);
  }
}

TEST(VolumeBarMouse, DragPastEitherEndStopsAtLimit) {
  VolumeBar bar;
  bar.LoadProperties(50, 10, 400);
  Press(bar, {20, 10});  // inside the thumb (left edge 10.25)
  Move(bar, {5000, 10});
  EXPECT_EQ(bar.Value(), 400);
  EXPECT_EQ(Painted(bar).pixel(82, 3), kHighlight);  // left edge at 82
  Move(bar, {-5000, 10});
  EXPECT_EQ(bar.Value(), 10);
  Move(bar, {-1e12, 10});  // far beyond int range
  EXPECT_EQ(bar.Value(), 10);
}

TEST(VolumeBarMouse, OtherButtonsDoNothing) {
  VolumeBar bar;
  bar.LoadProperties(100, 0, 400);
  ScrollLog log(bar);
  Press(bar, {41, 1}, Qt::RightButton);
  Move(bar, {60, 10}, Qt::LeftButton | Qt::RightButton);
  Move(bar, {60, 10}, Qt::NoButton);
  EXPECT_EQ(bar.Value(), 100);
  EXPECT_TRUE(log.seen.empty());
}

// Keys: the horizontal arrows step by one, clamped without overflow.
TEST(VolumeBarKeys, ArrowsStepByOneAndClampAtLimits) {
  struct Row { int32_t min, max, start; int key; int32_t expected; size_t scrolls; };
  const Row rows[] = {
      {0, 100, 50, Qt::Key_Right, 51, 1},
      {0, 100, 50, Qt::Key_Left, 49, 1},
      {0, 100, 50, Qt::Key_Up, 50, 0},
      {0, kIntMax, kIntMax, Qt::Key_Right, kIntMax, 1},
      {kIntMin, 100, kIntMin, Qt::Key_Left, kIntMin, 1},
  };
  for (const Row& r : rows) {
    SCOPED_TRACE(testing::Message() << "start " << r.start << " key " << r.key);
    VolumeBar bar;
    bar.LoadProperties(r.start, r.min, r.max);
    ScrollLog log(bar);
    Key(bar, r.key);
    EXPECT_EQ(bar.Value(), r.expected);
    EXPECT_EQ(log.seen.size(), r.scrolls);
  }
}

// The bar keeps its size, takes focus, and paints its wedge and thumb pixel for pixel.
TEST(VolumeBarLayout, KeepsItsSizeAgainstResize) {
  QWidget host;
  auto* bar = new VolumeBar(&host);
  EXPECT_EQ(bar->focusPolicy() & Qt::TabFocus, Qt::TabFocus);
  EXPECT_EQ(bar->focusPolicy() & Qt::ClickFocus, Qt::ClickFocus);
  host.resize(300, 100);
  host.show();
  ScrollLog log(*bar);
  bar->resize(200, 50);
  EXPECT_EQ(bar->size(), QSize(96, 33));
  EXPECT_FALSE(log.seen.empty());
}

TEST(VolumeBarPaint, WedgeAndThumbAtZero) {
  VolumeBar bar;
  bar.LoadProperties(0, 0, 100);  // thumb spans x 0..13, y 3..30
  const QImage img = Painted(bar);
  ASSERT_EQ(img.size(), QSize(96, 33));
  struct Row { int x, y; QRgb colour; };
  const Row rows[] = {
      // thumb: top and left light, inner bottom over the left edge, inner right, right and bottom dark
      {0, 3, kHighlight},   {6, 3, kHighlight},    {0, 15, kHighlight}, {0, 29, kShadow}, {6, 15, kFace},
      {12, 15, kShadow},    {13, 15, kDarkShadow}, {13, 30, kDarkShadow}, {14, 30, kFace}, {6, 2, kFace},
      // wedge: slope 24 − 16 × 20 / 95 rounded, one pixel thick; base; right side; not their meeting point
      {20, 21, kShadow},    {50, 16, kShadow},     {50, 15, kFace},     {50, 17, kFace},  {94, 8, kShadow},
      {20, 24, kHighlight}, {94, 24, kHighlight},  {95, 8, kHighlight}, {95, 23, kHighlight},
      {95, 24, kFace},      {95, 7, kFace},
  };
  for (const Row& r : rows) {
    SCOPED_TRACE(testing::Message() << "(" << r.x << ", " << r.y << ")");
    EXPECT_EQ(img.pixel(r.x, r.y), r.colour);
  }
}

TEST(VolumeBarPaint, ThumbCoversWedgeAndFollowsValue) {
  VolumeBar bar;
  bar.LoadProperties(100, 0, 100);  // thumb spans x 82..95
  QImage img = Painted(bar);
  EXPECT_EQ(img.pixel(90, 24), kFace);         // base hidden under the body
  EXPECT_EQ(img.pixel(95, 15), kDarkShadow);   // thumb's right edge over the wedge's side
  EXPECT_EQ(img.pixel(81, 24), kHighlight);    // base left of the thumb
  EXPECT_EQ(img.pixel(82, 10), kHighlight);

  // Min limits the value but takes no part in the mapping: 50 / 100 × 82 = 41.
  bar.LoadProperties(0, 50, 100);
  img = bar.grab().toImage().convertToFormat(QImage::Format_RGB32);
  EXPECT_EQ(img.pixel(41, 10), kHighlight);
  EXPECT_EQ(img.pixel(40, 10), kFace);

  // A left edge between pixels is painted on the nearest one: 3 / 400 × 82 = 0.6.
  bar.LoadProperties(3, 0, 400);
  img = bar.grab().toImage().convertToFormat(QImage::Format_RGB32);
  EXPECT_EQ(img.pixel(1, 10), kHighlight);
  EXPECT_EQ(img.pixel(0, 10), kFace);
}

TEST(VolumeBarPaint, PaletteChangeRepaints) {
  VolumeBar bar;
  bar.LoadProperties(0, 0, 100);
  Painted(bar);
  QPalette pal = bar.palette();
  pal.setColor(QPalette::Shadow, qRgb(7, 7, 7));
  bar.setPalette(pal);
  EXPECT_EQ(bar.grab().toImage().convertToFormat(QImage::Format_RGB32).pixel(13, 15), qRgb(7, 7, 7));
}
