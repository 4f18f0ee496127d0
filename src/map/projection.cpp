#include "map/projection.h"

#include <cmath>

namespace eq {
namespace {
// The program's own value of pi, slightly larger than the true one.
constexpr double kPi = 3.1415927;
}  // namespace

std::optional<MapPoint> PlotXY(double latitude, double longitude) {
  const double phi = latitude / 180 * kPi;
  const double c = std::cos(phi);
  MapPoint p;
  p.x = (longitude - 135) * (c * 40075) / 360 * kMapUnitsPerKm + 9000;
  p.y = (54 - latitude) / 10 * 1111 * kMapUnitsPerKm;
  if (!std::isfinite(p.x) || !std::isfinite(p.y)) return std::nullopt;
  return p;
}

GeoPoint mapToGeographic(double x, double y) {
  const double latitude = 54 - y / (1111 * kMapUnitsPerKm) * 10;
  const double c = std::cos(latitude / 180 * kPi);
  // Only a pole squeezes a parallel to a point; every longitude is then the same.
  const double longitude = c == 0 ? 135 : 135 + (x - 9000) * 360 / (kMapUnitsPerKm * 40075 * c);
  return {latitude, longitude};
}

bool insideProjection(double x, double y) {
  const GeoPoint g = mapToGeographic(x, y);
  return std::fabs(g.latitude) <= 90 && std::fabs(g.longitude - 135) <= 180;
}

}  // namespace eq
