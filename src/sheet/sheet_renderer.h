#pragma once
// Paints a sheet on any QPainter: widget, image, PDF, SVG or printer. Every
// output goes through here, so they all show the same picture.

#include "draw/sheet.h"

#include <QImage>
#include <QRectF>

class QPainter;

namespace eq {

// The sheet's pixel size on screen: 15 map units per pixel.
constexpr double kMapUnitsPerScreenPixel = 15.0;
constexpr int kSheetPixelWidth = 1200;
constexpr int kSheetPixelHeight = 853;
// Text on the sheet is 9 pt high: 180 map units.
constexpr double kSheetTextHeight = 180.0;

// A sheet with the bitmap its background names (a null image when it has none).
struct SheetPicture {
  const Sheet& sheet;
  const QImage& background;
};

// Paints the sheet scaled so that its 18000 x 12800 map units fill `target`
// (the painter's coordinates), on a white ground. The background bitmap covers
// 15 map units per pixel. Lines and points are one screen pixel (15 map units)
// wide at every scale, circles are antialiased, text is in the surface's Japanese
// font with its top-left corner at the item's position.
void paintSheet(QPainter& painter, const SheetPicture& picture, const QRectF& target);

// The sheet as an image at 15 map units per pixel times `scale`, rounded to whole
// pixels: 1200 x 853 at scale 1 (a null image when that size is not positive or too
// large to allocate).
QImage renderSheetImage(const SheetPicture& picture, double scale = 1.0);

// The same picture painted into `image`, whose pixels are reused when it already has
// that size (frame after frame, with no new allocation); false when the size cannot
// be made.
bool renderSheetImage(const SheetPicture& picture, double scale, QImage& image);

}  // namespace eq
