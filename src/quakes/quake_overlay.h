#pragma once
// Earthquakes of a catalogue on the sheet: which of them a Draw shows (magnitude and a
// window of days from the prediction date), their markers (a filled disc in a colour of
// its own, larger for a larger magnitude) and their numbers against the drawn circles:
// the distance to the nearest circle line and to the nearest crossing, and the support
// (how many circle lines pass within the tolerance of the epicentre).
//
// Distances follow the circles' kind: for the circles as drawn, the distance on the
// sheet in map units / 3 per km (a point on a circle's line is at 0); for the circles
// at the true distance, |distance to the volcano on the ellipsoid - radius|.

#include "analysis/crossings.h"
#include "draw/sheet.h"
#include "model/day_number.h"
#include "quakes/catalogue.h"

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace eq {

inline constexpr double kDefaultMinMagnitude = 6.0;
inline constexpr int kDefaultQuakeDays = 365;  // 0: every quake, whatever its date
inline constexpr Rgb kQuakeFill{0, 170, 170};   // teal: apart from the red circles and the blue rings
inline constexpr Rgb kQuakeOutline{0, 80, 80};

// The catalogue a Draw lays over the sheet, and which of its quakes it shows.
struct QuakeOverlay {
  std::shared_ptr<const std::vector<Quake>> quakes;  // none: no overlay
  double minMagnitude = kDefaultMinMagnitude;
  int days = kDefaultQuakeDays;
};

// The prediction date as a calendar day: the values as read, cut to whole numbers, a
// month 0 taken as July (as the day number takes it), a month beyond 12 carried into
// the years and a day beyond its month into the next; nothing when they are no numbers
// a calendar can hold.
std::optional<std::int64_t> predictionCivilDay(const TableDate& prediction);

// The quakes of magnitude >= minMagnitude on the prediction day or up to `days` days
// after it (all of them for days 0), in the catalogue's order.
std::vector<const Quake*> quakesShown(const QuakeOverlay& overlay, const TableDate& prediction);

// The distance in km from a point to a circle's centre, in the circles' kind: on the
// sheet (map units / 3), or on the ellipsoid. The volcano's position is taken at single
// precision, as the sheet places it.
double centreDistanceKm(const CircleInput& circle, double latitude, double longitude, CircleMode mode);

struct QuakeNumbers {
  std::optional<double> nearestCircleKm;    // none: no circle drawn
  std::optional<double> nearestCrossingKm;  // none: no crossing
  int support = 0;                          // circle lines within the tolerance
};

QuakeNumbers measureQuake(double latitude, double longitude, const std::vector<CircleInput>& circles,
                          const std::vector<Crossing>& crossings, CircleMode mode, double toleranceKm);

struct SheetQuake {
  Quake quake;
  MapPoint at;  // map units
  bool onSheet = false;
  QuakeNumbers numbers;
};

// The marker's radius in map units: 22.5 per magnitude above 3 (a magnitude 6 is nine
// screen pixels across, a 9 eighteen), at least 15.
float quakeMarkerRadius(double magnitude);

// The quakes shown with their numbers, their markers on the sheet (larger ones first,
// so that a small one stays visible on a large one) and the legend line in the sheet's
// right column under the `legendRows` rows listed there.
std::vector<SheetQuake> addQuakes(Sheet& sheet, const QuakeOverlay& overlay, const TableDate& prediction,
                                  const std::vector<CircleInput>& circles, const std::vector<Crossing>& crossings,
                                  CircleMode mode, double toleranceKm, int legendRows);

// The legend's words: "地震 M6以上" and "予測日から365日" (or "全期間").
std::string quakeLegendText(const QuakeOverlay& overlay);
std::string quakePeriodText(const QuakeOverlay& overlay);

}  // namespace eq
