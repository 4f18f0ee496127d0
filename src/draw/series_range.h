#pragma once
// The dates the time series starts with: from the earliest ticked eruption to ten years
// after the prediction date. The desktop's time-series window and the browser's take
// them from here, so both open on the same range.

#include "draw/inputs.h"
#include "quakes/utc_time.h"

#include <array>
#include <optional>

namespace eq {

inline constexpr int kSeriesYearsAfterPrediction = 10;

// A date typed into three boxes (year, month, day), when each box holds a number and
// together they make a calendar date of years 1 to 999999; nothing otherwise.
std::optional<CalendarDate> typedCalendarDate(const DateTexts& texts);

// The same day `years` later; 29 February becomes 28 February in a common year.
CalendarDate addYears(CalendarDate date, int years);

struct SeriesRange {
  CalendarDate from;
  CalendarDate to;
};

// From the earliest ticked row whose year, month and day make a date to ten years
// after the prediction date; the prediction date is `today` when its boxes make none,
// and the range starts there when no ticked row has a date. A range that would end
// before it starts ends ten years after its start.
SeriesRange defaultSeriesRange(const std::array<DateTexts, kRowCount>& eruptions,
                               const std::array<bool, kRowCount>& ticked, const DateTexts& prediction,
                               const CalendarDate& today);

}  // namespace eq
