#pragma once
// The row tick boxes are only 11 to 13 pixels square, smaller than a styled
// indicator, which would be clipped to an empty white square. This one draws its
// box and tick to fill whatever size it has, on its own background colour (white
// when usable, light grey when excluded), and takes clicks anywhere inside.
// With the focus it has a thick frame in the highlight colour.

#include <QCheckBox>
#include <QPainter>
#include <QPainterPath>

namespace eq {

class RowCheckBox : public QCheckBox {
  Q_OBJECT
 public:
  using QCheckBox::QCheckBox;

  QSize sizeHint() const override { return {13, 13}; }

 protected:
  bool hitButton(const QPoint& pos) const override { return rect().contains(pos); }

  void paintEvent(QPaintEvent*) override {
    QPainter p(this);
    const QRectF box = QRectF(rect()).adjusted(0.5, 0.5, -0.5, -0.5);
    p.fillRect(rect(), palette().color(QPalette::Window));
    const bool enabled = isEnabled();
    const int grey = enabled ? 96 : 160;
    p.setPen(QColor(grey, grey, grey));
    p.drawRect(box);
    if (hasFocus()) {
      // Too small for a dotted focus mark: a frame twice as thick in the highlight colour.
      p.setPen(QPen(palette().color(QPalette::Highlight), 2));
      p.drawRect(QRectF(rect()).adjusted(1, 1, -1, -1));
    }
    if (isChecked()) {
      p.setRenderHint(QPainter::Antialiasing);
      QPainterPath tick;
      const double w = width(), h = height();
      tick.moveTo(w * 0.22, h * 0.52);
      tick.lineTo(w * 0.42, h * 0.74);
      tick.lineTo(w * 0.80, h * 0.26);
      p.setPen(QPen(enabled ? Qt::black : QColor(128, 128, 128), 1.8, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
      p.drawPath(tick);
    }
  }
};

}  // namespace eq
