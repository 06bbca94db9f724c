#include "ui/PlayerIcons.h"

#include <QGuiApplication>
#include <QPainter>
#include <QPainterPath>
#include <QPalette>
#include <QPixmap>
#include <QStyle>

namespace ekoto {
namespace {

constexpr int kIconSize = 16;

QIcon ThemeOrStandard(const char* themeName, QStyle::StandardPixmap standard, const QStyle& style) {
  const QIcon themed = QIcon::fromTheme(QString::fromLatin1(themeName));
  return themed.isNull() ? style.standardIcon(standard) : themed;
}

// A right-pointing triangle with its tip at x = right, centred vertically.
QPainterPath Triangle(double left, double right, double height) {
  QPainterPath path;
  const double top = (kIconSize - height) / 2.0;
  path.moveTo(left, top);
  path.lineTo(right, kIconSize / 2.0);
  path.lineTo(left, top + height);
  path.closeSubpath();
  return path;
}

// A 16×16 icon drawn by draw with antialiasing, in the palette's text colour.
template <typename Draw>
QIcon DrawnIcon(Draw draw) {
  QPixmap pixmap(kIconSize, kIconSize);
  pixmap.fill(Qt::transparent);
  QPainter painter(&pixmap);
  painter.setRenderHint(QPainter::Antialiasing);
  draw(painter, QGuiApplication::palette().color(QPalette::WindowText));
  painter.end();
  return QIcon(pixmap);
}

// Dots trailing a smaller triangle: a start that takes its time.
QIcon SlowPlayIcon() {
  return DrawnIcon([](QPainter& painter, const QColor& ink) {
    painter.setPen(Qt::NoPen);
    painter.setBrush(ink);
    for (int i = 0; i < 3; ++i) painter.drawEllipse(QRectF(1.0 + i * 2.6, 7.0, 2.0, 2.0));
    painter.drawPath(Triangle(8.5, 15.0, 10.0));
  });
}

// A text cursor followed by a triangle: reading starts where the cursor is.
QIcon CaretPlayIcon() {
  return DrawnIcon([](QPainter& painter, const QColor& ink) {
    painter.setPen(QPen(ink, 1.4));
    painter.drawLine(QPointF(3.5, 2.0), QPointF(3.5, 14.0));
    painter.drawLine(QPointF(1.5, 2.0), QPointF(5.5, 2.0));
    painter.drawLine(QPointF(1.5, 14.0), QPointF(5.5, 14.0));
    painter.setPen(Qt::NoPen);
    painter.setBrush(ink);
    painter.drawPath(Triangle(7.5, 15.0, 11.0));
  });
}

}  // namespace

QIcon PlayerButtonIcon(PlayerIcon kind, const QStyle& style) {
  switch (kind) {
    case PlayerIcon::kStop:
      return ThemeOrStandard("media-playback-stop", QStyle::SP_MediaStop, style);
    case PlayerIcon::kPause:
      return ThemeOrStandard("media-playback-pause", QStyle::SP_MediaPause, style);
    case PlayerIcon::kPlay:
      return ThemeOrStandard("media-playback-start", QStyle::SP_MediaPlay, style);
    case PlayerIcon::kCaretPlay:
      return CaretPlayIcon();
    case PlayerIcon::kSlowPlay:
      return SlowPlayIcon();
  }
  return {};
}

}  // namespace ekoto
