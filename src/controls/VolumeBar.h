// VolumeBar: the self-drawn slider of the volume and speed bars. A fixed wedge
// with a raised thumb, dragged with the left button or moved by the keys: the
// arrows by a step, PgUp/PgDn by a page, Home/End to the ends.
// Coordinates are Qt logical pixels; the control is always 96 × 33 of them.
#pragma once
#include <QImage>
#include <QString>
#include <QWidget>
#include <cstdint>

namespace ekoto {

class VolumeBar : public QWidget {
  Q_OBJECT

 public:
  explicit VolumeBar(QWidget* parent = nullptr);

  // Value is stored as given and brought into [Min, Max] by the redraw that
  // follows, before SetValue returns; Scroll has then been emitted.
  int32_t Value() const { return m_Value; }
  void SetValue(int32_t v);

  // Accepted only while Min <= Max and Value <= Max (every redraw leaves it so)
  // and when m > 0, since the thumb position divides by Max. A maximum below
  // Value is accepted and lowers Value.
  int32_t Max() const { return m_Max; }
  void SetMax(int32_t m);

  int32_t Min() const { return m_Min; }

  // The keys' steps: arrows move by nStep, PgUp/PgDn by nPage (1 and 10 unless set).
  void SetKeySteps(int32_t nStep, int32_t nPage) {
    m_nKeyStep = nStep;
    m_nPageStep = nPage;
  }

  // The stored design-time properties. A max <= 0 gives the default 100.
  void LoadProperties(int32_t value, int32_t min, int32_t max);

  QString ToolTip() const { return toolTip(); }
  void SetToolTip(const QString& s) { setToolTip(s); }

  QSize sizeHint() const override;
  QSize minimumSizeHint() const override { return sizeHint(); }

 signals:
  // Emitted at the end of every redraw; the handler reads Value.
  void Scroll();

 protected:
  void paintEvent(QPaintEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;
  void changeEvent(QEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;
  void mouseMoveEvent(QMouseEvent* event) override;
  void keyPressEvent(QKeyEvent* event) override;

 private:
  struct ThumbBounds {
    float X1, Y1, X2, Y2;
  };

  void Relayout();
  void Redraw();
  ThumbBounds ThumbRect();
  static bool HitThumb(float x, float y, const ThumbBounds& r);
  void DragTo(float x);

  int32_t m_Value = 20;
  int32_t m_Min = 0;
  int32_t m_Max = 100;
  float m_GrabOffset = 0;
  int32_t m_nKeyStep = 1;
  int32_t m_nPageStep = 10;
  // The persistent drawing: painted by Redraw, copied out by paintEvent.
  QImage m_Surface;
};

}  // namespace ekoto
