// Button: the click rules of both faces, and the link face's caption colour and
// underline through hover, click, leaving and being disabled.
#include <gtest/gtest.h>

#include <QApplication>
#include <QFontMetrics>
#include <QImage>
#include <QMouseEvent>
#include <QPushButton>
#include <functional>

#include "controls/Button.h"

namespace ekoto {
namespace {

const QRgb kFace = qRgb(10, 20, 30);
const QRgb kShadow = qRgb(120, 0, 0);
const QRgb kText = qRgb(0, 0, 0);
const QRgb kHover = qRgb(0, 0, 255);  // the default HoverForeColor 0xFF0000 is blue
constexpr int kW = 120;
constexpr int kH = 24;

void Mouse(Button& b, QEvent::Type type, QPointF at, Qt::MouseButton button, Qt::MouseButtons buttons = Qt::NoButton) {
  QMouseEvent e(type, at, b.mapToGlobal(at), button, type == QEvent::MouseButtonPress ? button : buttons, Qt::NoModifier);
  QApplication::sendEvent(&b, &e);
}
void Press(Button& b, QPointF at, Qt::MouseButton button = Qt::LeftButton) { Mouse(b, QEvent::MouseButtonPress, at, button); }
void Release(Button& b, QPointF at, Qt::MouseButton button = Qt::LeftButton) { Mouse(b, QEvent::MouseButtonRelease, at, button); }
void Move(Button& b, QPointF at, Qt::MouseButtons held = Qt::NoButton) { Mouse(b, QEvent::MouseMove, at, Qt::NoButton, held); }

class ButtonTest : public ::testing::Test {
 protected:
  void SetUp() override {
    QPalette pal;
    pal.setColor(QPalette::Button, kFace);
    pal.setColor(QPalette::Dark, kShadow);
    pal.setColor(QPalette::ButtonText, kText);
    b.setPalette(pal);
    b.resize(kW, kH);
    b.SetCaption(QStringLiteral("ekoto"));
    b.SetFlatStyle(true);
    QObject::connect(&b, &Button::Click, [this] { ++nClicks; });
  }
  // The face: top-left corner and right edge (where a frame would be), whether some caption pixel
  // has colour ink, and whether a run of it spans most of the caption (an underline).
  std::tuple<QRgb, QRgb, bool, bool> Face(QRgb ink) {
    const QImage image = b.grab().toImage().convertToFormat(QImage::Format_RGB32);
    int best = 0;
    for (int y = 0; y < image.height(); ++y) {
      for (int x = 0, run = 0; x < image.width(); ++x) best = std::max(best, run = image.pixel(x, y) == ink ? run + 1 : 0);
    }
    const int nCaption = QFontMetrics(b.font()).horizontalAdvance(b.Caption());
    return {image.pixel(0, 0), image.pixel(kW - 1, 1), best > 0, nCaption > 0 && best >= nCaption * 8 / 10};
  }

  Button b;
  int nClicks = 0;
};

// The link face, as the about box shows it: never a frame; the hover colour and an underline while
// the pointer is over it and until a click; the shadow colour when disabled.
TEST_F(ButtonTest, LinkFaceFollowsThePointer) {
  const QRgb kRed = qRgb(255, 0, 0);
  b.SetLinkStyle(true);
  const struct { std::function<void()> act; QRgb ink; bool bUnderline; } steps[] = {
      {[] {}, kText, false},
      {[&] { Move(b, {7, 5}); }, kHover, true},
      {[&] { Press(b, {5, 5}), Release(b, {5, 5}); }, kText, false},  // normal until the pointer moves
      {[&] { Move(b, {6, 5}); }, kHover, true},
      {[&] { QEvent leave(QEvent::Leave); QApplication::sendEvent(&b, &leave); }, kText, false},
      {[&] { b.SetForeColor(0x0000FF); }, kRed, false},
      {[&] { b.SetEnabled(false), Move(b, {5, 5}); }, kShadow, false},
  };
  for (size_t i = 0; i < std::size(steps); ++i) {
    steps[i].act();
    EXPECT_EQ(Face(steps[i].ink), std::tuple(kFace, kFace, true, steps[i].bUnderline)) << i;
    EXPECT_EQ(std::get<2>(Face(kText)), steps[i].ink == kText) << i;
  }
  EXPECT_EQ(nClicks, 1);
}

// Click: a left press, then a release on the face, while enabled; the push face too.
TEST_F(ButtonTest, ClickNeedsALeftReleaseOnTheFaceWhileEnabled) {
  auto* push = b.findChild<QPushButton*>();
  ASSERT_NE(push, nullptr);
  const struct { const char* name; Qt::MouseButton button; QPointF release; bool bEnabled, bFlat; int nClicks; } cases[] = {
      {"left, released inside", Qt::LeftButton, {30, 10}, true, true, 1},
      {"left, released on the right and bottom edge", Qt::LeftButton, {kW, kH}, true, true, 1},
      {"left, released outside", Qt::LeftButton, {kW + 1, 10}, true, true, 0},
      {"right, released inside", Qt::RightButton, {30, 10}, true, true, 0},
      {"left, disabled", Qt::LeftButton, {30, 10}, false, true, 0},
      {"push face", Qt::LeftButton, {}, true, false, 1},
      {"push face, disabled", Qt::LeftButton, {}, false, false, 0},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    nClicks = 0;
    b.SetEnabled(c.bEnabled);
    b.SetFlatStyle(c.bFlat);
    EXPECT_EQ(push->isVisibleTo(&b), !c.bFlat);
    if (c.bFlat) {
      Press(b, {30, 10}, c.button);
      Move(b, c.release, c.button);
      Release(b, c.release, c.button);
    } else {
      push->click();
    }
    EXPECT_EQ(nClicks, c.nClicks);
  }
}

}  // namespace
}  // namespace ekoto
