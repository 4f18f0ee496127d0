#include "map/picture_box.h"

#include "map/sheet_renderer.h"

#include <QFileInfo>
#include <QImageReader>
#include <QPainter>

namespace eq {

PictureBox::PictureBox(QWidget* parent) : QWidget(parent) {
  setAttribute(Qt::WA_OpaquePaintEvent);
  setFocusPolicy(Qt::StrongFocus);
}

void PictureBox::removePicture() {
  sheet_.clear();
  changed();
}

bool PictureBox::loadPicture(const QString& path) {
  QImageReader reader(path);
  QImage image = reader.read();
  if (image.isNull()) return false;
  sheet_.setBackground(image, QFileInfo(path).fileName());
  changed();
  return true;
}

void PictureBox::pSet(float x, float y, QColor color) {
  sheet_.add(SheetPoint{static_cast<float>(toMapX(x)), static_cast<float>(toMapY(y)), color.rgb()});
  changed();
}

void PictureBox::line(float x1, float y1, float x2, float y2, QColor color) {
  sheet_.add(SheetLine{static_cast<float>(toMapX(x1)), static_cast<float>(toMapY(y1)),
                       static_cast<float>(toMapX(x2)), static_cast<float>(toMapY(y2)), color.rgb()});
  changed();
}

bool PictureBox::circle(float x, float y, float radius, QColor color) {
  if (!(radius >= 0)) return false;
  const double scale = scaleMode_ == ScaleMode::Characters ? kColumnWidth : 1.0;
  std::optional<QRgb> fill;
  if (fillStyle_ == 0) fill = fillColor_.rgb();
  sheet_.add(SheetCircle{static_cast<float>(toMapX(x)), static_cast<float>(toMapY(y)),
                         static_cast<float>(radius * scale), color.rgb(), fill});
  changed();
  return true;
}

void PictureBox::print(const QString& text) {
  if (text.isEmpty()) return;  // shows nothing
  sheet_.add(SheetText{static_cast<float>(toMapX(currentX_)), static_cast<float>(toMapY(currentY_)),
                       foreColor_.rgb(), text});
  changed();
}

QImage PictureBox::image() const { return renderSheetImage(sheet_); }

void PictureBox::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  paintSheet(painter, sheet_, QRectF(0, 0, Sheet::kWidth / kMapUnitsPerScreenPixel, Sheet::kHeight / kMapUnitsPerScreenPixel));
}

}  // namespace eq
