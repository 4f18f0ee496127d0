#pragma once
// Picture1 on screen: the widget that paints the drawing surface's retained sheet.
// All drawing state lives in the session's DrawingSurface; this only shows it.

#include <QWidget>

namespace eq {

class DrawingSurface;

class PictureBox : public QWidget {
  Q_OBJECT
 public:
  PictureBox(const DrawingSurface& surface, QWidget* parent);

  // Repaints when the surface changed since the last look.
  void sync();

 protected:
  void paintEvent(QPaintEvent* event) override;

 private:
  const DrawingSurface& surface_;
  unsigned shownRevision_ = 0;
};

}  // namespace eq
