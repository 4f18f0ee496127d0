#pragma once
// Sheets through time: one sheet per prediction date over a range of dates, each the
// core's Draw of the session's table for that date, as a single Draw of it would give,
// handed to a SeriesWriter. Nothing of the session changes; the drawing and the
// painting stay on the calling thread.

#include "session/draw_command.h"
#include "sheet/series_writer.h"

#include <QDate>
#include <QString>
#include <functional>
#include <optional>

namespace eq {

class Session;

// The dates `from`, `from` + step, ... up to and including `to` (calendar days).
struct DateRange {
  QDate from;
  QDate to;
  int stepDays = 1;
};

inline constexpr qint64 kMostFrames = 100000;

// How many dates the range holds; 0 when `to` lies before `from`, the step is below
// 1 or a date is not valid.
qint64 frameCount(const DateRange& range);
// The date of frame `index`, counted from 0.
QDate frameDate(const DateRange& range, qint64 index);
// Why the range cannot be drawn (reversed, a step below 1, more than kMostFrames
// dates), in Japanese; nothing when it can.
std::optional<QString> rangeProblem(const DateRange& range);

// Draws every date of the range from the session's table (loaded, rows ticked) and
// writes it through `writer`; `written` hears of each complete file, on this thread.
// The creation stamp shows `today` (the system date when it is not valid). Nothing
// when every frame was written, otherwise the reason.
std::optional<QString> renderDateSeries(const Session& session, const DateRange& range, const QDate& today,
                                        SeriesWriter& writer,
                                        const std::function<void(const WrittenFrame&)>& written);

}  // namespace eq
