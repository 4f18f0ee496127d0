#include "sheet/sheet_renderer.h"

#include "platform/fonts.h"
#include "platform/helper_thread.h"
#include "platform/twips.h"

#include <QFontMetricsF>
#include <QHash>
#include <QPaintEngine>
#include <QPainter>
#include <algorithm>
#include <cmath>
#include <vector>

namespace eq {
namespace {

QColor color(Rgb rgb) { return QColor(rgb.red, rgb.green, rgb.blue); }

int textPixelSize(double painterUnitsPerMapUnit) {
  return std::max(1, static_cast<int>(std::lround(kSheetTextHeight * painterUnitsPerMapUnit)));
}

// Looking a font up is the costly part of drawing text; the sheet uses one face at
// one size per output, so keep each size once found.
const QFont& cachedSheetFont(int pixelSize) {
  static QHash<int, QFont> fonts;
  auto it = fonts.find(pixelSize);
  if (it == fonts.end()) it = fonts.insert(pixelSize, sheetFont(pixelSize));
  return *it;
}

// The background bitmap is a 4-bit palette image; a raster painter converts such an
// image to 32-bit pixels on every drawImage, which costs more than the rest of the
// sheet. Drawn one to one on a raster target, it gets the converted copy instead,
// made once per bitmap: the same pixels, so the same picture. (Shrunk strongly, Qt
// filters palette images differently; PDF and SVG store the palette image smaller.)
const QImage& backgroundFor(const QPainter& painter, const QImage& background, const QRectF& target) {
  const QPaintEngine* engine = painter.paintEngine();
  const QTransform& device = painter.deviceTransform();
  const QRectF onDevice = device.mapRect(target);
  const bool oneToOne = device.type() <= QTransform::TxTranslate &&
                        std::fabs(onDevice.width() - background.width()) < 1e-6 &&
                        std::fabs(onDevice.height() - background.height()) < 1e-6;
  if (!oneToOne || !engine || engine->type() != QPaintEngine::Raster ||
      background.format() == QImage::Format_RGB32 || background.hasAlphaChannel()) {
    return background;
  }
  thread_local qint64 key = 0;
  thread_local QImage converted;
  if (converted.isNull() || key != background.cacheKey()) {
    converted = background.convertToFormat(QImage::Format_RGB32);
    key = background.cacheKey();
  }
  return converted;
}

// Draws the sheet's texts once on a scrap of image, each at its own fraction of a
// pixel, so that this thread's font engine has made their glyphs before the sheet
// is painted.
void makeGlyphs(const Sheet& sheet, double perMapUnit) {
  const QFont& font = cachedSheetFont(textPixelSize(perMapUnit));
  QImage scrap(64, 2 * std::max(1, font.pixelSize()) + 2, QImage::Format_RGB32);
  QPainter painter(&scrap);
  painter.setFont(font);
  painter.setRenderHint(QPainter::TextAntialiasing, true);
  const double ascent = QFontMetricsF(font, &scrap).ascent();
  for (const SheetItem& item : sheet.items) {
    const auto* text = std::get_if<SheetText>(&item);
    if (!text || text->text.empty()) continue;
    const double x = text->x * perMapUnit;
    const double y = text->y * perMapUnit;
    painter.drawText(QPointF(x - std::floor(x), y - std::floor(y) + ascent), QString::fromStdString(text->text));
  }
}

class ItemPainter {
 public:
  ItemPainter(QPainter& painter, const QRectF& target)
      : p_(painter),
        target_(target),
        sx_(target.width() / kSheetWidth),
        sy_(target.height() / kSheetHeight),
        pixelX_(kMapUnitsPerScreenPixel * sx_),
        pixelY_(kMapUnitsPerScreenPixel * sy_) {
    // Where a dot would be smaller than a device pixel, and the painter only scales
    // and moves, each dot fills the device pixel under it instead (see addPoint).
    const QTransform& device = painter.deviceTransform();
    constexpr double kRounding = 1e-9;
    pointsShrink_ = device.type() <= QTransform::TxScale &&
                    (pixelX_ * device.m11() < 1 - kRounding || pixelY_ * device.m22() < 1 - kRounding);
    if (pointsShrink_) {
      toDevice_ = device;
      toPainter_ = device.inverted();
    }
  }

  void paint(const std::vector<SheetItem>& items) {
    for (const SheetItem& item : items) {
      if (const auto* point = std::get_if<SheetPoint>(&item)) {
        addPoint(*point);
        continue;
      }
      flushPoints();
      std::visit(*this, item);
    }
    flushPoints();
  }

