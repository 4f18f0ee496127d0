#include "session/draw_command.h"

#include "model/number_text.h"
#include "platform/data_paths.h"
#include "session/analysis_commands.h"
#include "session/messages.h"
#include "session/row_arrays.h"
#include "session/session.h"
#include "session/sheet_frame.h"
#include "session/table_commands.h"

// Error policy: a step that fails (a conversion, the logarithm, an overflow, a
// missing bitmap, a drawing call) is left out and the command goes on with the
// next one; every variable keeps the value it then has. The empty prediction-date
// fields are the only failure the user is told about.

namespace eq {
namespace {

const QColor kRed(255, 0, 0);
constexpr float kMarkerRadius = 20;  // map units

std::string utf8(const QString& text) { return text.toUtf8().toStdString(); }

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

DrawReport DrawCommand::run() {
  Session& f = session_;
  DrawingSurface& picture = f.surface();
  DrawReport report;

  picture.removePicture();
  f.setVisible(Control::Label20, false);
  makeAllRowsUsable(f);

  if (!readPredictionDate()) {
    report.predictionDateMissing = true;
    f.lastDraw = report;
    return report;
  }
  readRows();

  // A missing or unreadable bitmap only leaves the background out.
  if (f.ShowBackgroundMap != 0) picture.loadPicture(backgroundMapPath());

  picture.setAutoRedraw(true);
  picture.setScaleMode(DrawingSurface::ScaleMode::Twips);
  drawSheetFrame(picture);

  predictionDayNumber();

  f.DrawnCount = 0;
  for (int row = 1; row <= kRowCount; ++row) f.RowDrawn[row] = 0;

  f.RowBaseIndex = 1;
  for (f.RowNo = 1; f.RowNo <= kRowCount; ++f.RowNo) {
    report.rows[f.RowNo] = drawRow();
    f.RowBaseIndex = static_cast<int16_t>(f.RowBaseIndex + 6);
  }

  f.setVisible(Control::Label21, true);
  f.setCaption(Control::Label21, QStringLiteral("描画データ数  = ") + QString::fromStdString(signedText(f.DrawnCount)));

  drawSheetAnnotations(picture, f, today_.isValid() ? today_ : QDate::currentDate());

  report.crossings = findCrossings(drawnCircles(report), f.analysis.circleMode, f.analysis.toleranceKm);
  f.lastDraw = report;
  f.crossingMarksFrom.reset();
  if (f.analysis.showCrossings) drawCrossingMarks(f);
  return report;
}

// The circles this Draw drew, at the positions it drew them from.
std::vector<CircleInput> DrawCommand::drawnCircles(const DrawReport& report) const {
  std::vector<CircleInput> circles;
  for (int row = 1; row <= kRowCount; ++row) {
    const RowOutcome& outcome = report.rows[row];
    if (!outcome.circleDrawn || !outcome.radiusKm) continue;
    circles.push_back({row, session_.VolcanoLatitude[row], session_.VolcanoLongitude[row], *outcome.radiusKm});
  }
  return circles;
}

// Only exactly empty text stops the command; anything else reads leniently
// (the leading number, 0 when there is none).
bool DrawCommand::readPredictionDate() {
  Session& f = session_;
  float* const targets[] = {&f.PredictionYear, &f.PredictionMonth, &f.PredictionDay};
  for (int k = 0; k < 3; ++k) {
    const QString& box = f.text(61 + k);
    if (box.isEmpty()) {
      warnUser(f, QStringLiteral("予測年データが未入力です"));
      return false;
    }
    if (const auto value = toSingle(leadingNumber(utf8(box)))) *targets[k] = *value;
  }
  return true;
}

// All ten rows, ticked or not. A field that is not a number leaves its array
// element as it was; each field is converted on its own.
void DrawCommand::readRows() {
  Session& f = session_;
  const auto fields = rowNumberArrays(f);
  f.RowBaseIndex = 1;
  for (int i = 1; i <= kRowCount; ++i) {
    f.VolcanoName[i] = f.text(f.RowBaseIndex);
    for (std::size_t k = 0; k < kNumbersPerRecord; ++k) {
      if (const auto value = strictSingle(utf8(f.text(f.RowBaseIndex + 1 + static_cast<int>(k))))) {
        (*fields[k])[i] = *value;
      }
    }
    f.RowBaseIndex = static_cast<int16_t>(f.RowBaseIndex + 6);
  }
}

// A prediction month of 0 counts as July here; the stamp still shows 0.
void DrawCommand::predictionDayNumber() {
  Session& f = session_;
  f.CalcYear = f.PredictionYear;
  f.CalcMonth = f.PredictionMonth;
  f.CalcDay = f.PredictionDay;
  f.JulianDay();
  f.PredictionDayNumber = f.DayNumber;
}

RowOutcome DrawCommand::drawRow() {
  Session& f = session_;
  const int row = f.RowNo;
  RowOutcome outcome;
  if (!f.ticked(row)) return outcome;
  outcome.state = RowState::Skipped;
  if (f.text(f.RowBaseIndex + 1).isEmpty()) return outcome;

  // The eruption date as read into the arrays, not the text as it stands now.
  f.CalcYear = f.EruptionYear[row];
  f.CalcMonth = f.EruptionMonth[row];
  f.CalcDay = f.EruptionDay[row];
  f.JulianDay();
  f.EruptionDayNumber = f.DayNumber;

  // Strictly later only: an eruption on the prediction day itself is drawn.
  if (f.EruptionDayNumber > f.PredictionDayNumber) {
    f.setVisible(Control::Label20, true);
    excludeRow(f, row);
    outcome.state = RowState::Excluded;
    return outcome;
  }

  outcome.state = RowState::Drawn;
  f.DrawnCount = static_cast<int16_t>(f.DrawnCount + 1);
  f.RowDrawn[row] = 1;
  // This program's rule: zero elapsed time has no radius (the logarithm is
  // undefined), so the row keeps its marker and its count but gets no circle.
  // The previous row's radius, still in RadiusKm, would show a distance the law
  // never gave.
  const bool hasRadius = f.PlotRadius();
  if (hasRadius) outcome.radiusKm = f.RadiusKm;
  f.Latitude = f.VolcanoLatitude[row];
  f.Longitude = f.VolcanoLongitude[row];
  f.PlotXY();

  DrawingSurface& picture = f.surface();
  const auto x = toSingle(f.MapX);
  const auto y = toSingle(f.MapY);
  picture.setFillStyle(0);
  picture.setFillColor(kRed);
  if (x && y) picture.circle(*x, *y, kMarkerRadius, kRed);
  picture.setFillStyle(1);
  // This program's rule: a negative radius (more than about 22.85 years) draws no
  // circle; a circle of its absolute value would show a distance the law does not give.
  if (hasRadius && f.RadiusKm >= 0) {
    if (f.analysis.circleMode == CircleMode::Geodesic) {
      // The points at the true distance on the ellipsoid, placed by the sheet's projection.
      std::vector<QPointF> ring;
      for (const MapPoint& p : geodesicCircle(f.Latitude, f.Longitude, f.RadiusKm)) ring.emplace_back(p.x, p.y);
      outcome.circleDrawn = x && y && ring.size() > 2;
      if (outcome.circleDrawn) picture.polyline(std::move(ring), kRed);
    } else {
      const auto r = toSingle(f.RadiusKm * kMapUnitsPerKm);
      if (x && y && r) outcome.circleDrawn = picture.circle(*x, *y, *r, kRed);
    }
  }
  f.RowMapX[row] = f.MapX;
  if (!outcome.circleDrawn) outcome.radiusKm.reset();  // no circle, no radius to report
  return outcome;
}

}  // namespace eq
