#pragma once
// Where the earthquake circles cross. The expected epicentre is most likely where
// several circles meet, so every crossing of two circles is listed with its support:
// the two circles themselves plus every other circle passing within a tolerance.
//
// Two kinds of circle: as drawn on the sheet (a plane circle of 3 map units per km
// around the projected volcano), or at the true distance on the WGS84 ellipsoid.

#include "map/projection.h"

#include <optional>
#include <string_view>
#include <vector>

namespace eq {

enum class CircleMode { Classic, Geodesic };

// "classic" or "geodesic", as written in exports and accepted on the command line.
const char* circleModeName(CircleMode mode);
std::optional<CircleMode> circleModeFromName(std::string_view name);

// One drawn row. The position is taken at single precision, as the sheet places it.
struct CircleInput {
  int row = 0;
  double latitude = 0;
  double longitude = 0;
  double radiusKm = 0;
};

// A negative or undefined radius draws no circle.
bool hasCircle(double radiusKm);

struct Crossing {
  int rowA = 0;  // rowA < rowB
  int rowB = 0;
  double x = 0;  // map units
  double y = 0;
  double latitude = 0;
  double longitude = 0;
  bool onSheet = false;  // within the 18000 x 12800 drawing area
  int support = 2;
};

constexpr double kDefaultSupportToleranceKm = 50;

// Every crossing of every pair of circles, sorted by sortCrossings. Rows without a
// circle are left out. Circles that touch (within half a map unit on the sheet,
// 10 m on the ellipsoid) cross once, on the line through their centres; circles
// with the same centre never cross.
std::vector<Crossing> findCrossings(const std::vector<CircleInput>& circles, CircleMode mode,
                                    double toleranceKm = kDefaultSupportToleranceKm);

// Highest support first, then by rows, then from west to east.
void sortCrossings(std::vector<Crossing>& crossings);

// A circle's outline on the globe as a closed ring (last point = first), counter-
// clockwise seen from above, sampled at `points` (at least 360) angles: the drawn
// circle inverse-projected, or the points at the true distance.
std::vector<GeoPoint> circleOutline(const CircleInput& circle, CircleMode mode, int points = 360);

// The true-distance circle projected onto the sheet, closed, for drawing.
std::vector<MapPoint> geodesicCircle(double latitude, double longitude, double radiusKm, int points = 360);

}  // namespace eq
