#include "map/sheet_renderer.h"

#include "app/fonts.h"

#include <QFontMetricsF>
#include <QPainter>
#include <cmath>

namespace eq {
namespace {

constexpr double kMapUnitsPerScreenPixel = 15.0;
constexpr double kTextHeight = 180.0;  // map units: 9 pt

struct Painter {
  QPainter& p;
  QRectF target;
  double sx, sy;  // device units per map unit

  QPointF at(double x, double y) const { return {target.left() + x * sx, target.top() + y * sy}; }
  double pixel() const { return kMapUnitsPerScreenPixel * sx; }

  void operator()(const SheetPoint& item) const {
    const QPointF c = at(item.x, item.y);
    p.fillRect(QRectF(c.x(), c.y(), pixel(), kMapUnitsPerScreenPixel * sy), QColor(item.color));
  }
  void operator()(const SheetLine& item) const {
    QPen pen(QColor(item.color), pixel());
    pen.setCapStyle(Qt::SquareCap);
    p.setPen(pen);
    p.setBrush(Qt::NoBrush);
    const QPointF half(pixel() / 2, pixel() / 2);
    p.drawLine(at(item.x1, item.y1) + half, at(item.x2, item.y2) + half);
  }
  void operator()(const SheetCircle& item) const {
    p.save();
    p.setRenderHint(QPainter::Antialiasing, true);
    p.setPen(QPen(QColor(item.color), pixel()));
    p.setBrush(item.fill ? QBrush(QColor(*item.fill)) : QBrush(Qt::NoBrush));
    p.drawEllipse(at(item.x, item.y), item.r * sx, item.r * sy);
    p.restore();
  }
  void operator()(const SheetText& item) const {
    if (item.text.isEmpty()) return;
    p.save();
    p.setRenderHint(QPainter::TextAntialiasing, true);
    const QFont font = sheetFont(static_cast<int>(std::lround(kTextHeight * sy)));
    p.setFont(font);
    p.setPen(QColor(item.color));
    const QPointF topLeft = at(item.x, item.y);
    p.drawText(QPointF(topLeft.x(), topLeft.y() + QFontMetricsF(font, p.device()).ascent()), item.text);
    p.restore();
  }
};

}  // namespace

void paintSheet(QPainter& painter, const Sheet& sheet, const QRectF& target) {
  painter.save();
  painter.setClipRect(target);
  painter.fillRect(target, Qt::white);
  const double sx = target.width() / Sheet::kWidth;
  const double sy = target.height() / Sheet::kHeight;
  if (!sheet.background().isNull()) {
    // Unscaled on screen: one bitmap pixel covers 15 map units.
    const QRectF image(target.topLeft(), QSizeF(sheet.background().width() * kMapUnitsPerScreenPixel * sx,
                                                 sheet.background().height() * kMapUnitsPerScreenPixel * sy));
    painter.drawImage(image, sheet.background());
  }
  const Painter draw{painter, target, sx, sy};
  for (const SheetItem& item : sheet.items()) std::visit(draw, item);
  painter.restore();
}

QImage renderSheetImage(const Sheet& sheet, double scale) {
  const int width = static_cast<int>(std::lround(kSheetPixelWidth * scale));
  const int height = static_cast<int>(std::lround(kSheetPixelHeight * scale));
  QImage image(width, height, QImage::Format_RGB32);
  image.fill(Qt::white);
  QPainter painter(&image);
  const double perMapUnit = scale / kMapUnitsPerScreenPixel;
  paintSheet(painter, sheet, QRectF(0, 0, Sheet::kWidth * perMapUnit, Sheet::kHeight * perMapUnit));
  return image;
}

}  // namespace eq
