// VolumeBar: painting into the persistent surface, value mapping, mouse and keys.
#include "controls/VolumeBar.h"

#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QPalette>
#include <QStyle>
#include <QStyleOptionFocusRect>
#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <limits>

namespace ekoto {
namespace {

constexpr int kWidth = 96;
constexpr int kHeight = 33;
// The thumb's left edge travels from 0 to kTravel as Value goes from 0 to Max.
constexpr double kTravel = 82;
constexpr float kThumbWidth = 13;
constexpr float kThumbTop = 3;
constexpr float kThumbHeight = 27;

void PutPixel(QImage& img, int x, int y, QRgb c) {
  if (x >= 0 && y >= 0 && x < img.width() && y < img.height()) img.setPixel(x, y, c);
}

// n / d rounded to the nearest integer, halves upwards, for d > 0.
int RoundDiv(int n, int d) {
  const int twice = 2 * n + d;
  const int den = 2 * d;
  return twice >= 0 ? twice / den : -((-twice + den - 1) / den);
}

// Draws from `from` towards `to`, leaving `to` itself unpainted, so that
// joined lines do not paint their shared corner twice.
void PlotLine(QImage& img, QPoint from, QPoint to, QRgb c) {
  const int dx = to.x() - from.x();
  const int dy = to.y() - from.y();
  const int steps = std::max(std::abs(dx), std::abs(dy));
  for (int i = 0; i < steps; ++i)
    PutPixel(img, from.x() + RoundDiv(i * dx, steps), from.y() + RoundDiv(i * dy, steps), c);
}

// Outline and fill, both corners included.
void FillRect(QImage& img, QPoint a, QPoint b, QRgb c) {
  for (int y = std::min(a.y(), b.y()); y <= std::max(a.y(), b.y()); ++y)
    for (int x = std::min(a.x(), b.x()); x <= std::max(a.x(), b.x()); ++x) PutPixel(img, x, y, c);
}

// The thumb's corners are not whole pixels in general; the nearest pixel is
// painted. Far-off positions (a very negative Min) are held where the int
// arithmetic of the drawing stays safe; they are off the surface either way.
int ToPixel(float v) { return static_cast<int>(std::lround(std::clamp(v, -1e6f, 1e6f))); }

}  // namespace

VolumeBar::VolumeBar(QWidget* parent) : QWidget(parent) {
  setFocusPolicy(Qt::StrongFocus);
  setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Fixed);
  setBackgroundRole(QPalette::Button);
  setAutoFillBackground(true);
  Relayout();
}

QSize VolumeBar::sizeHint() const { return {kWidth, kHeight}; }

void VolumeBar::SetValue(int32_t v) {
  m_Value = v;
  Relayout();
}

void VolumeBar::SetMax(int32_t m) {
  // Max <= 0 would divide by zero when the thumb is placed.
  if (m <= 0 || m_Min > m_Max || m_Max < m_Value) return;
  m_Max = m;
  Relayout();
}

void VolumeBar::LoadProperties(int32_t value, int32_t min, int32_t max) {
  m_Value = value;
  m_Min = min;
  m_Max = max > 0 ? max : 100;
  Relayout();
}

void VolumeBar::Relayout() {
  // Any other size is undone at once. Resizing ourselves comes back here
  // through resizeEvent, where the size already fits and resize does nothing.
  resize(kWidth, kHeight);
  if (m_Surface.size() != QSize(kWidth, kHeight)) m_Surface = QImage(kWidth, kHeight, QImage::Format_RGB32);
  Redraw();
}

VolumeBar::ThumbBounds VolumeBar::ThumbRect() {
  if (m_Value <= m_Min)
    m_Value = m_Min;
  else if (m_Value >= m_Max)
    m_Value = m_Max;
  // Min only limits the value; the mapping is Value / Max, not relative to Min.
  const auto x1 = static_cast<float>(static_cast<double>(m_Value) / m_Max * kTravel);
  return {x1, kThumbTop, x1 + kThumbWidth, kThumbTop + kThumbHeight};
}

bool VolumeBar::HitThumb(float x, float y, const ThumbBounds& r) {
  return r.X1 < x && x < r.X2 && r.Y1 < y && y < r.Y2;
}

