// Button: the click rules of both faces, and the flat face's frame, caption
// colour and underline through hover, press, release and leaving.
#include <gtest/gtest.h>

#include <QApplication>
#include <QFontMetrics>
#include <QImage>
#include <QMouseEvent>
#include <QPushButton>

#include "controls/Button.h"

namespace ekoto {
namespace {

const QRgb kFace = qRgb(10, 20, 30);
const QRgb kShadow = qRgb(120, 0, 0);
const QRgb kHighlight = qRgb(0, 200, 0);
const QRgb kText = qRgb(0, 0, 0);
const QRgb kHover = qRgb(0, 0, 255);  // the default HoverForeColor 0xFF0000 is blue
constexpr int kW = 120;
constexpr int kH = 24;

void Mouse(Button& b, QEvent::Type type, QPointF at, Qt::MouseButton button, Qt::MouseButtons buttons) {
  QMouseEvent e(type, at, b.mapToGlobal(at), button, buttons, Qt::NoModifier);
  QApplication::sendEvent(&b, &e);
}
void Press(Button& b, QPointF at, Qt::MouseButton button = Qt::LeftButton) {
  Mouse(b, QEvent::MouseButtonPress, at, button, button);
}
void Release(Button& b, QPointF at, Qt::MouseButton button = Qt::LeftButton) {
  Mouse(b, QEvent::MouseButtonRelease, at, button, Qt::NoButton);
}
void Move(Button& b, QPointF at, Qt::MouseButtons buttons = Qt::NoButton) {
  Mouse(b, QEvent::MouseMove, at, Qt::NoButton, buttons);
}
void Leave(Button& b) {
  QEvent e(QEvent::Leave);
  QApplication::sendEvent(&b, &e);
}

struct Face {
  QImage image;
  QRgb Corner() const { return image.pixel(0, 0); }          // top-left: light edge
  QRgb RightEdge() const { return image.pixel(kW - 1, 1); }  // dark edge
  int Count(QRgb c) const {
    int n = 0;
    for (int y = 0; y < image.height(); ++y)
      for (int x = 0; x < image.width(); ++x) n += image.pixel(x, y) == c;
    return n;
  }
  // The longest horizontal run of colour c: an underline spans the caption.
  int LongestRun(QRgb c) const {
    int best = 0;
    for (int y = 0; y < image.height(); ++y) {
      int run = 0;
      for (int x = 0; x < image.width(); ++x) {
        run = image.pixel(x, y) == c ? run + 1 : 0;
        best = std::max(best, run);
      }
    }
    return best;
  }
};

class ButtonTest : public ::testing::Test {
 protected:
  void SetUp() override {
    QPalette pal;
    pal.setColor(QPalette::Button, kFace);
    pal.setColor(QPalette::Dark, kShadow);
    pal.setColor(QPalette::Light, kHighlight);
    pal.setColor(QPalette::ButtonText, kText);
    b.setPalette(pal);
    b.resize(kW, kH);
    b.SetCaption(QStringLiteral("ekoto"));
    b.SetFlatStyle(true);
    QObject::connect(&b, &Button::Click, [this] { ++nClicks; });
  }
  Face Painted() { return {b.grab().toImage().convertToFormat(QImage::Format_RGB32)}; }
  bool Underlined() {
    const int nCaption = QFontMetrics(b.font()).horizontalAdvance(b.Caption());
    const Face f = Painted();
    return f.LongestRun(kHover) >= nCaption * 8 / 10 || f.LongestRun(kText) >= nCaption * 8 / 10;
  }

