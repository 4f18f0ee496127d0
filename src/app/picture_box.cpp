#include "app/picture_box.h"

#include "session/drawing_surface.h"
#include "sheet/sheet_renderer.h"

#include <QPainter>

namespace eq {

PictureBox::PictureBox(const DrawingSurface& surface, QWidget* parent) : QWidget(parent), surface_(surface) {
  setAttribute(Qt::WA_OpaquePaintEvent);
  setFocusPolicy(Qt::StrongFocus);
}

void PictureBox::sync() {
  if (surface_.revision() == shownRevision_) return;
  shownRevision_ = surface_.revision();
  update();
}

void PictureBox::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  const QRectF sheet(0, 0, kSheetWidth / kMapUnitsPerScreenPixel, kSheetHeight / kMapUnitsPerScreenPixel);
  paintSheet(painter, surface_.picture(), sheet);
  // With the focus (at start-up, or by Tab) the sheet is framed, so that the keys it
  // takes (the Menu key for its menu) are seen to go to it.
  if (hasFocus()) {
    painter.setPen(QPen(palette().color(QPalette::Highlight), 2));
    painter.setBrush(Qt::NoBrush);
    painter.drawRect(sheet.adjusted(1, 1, -1, -1));
  }
}

}  // namespace eq
