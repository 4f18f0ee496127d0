#pragma once
// The drawn map for other programs: GeoJSON (RFC 7946) and KML 2.2, both UTF-8 in
// WGS84 degrees. Each holds every ticked row's volcano with its state, the circles as
// polygons valid on the globe (globe_polygons.h) and the crossings of the circles.
// What holds for the whole map (the prediction date, the kind of circle, the support
// tolerance) is in every feature's properties, where map programs show it.

#include "analysis/crossings.h"
#include "model/day_number.h"

#include <array>
#include <optional>
#include <string>
#include <vector>

namespace eq {

struct VolcanoFeature {
  int row = 0;
  std::string name;  // UTF-8
  TableDate eruption{};
  float latitude = 0;  // the table's single-precision values
  float longitude = 0;
  std::optional<double> radiusKm;  // the radius of its circle on the sheet; none when it has none
  std::string state;               // drawn, excluded or skipped
};

struct MapExport {
  TableDate prediction{};
  CircleMode mode = CircleMode::Classic;
  double toleranceKm = kDefaultSupportToleranceKm;
  std::vector<VolcanoFeature> volcanoes;  // the ticked rows
  std::vector<Crossing> crossings;
  int circlePoints = 360;
};

// The date in ISO 8601 as far as the table gives it: "1783-08-05", "1783-08" for day 0,
// "1783" for month and day 0 (the day numbers count month 0 as July, but the table
// leaves it empty when the month is not known). Nothing when the numbers are no such
// date: a fraction, a month beyond 12, a day beyond the month's end (Gregorian), a
// year outside 1 ... 9999, or a day without a month.
std::optional<std::string> isoDate(const TableDate& date);

// A file's text, and the rows whose circles it leaves out because they cannot be
// written as polygons on the globe (see circlePolygons).
struct MapText {
  std::string text;
  std::vector<int> circlesLeftOut;
};

// A FeatureCollection: a Point per volcano (null geometry for a skipped row, which has
// no eruption year and no date, and for a position off the globe), a Polygon or
// MultiPolygon per circle, a Point per crossing, in that order.
MapText geoJson(const MapExport& map);

// A KML Document named 地震サークル with one Placemark per volcano, circle and crossing.
MapText kml(const MapExport& map);

}  // namespace eq