  Button b;
  int nClicks = 0;
};

// The flat and link faces through hover, press, release and leaving.
TEST_F(ButtonTest, LinkShowsHoverColourAndUnderlineWithoutFrameAndClicksOnce) {
  b.SetLinkStyle(true);
  Face f = Painted();
  EXPECT_EQ(f.Corner(), kFace);
  EXPECT_GT(f.Count(kText), 0);
  EXPECT_EQ(f.Count(kHover), 0);
  EXPECT_FALSE(Underlined());

  Move(b, {10, 10});
  f = Painted();
  EXPECT_EQ(f.Corner(), kFace);
  EXPECT_EQ(f.RightEdge(), kFace);
  EXPECT_GT(f.Count(kHover), 0);
  EXPECT_EQ(f.Count(kText), 0);
  EXPECT_TRUE(Underlined());

  Press(b, {10, 10});
  Release(b, {10, 10});
  EXPECT_EQ(nClicks, 1);
  // The normal face although the pointer is still over it, until it moves.
  f = Painted();
  EXPECT_GT(f.Count(kText), 0);
  EXPECT_EQ(f.Count(kHover), 0);
  EXPECT_FALSE(Underlined());
  Move(b, {11, 10});
  EXPECT_GT(Painted().Count(kHover), 0);
}

TEST_F(ButtonTest, FlatFrameIsRaisedOnHoverSunkenWhilePressedAndGoneOutside) {
  const struct {
    const char* step;
    std::function<void(Button&)> act;
    QRgb corner, rightEdge;
  } steps[] = {
      {"at rest", [](Button&) {}, kFace, kFace},
      {"hover", [](Button& b) { Move(b, {5, 5}); }, kHighlight, kShadow},
      {"left held", [](Button& b) { Press(b, {5, 5}); }, kShadow, kHighlight},
      {"dragged out", [](Button& b) { Move(b, {kW + 5, 5}, Qt::LeftButton); }, kFace, kFace},
      {"dragged back", [](Button& b) { Move(b, {5, 5}, Qt::LeftButton); }, kShadow, kHighlight},
      {"released inside", [](Button& b) { Release(b, {5, 5}); }, kFace, kFace},
      {"hover again", [](Button& b) { Move(b, {6, 5}); }, kHighlight, kShadow},
      {"right and middle held", [](Button& b) { Move(b, {7, 5}, Qt::RightButton | Qt::MiddleButton); }, kHighlight,
       kShadow},
      {"left", [](Button& b) { Leave(b); }, kFace, kFace},
      {"right pressed", [](Button& b) { Press(b, {5, 5}, Qt::RightButton); }, kHighlight, kShadow},
      {"right released", [](Button& b) { Release(b, {5, 5}, Qt::RightButton); }, kFace, kFace},
  };
  for (const auto& s : steps) {
    SCOPED_TRACE(s.step);
    s.act(b);
    const Face f = Painted();
    EXPECT_EQ(f.Corner(), s.corner);
    EXPECT_EQ(f.RightEdge(), s.rightEdge);
    // The last pixel of the bottom and right edges is never painted.
    EXPECT_EQ(f.image.pixel(kW - 1, kH - 1), kFace);
  }
  EXPECT_EQ(nClicks, 1);
}

// Click: a left press, then a release on the face, while enabled.
TEST_F(ButtonTest, ClickNeedsALeftReleaseOnTheFaceAfterAPress) {
  const struct { const char* name; Qt::MouseButton button; QPointF release; bool bEnabled; int nClicks; } cases[] = {
      {"left, released inside", Qt::LeftButton, {30, 10}, true, 1},
      {"left, released on the right and bottom edge", Qt::LeftButton, {kW, kH}, true, 1},
      {"left, released outside", Qt::LeftButton, {kW + 1, 10}, true, 0},
      {"left, released above", Qt::LeftButton, {30, -1}, true, 0},
      {"right, released inside", Qt::RightButton, {30, 10}, true, 0},
      {"left, disabled", Qt::LeftButton, {30, 10}, false, 0},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    nClicks = 0;
    b.SetEnabled(c.bEnabled);
    Press(b, {30, 10}, c.button);
    Move(b, c.release, c.button);
    Release(b, c.release, c.button);
    EXPECT_EQ(nClicks, c.nClicks);
  }
}

// Disabled, captionless and recoloured faces, and the push-button face.
TEST_F(ButtonTest, DisabledHasNoFrameAShadowCaptionAndNoUnderline) {
  b.SetLinkStyle(true);
  b.SetEnabled(false);
  Move(b, {5, 5});
  Face f = Painted();
  EXPECT_GT(f.Count(kShadow), 0);
  EXPECT_EQ(f.Count(kHover), 0);
  EXPECT_FALSE(Underlined());

  b.SetLinkStyle(false);
  Move(b, {6, 5});
  f = Painted();
  EXPECT_EQ(f.Corner(), kFace);
  EXPECT_EQ(f.RightEdge(), kFace);
}

TEST_F(ButtonTest, WithoutCaptionMovesChangeNothingButAPressPaints) {
  b.SetCaption(QString());
  Move(b, {5, 5});
  EXPECT_EQ(Painted().Corner(), kFace);
  Press(b, {5, 5});
  EXPECT_EQ(Painted().Corner(), kShadow);
}

TEST_F(ButtonTest, SettingAColourToItsOwnValueDoesNotRepaint) {
  Move(b, {5, 5});
  b.SetForeColor(kSysButtonText);
  EXPECT_EQ(Painted().Corner(), kHighlight);  // still the hover face
  b.SetForeColor(0x0000FF);                   // red: a change repaints the normal face
  const Face f = Painted();
  EXPECT_EQ(f.Corner(), kFace);
  EXPECT_GT(f.Count(qRgb(255, 0, 0)), 0);
}

TEST_F(ButtonTest, PushButtonFaceClicksOnlyWhileEnabled) {
  b.SetFlatStyle(false);
  auto* push = b.findChild<QPushButton*>();
  ASSERT_NE(push, nullptr);
  EXPECT_TRUE(push->isVisibleTo(&b));
  EXPECT_EQ(push->text(), "ekoto");
  push->click();
  EXPECT_EQ(nClicks, 1);
  b.SetEnabled(false);
  push->click();
  EXPECT_EQ(nClicks, 1);
}

// OLE colours: fixed ones are BGR, system ones come from the palette.
TEST(OleColor, FixedColoursAreBgrAndSystemColoursComeFromThePalette) {
  QPalette pal;
  pal.setColor(QPalette::Button, kFace);
  pal.setColor(QPalette::Dark, kShadow);
  pal.setColor(QPalette::ButtonText, qRgb(1, 2, 3));
  pal.setColor(QPalette::Light, kHighlight);
  const struct { uint32_t nColor; QRgb expected; } cases[] = {
      {0x00123456, qRgb(0x56, 0x34, 0x12)}, {kSysButtonFace, kFace}, {kSysButtonShadow, kShadow},
      {kSysButtonText, qRgb(1, 2, 3)},      {kSysButtonHighlight, kHighlight},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.nColor);
    EXPECT_EQ(OleColorToQColor(c.nColor, pal).rgb(), c.expected);
  }
}

}  // namespace
}  // namespace ekoto
