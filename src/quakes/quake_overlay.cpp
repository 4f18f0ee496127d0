#include "quakes/quake_overlay.h"

#include "analysis/geodesic.h"
#include "draw/sheet_frame.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <limits>

namespace eq {
namespace {

bool onSheet(const MapPoint& p) { return p.x >= 0 && p.x <= kSheetWidth && p.y >= 0 && p.y <= kSheetHeight; }

double crossingDistanceKm(const Crossing& crossing, double latitude, double longitude, CircleMode mode) {
  if (mode == CircleMode::Geodesic) {
    return wgs84::distance(latitude, longitude, crossing.latitude, crossing.longitude) / 1000;
  }
  const MapPoint p = PlotXY(latitude, longitude).value_or(MapPoint{});
  return std::hypot(p.x - crossing.x, p.y - crossing.y) / kMapUnitsPerKm;
}

std::string magnitudeText(double magnitude) {
  char text[32];
  std::snprintf(text, sizeof text, "%.1f", magnitude);
  return text;
}

}  // namespace

std::optional<std::int64_t> predictionCivilDay(const TableDate& prediction) {
  constexpr double kLargestYear = 1e7;  // far beyond any catalogue, well within the day count
  const double year = std::trunc(prediction[0]);
  double month = std::trunc(prediction[1]);
  const double day = std::trunc(prediction[2]);
  if (!(std::fabs(year) <= kLargestYear && std::fabs(month) <= kLargestYear && std::fabs(day) <= kLargestYear * 366)) {
    return std::nullopt;
  }
  if (month == 0) month = 7;
  // Months counted from January of year 0, so that month 13 is January of the next year.
  const auto months = static_cast<std::int64_t>(year) * 12 + static_cast<std::int64_t>(month) - 1;
  const std::int64_t y = months >= 0 ? months / 12 : (months - 11) / 12;
  const int m = static_cast<int>(months - y * 12) + 1;
  return daysFromCivil(y, m, 1) + static_cast<std::int64_t>(day) - 1;
}

std::vector<const Quake*> quakesShown(const QuakeOverlay& overlay, const TableDate& prediction) {
  std::vector<const Quake*> shown;
  if (!overlay.quakes) return shown;
  const std::optional<std::int64_t> first = predictionCivilDay(prediction);
  if (overlay.days > 0 && !first) return shown;
  for (const Quake& quake : *overlay.quakes) {
    if (!(quake.magnitude >= overlay.minMagnitude)) continue;
    if (overlay.days > 0) {
      const std::int64_t day = daysFromCivil(quake.japanDate.year, quake.japanDate.month, quake.japanDate.day);
      if (day < *first || day > *first + overlay.days) continue;
    }
    shown.push_back(&quake);
  }
  return shown;
}

double centreDistanceKm(const CircleInput& circle, double latitude, double longitude, CircleMode mode) {
  const double centreLatitude = static_cast<float>(circle.latitude);
  const double centreLongitude = static_cast<float>(circle.longitude);
  if (mode == CircleMode::Geodesic) return wgs84::distance(centreLatitude, centreLongitude, latitude, longitude) / 1000;
  const MapPoint c = PlotXY(centreLatitude, centreLongitude).value_or(MapPoint{});
  const MapPoint p = PlotXY(latitude, longitude).value_or(MapPoint{});
  return std::hypot(p.x - c.x, p.y - c.y) / kMapUnitsPerKm;
}

QuakeNumbers measureQuake(double latitude, double longitude, const std::vector<CircleInput>& circles,
                          const std::vector<Crossing>& crossings, CircleMode mode, double toleranceKm) {
  QuakeNumbers numbers;
  for (const CircleInput& circle : circles) {
    if (!hasCircle(circle.radiusKm)) continue;
    const double km = std::fabs(centreDistanceKm(circle, latitude, longitude, mode) - circle.radiusKm);
    if (!numbers.nearestCircleKm || km < *numbers.nearestCircleKm) numbers.nearestCircleKm = km;
    if (km <= toleranceKm) ++numbers.support;
  }
  for (const Crossing& crossing : crossings) {
    const double km = crossingDistanceKm(crossing, latitude, longitude, mode);
    if (!numbers.nearestCrossingKm || km < *numbers.nearestCrossingKm) numbers.nearestCrossingKm = km;
  }
  return numbers;
}

float quakeMarkerRadius(double magnitude) {
  return static_cast<float>(std::max(15.0, 22.5 * (std::min(magnitude, 10.0) - 3)));
}

std::string quakeLegendText(const QuakeOverlay& overlay) { return "地震 M" + magnitudeText(overlay.minMagnitude) + "以上"; }

std::string quakePeriodText(const QuakeOverlay& overlay) {
  return overlay.days > 0 ? "予測日から" + std::to_string(overlay.days) + "日" : "全期間";
}

std::vector<SheetQuake> addQuakes(Sheet& sheet, const QuakeOverlay& overlay, const TableDate& prediction,
                                  const std::vector<CircleInput>& circles, const std::vector<Crossing>& crossings,
                                  CircleMode mode, double toleranceKm, int legendRows) {
  std::vector<SheetQuake> quakes;
  if (!overlay.quakes) return quakes;
  for (const Quake* quake : quakesShown(overlay, prediction)) {
    SheetQuake q;
    q.quake = *quake;
    q.at = PlotXY(quake->latitude, quake->longitude).value_or(MapPoint{-1, -1});
    q.onSheet = onSheet(q.at);
    q.numbers = measureQuake(quake->latitude, quake->longitude, circles, crossings, mode, toleranceKm);
    quakes.push_back(std::move(q));
  }
  std::vector<const SheetQuake*> largestFirst;
  for (const SheetQuake& q : quakes) {
    if (q.onSheet) largestFirst.push_back(&q);
  }
  std::stable_sort(largestFirst.begin(), largestFirst.end(),
                   [](const SheetQuake* a, const SheetQuake* b) { return a->quake.magnitude > b->quake.magnitude; });
  for (const SheetQuake* q : largestFirst) {
    sheet.items.push_back(SheetCircle{static_cast<float>(q->at.x), static_cast<float>(q->at.y),
                                      quakeMarkerRadius(q->quake.magnitude), kQuakeOutline, kQuakeFill});
  }
  // Under the creation date: a marker of the smallest magnitude shown, the words beside it.
  const double line = legendRows + 12;
  sheet.items.push_back(SheetCircle{131.3f * 120 + 40, static_cast<float>(line * 240 + 120),
                                    quakeMarkerRadius(overlay.minMagnitude), kQuakeOutline, kQuakeFill});
  printText(sheet, 132.6, line, kQuakeOutline, quakeLegendText(overlay) + " " + std::to_string(largestFirst.size()) + "件");
  printText(sheet, 131.3, line + 1, kQuakeOutline, quakePeriodText(overlay));
  return quakes;
}

}  // namespace eq
