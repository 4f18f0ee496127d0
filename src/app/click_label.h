#pragma once
// A label that reports a click, like the help labels and the select-all label.

#include <QLabel>
#include <QMouseEvent>

namespace eq {

class ClickLabel : public QLabel {
  Q_OBJECT
 public:
  using QLabel::QLabel;

 signals:
  void clicked();

 protected:
  void mouseReleaseEvent(QMouseEvent* event) override {
    if (event->button() == Qt::LeftButton && rect().contains(event->position().toPoint())) emit clicked();
    QLabel::mouseReleaseEvent(event);
  }
};

}  // namespace eq
