#pragma once
// Where the printed sheet goes on the page: the picture is fitted to the page with
// its aspect ratio kept, then drawn 1.4 times that size from the page's top-left
// corner (the size was always read from the portrait page, the sheet then printed
// on the landscape one).

#include <optional>

namespace eq {

// A picture's size in its own unit, hundredths of a millimetre.
struct PictureSize {
  int width = 0;
  int height = 0;
};

// Whole hundredths of a millimetre of a bitmap shown at 96 pixels per inch, rounded
// to the nearest as the system's picture objects do (1200 x 853 -> 31750 x 22569).
PictureSize pictureSizeOfBitmap(int pixelWidth, int pixelHeight);

struct PrintFit {
  // The ratios page / picture, kept at single precision.
  float widthRatio = 0;
  float heightRatio = 0;
  // The largest size (twips) at which the picture fits the page, whole numbers.
  double width = 0;
  double height = 0;
  // The size (twips) the picture is drawn at, from the page's origin.
  double drawWidth = 0;
  double drawHeight = 0;
};

inline constexpr double kPrintEnlargement = 1.4;

// Fits a picture of `picture` hundredths of a millimetre to a page of
// pageWidth x pageHeight twips: the smaller ratio wins (a tie takes the width's),
// the products are rounded half to even. Nothing when a size is not positive.
std::optional<PrintFit> fitPictureToPage(double pageWidth, double pageHeight, PictureSize picture);

}  // namespace eq
