#include "map/print_fit.h"

#include <cfenv>
#include <cmath>

namespace eq {
namespace {

constexpr long kHimetricPerInch = 2540;
constexpr long kScreenPixelsPerInch = 96;

// Nearest whole number, halves to the even neighbour.
double roundHalfEven(double value) {
  const int saved = std::fegetround();
  std::fesetround(FE_TONEAREST);
  const double rounded = std::nearbyint(value);
  std::fesetround(saved);
  return rounded;
}

// pixels * 2540 / 96 rounded to the nearest whole number, halves up.
int himetricOf(int pixels) {
  if (pixels <= 0) return 0;
  return static_cast<int>((static_cast<long>(pixels) * kHimetricPerInch + kScreenPixelsPerInch / 2) /
                          kScreenPixelsPerInch);
}

}  // namespace

PictureSize pictureSizeOfBitmap(int pixelWidth, int pixelHeight) {
  return {himetricOf(pixelWidth), himetricOf(pixelHeight)};
}

std::optional<PrintFit> fitPictureToPage(double pageWidth, double pageHeight, PictureSize picture) {
  if (!(pageWidth > 0) || !(pageHeight > 0) || picture.width <= 0 || picture.height <= 0) return std::nullopt;
  if (!std::isfinite(pageWidth) || !std::isfinite(pageHeight)) return std::nullopt;
  PrintFit fit;
  fit.heightRatio = static_cast<float>(pageHeight / picture.height);
  fit.widthRatio = static_cast<float>(pageWidth / picture.width);
  const float factor = fit.heightRatio >= fit.widthRatio ? fit.widthRatio : fit.heightRatio;
  fit.height = roundHalfEven(static_cast<double>(factor) * picture.height);
  fit.width = roundHalfEven(static_cast<double>(factor) * picture.width);
  fit.drawWidth = kPrintEnlargement * fit.width;
  fit.drawHeight = kPrintEnlargement * fit.height;
  return fit;
}

}  // namespace eq
