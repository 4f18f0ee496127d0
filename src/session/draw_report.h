#pragma once
// What one Draw did: each row's outcome and where the drawn circles cross.

#include "analysis/crossings.h"
#include "session/form_variables.h"

#include <array>
#include <optional>
#include <vector>

namespace eq {

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
  // The radius of the row's circle; none when it has none: zero elapsed time, more
  // than about 22.85 years (the law gives a negative distance), or no place to draw it.
  std::optional<double> radiusKm;
  bool circleDrawn = false;
};

struct DrawReport {
  bool predictionDateMissing = false;  // the command ended at the date check
  std::array<RowOutcome, kRowCount + 1> rows{};  // 1 ... 10
  // Where the drawn circles cross, in the circle mode of this Draw, best supported first.
  std::vector<Crossing> crossings;
};

}  // namespace eq
