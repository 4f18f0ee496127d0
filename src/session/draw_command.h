#pragma once
// Command4 "描画する": the session's part of the Draw. It resets the rows and the
// labels, reads the prediction date and the ten rows into the typed inputs (a field
// that fails keeps the row's last good value), loads the background map, lets the
// core draw, and shows what it gave: the sheet, the excluded rows, the count label
// and the warning.

#include "draw/draw.h"

#include <QDate>
#include <QImage>

namespace eq {

class Session;

// Runs the command. The creation-date stamp shows `today`, or the system date when
// it is not valid. False when a prediction box was empty: the message was shown and
// the surface is empty.
bool runDrawCommand(Session& session, const QDate& today = QDate());

// A Draw's inputs from the session for any prediction date: the rows as Draw reads
// them (a field that fails keeps its value in `lastGood`, which takes what was read),
// the ticks, the empty years, the title, the analysis options, `today` for the
// creation stamp, and the background map bitmap while the session shows it. A series
// of dates draws from one of these, date after date.
struct DrawSetUp {
  DrawInputs inputs;
  QImage background;  // the bitmap inputs.background names; null when none
};
DrawSetUp drawSetUp(const Session& session, LastGoodValues& lastGood, const QDate& today);

// The date as the prediction boxes hold it after typing it ("2025", "1", "1").
TableDate predictionOf(const QDate& date);

}  // namespace eq
