#include "analysis/crossings.h"

#include "analysis/geodesic.h"

#include <algorithm>
#include <cmath>
#include <tuple>

namespace eq {
namespace {

// Circles closer than this to touching are drawn as touching: half a map unit is
// far below what the sheet shows apart.
constexpr double kTangentMapUnits = 0.5;
// On the ellipsoid a touching point is the midpoint of the two nearest circle
// points, so it stays within 5 m of both radii.
constexpr double kTangentKm = 0.010;
// Bisection on the azimuth down to about a micrometre at 1000 km.
constexpr double kAzimuthStepDeg = 1e-10;

struct Circle {
  int row = 0;
  double latitude = 0;
  double longitude = 0;
  double radiusKm = 0;
  MapPoint centre;
};

std::vector<Circle> drawnCircles(const std::vector<CircleInput>& inputs) {
  std::vector<Circle> circles;
  for (const CircleInput& in : inputs) {
    if (!hasCircle(in.radiusKm)) continue;
    Circle c;
    c.row = in.row;
    c.latitude = static_cast<float>(in.latitude);
    c.longitude = static_cast<float>(in.longitude);
    c.radiusKm = in.radiusKm;
    const auto centre = PlotXY(c.latitude, c.longitude);
    if (!centre) continue;
    c.centre = *centre;
    circles.push_back(c);
  }
  std::stable_sort(circles.begin(), circles.end(), [](const Circle& a, const Circle& b) { return a.row < b.row; });
  return circles;
}

bool onSheet(const MapPoint& p) { return p.x >= 0 && p.x <= kSheetWidth && p.y >= 0 && p.y <= kSheetHeight; }

// --- Circles as drawn ---

MapPoint along(const MapPoint& from, double ux, double uy, double distance) {
  return {from.x + ux * distance, from.y + uy * distance};
}

MapPoint midpoint(const MapPoint& a, const MapPoint& b) { return {(a.x + b.x) / 2, (a.y + b.y) / 2}; }

std::vector<MapPoint> planeCrossings(const Circle& a, const Circle& b) {
  const double dx = b.centre.x - a.centre.x;
  const double dy = b.centre.y - a.centre.y;
  const double d = std::hypot(dx, dy);
  if (d == 0) return {};
  const double ux = dx / d;
  const double uy = dy / d;
  const double ra = a.radiusKm * kMapUnitsPerKm;
  const double rb = b.radiusKm * kMapUnitsPerKm;
  const double outside = d - (ra + rb);  // > 0: apart
  const double inside = d - std::fabs(ra - rb);  // < 0: one within the other
  if (std::fabs(outside) <= kTangentMapUnits) {
    return {midpoint(along(a.centre, ux, uy, ra), along(b.centre, ux, uy, -rb))};
  }
  if (std::fabs(inside) <= kTangentMapUnits) {
    // The smaller circle touches the larger one on its far side from the larger centre.
    const double side = ra >= rb ? 1 : -1;
    return {midpoint(along(a.centre, ux, uy, side * ra), along(b.centre, ux, uy, side * rb))};
  }
  if (outside > 0 || inside < 0) return {};
  // Foot of the common chord on the line of centres, and half the chord.
  const double foot = (d * d + ra * ra - rb * rb) / (2 * d);
  const double half = std::sqrt(std::max(0.0, ra * ra - foot * foot));
  const MapPoint f = along(a.centre, ux, uy, foot);
  return {{f.x - uy * half, f.y + ux * half}, {f.x + uy * half, f.y - ux * half}};
}

double planeDistanceKm(const MapPoint& p, const Circle& c) {
  return std::hypot(p.x - c.centre.x, p.y - c.centre.y) / kMapUnitsPerKm;
}

// --- Circles at the true distance ---

// The point `km` from the centre along `azimuth`, its longitude kept next to the centre's.
GeoPoint travel(const Circle& from, double azimuth, double km) {
  const GeoPoint p = wgs84::direct(from.latitude, from.longitude, azimuth, km * 1000);
  return {p.latitude, from.longitude + wgs84::angleDifference(from.longitude, p.longitude)};
}

double ellipsoidDistanceKm(const GeoPoint& p, const Circle& c) {
  return wgs84::distance(p.latitude, p.longitude, c.latitude, c.longitude) / 1000;
}

// Walking round circle A from the azimuth towards B, the distance to B grows from its
// least to its greatest at the opposite azimuth; a crossing lies on each half where
// it passes B's radius.
std::vector<GeoPoint> ellipsoidCrossings(const Circle& a, const Circle& b) {
  const wgs84::Inverse line = wgs84::inverse(a.latitude, a.longitude, b.latitude, b.longitude);
  if (line.metres == 0) return {};
  const double towardsB = line.azimuth1;
  const double d = line.metres / 1000;
  const double ra = a.radiusKm;
  const double rb = b.radiusKm;
  auto excess = [&](double azimuth) { return ellipsoidDistanceKm(travel(a, azimuth, ra), b) - rb; };
  const double nearest = excess(towardsB);
  const double farthest = excess(towardsB + 180);
  if (std::fabs(nearest) <= kTangentKm) {
    // B's nearest point on the line of centres lies at ra + nearest (B beyond A's
    // circle) or ra - nearest (B inside it); take the midpoint.
    return {travel(a, towardsB, d >= ra ? ra + nearest / 2 : ra - nearest / 2)};
  }
  if (std::fabs(farthest) <= kTangentKm) return {travel(a, towardsB + 180, ra - farthest / 2)};
  if (!(nearest < 0 && farthest > 0)) return {};
  std::vector<GeoPoint> points;
  for (const double side : {1.0, -1.0}) {
    double inner = 0;  // excess < 0
    double outer = 180;  // excess > 0
    while (outer - inner > kAzimuthStepDeg) {
      const double middle = (inner + outer) / 2;
      (excess(towardsB + side * middle) < 0 ? inner : outer) = middle;
    }
    points.push_back(travel(a, towardsB + side * (inner + outer) / 2, ra));
  }
  return points;
}

}  // namespace

const char* circleModeName(CircleMode mode) { return mode == CircleMode::Geodesic ? "geodesic" : "classic"; }

std::optional<CircleMode> circleModeFromName(std::string_view name) {
  if (name == "classic") return CircleMode::Classic;
  if (name == "geodesic") return CircleMode::Geodesic;
  return std::nullopt;
}

bool hasCircle(double radiusKm) { return std::isfinite(radiusKm) && radiusKm >= 0; }

void sortCrossings(std::vector<Crossing>& crossings) {
  std::stable_sort(crossings.begin(), crossings.end(), [](const Crossing& p, const Crossing& q) {
    return std::make_tuple(-p.support, p.rowA, p.rowB, p.x) < std::make_tuple(-q.support, q.rowA, q.rowB, q.x);
  });
}

std::vector<Crossing> findCrossings(const std::vector<CircleInput>& inputs, CircleMode mode, double toleranceKm) {
  const std::vector<Circle> circles = drawnCircles(inputs);
  std::vector<Crossing> crossings;
  for (size_t i = 0; i < circles.size(); ++i) {
    for (size_t j = i + 1; j < circles.size(); ++j) {
      std::vector<Crossing> pair;
      if (mode == CircleMode::Classic) {
        for (const MapPoint& p : planeCrossings(circles[i], circles[j])) {
          const GeoPoint g = mapToGeographic(p.x, p.y);
          pair.push_back({0, 0, p.x, p.y, g.latitude, g.longitude, false, 2});
        }
      } else {
        for (const GeoPoint& g : ellipsoidCrossings(circles[i], circles[j])) {
          const auto p = PlotXY(g.latitude, g.longitude);
          if (p) pair.push_back({0, 0, p->x, p->y, g.latitude, g.longitude, false, 2});
        }
      }
      for (Crossing& c : pair) {
        c.rowA = circles[i].row;
        c.rowB = circles[j].row;
        c.onSheet = onSheet({c.x, c.y});
        for (size_t k = 0; k < circles.size(); ++k) {
          if (k == i || k == j) continue;
          const double distance = mode == CircleMode::Classic ? planeDistanceKm({c.x, c.y}, circles[k])
                                                              : ellipsoidDistanceKm({c.latitude, c.longitude}, circles[k]);
          if (std::fabs(distance - circles[k].radiusKm) <= toleranceKm) ++c.support;
        }
        crossings.push_back(c);
      }
    }
  }
  sortCrossings(crossings);
  return crossings;
}

std::vector<GeoPoint> circleOutline(const CircleInput& input, CircleMode mode, int points) {
  const std::vector<Circle> circle = drawnCircles({input});
  if (circle.empty()) return {};
  const Circle& c = circle.front();
  const int n = std::max(points, 360);
  std::vector<GeoPoint> ring;
  ring.reserve(static_cast<size_t>(n) + 1);
  const double r = c.radiusKm * kMapUnitsPerKm;
  for (int i = 0; i < n; ++i) {
    const double turn = static_cast<double>(i) / n;  // counter-clockwise from east / from north
    if (mode == CircleMode::Classic) {
      const double angle = turn * 2 * std::acos(-1.0);
      // The sheet's y grows southwards, so subtracting turns counter-clockwise on the globe.
      ring.push_back(mapToGeographic(c.centre.x + r * std::cos(angle), c.centre.y - r * std::sin(angle)));
    } else {
      ring.push_back(travel(c, -360 * turn, c.radiusKm));
    }
  }
  ring.push_back(ring.front());
  return ring;
}

std::vector<MapPoint> geodesicCircle(double latitude, double longitude, double radiusKm, int points) {
  std::vector<MapPoint> line;
  for (const GeoPoint& g : circleOutline({0, latitude, longitude, radiusKm}, CircleMode::Geodesic, points)) {
    const auto p = PlotXY(g.latitude, g.longitude);
    if (!p) return {};
    line.push_back(*p);
  }
  return line;
}

}  // namespace eq
