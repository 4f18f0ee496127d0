#pragma once
// The eruption table's row states and the two commands on the whole table.
// Row r's six fields are TextEQ((r - 1) * 6 + 1 ... 6), its tick is CheckEQ(r).
// A row is usable (enabled, white) or excluded (disabled, light grey); the six
// text boxes and the check box always change together.

#include <QColor>

class QWidget;

namespace eq {

class Form1;

inline const QColor kUsableBack = QColor(255, 255, 255);
inline const QColor kExcludedBack = QColor(224, 224, 224);

// Index of field f (1 name, 2 year, 3 month, 4 day, 5 latitude, 6 longitude) of row r.
constexpr int fieldIndex(int row, int field) { return (row - 1) * 6 + field; }

// Background colour of a text box or check box.
void setBackColor(QWidget* control, const QColor& colour);
QColor backColor(const QWidget* control);

// Makes every row usable again: for each row, enable its six boxes in field order,
// enable its check box, whiten the six boxes, whiten the check box.
void makeAllRowsUsable(Form1& form);

// Excludes a row as the Draw command does: disable the name box, the check box and
// the other five boxes, then grey the six boxes and the check box.
void excludeRow(Form1& form, int row);

// Command5: every row usable, unticked and empty; the prediction date, the drawing
// and the labels stay as they are.
void clearEruptionData(Form1& form);

// Label36: ticks every row whose check box is enabled; excluded rows keep their tick.
void selectAllRows(Form1& form);

}  // namespace eq
