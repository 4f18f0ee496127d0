// Draws the background map JapanMap3.bmp from the land outline extract.
//
//   make_background_map <land_east_asia.txt> <JapanMap3.bmp>
//
// Every vertex goes through the sheet's projection (map units, 15 per screen pixel), so the coast lines
// up with the graticule and the circles that Draw puts on top. Pixel (i, j) covers [i, i+1) x [j, j+1)
// in pixel units; it is land when its centre lies inside the land (even-odd rule over all rings), and
// coast when an outline passes through its square, so even islands smaller than a pixel show as a dot.
// Everything else is white sea.

#include "land_extract.h"
#include "map/projection.h"

#include <QColor>
#include <QImage>
#include <QString>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <limits>
#include <vector>

namespace {

constexpr int kWidth = 1200;      // pixels: the 18000-twip sheet
constexpr int kHeight = 853;      // pixels: the 12800-twip sheet, last partial pixel dropped
constexpr double kTwipsPerPixel = 15;

enum Cell : unsigned char { kSea = 0, kLand = 1, kCoast = 2 };

// Pale enough for red circles, black grid points and black, blue or red text on top.
const QRgb kSeaColour = qRgb(255, 255, 255);
const QRgb kLandColour = qRgb(238, 234, 214);
const QRgb kCoastColour = qRgb(170, 160, 128);

struct PixelPoint {
  double x;
  double y;
};
using PixelRing = std::vector<PixelPoint>;

class Raster {
 public:
  Raster() : cells_(static_cast<std::size_t>(kWidth) * kHeight, kSea) {}

  unsigned char& at(int i, int j) { return cells_[static_cast<std::size_t>(j) * kWidth + i]; }

  // Even-odd fill sampled at pixel centres.
  void fill(const std::vector<PixelRing>& rings) {
    std::vector<double> crossings;
    for (int j = 0; j < kHeight; ++j) {
      const double yc = j + 0.5;
      crossings.clear();
      for (const PixelRing& ring : rings) {
        for (std::size_t k = 0; k < ring.size(); ++k) {
          const PixelPoint& a = ring[k];
          const PixelPoint& b = ring[(k + 1) % ring.size()];
          // half-open in y, so a vertex exactly on the centre line counts once
          if ((a.y <= yc) == (b.y <= yc)) continue;
          crossings.push_back(a.x + (yc - a.y) * (b.x - a.x) / (b.y - a.y));
        }
      }
      std::sort(crossings.begin(), crossings.end());
      for (std::size_t k = 0; k + 1 < crossings.size(); k += 2) {
        // centres i + 0.5 with x0 <= i + 0.5 < x1
        const int first = std::max(0, static_cast<int>(std::ceil(crossings[k] - 0.5)));
        const int end = std::min(kWidth, static_cast<int>(std::ceil(crossings[k + 1] - 0.5)));
        for (int i = first; i < end; ++i) at(i, j) = kLand;
      }
    }
  }

  // Marks every pixel whose square the segment a-b passes through (grid traversal).
  void stroke(PixelPoint a, PixelPoint b) {
    // Segments far off the sheet are skipped whole; the margin kept by the extract is only a few pixels.
    if (std::max(a.x, b.x) < -1 || std::min(a.x, b.x) > kWidth + 1 || std::max(a.y, b.y) < -1 ||
        std::min(a.y, b.y) > kHeight + 1)
      return;
    int i = static_cast<int>(std::floor(a.x));
    int j = static_cast<int>(std::floor(a.y));
    const int iEnd = static_cast<int>(std::floor(b.x));
    const int jEnd = static_cast<int>(std::floor(b.y));
    const double dx = b.x - a.x;
    const double dy = b.y - a.y;
    const int stepI = dx > 0 ? 1 : -1;
    const int stepJ = dy > 0 ? 1 : -1;
    const double inf = std::numeric_limits<double>::infinity();
    double tNextI = dx == 0 ? inf : ((dx > 0 ? i + 1 : i) - a.x) / dx;
    double tNextJ = dy == 0 ? inf : ((dy > 0 ? j + 1 : j) - a.y) / dy;
    const double tStepI = dx == 0 ? inf : 1 / std::fabs(dx);
    const double tStepJ = dy == 0 ? inf : 1 / std::fabs(dy);
    mark(i, j);
    for (int steps = std::abs(iEnd - i) + std::abs(jEnd - j); steps > 0; --steps) {
      if (tNextI < tNextJ) {
        i += stepI;
        tNextI += tStepI;
      } else {
        j += stepJ;
        tNextJ += tStepJ;
      }
      mark(i, j);
    }
  }

  QImage image() const {
    QImage img(kWidth, kHeight, QImage::Format_Indexed8);
    img.setColorTable({kSeaColour, kLandColour, kCoastColour});
    for (int j = 0; j < kHeight; ++j) {
      uchar* line = img.scanLine(j);
      std::copy_n(cells_.begin() + static_cast<std::ptrdiff_t>(j) * kWidth, kWidth, line);
    }
    return img;
  }

 private:
  void mark(int i, int j) {
    if (i >= 0 && i < kWidth && j >= 0 && j < kHeight) at(i, j) = kCoast;
  }

  std::vector<unsigned char> cells_;
};

}  // namespace

int main(int argc, char** argv) {
  if (argc != 3) {
    std::fprintf(stderr, "usage: make_background_map <land outlines.txt> <output.bmp>\n");
    return 2;
  }
  const eq::LandExtract extract = eq::readLandExtractFile(argv[1]);
  if (!extract.error.empty()) {
    std::fprintf(stderr, "make_background_map: %s: %s\n", argv[1], extract.error.c_str());
    return 1;
  }

  std::vector<PixelRing> rings;
  rings.reserve(extract.rings.size());
  for (const eq::LandRing& ring : extract.rings) {
    PixelRing pixels;
    pixels.reserve(ring.size());
    for (const eq::GeoPoint& g : ring) {
      const auto p = eq::PlotXY(g.latitude, g.longitude);
      if (!p) {
        std::fprintf(stderr, "make_background_map: cannot project %g %g\n", g.longitude, g.latitude);
        return 1;
      }
      pixels.push_back({p->x / kTwipsPerPixel, p->y / kTwipsPerPixel});
    }
    rings.push_back(std::move(pixels));
  }

  Raster raster;
  raster.fill(rings);
  for (const PixelRing& ring : rings)
    for (std::size_t k = 0; k < ring.size(); ++k) raster.stroke(ring[k], ring[(k + 1) % ring.size()]);

  if (!raster.image().save(QString::fromLocal8Bit(argv[2]), "BMP")) {
    std::fprintf(stderr, "make_background_map: cannot write %s\n", argv[2]);
    return 1;
  }
  return 0;
}
