#include "session/session.h"

#include "map/projection.h"
#include "model/day_number.h"
#include "model/radius_law.h"

#include <stdexcept>

namespace eq {

int Session::checkedBox(int index) {
  if (index < 1 || index > kBoxCount) throw std::out_of_range("TextEQ index");
  return index;
}

int Session::checkedRow(int row) {
  if (row < 1 || row > kRowCount) throw std::out_of_range("CheckEQ index");
  return row;
}

void Session::startUp() {
  DrawnCount = 0;
  ShowBackgroundMap = 1;
  for (const Control hidden : {Control::Label20, Control::Label21, Control::Label25, Control::Label31,
                               Control::Label26, Control::Label27, Control::Label28, Control::Label29,
                               Control::Command7, Control::Command8}) {
    setVisible(hidden, false);
  }
  setCaption(Control::Label23, QString());
}

bool Session::JulianDay() {
  CalcMonth = monthForDayNumber(CalcMonth);
  const auto day = dayNumber(CalcYear, CalcMonth, CalcDay);
  if (!day) return false;
  DayNumber = *day;
  return true;
}

bool Session::PlotRadius() {
  const auto radius = radiusKm(PredictionDayNumber, EruptionDayNumber);
  if (!radius) return false;
  RadiusKm = *radius;
  return true;
}

bool Session::PlotXY() {
  const auto point = projectToMap(Latitude, Longitude);
  if (!point) return false;
  MapX = point->x;
  MapY = point->y;
  return true;
}

}  // namespace eq
