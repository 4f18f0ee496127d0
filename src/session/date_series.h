#pragma once
// Sheets through time: one sheet per prediction date over a range of dates, drawn
// by the same Draw command as a single sheet and handed to a SeriesWriter. The
// session and the painting stay on the calling thread.

#include "session/draw_command.h"
#include "session/form_variables.h"
#include "sheet/series_writer.h"

#include <QDate>
#include <QString>
#include <QStringList>
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

// The date as a person types it into the three prediction boxes: numbers without
// leading zeros ("2025", "1", "1"), so that the stamp reads as for a typed date.
QStringList dateBoxTexts(const QDate& date);

// Types the three texts into the prediction boxes and runs the Draw command. The
// creation-date stamp shows `today`, or the system date when it is not valid.
DrawReport drawForDate(Session& session, const QStringList& dateParts, const QDate& today);

// What the JSON dump tells beside the sheet after that Draw.
SheetDumpExtras dumpExtras(const Session& session, const DrawReport& report);

// Draws a prepared session (table filled, rows ticked) for one date after another.
// Draw keeps some values between runs (a coordinate that fails to convert keeps the
// previous one); every run here starts from the values the session had when this was
// made, so each frame is the sheet a fresh render of its date gives.
class FrameDrawer {
 public:
  FrameDrawer(Session& session, const QDate& today);
  DrawReport draw(const QDate& date);
  Session& session() { return session_; }

 private:
  Session& session_;
  FormVariables start_;
  QDate today_;
};

// Gives `to` the table texts, prediction date, ticks, title and background choice of
// `from`, so that it draws the same sheet without touching `from`.
void copyTable(const Session& from, Session& to);

// Draws every date of the range on the session (prepared: table loaded, rows ticked)
// and writes it through `writer`; `written` hears of each complete file, on this
// thread. Nothing when every frame was written, otherwise the reason.
std::optional<QString> renderDateSeries(Session& session, const DateRange& range, const QDate& today,
                                        SeriesWriter& writer,
                                        const std::function<void(const WrittenFrame&)>& written);

}  // namespace eq
