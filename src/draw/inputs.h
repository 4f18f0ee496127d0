#pragma once
// What a Draw reads, typed: the table's layout (the boxes TextEQ(1) ... TextEQ(63)),
// the last good values that open, save and Draw share, and how each of them reads the
// boxes' texts. A field that fails to convert keeps the row's last good value: that
// classic rule lives here, in data, not in hidden state.

#include "datafile/record_format.h"
#include "model/day_number.h"

#include <array>
#include <string>

namespace eq {

inline constexpr int kRowCount = 10;
inline constexpr int kFieldsPerRow = 6;        // name, year, month, day, latitude, longitude
inline constexpr int kBoxCount = 63;           // 1 ... 60 the table, 61 ... 63 the prediction date
inline constexpr int kPredictionYearBox = 61;  // then its month and its day

// TextEQ index of row `row`'s first field (its volcano name): 1, 7, 13, ... 55.
constexpr int RowBaseIndex(int row) { return (row - 1) * kFieldsPerRow + 1; }
// Index of field f (1 name, 2 year, 3 month, 4 day, 5 latitude, 6 longitude) of row r.
constexpr int fieldIndex(int row, int field) { return RowBaseIndex(row) + field - 1; }

// A row's six texts, or the prediction date's three, in UTF-8.
using RowTexts = std::array<std::string, kFieldsPerRow>;
using DateTexts = std::array<std::string, 3>;

// What the table was last read as: 0 and empty after start-up, then whatever open,
// save and Draw last read.
struct LastGoodValues {
  std::array<RecordValues, kRowCount + 1> rows{};  // 1 ... 10
  TableDate prediction{};                          // as Draw last read the prediction boxes
};

// Draw's reading of a row: the name as it is, each number by the strict conversion; a
// number that does not convert keeps the last good one.
RecordValues readRow(const RecordValues& lastGood, const RowTexts& texts);

// The save's reading: the same, except that a row without a name is saved empty, its
// numbers 0 whatever its cells hold.
RecordValues readRowForSave(const RecordValues& lastGood, const RowTexts& texts);

// What a line of a data file gave; what it did not give keeps the last good value.
RecordValues withRecord(RecordValues lastGood, const EruptionRecord& record);

// A row's six texts as the table shows its last good values after an open: the name
// (empty for a name "0"), each number in its general form, 0 as an empty cell.
RowTexts shownRow(const RecordValues& values);

// Draw's reading of the prediction date: each box's leading number (0 when it has
// none; a value too large for single precision keeps the last good one), year first.
// False at the first empty box, which ends the command: the boxes before it are read
// into `lastGood` all the same.
bool readPredictionDate(TableDate& lastGood, const DateTexts& texts);

}  // namespace eq
