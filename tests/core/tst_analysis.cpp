// Where the circles meet, on the sheet and on the ellipsoid; circles as outlines and as
// polygons valid on the globe; the map data's dates.

#include "analysis/crossings.h"
#include "analysis/geodesic.h"
#include "analysis/globe_polygons.h"
#include "analysis/map_export.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <optional>
#include <string>
#include <tuple>
#include <vector>

using namespace eq;

namespace {

double ellipsoidKm(double lat1, double lon1, double lat2, double lon2) {
  return wgs84::distance(lat1, lon1, lat2, lon2) / 1000;
}

// Twice the area enclosed, positive when counter-clockwise with east right and north up.
double signedArea(const GeoRing& ring) {
  double sum = 0;
  for (std::size_t i = 0; i + 1 < ring.size(); ++i) {
    sum += ring[i].longitude * ring[i + 1].latitude - ring[i + 1].longitude * ring[i].latitude;
  }
  return sum;
}

struct Classic {
  const char* what;
  double radiusA, radiusB;
  double latitudeB;
  std::vector<MapPoint> points;  // by x; empty: only checked on both circles
  std::size_t count;
  bool onSheet;
};

// A at 54N 135E = (9000, 0), B at 44N 135E = (9000, 3333) unless B sits on A. With radii
// of 888.8 and 666.6 km (2666.4 and 1999.8 map units) A, B and each crossing make a 3-4-5
// triangle: the chord's foot is 0.64 x 3333 = 2133.12 below A and the crossings lie
// 0.48 x 3333 = 1599.84 either side.
const Classic kClassic[] = {
    {"3-4-5", 888.8, 666.6, 44, {{7400.16, 2133.12}, {10599.84, 2133.12}}, 2, true},
    {"touching outside", 444.4, 666.6, 44, {{9000, 1333.2}}, 1, true},
    {"0.3 apart counts as touching", 444.4, 666.5, 44, {{9000, 1333.35}}, 1, true},
    {"0.6 apart", 444.4, 666.4, 44, {}, 0, true},
    {"0.6 overlap", 444.4, 666.8, 44, {}, 2, true},
    {"B touches A inside", 1777.6, 666.6, 44, {{9000, 5332.8}}, 1, true},
    {"A touches B inside, off the sheet", 444.4, 1555.4, 44, {{9000, -1333.2}}, 1, false},
    {"nested", 1500, 100, 44, {}, 0, true},
    {"same circle", 100, 100, 54, {}, 0, true},
};

TEST(Crossings, Classic) {
  for (const Classic& c : kClassic) {
    // Given out of row order: the crossing still names the lower row first.
    const auto found = findCrossings({{2, c.latitudeB, 135, c.radiusB}, {1, 54, 135, c.radiusA}}, CircleMode::Classic);
    ASSERT_EQ(found.size(), c.count) << c.what;
    for (std::size_t i = 0; i < found.size(); ++i) {
      const Crossing& x = found[i];
      EXPECT_TRUE(x.rowA == 1 && x.rowB == 2 && x.support == 2 && x.onSheet == c.onSheet) << c.what;
      if (!c.points.empty()) {
        EXPECT_LT(std::hypot(x.x - c.points[i].x, x.y - c.points[i].y), 1e-6) << c.what;
      }
      if (c.count == 2) {
        EXPECT_NEAR(std::hypot(x.x - 9000, x.y), 3 * c.radiusA, 1e-6) << c.what;
        EXPECT_NEAR(std::hypot(x.x - 9000, x.y - 3333), 3 * c.radiusB, 1e-6) << c.what;
      }
      // The geographic position is the map position's inverse.
      const auto back = PlotXY(x.latitude, x.longitude);
      EXPECT_LT(std::hypot(back->x - x.x, back->y - x.y), 1e-6) << c.what;
    }
  }
}

// A third circle round A's centre passes each crossing of A and B at |888.8 - r| km.
TEST(Crossings, Support) {
  const std::tuple<double, double, int> cases[] = {
      {938.7, 50, 3}, {938.9, 50, 2}, {838.9, 50, 3}, {938.9, 100, 3}, {-5, 5000, 2}, {std::nan(""), 5000, 2}};
  for (const CircleMode mode : {CircleMode::Classic, CircleMode::Geodesic}) {
    for (const auto& [radius, tolerance, support] : cases) {
      int crossings = 0;
      for (const Crossing& c : findCrossings({{1, 54, 135, 888.8}, {2, 44, 135, 666.6}, {3, 54, 135, radius}}, mode,
                                             tolerance)) {
        if (c.rowB != 2) continue;  // the third circle's own crossings
        EXPECT_EQ(c.support, support) << circleModeName(mode) << " " << radius << " " << tolerance;
        ++crossings;
      }
      EXPECT_EQ(crossings, 2);
    }
  }
}

TEST(Crossings, Order) {
  auto at = [](int support, int rowA, int rowB, double x) { return Crossing{rowA, rowB, x, 0, 0, 0, true, support}; };
  std::vector<Crossing> list = {at(2, 1, 2, 500), at(3, 2, 3, 100), at(2, 1, 3, 50), at(2, 1, 2, 400),
                                at(4, 3, 4, 900), at(3, 1, 4, 700)};
  sortCrossings(list);
  const std::vector<std::tuple<int, int, int, double>> expected = {
      {4, 3, 4, 900}, {3, 1, 4, 700}, {3, 2, 3, 100}, {2, 1, 2, 400}, {2, 1, 2, 500}, {2, 1, 3, 50}};
  for (std::size_t i = 0; i < list.size(); ++i) {
    EXPECT_EQ(std::make_tuple(list[i].support, list[i].rowA, list[i].rowB, list[i].x), expected[i]);
  }
}

// A at 35N 135E, B at 37N 138E (d about 350 km); radius B = factor x d + offset km.
TEST(Crossings, Geodesic) {
  const struct {
    const char* what;
    double latitudeB, longitudeB, radiusA, factor, offset;
    std::size_t count;
  } cases[] = {
      {"crossing", 37, 138, 300, 0, 250, 2},
      {"touching outside", 37, 138, 200, 1, -200, 1},
      {"50 m overlap", 37, 138, 200, 1, -199.95, 2},
      {"50 m apart", 37, 138, 200, 1, -200.05, 0},
      {"B touches A inside", 37, 138, 600, -1, 600, 1},
      {"50 m overlap inside", 37, 138, 600, -1, 600.05, 2},
      {"nested", 37, 138, 600, -1, 599, 0},
      {"same centre", 35, 135, 200, 0, 100, 0},
  };
  for (const auto& c : cases) {
    const double radiusB = c.factor * ellipsoidKm(35, 135, c.latitudeB, c.longitudeB) + c.offset;
    const auto found =
        findCrossings({{1, 35, 135, c.radiusA}, {2, c.latitudeB, c.longitudeB, radiusB}}, CircleMode::Geodesic);
    ASSERT_EQ(found.size(), c.count) << c.what;
    for (const Crossing& x : found) {
      EXPECT_NEAR(ellipsoidKm(x.latitude, x.longitude, 35, 135), c.radiusA, 0.010) << c.what;
      EXPECT_NEAR(ellipsoidKm(x.latitude, x.longitude, c.latitudeB, c.longitudeB), radiusB, 0.010) << c.what;
      const auto p = PlotXY(x.latitude, x.longitude);
      EXPECT_LT(std::hypot(p->x - x.x, p->y - x.y), 1e-9) << c.what;
    }
    if (c.count == 2) {
      EXPECT_GT(ellipsoidKm(found[0].latitude, found[0].longitude, found[1].latitude, found[1].longitude), 1);
    }
  }
}

// Every point at the radius: on the sheet 3 map units per km from the projected centre, on
// the ellipsoid within 1 m; counter-clockwise and closed; a classic outline never has fewer
// than 360 sides. The true-distance circle on the sheet starts due north.
TEST(Circles, Outlines) {
  const MapPoint centre = *PlotXY(35.5, 139.5);
  for (const auto& [mode, points, size] : {std::tuple{CircleMode::Classic, 12, 361u}, {CircleMode::Geodesic, 720, 721u}}) {
    const auto ring = circleOutline({1, 35.5, 139.5, 500}, mode, points);
    ASSERT_EQ(ring.size(), size);
    EXPECT_TRUE(ring.front().latitude == ring.back().latitude && ring.front().longitude == ring.back().longitude);
    EXPECT_GT(signedArea(ring), 0);
    for (const GeoPoint& g : ring) {
      const MapPoint p = *PlotXY(g.latitude, g.longitude);
      const double km = mode == CircleMode::Classic ? std::hypot(p.x - centre.x, p.y - centre.y) / 3
                                                    : ellipsoidKm(35.5, 139.5, g.latitude, g.longitude);
      EXPECT_NEAR(km, 500, 0.001);
    }
    EXPECT_TRUE(circleOutline({1, 35.5, 139.5, -1}, mode).empty());
  }
  const auto line = geodesicCircle(35, 135, 200);
  ASSERT_EQ(line.size(), 361u);
  EXPECT_NEAR(line.front().x, 9000, 1e-6);
  const GeoPoint north = mapToGeographic(line.front().x, line.front().y);
  EXPECT_NEAR(ellipsoidKm(35, 135, north.latitude, north.longitude), 200, 0.001);
}

// Whether segments ab and cd meet, touching included.
bool meet(const GeoPoint& a, const GeoPoint& b, const GeoPoint& c, const GeoPoint& d) {
  const auto side = [](const GeoPoint& o, const GeoPoint& p, const GeoPoint& q) {
    const double turn = (p.longitude - o.longitude) * (q.latitude - o.latitude) -
                        (p.latitude - o.latitude) * (q.longitude - o.longitude);
    return (turn > 0) - (turn < 0);
  };
  const auto within = [](const GeoPoint& p, const GeoPoint& q, const GeoPoint& r) {  // r on the line pq
    return std::min(p.longitude, q.longitude) <= r.longitude && r.longitude <= std::max(p.longitude, q.longitude) &&
           std::min(p.latitude, q.latitude) <= r.latitude && r.latitude <= std::max(p.latitude, q.latitude);
  };
  const int d1 = side(c, d, a), d2 = side(c, d, b), d3 = side(a, b, c), d4 = side(a, b, d);
  if (d1 * d2 < 0 && d3 * d4 < 0) return true;
  return (d1 == 0 && within(c, d, a)) || (d2 == 0 && within(c, d, b)) || (d3 == 0 && within(a, b, c)) ||
         (d4 == 0 && within(a, b, d));
}

// What makes polygons break RFC 7946 or OGC validity, empty when nothing: positions within
// -180 ... 180 and -90 ... 90; rings closed, of four positions or more, counter-clockwise;
// no edge meeting another but its neighbours.
std::string ringProblem(const std::vector<GeoRing>& rings) {
  for (const GeoRing& ring : rings) {
    for (const GeoPoint& p : ring) {
      if (std::fabs(p.longitude) > 180 || std::fabs(p.latitude) > 90) return "position";
    }
    if (ring.size() < 4 || ring.front().latitude != ring.back().latitude ||
        ring.front().longitude != ring.back().longitude) {
      return "not closed";
    }
    if (!(signedArea(ring) > 0)) return "clockwise";
  }
  for (std::size_t r = 0; r < rings.size(); ++r) {
    for (std::size_t s = r; s < rings.size(); ++s) {
      const GeoRing& a = rings[r];
      const GeoRing& b = rings[s];
      for (std::size_t i = 1; i < a.size(); ++i) {
        for (std::size_t j = r == s ? i + 1 : 1; j < b.size(); ++j) {
          const bool neighbours = r == s && (j == i + 1 || (i == 1 && j == a.size() - 1));
          if (!neighbours && meet(a[i - 1], a[i], b[j - 1], b[j])) return "edges meet at " + std::to_string(i);
        }
      }
    }
  }
  return {};
}

// Whether the point lies inside the rings (an odd number of edges to its east).
bool inside(const std::vector<GeoRing>& rings, const GeoPoint& g) {
  bool in = false;
  for (const GeoRing& ring : rings) {
    for (std::size_t i = 1; i < ring.size(); ++i) {
      const GeoPoint& p = ring[i - 1];
      const GeoPoint& q = ring[i];
      if ((p.latitude > g.latitude) != (q.latitude > g.latitude) &&
          g.longitude < p.longitude + (g.latitude - p.latitude) / (q.latitude - p.latitude) * (q.longitude - p.longitude)) {
        in = !in;
      }
    }
  }
  return in;
}

// Circles anywhere on the globe as valid polygons round their volcano: split at the
// antimeridian, closed at a pole, cut off where the sheet's projection ends; none where
// that cannot be done.
TEST(Circles, OnTheGlobe) {
  const CircleMode c = CircleMode::Classic, g = CircleMode::Geodesic;
  const struct {
    const char* what;
    CircleMode mode;
    double latitude, longitude, radiusKm;
    std::size_t pieces;
  } cases[] = {
      {"Fuji, classic", c, 35.36, 138.73, 500, 1},
      {"Kamchatka, classic: across the antimeridian", c, 56.06, 160.64, 1500, 2},
      {"Kamchatka, geodesic", g, 56.06, 160.64, 1500, 2},
      {"Aleutians typed as 183.4 E, geodesic", g, 51.9, 183.4, 800, 2},
      {"round the north pole, geodesic", g, 85, 135, 1000, 1},
      {"Erebus round the south pole, geodesic", g, -77.53, 167.15, 1600, 1},
      {"Erebus past the pole, classic", c, -77.53, 167.15, 1600, 1},
      {"past the north pole, classic", c, 80, 135, 2000, 1},
      {"at the pole, geodesic", g, 90, 10, 500, 1},
      {"Iceland, classic: cut off at 45 W", c, 64.6, -17.5, 1500, 1},
      {"Iceland, geodesic", g, 64.6, -17.5, 1500, 1},
      {"80 W, classic: beyond the projection", c, 0, -80, 500, 0},
      {"round the pole without taking it in, classic", c, 88, 135, 215, 0},
      {"beyond the pole", g, 95, 135, 100, 0},
      {"radius 0", c, 35, 135, 0, 0},
  };
  for (const auto& k : cases) {
    const float latitude = static_cast<float>(k.latitude), longitude = static_cast<float>(k.longitude);
    const std::vector<GeoRing> rings = circlePolygons({7, latitude, longitude, k.radiusKm}, k.mode);
    ASSERT_EQ(rings.size(), k.pieces) << k.what;
    EXPECT_EQ(ringProblem(rings), "") << k.what;
    const std::optional<GeoPoint> volcano = onGlobe(latitude, longitude);  // none beyond a pole
    EXPECT_EQ(volcano.has_value(), std::fabs(k.latitude) <= 90) << k.what;
    if (volcano && k.pieces) {
      EXPECT_TRUE(inside(rings, {std::min(volcano->latitude, 89.999), volcano->longitude})) << k.what;
    }
  }
}

TEST(MapData, Dates) {
  const std::pair<TableDate, const char*> cases[] = {
      {{1783, 8, 5}, "1783-08-05"}, {{2000, 2, 29}, "2000-02-29"}, {{1900, 2, 29}, nullptr},  // no leap day in 1900
      {{2024, 8, 0}, "2024-08"},    {{2024, 0, 0}, "2024"},        {{2024, 0, 5}, nullptr},    // a day without a month
      {{2024.5f, 1, 1}, nullptr},   {{2024, 1, 1.5f}, nullptr},    {{2024, 13, 1}, nullptr},
      {{2024, 4, 31}, nullptr},     {{0, 1, 1}, nullptr},          {{9999, 12, 31}, "9999-12-31"},
      {{10000, 1, 1}, nullptr},
  };
  for (const auto& [date, iso] : cases) {
    const auto text = isoDate(date);
    EXPECT_EQ(text.value_or("null"), iso ? iso : "null") << date[0] << "-" << date[1] << "-" << date[2];
  }
}

}  // namespace
