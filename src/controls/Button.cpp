// Button: the flat face's painting, hover tracking and click rules.
#include "controls/Button.h"

#include <QMouseEvent>
#include <QPainter>
#include <QPushButton>
#include <cmath>

namespace ekoto {
namespace {

// Mouse buttons as the face's handlers count them.
int ButtonMask(Qt::MouseButtons buttons) {
  int n = 0;
  if (buttons & Qt::LeftButton) n |= 1;
  if (buttons & Qt::RightButton) n |= 2;
  if (buttons & Qt::MiddleButton) n |= 4;
  return n;
}

// From `from` towards `to`, leaving `to` itself unpainted, so that the frame's
// lines meet without painting a corner twice. The frame's lines are straight.
void PlotLine(QImage& img, QPoint from, QPoint to, QRgb c) {
  const int dx = (to.x() > from.x()) - (to.x() < from.x());
  const int dy = (to.y() > from.y()) - (to.y() < from.y());
  for (QPoint p = from; p != to; p += QPoint(dx, dy)) {
    if (img.rect().contains(p)) img.setPixel(p, c);
  }
}

}  // namespace

Button::Button(QWidget* parent) : QWidget(parent) {
  // Moves without a button held, for the hover face.
  setMouseTracking(true);
  cmdButton = new QPushButton(this);
  connect(cmdButton, &QPushButton::clicked, this, [this] {
    if (m_Enabled) emit Click();
  });
  cmdButton->setGeometry(rect());
  Refresh();
}

QSize Button::sizeHint() const { return cmdButton->sizeHint(); }

void Button::SetCaption(const QString& s) {
  m_Caption = s;
  Refresh();
}

void Button::SetEnabled(bool b) {
  m_Enabled = b;
  // A disabled button gives no Click from the push button either.
  cmdButton->setEnabled(b);
  Refresh();
}

void Button::SetBackColor(uint32_t c) {
  if (c == m_BackColor) return;
  m_BackColor = c;
  Refresh();
}

void Button::SetForeColor(uint32_t c) {
  if (c == m_ForeColor) return;
  m_ForeColor = c;
  Refresh();
}

void Button::SetHoverForeColor(uint32_t c) {
  if (c == m_HoverForeColor) return;
  m_HoverForeColor = c;
  Refresh();
}

void Button::SetLinkStyle(bool b) {
  m_LinkStyle = b;
  Refresh();
}

void Button::SetFlatStyle(bool b) {
  m_FlatStyle = b;
  Refresh();
}

void Button::SetTransParent(bool b) {
  m_TransParent = b;
  Refresh();
}

void Button::Refresh() { PaintButton(0, 0, 0, true); }

bool Button::TrackHover(double x, double y) {
  const double rx = std::nearbyint(x);
  const double ry = std::nearbyint(y);
  // Moves outside keep arriving while a button is held (Qt's implicit grab);
  // without one, leaving the face is reported by leaveEvent.
  return rx >= 0 && rx < m_Surface.width() && ry >= 0 && ry < m_Surface.height();
}

void Button::PaintButton(int nButton, double x, double y, bool bForce) {
  cmdButton->setVisible(!m_FlatStyle);
  cmdButton->setText(m_Caption);
  if (cmdButton->isDown()) return;
  // The face follows the control's size, also before a hidden control's first resize event.
  if (m_Surface.size() != size()) m_Surface = QImage(size(), QImage::Format_RGB32);

  const int W = m_Surface.width() - 1;
  const int H = m_Surface.height() - 1;
  const QColor back = Color(m_BackColor);
  int nState = kNormal;
  QColor light = m_FlatStyle ? back : Color(kSysButtonHighlight);
  QColor dark = m_FlatStyle ? back : Color(kSysButtonShadow);
  if (!bForce) {
    if (!TrackHover(x, y)) {
      m_bUnderline = false;
    } else {
      if (nButton == 1) {
        nState = kPressed;
        light = Color(kSysButtonShadow);
        dark = Color(kSysButtonHighlight);
      } else {
        nState = kHover;
        light = Color(kSysButtonHighlight);
        dark = Color(kSysButtonShadow);
      }
      m_bUnderline = m_Enabled && m_LinkStyle;
    }
  }
  // Moves within one state do not repaint.
  if (!bForce && nState == m_nLastState) return;
  m_nLastState = nState;
  if (m_Surface.isNull()) return;

  m_Surface.fill(back);
  if (m_TransParent && parentWidget() != nullptr) {
    // Only a background picture shows through; a plain colour leaves the face's own.
    const QBrush brush = parentWidget()->palette().brush(parentWidget()->backgroundRole());
    if (brush.style() == Qt::TexturePattern) {
      QPainter p(&m_Surface);
      p.setBrushOrigin(-pos());
      p.fillRect(m_Surface.rect(), brush);
    }
  }
  if (!m_LinkStyle && m_Enabled) {
    PlotLine(m_Surface, {0, 0}, {W, 0}, light.rgb());
    PlotLine(m_Surface, {0, 0}, {0, H}, light.rgb());
    PlotLine(m_Surface, {W, 0}, {W, H}, dark.rgb());
    PlotLine(m_Surface, {0, H}, {W, H}, dark.rgb());
  }
  QColor text = Color(kSysButtonShadow);
  if (m_Enabled) text = Color(nState == kNormal ? m_ForeColor : m_HoverForeColor);
  DrawCaption(m_Caption, true, text);
  update();
}

void Button::DrawCaption(const QString& text, bool bCentre, const QColor& color) {
  QFont captionFont = font();
  captionFont.setUnderline(m_bUnderline);
  const QFontMetrics metrics(captionFont);
  const qsizetype nLines = text.count(u'\n') + 1;
  const int nTextHeight = static_cast<int>(nLines) * metrics.height();
  const int nBottom = m_Surface.height();
  const int nTop = static_cast<int>(std::nearbyint((nBottom - nTextHeight) / 2.0));

  QPainter p(&m_Surface);
  p.setFont(captionFont);
  p.setPen(color);
  const int flags = Qt::AlignTop | Qt::TextWordWrap | (bCentre ? Qt::AlignHCenter : Qt::AlignLeft);
  p.drawText(QRect(0, nTop, m_Surface.width(), nBottom - nTop), flags, text);
}

void Button::paintEvent(QPaintEvent*) {
  QPainter p(this);
  p.drawImage(0, 0, m_Surface);
}

void Button::resizeEvent(QResizeEvent*) {
  cmdButton->setGeometry(rect());
  // Qt also sends a hidden control its size again whenever it is rendered;
  // only a new size repaints.
  if (m_Surface.size() != size()) Refresh();
}

void Button::changeEvent(QEvent* event) {
  QWidget::changeEvent(event);
  // System colours and the caption's font follow the desktop.
  if (event->type() == QEvent::PaletteChange || event->type() == QEvent::FontChange) Refresh();
}

void Button::mousePressEvent(QMouseEvent* event) {
  PaintButton(ButtonMask(event->button()), event->position().x(), event->position().y(), false);
}

void Button::mouseMoveEvent(QMouseEvent* event) {
  if (m_Caption.isEmpty()) return;
  PaintButton(ButtonMask(event->buttons()), event->position().x(), event->position().y(), false);
}

void Button::mouseReleaseEvent(QMouseEvent* event) {
  const double x = event->position().x();
  const double y = event->position().y();
  // Both edges count here, unlike the hover test.
  if (x < 0 || x > m_Surface.width() || y < 0 || y > m_Surface.height() || !m_Enabled) return;
  PaintButton(0, -1, -1, false);
  if (event->button() == Qt::LeftButton) emit Click();
}

void Button::leaveEvent(QEvent*) {
  if (m_Caption.isEmpty()) return;
  PaintButton(0, -1, -1, false);
}

}  // namespace ekoto
