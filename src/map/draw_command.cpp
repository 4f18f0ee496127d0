#include "map/draw_command.h"

#include "app/eruption_table.h"
#include "app/form1.h"
#include "app/messages.h"
#include "app/platform.h"
#include "map/picture_box.h"
#include "map/sheet_frame.h"
#include "model/number_text.h"
#include "platform/data_paths.h"

// Error policy: a step that fails (a conversion, the logarithm, an overflow, a
// missing bitmap, a drawing call) is left out and the command goes on with the
// next one; every variable keeps the value it then has. The empty prediction-date
// fields are the only failure the user is told about.

namespace eq {
namespace {

const QColor kRed(255, 0, 0);
constexpr float kMarkerRadius = 20;  // map units

QByteArray utf8(const QLineEdit* box) { return box->text().toUtf8(); }

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

QString DrawCommand::backgroundMapPath() { return eq::backgroundMapPath(); }

DrawReport DrawCommand::run() {
  Form1& f = form_;
  PictureBox& picture = *f.Picture1;
  DrawReport report;

  picture.removePicture();
  f.Label20->setVisible(false);
  makeAllRowsUsable(f);

  if (!readPredictionDate()) {
    report.predictionDateMissing = true;
    return report;
  }
  readRows();

  // A missing or unreadable bitmap only leaves the background out.
  if (f.ShowBackgroundMap != 0) picture.loadPicture(backgroundMapPath());

  picture.setAutoRedraw(true);
  picture.setScaleMode(PictureBox::ScaleMode::Twips);
  drawSheetFrame(picture);

  predictionDayNumber();

  f.DrawnCount = 0;
  for (int row = 1; row <= kRowCount; ++row) f.RowDrawn[row] = 0;

  f.RowBaseIndex = 1;
  for (f.RowNo = 1; f.RowNo <= kRowCount; ++f.RowNo) {
    report.rows[f.RowNo] = drawRow();
    f.RowBaseIndex = static_cast<int16_t>(f.RowBaseIndex + 6);
  }

  f.Label21->setVisible(true);
  f.Label21->setText(QStringLiteral("描画データ数  = ") + QString::fromStdString(signedText(f.DrawnCount)));

  drawSheetAnnotations(picture, f, today_.isValid() ? today_ : QDate::currentDate());
  return report;
}

// Only exactly empty text stops the command; anything else reads leniently
// (the leading number, 0 when there is none).
bool DrawCommand::readPredictionDate() {
  Form1& f = form_;
  float* const targets[] = {&f.PredictionYear, &f.PredictionMonth, &f.PredictionDay};
  for (int k = 0; k < 3; ++k) {
    const QLineEdit* box = f.TextEQ(61 + k);
    if (box->text().isEmpty()) {
      warnUser(f.platform(), QStringLiteral("予測年データが未入力です"));
      return false;
    }
    if (const auto value = toSingle(leadingNumber(utf8(box).toStdString()))) *targets[k] = *value;
  }
  return true;
}

// All ten rows, ticked or not. A field that is not a number leaves its array
// element as it was; each field is converted on its own.
void DrawCommand::readRows() {
  Form1& f = form_;
  std::array<float, kRowArraySize>* const fields[] = {&f.EruptionYear, &f.EruptionMonth, &f.EruptionDay,
                                                      &f.VolcanoLatitude, &f.VolcanoLongitude};
  f.RowBaseIndex = 1;
  for (int i = 1; i <= kRowCount; ++i) {
    f.VolcanoName[i] = f.TextEQ(f.RowBaseIndex)->text();
    for (int k = 0; k < 5; ++k) {
      if (const auto value = strictSingle(utf8(f.TextEQ(f.RowBaseIndex + 1 + k)).toStdString())) {
        (*fields[k])[i] = *value;
      }
    }
    f.RowBaseIndex = static_cast<int16_t>(f.RowBaseIndex + 6);
  }
}

// A prediction month of 0 counts as July here; the stamp still shows 0.
void DrawCommand::predictionDayNumber() {
  Form1& f = form_;
  f.CalcYear = f.PredictionYear;
  f.CalcMonth = f.PredictionMonth;
  f.CalcDay = f.PredictionDay;
  f.JulianDay();
  f.PredictionDayNumber = f.DayNumber;
}

RowOutcome DrawCommand::drawRow() {
  Form1& f = form_;
  const int row = f.RowNo;
  RowOutcome outcome;
  if (!f.CheckEQ(row)->isChecked()) return outcome;
  outcome.state = RowState::Skipped;
  if (f.TextEQ(f.RowBaseIndex + 1)->text().isEmpty()) return outcome;

  // The eruption date as read into the arrays, not the text as it stands now.
  f.CalcYear = f.EruptionYear[row];
  f.CalcMonth = f.EruptionMonth[row];
  f.CalcDay = f.EruptionDay[row];
  f.JulianDay();
  f.EruptionDayNumber = f.DayNumber;

  // Strictly later only: an eruption on the prediction day itself is drawn.
  if (f.EruptionDayNumber > f.PredictionDayNumber) {
    f.Label20->setVisible(true);
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

  PictureBox& picture = *f.Picture1;
  const auto x = toSingle(f.MapX);
  const auto y = toSingle(f.MapY);
  picture.setFillStyle(0);
  picture.setFillColor(kRed);
  if (x && y) picture.circle(*x, *y, kMarkerRadius, kRed);
  picture.setFillStyle(1);
  // This program's rule: a negative radius (more than about 22.85 years) draws no
  // circle; a circle of its absolute value would show a distance the law does not give.
  if (hasRadius && f.RadiusKm >= 0) {
    const auto r = toSingle(f.RadiusKm * 3);
    if (x && y && r) outcome.circleDrawn = picture.circle(*x, *y, *r, kRed);
  }
  f.RowMapX[row] = f.MapX;
  return outcome;
}

}  // namespace eq
