#include "analysis/globe_polygons.h"

#include "analysis/geodesic.h"

#include <algorithm>
#include <cmath>

namespace eq {
namespace {

constexpr double kPi = 3.14159265358979323846;
// The meridians where the sheet's projection ends, 180 degrees either side of 135 E.
constexpr double kEastEdge = 315;
constexpr double kWestEdge = -45;

// Twice the area enclosed, positive when counter-clockwise (east right, north up).
double signedArea(const GeoRing& ring) {
  double sum = 0;
  for (std::size_t i = 1; i < ring.size(); ++i) {
    sum += ring[i - 1].longitude * ring[i].latitude - ring[i].longitude * ring[i - 1].latitude;
  }
  return sum;
}

void shiftLongitudes(GeoRing& ring, double degrees) {
  for (GeoPoint& p : ring) p.longitude += degrees;
}

// How often the ring passes from one side of the meridian `line` to the other.
int sideChanges(const GeoRing& ring, double line) {
  int changes = 0;
  for (std::size_t i = 1; i < ring.size(); ++i) changes += (ring[i - 1].longitude > line) != (ring[i].longitude > line);
  return changes;
}

// The part of the closed ring west (or east) of the meridian `line`, closed, without
// repeated points: the edges that cross it end on it.
GeoRing clipAt(const GeoRing& ring, double line, bool keepWest) {
  const auto kept = [&](const GeoPoint& p) { return keepWest ? p.longitude <= line : p.longitude >= line; };
  GeoRing out;
  const auto add = [&out](const GeoPoint& p) {
    if (out.empty() || out.back().latitude != p.latitude || out.back().longitude != p.longitude) out.push_back(p);
  };
  for (std::size_t i = 1; i < ring.size(); ++i) {
    const GeoPoint& p = ring[i - 1];
    const GeoPoint& q = ring[i];
    if (kept(p) != kept(q)) {
      const double t = (line - p.longitude) / (q.longitude - p.longitude);
      add({p.latitude + t * (q.latitude - p.latitude), line});
    }
    if (kept(q)) add(q);
  }
  if (out.size() > 1 && out.front().latitude == out.back().latitude && out.front().longitude == out.back().longitude) {
    out.pop_back();
  }
  if (!out.empty()) out.push_back(out.front());
  return out;
}

// A closed counter-clockwise ring that goes round no pole, its longitudes taken on from
// point to point, as polygons within -180 ... 180: moved by whole turns, then split at
// the antimeridian when it crosses it.
std::vector<GeoRing> withinRange(GeoRing ring) {
  if (ring.size() < 4) return {};
  const auto [west, east] = std::minmax_element(ring.begin(), ring.end(), [](const GeoPoint& a, const GeoPoint& b) {
    return a.longitude < b.longitude;
  });
  const double span = east->longitude - west->longitude;
  shiftLongitudes(ring, -360 * std::floor((west->longitude + 180) / 360));
  std::vector<GeoRing> pieces;
  if (span >= 360) return pieces;
  const double maxLongitude = std::max_element(ring.begin(), ring.end(), [](const GeoPoint& a, const GeoPoint& b) {
                                return a.longitude < b.longitude;
                              })->longitude;
  if (maxLongitude <= 180) {
    pieces.push_back(std::move(ring));
  } else {
    // A circle crosses a meridian twice; an outline that turns back would give pieces
    // that are not one polygon each.
    if (sideChanges(ring, 180) != 2) return {};
    pieces.push_back(clipAt(ring, 180, true));
    pieces.push_back(clipAt(ring, 180, false));
    shiftLongitudes(pieces.back(), -360);
  }
  pieces.erase(std::remove_if(pieces.begin(), pieces.end(), [](const GeoRing& p) { return !(signedArea(p) > 0); }),
               pieces.end());
  return pieces;
}

// A ring round a pole: `path` runs once round it, counter-clockwise (eastwards round
// the north pole, westwards round the south pole), its longitudes taken on from point
// to point, and ends where it began but a whole turn further. It is cut at the
// antimeridian and closed along it and the pole's parallel.
std::vector<GeoRing> roundPole(GeoRing path, bool north) {
  const double way = north ? 1 : -1;
  const double cut = 180 * way;  // the path crosses the antimeridian here, going its way
  // Start within the turn before the cut: in -180 ... 180 short of it.
  const double start = path.front().longitude;
  shiftLongitudes(path, -360 * (north ? std::floor((start + 180) / 360) : std::ceil((start - 180) / 360)));
  const auto beyond = [&](const GeoPoint& p) { return (p.longitude - cut) * way > 0; };
  std::size_t last = 0;  // the last point before the cut
  while (last + 1 < path.size() && !beyond(path[last + 1])) ++last;
  GeoRing ring;
  GeoPoint crossing = path[last];
  if (last + 1 < path.size()) {
    const GeoPoint& p = path[last];
    const GeoPoint& q = path[last + 1];
    const double t = (cut - p.longitude) / (q.longitude - p.longitude);
    crossing = {p.latitude + t * (q.latitude - p.latitude), cut};
  }
  ring.push_back({crossing.latitude, cut - 360 * way});
  for (std::size_t i = last + 1; i < path.size(); ++i) ring.push_back({path[i].latitude, path[i].longitude - 360 * way});
  for (std::size_t i = 1; i <= last; ++i) ring.push_back(path[i]);
  ring.push_back(crossing);
  for (const GeoPoint& p : ring) {
    if (std::fabs(p.longitude) > 180) return {};  // it turns back across the antimeridian
  }
  ring.erase(std::unique(ring.begin(), ring.end(),
                         [](const GeoPoint& a, const GeoPoint& b) {
                           return a.latitude == b.latitude && a.longitude == b.longitude;
                         }),
             ring.end());
  ring.push_back({90 * way, cut});
  ring.push_back({90 * way, cut - 360 * way});
  ring.push_back(ring.front());
  if (!(signedArea(ring) > 0)) return {};
  return {ring};
}

// --- true-distance circles ---

double distanceKm(double lat1, double lon1, double lat2, double lon2) {
  return wgs84::distance(lat1, lon1, lat2, lon2) / 1000;
}

std::vector<GeoRing> geodesicPolygons(const CircleInput& circle, int points) {
  GeoRing ring = circleOutline(circle, CircleMode::Geodesic, points);
  for (const GeoPoint& p : ring) {
    if (!std::isfinite(p.latitude) || !std::isfinite(p.longitude)) return {};
  }
  if (ring.size() < 4) return {};
  const double lat = static_cast<float>(circle.latitude);
  const double lon = static_cast<float>(circle.longitude);
  if (distanceKm(lat, lon, 90, lon) < circle.radiusKm && distanceKm(lat, lon, -90, lon) < circle.radiusKm) return {};
  for (std::size_t i = 1; i < ring.size(); ++i) {
    ring[i].longitude = ring[i - 1].longitude + wgs84::angleDifference(ring[i - 1].longitude, ring[i].longitude);
  }
  const double turn = ring.back().longitude - ring.front().longitude;
  if (std::fabs(turn) < 180) return withinRange(std::move(ring));
  return roundPole(std::move(ring), turn > 0);
}

// --- circles as drawn ---

// The sheet's circle cut off where the projection ends (insideProjection). The
// projected globe is a convex lens whose sides are the meridian opposite 135 E and
// whose tips are the poles, so the part of the circle inside it is convex, bounded by
// arcs of the circle and pieces of the sides. Walking round the circle, each stretch
// outside the lens is replaced by the side between where it leaves and where it
// comes back; leaving by the east side and coming back by the west one passes the
// north pole, which, the two sides being one meridian, takes the outline a turn round
// that pole.
std::vector<GeoRing> drawnPolygons(const CircleInput& circle, int points) {
  const auto centre = PlotXY(static_cast<float>(circle.latitude), static_cast<float>(circle.longitude));
  if (!centre) return {};
  const double r = circle.radiusKm * kMapUnitsPerKm;
  const int n = std::max(points, 360);
  const double step = 2 * kPi / n;
  // Counter-clockwise on the globe: the sheet's y grows southwards.
  const auto at = [&](double angle) -> MapPoint { return {centre->x + r * std::cos(angle), centre->y - r * std::sin(angle)}; };
  std::vector<char> inside(static_cast<std::size_t>(n));
  for (int i = 0; i < n; ++i) inside[static_cast<std::size_t>(i)] = insideProjection(at(i * step).x, at(i * step).y);
  const auto in = [&](int i) { return inside[static_cast<std::size_t>(i % n)] != 0; };
  const auto geographic = [](const MapPoint& p) { return mapToGeographic(p.x, p.y); };

  int first = -1;  // a point inside that follows one outside
  for (int i = 0; i < n && first < 0; ++i) {
    if (in(i) && !in(i + n - 1)) first = i;
  }
  if (first < 0) {
    if (!in(0)) return {};  // wholly outside
    GeoRing ring;
    for (int i = 0; i <= n; ++i) ring.push_back(geographic(at((i % n) * step)));
    return withinRange(std::move(ring));
  }

  // The point on a side where the circle crosses it between two angles, one inside and
  // one outside, and whether that is the east side.
  const auto onSide = [&](double insideAngle, double outsideAngle, bool* east) {
    for (int k = 0; k < 60; ++k) {
      const double middle = (insideAngle + outsideAngle) / 2;
      const MapPoint p = at(middle);
      if (insideProjection(p.x, p.y)) {
        insideAngle = middle;
      } else {
        outsideAngle = middle;
      }
    }
    const MapPoint p = at(insideAngle);
    *east = p.x > kSheetWidth / 2;  // east of 135 E
    return GeoPoint{std::clamp(geographic(p).latitude, -90.0, 90.0), *east ? kEastEdge : kWestEdge};
  };
  // Where the circle comes back inside at point `i` (outside before it).
  const auto entry = [&](int i, bool* east) { return onSide(i * step, (i - 1) * step, east); };

  GeoRing path;
  double shift = 0;
  int northPasses = 0, southPasses = 0;
  bool entryEast = false;
  path.push_back(entry(first, &entryEast));
  for (int i = first; i < first + n; ++i) {
    if (!in(i)) continue;
    GeoPoint g = geographic(at(i * step));
    path.push_back({g.latitude, g.longitude + shift});
    if (in(i + 1)) continue;
    bool exitEast = false;
    const GeoPoint exit = onSide(i * step, (i + 1) * step, &exitEast);
    path.push_back({exit.latitude, exit.longitude + shift});
    int back = i + 1;
    while (!in(back)) ++back;
    const GeoPoint comeBack = entry(back, &entryEast);
    if (exitEast == entryEast) {
      // Along one side, northwards on the east side and southwards on the west one.
      if ((comeBack.latitude - exit.latitude) * (exitEast ? 1 : -1) < 0) return {};
    } else if (exitEast) {
      shift += 360;  // over the north pole
      ++northPasses;
    } else {
      shift -= 360;  // over the south pole
      ++southPasses;
    }
    path.push_back({comeBack.latitude, comeBack.longitude + shift});
  }
  // The last point is where the walk came back in first.
  path.back() = {path.front().latitude, path.front().longitude + shift};
  // Passing both poles, or one twice, is no circle on the globe. Touching both sides
  // without passing a pole, the part inside wraps round a pole without taking it in:
  // a whole turn of longitude, which withinRange refuses.
  if (northPasses + southPasses > 1) return {};
  if (northPasses + southPasses == 1) return roundPole(std::move(path), northPasses == 1);
  return withinRange(std::move(path));
}

}  // namespace

std::optional<GeoPoint> onGlobe(double latitude, double longitude) {
  if (!std::isfinite(latitude) || !std::isfinite(longitude) || std::fabs(latitude) > 90) return std::nullopt;
  return GeoPoint{latitude, wgs84::normalizedAngle(longitude)};
}

std::vector<GeoRing> circlePolygons(const CircleInput& circle, CircleMode mode, int points) {
  if (!hasCircle(circle.radiusKm) || circle.radiusKm == 0) return {};
  return mode == CircleMode::Geodesic ? geodesicPolygons(circle, points) : drawnPolygons(circle, points);
}

}  // namespace eq
