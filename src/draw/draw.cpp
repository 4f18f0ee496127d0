#include "draw/draw.h"

#include "model/day_number.h"
#include "model/number_text.h"
#include "model/radius_law.h"

#include <algorithm>

namespace eq {
namespace {

constexpr float kMarkerRadius = 20;         // map units
constexpr float kCrossingMarkRadius = 60;   // map units: four screen pixels

// A drawn row's marker and, when the law gives it one, its circle; whether the circle was drawn.
bool drawVolcano(Sheet& sheet, const RecordValues& values, const MapPoint& at, std::optional<double> radiusKm,
                 CircleMode mode) {
  const float latitude = values.numbers[3];
  const float longitude = values.numbers[4];
  // Centre and radius go to the sheet at single precision; what does not fit is left out.
  const auto x = toSingle(at.x);
  const auto y = toSingle(at.y);
  if (x && y) sheet.items.push_back(SheetCircle{*x, *y, kMarkerRadius, kRed, kRed});
  // This program's rules: zero elapsed time has no radius (the logarithm is undefined),
  // and a negative radius (more than about 22.85 years) draws no circle, which would
  // show a distance the law does not give.
  if (!radiusKm || *radiusKm < 0 || !x || !y) return false;
  if (mode == CircleMode::Geodesic) {
    // The points at the true distance on the ellipsoid, placed by the sheet's projection.
    std::vector<MapPoint> ring = geodesicCircle(latitude, longitude, *radiusKm);
    if (ring.size() <= 2) return false;
    sheet.items.push_back(SheetPolyline{std::move(ring), kRed});
    return true;
  }
  const auto r = toSingle(*radiusKm * kMapUnitsPerKm);
  if (!r) return false;
  sheet.items.push_back(SheetCircle{*x, *y, *r, kRed, std::nullopt});
  return true;
}

}  // namespace

const char* rowStateName(RowState state) {
  switch (state) {
    case RowState::Unticked: return "unticked";
    case RowState::Skipped: return "skipped";
    case RowState::Excluded: return "excluded";
    case RowState::Drawn: return "drawn";
  }
  return "unticked";
}

bool DrawResult::anyDrawn() const {
  return std::any_of(rows.begin(), rows.end(), [](const RowOutcome& row) { return row.state == RowState::Drawn; });
}

DrawResult draw(const DrawInputs& in) {
  DrawResult out;
  out.sheet.background = in.background;
  out.circleMode = in.circleMode;
  drawFrame(out.sheet);
  const std::size_t frameEnd = out.sheet.items.size();

  // A prediction month of 0 counts as July here; the stamp still shows 0.
  const double predictionDay = JulianDay(in.prediction).value_or(0);
  int drawnCount = 0;
  std::vector<LegendRow> legend;
  std::vector<CircleInput> circles;
  for (int row = 1; row <= kRowCount; ++row) {
    const DrawRow& r = in.rows[row];
    RowOutcome& outcome = out.rows[row];
    if (!r.ticked) continue;
    outcome.state = RowState::Skipped;
    if (r.yearEmpty) continue;
    // Strictly later only: an eruption on the prediction day itself is drawn.
    const double eruptionDay = JulianDay(r.values.numbers[0], r.values.numbers[1], r.values.numbers[2]).value_or(0);
    if (eruptionDay > predictionDay) {
      outcome.state = RowState::Excluded;
      out.exclusionWarning = true;
      continue;
    }
    outcome.state = RowState::Drawn;
    ++drawnCount;
    const std::optional<double> radius = PlotRadius(predictionDay, eruptionDay);
    const MapPoint at = PlotXY(r.values.numbers[3], r.values.numbers[4]).value_or(MapPoint{});
    outcome.circleDrawn = drawVolcano(out.sheet, r.values, at, radius, in.circleMode);
    if (outcome.circleDrawn) {
      outcome.radiusKm = radius;
      circles.push_back({row, r.values.numbers[3], r.values.numbers[4], *radius});
    }
    legend.push_back({row, r.values.name, at.x});
  }
  out.countLabel = "描画データ数  = " + signedText(static_cast<float>(drawnCount));
  out.crossings = findCrossings(circles, in.circleMode, in.toleranceKm);
  if (in.quakes.quakes) {
    out.quakesOverlaid = true;
    // Under the volcanoes and circles, so that a quake's disc hides no volcano.
    Sheet quakes;
    out.quakes = addQuakes(quakes, in.quakes, in.prediction, circles, out.crossings, in.circleMode, in.toleranceKm,
                           static_cast<int>(legend.size()));
    out.sheet.items.insert(out.sheet.items.begin() + static_cast<std::ptrdiff_t>(frameEnd), quakes.items.begin(),
                           quakes.items.end());
  }
  drawAnnotations(out.sheet, in.prediction, legend, in.title, in.today);

  if (in.crossingMarks) addCrossingMarks(out);
  return out;
}

std::vector<CircleInput> drawnCircles(const DrawInputs& inputs, const DrawResult& drawing) {
  std::vector<CircleInput> circles;
  for (int row = 1; row <= kRowCount; ++row) {
    const RowOutcome& outcome = drawing.rows[row];
    if (!outcome.circleDrawn || !outcome.radiusKm) continue;
    const RecordValues& v = inputs.rows[row].values;
    circles.push_back({row, v.numbers[3], v.numbers[4], *outcome.radiusKm});
  }
  return circles;
}

void addCrossingMarks(DrawResult& drawing) {
  if (drawing.crossingMarksFrom) return;
  drawing.crossingMarksFrom = drawing.sheet.items.size();
  for (const Crossing& crossing : drawing.crossings) {
    if (!crossing.onSheet) continue;
    drawing.sheet.items.push_back(SheetCircle{static_cast<float>(crossing.x), static_cast<float>(crossing.y),
                                              kCrossingMarkRadius, kBlue, std::nullopt});
  }
}

void removeCrossingMarks(DrawResult& drawing) {
  if (!drawing.crossingMarksFrom) return;
  drawing.sheet.items.resize(std::min(*drawing.crossingMarksFrom, drawing.sheet.items.size()));
  drawing.crossingMarksFrom.reset();
}

MapExport mapExport(const DrawInputs& inputs, const DrawResult& drawing) {
  MapExport map;
  map.prediction = inputs.prediction;
  map.mode = inputs.circleMode;
  map.toleranceKm = inputs.toleranceKm;
  for (int row = 1; row <= kRowCount; ++row) {
    const RowOutcome& outcome = drawing.rows[row];
    if (outcome.state == RowState::Unticked) continue;
    const RecordValues& v = inputs.rows[row].values;
    map.volcanoes.push_back({row, v.name, {v.numbers[0], v.numbers[1], v.numbers[2]}, v.numbers[3], v.numbers[4],
                             outcome.radiusKm, rowStateName(outcome.state)});
  }
  map.crossings = drawing.crossings;
  return map;
}

}  // namespace eq