  // Points come in long runs of one colour (the graticule); they are filled together.
  void operator()(const SheetPoint&) {}

  void operator()(const SheetLine& item) {
    QPen pen(color(item.color), pixelX_);
    pen.setCapStyle(Qt::SquareCap);
    p_.setRenderHint(QPainter::Antialiasing, false);
    p_.setPen(pen);
    p_.setBrush(Qt::NoBrush);
    // The line covers the pixels whose top-left corners it passes through.
    const QPointF half(pixelX_ / 2, pixelY_ / 2);
    p_.drawLine(at(item.x1, item.y1) + half, at(item.x2, item.y2) + half);
  }

  void operator()(const SheetCircle& item) {
    if (!circleShows(item)) return;
    p_.setRenderHint(QPainter::Antialiasing, true);
    p_.setPen(QPen(color(item.color), pixelX_));
    p_.setBrush(item.fill ? QBrush(color(*item.fill)) : QBrush(Qt::NoBrush));
    p_.drawEllipse(at(item.x, item.y), double(item.r) * sx_, double(item.r) * sy_);
  }

  void operator()(const SheetPolyline& item) {
    if (item.points.size() < 2) return;
    QPolygonF polygon;
    polygon.reserve(static_cast<qsizetype>(item.points.size()));
    for (const MapPoint& point : item.points) polygon << at(point.x, point.y);
    p_.setRenderHint(QPainter::Antialiasing, true);
    p_.setPen(QPen(color(item.color), pixelX_));
    p_.setBrush(Qt::NoBrush);
    p_.drawPolygon(polygon);
  }

  void operator()(const SheetText& item) {
    if (item.text.empty() || item.x > kSheetWidth || item.y > kSheetHeight ||
        item.y < -kSheetTextHeight * 2) {
      return;
    }
    useTextFont();
    p_.setPen(color(item.color));
    const QPointF topLeft = at(item.x, item.y);
    p_.drawText(QPointF(topLeft.x(), topLeft.y() + ascent_), QString::fromStdString(item.text));
  }

 private:
  QPointF at(double x, double y) const { return {target_.left() + x * sx_, target_.top() + y * sy_}; }

  void addPoint(const SheetPoint& item) {
    if (item.x < -kMapUnitsPerScreenPixel || item.y < -kMapUnitsPerScreenPixel || item.x > kSheetWidth ||
        item.y > kSheetHeight) {
      return;
    }
    if (!points_.empty() && item.color != pointColor_) flushPoints();
    pointColor_ = item.color;
    const QPointF corner = at(item.x, item.y);
    if (!pointsShrink_) {
      points_.emplace_back(corner.x(), corner.y(), pixelX_, pixelY_);
      return;
    }
    // Smaller than a device pixel, a dot would cover no pixel's centre, and below
    // scale 1 the dotted graticule would fade away: it fills the pixel under its centre.
    const QPointF centre = toDevice_.map(corner + QPointF(pixelX_ / 2, pixelY_ / 2));
    points_.push_back(toPainter_.mapRect(QRectF(std::floor(centre.x()), std::floor(centre.y()), 1, 1)));
  }

  void flushPoints() {
    if (points_.empty()) return;
    p_.setRenderHint(QPainter::Antialiasing, false);
    p_.setPen(Qt::NoPen);
    p_.setBrush(color(pointColor_));
    p_.drawRects(points_.data(), static_cast<int>(points_.size()));
    points_.clear();
  }

  // A circle shows when its outline or its fill meets the sheet. Far-off circles,
  // and unfilled ones whose outline lies wholly outside the sheet, are left out.
  static bool circleShows(const SheetCircle& c) {
    const double r = std::fabs(double(c.r)) + kMapUnitsPerScreenPixel;
    const double nearestX = std::clamp(double(c.x), 0.0, double(kSheetWidth));
    const double nearestY = std::clamp(double(c.y), 0.0, double(kSheetHeight));
    if (std::hypot(c.x - nearestX, c.y - nearestY) > r) return false;
    if (c.fill) return true;
    const double farX = std::max(std::fabs(c.x), std::fabs(c.x - kSheetWidth));
    const double farY = std::max(std::fabs(c.y), std::fabs(c.y - kSheetHeight));
    return std::hypot(farX, farY) >= std::fabs(double(c.r)) - kMapUnitsPerScreenPixel;
  }