void VolumeBar::Redraw() {
  // The surface is painted only here, so take the active colours rather than
  // whatever group the window's activation happens to select at this moment.
  const QPalette& pal = palette();
  const QRgb face = pal.color(QPalette::Active, QPalette::Button).rgb();
  const QRgb shadow = pal.color(QPalette::Active, QPalette::Dark).rgb();
  const QRgb highlight = pal.color(QPalette::Active, QPalette::Light).rgb();
  const QRgb darkShadow = pal.color(QPalette::Active, QPalette::Shadow).rgb();

  m_Surface.fill(face);
  PlotLine(m_Surface, {0, 24}, {95, 8}, shadow);
  PlotLine(m_Surface, {0, 24}, {95, 24}, highlight);
  PlotLine(m_Surface, {95, 8}, {95, 24}, highlight);

  const ThumbBounds r = ThumbRect();
  const int x1 = ToPixel(r.X1);
  const int y1 = ToPixel(r.Y1);
  const int x2 = ToPixel(r.X2);
  const int y2 = ToPixel(r.Y2);
  FillRect(m_Surface, {x1, y1}, {x2, y2}, face);
  PlotLine(m_Surface, {x1, y1}, {x2, y1}, highlight);
  PlotLine(m_Surface, {x1, y1}, {x1, y2}, highlight);
  PlotLine(m_Surface, {x1, y2}, {x2 + 1, y2}, darkShadow);
  PlotLine(m_Surface, {x2, y1}, {x2, y2}, darkShadow);
  PlotLine(m_Surface, {x1, y2 - 1}, {x2, y2 - 1}, shadow);
  PlotLine(m_Surface, {x2 - 1, y1}, {x2 - 1, y2}, shadow);

  update();
  emit Scroll();
}

void VolumeBar::DragTo(float x) {
  // Halves go to the even neighbour (the default rounding mode).
  const double v = std::nearbyint(static_cast<double>(x - m_GrabOffset) * m_Max / kTravel);
  m_Value = static_cast<int32_t>(std::clamp(v, static_cast<double>(std::numeric_limits<int32_t>::min()),
                                            static_cast<double>(std::numeric_limits<int32_t>::max())));
  Redraw();
}

void VolumeBar::paintEvent(QPaintEvent*) {
  QPainter p(this);
  p.drawImage(0, 0, m_Surface);
  if (hasFocus()) {
    QStyleOptionFocusRect option;
    option.initFrom(this);
    option.rect = rect().adjusted(1, 1, -1, -1);
    style()->drawPrimitive(QStyle::PE_FrameFocusRect, &option, &p, this);
  }
}

void VolumeBar::resizeEvent(QResizeEvent*) { Relayout(); }

void VolumeBar::changeEvent(QEvent* event) {
  QWidget::changeEvent(event);
  if (event->type() == QEvent::PaletteChange) Redraw();
}

void VolumeBar::mousePressEvent(QMouseEvent* event) {
  if (event->button() != Qt::LeftButton) return;
  const auto x = static_cast<float>(event->position().x());
  const auto y = static_cast<float>(event->position().y());
  // A press beside the thumb keeps the last grab offset, so the thumb jumps
  // to sit that far left of the pointer.
  const ThumbBounds r = ThumbRect();
  if (HitThumb(x, y, r)) m_GrabOffset = x - r.X1;
  DragTo(x);
}

void VolumeBar::mouseMoveEvent(QMouseEvent* event) {
  // Left together with another button does not drag.
  if (event->buttons() == Qt::LeftButton) DragTo(static_cast<float>(event->position().x()));
}

void VolumeBar::keyPressEvent(QKeyEvent* event) {
  // Counted in 64 bits and saturated at the int32 limits, so a step never overflows.
  const auto moveBy = [this](int64_t lStep) {
    SetValue(static_cast<int32_t>(std::clamp<int64_t>(int64_t{m_Value} + lStep, std::numeric_limits<int32_t>::min(),
                                                      std::numeric_limits<int32_t>::max())));
  };
  switch (event->key()) {
    case Qt::Key_Left:
    case Qt::Key_Down: moveBy(-int64_t{m_nKeyStep}); break;
    case Qt::Key_Right:
    case Qt::Key_Up: moveBy(m_nKeyStep); break;
    case Qt::Key_PageDown: moveBy(-int64_t{m_nPageStep}); break;
    case Qt::Key_PageUp: moveBy(m_nPageStep); break;
    case Qt::Key_Home: SetValue(m_Min); break;
    case Qt::Key_End: SetValue(m_Max); break;
    default: QWidget::keyPressEvent(event);
  }
}

}  // namespace ekoto
