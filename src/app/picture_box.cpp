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
  paintSheet(painter, surface_.sheet(),
             QRectF(0, 0, Sheet::kWidth / kMapUnitsPerScreenPixel, Sheet::kHeight / kMapUnitsPerScreenPixel));
}

}  // namespace eq
