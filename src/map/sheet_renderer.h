#pragma once
// Paints a sheet on any QPainter: widget, image, PDF, SVG or printer.

#include "map/sheet.h"

#include <QRectF>

class QPainter;

namespace eq {

// The sheet's pixel size on screen: 15 map units per pixel.
constexpr int kSheetPixelWidth = 1200;
constexpr int kSheetPixelHeight = 853;

// Paints the sheet scaled so that its 18000 x 12800 map units fill `target`
// (device coordinates of the painter). Lines and points are one screen pixel
// (15 map units) wide at every scale; text uses the surface's Japanese font.
void paintSheet(QPainter& painter, const Sheet& sheet, const QRectF& target);

// The sheet as an image of 1200 x 853 pixels times `scale`.
QImage renderSheetImage(const Sheet& sheet, double scale = 1.0);

}  // namespace eq
