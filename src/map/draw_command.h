#pragma once
// Command4 "描画する": draws the sheet for the ticked rows and the prediction date:
// background, frame, a red marker and earthquake circle per drawn row, the count
// label and the annotations.

#include "app/form_variables.h"

#include <QDate>
#include <QString>
#include <array>
#include <optional>

namespace eq {

class Form1;

// What became of a table row in one Draw.
enum class RowState {
  Unticked,  // not ticked
  Skipped,   // ticked, but the year field is empty: no mark at all
  Excluded,  // the eruption lies after the prediction date: greyed and disabled
  Drawn,     // counted, with its marker (and its circle when the law gives one)
};

const char* rowStateName(RowState state);  // "unticked", "skipped", "excluded", "drawn"

struct RowOutcome {
  RowState state = RowState::Unticked;
  std::optional<double> radiusKm;  // what the law gave; none for zero elapsed time
  bool circleDrawn = false;
};

struct DrawReport {
  bool predictionDateMissing = false;  // the command ended at the date check
  std::array<RowOutcome, kRowCount + 1> rows{};  // 1 ... 10
};

class DrawCommand {
 public:
  explicit DrawCommand(Form1& form) : form_(form) {}

  // The creation-date stamp shows the system date unless a date is fixed here.
  DrawCommand& setToday(const QDate& date) {
    today_ = date;
    return *this;
  }

  DrawReport run();

  // The background bitmap: JapanMap3.bmp beside the program, or its installed copy.
  static QString backgroundMapPath();

 private:
  bool readPredictionDate();
  void readRows();
  void predictionDayNumber();
  RowOutcome drawRow();

  Form1& form_;
  QDate today_;
};

}  // namespace eq
