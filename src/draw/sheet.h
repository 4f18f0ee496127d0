#pragma once
// The map sheet as plain data: an ordered list of drawing operations in map units
// (twips of the 18000 x 12800 drawing area, origin top-left, y down) over an optional
// background bitmap, named here by its file name. Every output (screen, image, PDF,
// SVG, printer, clipboard, JSON) paints or writes this same list; the toolkit's side
// converts the colours and texts when it paints.

#include "map/projection.h"

#include <optional>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

namespace eq {

struct Rgb {
  unsigned char red = 0;
  unsigned char green = 0;
  unsigned char blue = 0;
  friend constexpr bool operator==(Rgb a, Rgb b) { return a.red == b.red && a.green == b.green && a.blue == b.blue; }
  friend constexpr bool operator!=(Rgb a, Rgb b) { return !(a == b); }
};
inline constexpr Rgb kBlack{0, 0, 0};
inline constexpr Rgb kRed{255, 0, 0};
inline constexpr Rgb kBlue{0, 0, 255};

// One pixel's dot; a line; a circle, filled or not.
struct SheetPoint {
  float x, y;
  Rgb color;
};
struct SheetLine {
  float x1, y1, x2, y2;
  Rgb color;
};
struct SheetCircle {
  float x, y, r;
  Rgb color;
  std::optional<Rgb> fill;  // none: transparent
};
// A closed line through points (the true-distance circles).
struct SheetPolyline {
  std::vector<MapPoint> points;
  Rgb color;
};
// Text (UTF-8) with its top-left corner at (x, y).
struct SheetText {
  float x, y;
  Rgb color;
  std::string text;
};
using SheetItem = std::variant<SheetPoint, SheetLine, SheetCircle, SheetPolyline, SheetText>;

struct Sheet {
  std::string background;         // the background bitmap's file name; empty: none
  std::vector<SheetItem> items;   // in drawing order
  bool empty() const { return items.empty() && background.empty(); }
};

// The sheet is 150 text cells wide, so no text shows more than a few hundred of its
// characters there. A text is cut far beyond that, so that a name of millions of
// characters is painted in the usual time and memory.
inline constexpr std::size_t kLongestText = 1000;

// Adds a text at (x, y) in map units, cut to kLongestText characters; an empty text
// shows nothing and is not added.
void addText(Sheet& sheet, float x, float y, Rgb color, std::string_view text);

}  // namespace eq
