#pragma once
// The eruption table's row states and the two commands on the whole table.
// Row r's six fields are TextEQ(RowBaseIndex(r) ... RowBaseIndex(r) + 5), its tick is CheckEQ(r).

namespace eq {

class Session;

// Makes every row usable again (enabled and white).
void makeAllRowsUsable(Session& session);

// Excludes a row as the Draw command does: disabled and light grey.
void excludeRow(Session& session, int row);

// Command5: every row usable, unticked and empty; the prediction date, the drawing
// and the labels stay as they are.
void clearEruptionData(Session& session);

// Label36: ticks every row whose check box is enabled; excluded rows keep their tick.
void selectAllRows(Session& session);

}  // namespace eq
