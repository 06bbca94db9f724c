// Button: a push button with two faces. FlatStyle off shows an ordinary push
// button; FlatStyle on draws a frameless face that shows a raised frame under
// the pointer and a sunken one while the left button is held. LinkStyle drops
// the frame and underlines the caption under the pointer: a hyperlink.
// Colours are 0x00BBGGRR or 0x80000000 + a system colour number (OleColor.h).
#pragma once
#include <QImage>
#include <QString>
#include <QWidget>
#include <cstdint>

#include "controls/OleColor.h"

class QPushButton;

namespace ekoto {

class Button : public QWidget {
  Q_OBJECT

 public:
  explicit Button(QWidget* parent = nullptr);

  // Setting any of these repaints the face in its normal state; a colour set to
  // the value it already has changes nothing.
  QString Caption() const { return m_Caption; }
  void SetCaption(const QString& s);
  // Off: the caption in button shadow, no frame, no Click from either face.
  bool Enabled() const { return m_Enabled; }
  void SetEnabled(bool b);
  uint32_t BackColor() const { return m_BackColor; }
  void SetBackColor(uint32_t c);
  uint32_t ForeColor() const { return m_ForeColor; }
  void SetForeColor(uint32_t c);
  uint32_t HoverForeColor() const { return m_HoverForeColor; }
  void SetHoverForeColor(uint32_t c);
  bool LinkStyle() const { return m_LinkStyle; }
  void SetLinkStyle(bool b);
  bool FlatStyle() const { return m_FlatStyle; }
  void SetFlatStyle(bool b);
  // The container's background picture (a texture in its palette) shows behind the face.
  bool TransParent() const { return m_TransParent; }
  void SetTransParent(bool b);

  // Repaints the face in its normal state.
  void Refresh();

  QSize sizeHint() const override;

 signals:
  // A click of the push button, or a left-button release on the flat face
  // after a press on it.
  void Click();

 protected:
  void paintEvent(QPaintEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;
  void changeEvent(QEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;
  void mouseMoveEvent(QMouseEvent* event) override;
  void mouseReleaseEvent(QMouseEvent* event) override;
  void leaveEvent(QEvent* event) override;

 private:
  enum VisualState { kNormal = 0, kPressed = 1, kHover = 2 };

  // nButton: 1 left, 2 right, 4 middle, or their sum for a move; 0 for none.
  void PaintButton(int nButton, double x, double y, bool bForce);
  bool TrackHover(double x, double y);
  void DrawCaption(const QString& text, bool bCentre, const QColor& color);
  QColor Color(uint32_t c) const { return OleColorToQColor(c, palette()); }

  QString m_Caption;
  bool m_Enabled = true;
  uint32_t m_BackColor = kSysButtonFace;
  uint32_t m_ForeColor = kSysButtonText;
  uint32_t m_HoverForeColor = 0xFF0000;
  bool m_LinkStyle = false;
  bool m_FlatStyle = false;
  bool m_TransParent = false;

  QPushButton* cmdButton = nullptr;
  QImage m_Surface;  // picCaption: the flat face, painted by PaintButton only
  int m_nLastState = kNormal;
  bool m_bUnderline = false;
};

}  // namespace ekoto
