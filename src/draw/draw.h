#pragma once
// The Draw, pure: from the typed inputs (the ten rows as read, the ticks, the
// prediction date, the title and the options) to the sheet's items and what became
// of every row, with no toolkit and no state kept between Draws. The steps keep their
// classic names: JulianDay (day_number.h), PlotRadius (radius_law.h), PlotXY
// (projection.h), RowBaseIndex (inputs.h).

#include "analysis/crossings.h"
#include "analysis/map_export.h"
#include "draw/inputs.h"
#include "draw/sheet.h"
#include "draw/sheet_frame.h"
#include "quakes/quake_overlay.h"

#include <array>
#include <optional>
#include <string>
#include <vector>

namespace eq {

struct DrawRow {
  RecordValues values;     // as read: a field that failed keeps the row's last good value
  bool ticked = false;     // CheckEQ
  bool yearEmpty = false;  // the year box is empty: a ticked row is then skipped, unmarked
};

struct DrawInputs {
  std::array<DrawRow, kRowCount + 1> rows{};  // 1 ... 10
  TableDate prediction{};                     // as read from the prediction boxes
  std::string title;                          // the title comment
  std::string background;  // file name of the background bitmap under the sheet; empty: none
  CalendarDay today;       // the creation-date stamp
  CircleMode circleMode = CircleMode::Classic;
  double toleranceKm = kDefaultSupportToleranceKm;
  bool crossingMarks = false;  // a blue ring on every crossing on the sheet
  QuakeOverlay quakes;         // a catalogue's earthquakes over the circles; none at start
};

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

struct DrawResult {
  Sheet sheet;
  std::array<RowOutcome, kRowCount + 1> rows{};  // 1 ... 10
  std::string countLabel;                        // Label21: "描画データ数  = " and the count
  bool exclusionWarning = false;                 // Label20 shows: a row was excluded
  CircleMode circleMode = CircleMode::Classic;
  // Where the drawn circles cross, best supported first.
  std::vector<Crossing> crossings;
  // Where the crossing marks begin among the sheet's items, while it has them.
  std::optional<std::size_t> crossingMarksFrom;
  // The catalogue's quakes the sheet shows, with their numbers, while one is laid over it.
  bool quakesOverlaid = false;
  std::vector<SheetQuake> quakes;

  bool anyDrawn() const;
};

// Frame, a red marker and earthquake circle per drawn row, the quakes of the overlay,
// the annotations; the rows' outcomes, the count, the warning, the crossings and the
// quakes' numbers.
DrawResult draw(const DrawInputs& inputs);

// The circles a Draw drew, with their rows' positions and radii.
std::vector<CircleInput> drawnCircles(const DrawInputs& inputs, const DrawResult& drawing);

// Crossing marks, a small blue ring on each crossing on the sheet, after everything
// else; adding them twice adds them once.
void addCrossingMarks(DrawResult& drawing);
void removeCrossingMarks(DrawResult& drawing);

// The Draw as map data: every ticked row's volcano with its state, its circle in the
// Draw's circle mode, and the crossings.
MapExport mapExport(const DrawInputs& inputs, const DrawResult& drawing);

}  // namespace eq
