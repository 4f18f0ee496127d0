#pragma once
// Command4 "描画する": draws the sheet for the ticked rows and the prediction date:
// background, frame, a red marker and earthquake circle per drawn row, the count
// label and the annotations.

#include "session/form_variables.h"

#include <QDate>
#include <QString>
#include <array>
#include <optional>

namespace eq {

class Session;

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

  Session& session_;
  QDate today_;
};

}  // namespace eq
