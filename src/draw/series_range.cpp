#include "draw/series_range.h"

#include "model/number_text.h"

#include <cmath>

namespace eq {

namespace {

// A real date of the calendar: 31 April and 29 February of a common year are not.
bool isCalendarDate(const CalendarDate& date) {
  return date.month >= 1 && date.month <= 12 && civilFromDays(daysFromCivil(date.year, date.month, date.day)) == date;
}

bool before(const CalendarDate& a, const CalendarDate& b) {
  return daysFromCivil(a.year, a.month, a.day) < daysFromCivil(b.year, b.month, b.day);
}

}  // namespace

std::optional<CalendarDate> typedCalendarDate(const DateTexts& texts) {
  int parts[3];
  for (std::size_t k = 0; k < texts.size(); ++k) {
    const auto value = strictSingle(texts[k]);
    if (!value || !(std::fabs(*value) < 1e6f)) return std::nullopt;
    parts[k] = static_cast<int>(*value);
  }
  const CalendarDate date{parts[0], parts[1], parts[2]};
  if (date.year < 1 || !isCalendarDate(date)) return std::nullopt;
  return date;
}

CalendarDate addYears(CalendarDate date, int years) {
  date.year += years;
  if (!isCalendarDate(date)) date.day = 28;  // 29 February in a common year
  return date;
}

SeriesRange defaultSeriesRange(const std::array<DateTexts, kRowCount>& eruptions,
                               const std::array<bool, kRowCount>& ticked, const DateTexts& prediction,
                               const CalendarDate& today) {
  const CalendarDate predicted = typedCalendarDate(prediction).value_or(today);
  std::optional<CalendarDate> earliest;
  for (std::size_t row = 0; row < eruptions.size(); ++row) {
    if (!ticked[row]) continue;
    if (const auto eruption = typedCalendarDate(eruptions[row])) {
      if (!earliest || before(*eruption, *earliest)) earliest = eruption;
    }
  }
  SeriesRange range{earliest.value_or(predicted), addYears(predicted, kSeriesYearsAfterPrediction)};
  if (before(range.to, range.from)) range.to = addYears(range.from, kSeriesYearsAfterPrediction);
  return range;
}

}  // namespace eq
