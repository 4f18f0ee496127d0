#pragma once
// Command4 "描画する": draws the sheet for the ticked rows and the prediction date:
// background, frame, a red marker and earthquake circle per drawn row, the count
// label and the annotations.

#include "session/draw_report.h"

#include <QDate>
#include <QString>

namespace eq {

class Session;

class DrawCommand {
 public:
  explicit DrawCommand(Session& session) : session_(session) {}

  // The creation-date stamp shows the system date unless a date is fixed here.
  DrawCommand& setToday(const QDate& date) {
    today_ = date;
    return *this;
  }

  DrawReport run();

 private:
  bool readPredictionDate();
  void readRows();
  void predictionDayNumber();
  RowOutcome drawRow();
  std::vector<CircleInput> drawnCircles(const DrawReport& report) const;

  Session& session_;
  QDate today_;
};

}  // namespace eq
