#include "draw/series_range.h"

#include "model/number_text.h"

#include <cmath>
#include <tuple>

namespace eq {

namespace {

bool leapYear(int year) { return (year % 4 == 0 && year % 100 != 0) || year % 400 == 0; }

int daysInMonth(int year, int month) {
  static constexpr int kDays[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
  return month == 2 && leapYear(year) ? 29 : kDays[month - 1];
}

bool before(const CalendarDate& a, const CalendarDate& b) {
  return std::tie(a.year, a.month, a.day) < std::tie(b.year, b.month, b.day);
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
  if (date.year < 1 || date.month < 1 || date.month > 12 || date.day < 1 ||
      date.day > daysInMonth(date.year, date.month)) {
    return std::nullopt;
  }
  return date;
}

CalendarDate addYears(CalendarDate date, int years) {
  date.year += years;
  if (date.month == 2 && date.day == 29 && !leapYear(date.year)) date.day = 28;
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
