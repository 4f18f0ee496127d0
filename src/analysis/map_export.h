#pragma once
// The drawn map for other programs: GeoJSON (RFC 7946) and KML 2.2, both UTF-8 in
// WGS84 degrees. Each holds the drawn volcanoes, their circles as polygons and the
// crossings of the circles, with the prediction date and the kind of circle.

#include "analysis/crossings.h"

#include <optional>
#include <string>
#include <vector>

namespace eq {

struct VolcanoFeature {
  int row = 0;
  std::string name;          // UTF-8
  std::string eruptionDate;  // as written in the table
  float latitude = 0;        // the table's single-precision values
  float longitude = 0;
  std::optional<double> radiusKm;  // none when the law gave none
  std::string state;               // the row's state after Draw
};

struct MapExport {
  std::string predictionDate;
  CircleMode mode = CircleMode::Classic;
  double toleranceKm = kDefaultSupportToleranceKm;
  std::vector<VolcanoFeature> volcanoes;  // the drawn rows
  std::vector<Crossing> crossings;
  int circlePoints = 360;
};

// The export of these drawn rows, with their crossings found.
MapExport mapExport(std::string predictionDate, std::vector<VolcanoFeature> volcanoes, CircleMode mode,
                    double toleranceKm = kDefaultSupportToleranceKm);

// A FeatureCollection: a Point per volcano, a Polygon per circle, a Point per
// crossing, in that order; the prediction date, circle mode and tolerance in the
// collection's "properties".
std::string geoJson(const MapExport& map);

// A KML Document named 地震サークル with one Placemark per volcano, circle and crossing.
std::string kml(const MapExport& map);

}  // namespace eq
