#pragma once
// The map sheet: an ordered list of drawing operations in map units (twips of the
// 18000 x 12800 drawing area, origin top-left, y down), over an optional background
// picture. It is the drawing surface's persistent image; every output (screen,
// image, PDF, SVG, printer, clipboard, JSON) paints this same list.

#include "map/projection.h"

#include <QImage>
#include <QPointF>
#include <QRgb>
#include <QString>
#include <optional>
#include <variant>
#include <vector>

namespace eq {

struct SheetPoint {
  float x, y;
  QRgb color;
};
struct SheetLine {
  float x1, y1, x2, y2;
  QRgb color;
};
struct SheetCircle {
  float x, y, r;
  QRgb color;
  std::optional<QRgb> fill;  // none: transparent
};
// A closed line through points (the true-distance circles).
struct SheetPolyline {
  std::vector<QPointF> points;
  QRgb color;
};
// Text with its top-left corner at (x, y).
struct SheetText {
  float x, y;
  QRgb color;
  QString text;
};
using SheetItem = std::variant<SheetPoint, SheetLine, SheetCircle, SheetPolyline, SheetText>;

class Sheet {
 public:
  // Removes the background picture and everything drawn.
  void clear();
  void setBackground(const QImage& image, const QString& fileName);
  const QImage& background() const { return background_; }
  const QString& backgroundName() const { return backgroundName_; }  // empty: none

  void add(SheetItem item) { items_.push_back(std::move(item)); }
  // Removes the items from `first` on (the last ones drawn).
  void removeFrom(std::size_t first) {
    if (first < items_.size()) items_.resize(first);
  }
  const std::vector<SheetItem>& items() const { return items_; }
  bool isEmpty() const { return items_.empty() && background_.isNull(); }

 private:
  QImage background_;
  QString backgroundName_;
  std::vector<SheetItem> items_;
};

}  // namespace eq
