#pragma once
// The sheet's projection: sinusoidal about 135 deg E, 3 map units (twips) per km.
// x = (lon - 135) * (cos(lat / 180 * 3.1415927) * 40075) / 360 * 3 + 9000
// y = (54 - lat) / 10 * 1111 * 3
// so 135 deg E lies on x = 9000 (the middle of the 18000-wide sheet) and 54 deg N on y = 0.
// The graticule and the circles both come from here, so they always line up.

#include <optional>

namespace eq {

struct MapPoint {
  double x = 0;
  double y = 0;
};

struct GeoPoint {
  double latitude = 0;   // degrees north
  double longitude = 0;  // degrees east
};

// The drawing area in map units (twips of the drawing surface); a km is 3 of them.
constexpr int kSheetWidth = 18000;
constexpr int kSheetHeight = 12800;
constexpr double kMapUnitsPerKm = 3;

// Map position in map units, computed in double precision in the order above.
// Fails only when a result is not finite.
std::optional<MapPoint> PlotXY(double latitude, double longitude);

// The inverse, in double precision:
// latitude = 54 - y / (1111 * 3) * 10
// longitude = 135 + (x - 9000) * 360 / (3 * 40075 * cos(latitude / 180 * 3.1415927))
// It puts crossings of circles and exported circle outlines back on the globe.
GeoPoint mapToGeographic(double x, double y);

// True where the inverse has a meaning: the part of the plane onto which the globe is
// projected, between the poles and within 180 degrees of 135 E.
bool insideProjection(double x, double y);

}  // namespace eq
