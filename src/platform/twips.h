#pragma once
// Every stored geometry of the windows is in twips (1/1440 inch); the screen has
// 15 twips per pixel. This is the one place that converts.

#include <QRect>
#include <cmath>

namespace eq {

constexpr int kTwipsPerPixel = 15;
constexpr int kTwipsPerInch = 1440;

inline int twipsToPixels(double twips) { return static_cast<int>(std::lround(twips / kTwipsPerPixel)); }
inline double pixelsToTwips(double pixels) { return pixels * kTwipsPerPixel; }

// Left, Top, Width, Height in twips as a pixel rectangle.
inline QRect twipsRect(int left, int top, int width, int height) {
  return QRect(twipsToPixels(left), twipsToPixels(top), twipsToPixels(width), twipsToPixels(height));
}

}  // namespace eq