  void useTextFont() {
    if (fontSet_) return;
    const QFont& font = cachedSheetFont(textPixelSize(sy_));
    p_.setFont(font);
    p_.setRenderHint(QPainter::TextAntialiasing, true);
    ascent_ = QFontMetricsF(font, p_.device()).ascent();
    fontSet_ = true;
  }

  QPainter& p_;
  QRectF target_;
  double sx_, sy_;          // painter units per map unit
  double pixelX_, pixelY_;  // one screen pixel
  std::vector<QRectF> points_;
  bool pointsShrink_ = false;  // a dot is smaller than a device pixel
  QTransform toDevice_, toPainter_;  // to and from device pixels, while they do
  Rgb pointColor_;
  bool fontSet_ = false;
  double ascent_ = 0;
};

// The white ground and the background bitmap.
void paintGround(QPainter& painter, const QImage& background, const QRectF& target) {
  painter.fillRect(target, Qt::white);
  if (background.isNull()) return;
  // Unscaled on screen: one bitmap pixel covers 15 map units.
  const double sx = target.width() / kSheetWidth;
  const double sy = target.height() / kSheetHeight;
  const QRectF image(target.topLeft(), QSizeF(background.width() * kMapUnitsPerScreenPixel * sx,
                                               background.height() * kMapUnitsPerScreenPixel * sy));
  painter.setRenderHint(QPainter::SmoothPixmapTransform, true);
  painter.drawImage(image, backgroundFor(painter, background, image));
}

// The sheet on `target`; `withGround` false: the target already shows the ground.
void paintSheet(QPainter& painter, const SheetPicture& picture, const QRectF& target, bool withGround) {
  painter.save();
  painter.setClipRect(target, Qt::IntersectClip);
  if (withGround) paintGround(painter, picture.background, target);
  ItemPainter(painter, target).paint(picture.sheet.items);
  painter.restore();
}

}  // namespace

void paintSheet(QPainter& painter, const SheetPicture& picture, const QRectF& target) {
  paintSheet(painter, picture, target, true);
}

QImage renderSheetImage(const SheetPicture& picture, double scale) {
  QImage image;
  renderSheetImage(picture, scale, image);
  return image;
}

bool renderSheetImage(const SheetPicture& picture, double scale, QImage& image) {
  constexpr double kLargestSide = 16384;
  const double width = std::round(kSheetWidth / kMapUnitsPerScreenPixel * scale);
  const double height = std::round(kSheetHeight / kMapUnitsPerScreenPixel * scale);
  if (!(width >= 1 && height >= 1 && width <= kLargestSide && height <= kLargestSide)) {
    image = QImage();
    return false;
  }
  const QSize size(static_cast<int>(width), static_cast<int>(height));
  const double perMapUnit = scale / kMapUnitsPerScreenPixel;
  // A new image that the bitmap covers one to one starts as the bitmap's pixels, which
  // is what white ground and the bitmap painted on it give. It then holds one image's
  // memory instead of two (the bitmap converted apart, then copied over white), and new
  // memory is slow to come by. The bitmap is converted on another processor while this
  // thread makes the glyphs of the sheet's texts (font engines belong to the thread that
  // paints with them). Both are measured in the README (Performance).
  const QImage& background = picture.background;
  const bool fresh = image.size() != size || image.format() != QImage::Format_RGB32;
  const bool fromBitmap = fresh && scale == 1.0 && background.size() == size && !background.hasAlphaChannel();
  if (fromBitmap) {
    QImage ground;
    HelperThread helper =
        HelperThread::besideOrHere([&] { ground = background.convertToFormat(QImage::Format_RGB32); });
    makeGlyphs(picture.sheet, perMapUnit);
    helper.join();
    image = std::move(ground);
  } else if (fresh) {
    image = QImage(size, QImage::Format_RGB32);
  }
  if (image.isNull()) return false;
  // The image says how large it prints: the sheet's own size, 96 pixels an inch at scale 1.
  constexpr double kMetersPerInch = 0.0254;
  const double dotsPerInch = kTwipsPerInch / kMapUnitsPerScreenPixel * scale;
  const int dotsPerMeter = static_cast<int>(std::lround(dotsPerInch / kMetersPerInch));
  image.setDotsPerMeterX(dotsPerMeter);
  image.setDotsPerMeterY(dotsPerMeter);
  if (!fromBitmap) image.fill(Qt::white);
  QPainter painter(&image);
  paintSheet(painter, picture, QRectF(0, 0, kSheetWidth * perMapUnit, kSheetHeight * perMapUnit), !fromBitmap);
  return true;
}

}  // namespace eq
