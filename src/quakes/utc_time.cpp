#include "quakes/utc_time.h"

#include <cstdio>

namespace eq {
namespace {

constexpr std::int64_t kMsPerDay = 86400000;
constexpr std::int64_t kJapanOffsetMs = 9 * 3600000;

}  // namespace

// C++17 has no calendar: these are the civil-date algorithms that C++20's chrono
// calendar is built on (days since 1970-01-01 in the proleptic Gregorian calendar,
// counted in 400-year eras of 146097 days whose years start on 1 March).
std::int64_t daysFromCivil(std::int64_t year, int month, int day) {
  year -= month <= 2;
  const std::int64_t era = (year >= 0 ? year : year - 399) / 400;
  const std::int64_t yearOfEra = year - era * 400;
  const std::int64_t dayOfYear = (153 * (month > 2 ? month - 3 : month + 9) + 2) / 5 + day - 1;
  const std::int64_t dayOfEra = yearOfEra * 365 + yearOfEra / 4 - yearOfEra / 100 + dayOfYear;
  return era * 146097 + dayOfEra - 719468;
}

CalendarDate civilFromDays(std::int64_t days) {
  days += 719468;
  const std::int64_t era = (days >= 0 ? days : days - 146096) / 146097;
  const std::int64_t dayOfEra = days - era * 146097;
  const std::int64_t yearOfEra = (dayOfEra - dayOfEra / 1460 + dayOfEra / 36524 - dayOfEra / 146096) / 365;
  const std::int64_t dayOfYear = dayOfEra - (365 * yearOfEra + yearOfEra / 4 - yearOfEra / 100);
  const std::int64_t shiftedMonth = (5 * dayOfYear + 2) / 153;  // 0 is March
  const int month = static_cast<int>(shiftedMonth < 10 ? shiftedMonth + 3 : shiftedMonth - 9);
  const int day = static_cast<int>(dayOfYear - (153 * shiftedMonth + 2) / 5 + 1);
  return {static_cast<int>(yearOfEra + era * 400 + (month <= 2)), month, day};
}

namespace {

// Reads exactly `count` digits at text[at], moving past them.
std::optional<int> digits(std::string_view text, std::size_t& at, std::size_t count) {
  if (text.size() - at < count) return std::nullopt;
  int value = 0;
  for (std::size_t end = at + count; at < end; ++at) {
    if (text[at] < '0' || text[at] > '9') return std::nullopt;
    value = value * 10 + (text[at] - '0');
  }
  return value;
}

bool skip(std::string_view text, std::size_t& at, std::string_view oneOf) {
  if (at >= text.size() || oneOf.find(text[at]) == std::string_view::npos) return false;
  ++at;
  return true;
}

}  // namespace

std::optional<std::int64_t> parseUtcTime(std::string_view text) {
  std::size_t at = 0;
  const auto year = digits(text, at, 4);
  if (!year || !skip(text, at, "-")) return std::nullopt;
  const auto month = digits(text, at, 2);
  if (!month || !skip(text, at, "-")) return std::nullopt;
  const auto day = digits(text, at, 2);
  if (!day || !skip(text, at, "Tt ")) return std::nullopt;
  const auto hour = digits(text, at, 2);
  if (!hour || !skip(text, at, ":")) return std::nullopt;
  const auto minute = digits(text, at, 2);
  if (!minute || !skip(text, at, ":")) return std::nullopt;
  const auto second = digits(text, at, 2);
  if (!second) return std::nullopt;
  int millisecond = 0;
  if (skip(text, at, ".")) {
    int place = 100;
    const std::size_t first = at;
    for (; at < text.size() && text[at] >= '0' && text[at] <= '9'; ++at, place /= 10) {
      millisecond += (text[at] - '0') * place;
    }
    if (at == first) return std::nullopt;
  }
  int offsetMinutes = 0;
  if (!skip(text, at, "Zz")) {
    const bool east = at < text.size() && text[at] == '+';
    if (!skip(text, at, "+-")) return std::nullopt;
    const auto offsetHours = digits(text, at, 2);
    if (!offsetHours || !skip(text, at, ":")) return std::nullopt;
    const auto offsetMinute = digits(text, at, 2);
    if (!offsetMinute || *offsetHours > 23 || *offsetMinute > 59) return std::nullopt;
    offsetMinutes = (east ? 1 : -1) * (*offsetHours * 60 + *offsetMinute);
  }
  if (at != text.size() || *month < 1 || *month > 12 || *day < 1 || *hour > 23 || *minute > 59 ||
      *second > 59) {
    return std::nullopt;
  }
  const std::int64_t days = daysFromCivil(*year, *month, *day);
  if (!(civilFromDays(days) == CalendarDate{*year, *month, *day})) return std::nullopt;  // 31 April, 29 February
  const std::int64_t ms = days * kMsPerDay + ((*hour * 60 + *minute - offsetMinutes) * 60 + *second) * 1000LL +
                          millisecond;
  if (ms < kEarliestUtcMs || ms > kLatestUtcMs) return std::nullopt;
  return ms;
}

CalendarDate japanDate(std::int64_t utcMs) {
  const std::int64_t local = utcMs + kJapanOffsetMs;
  const std::int64_t days = local / kMsPerDay - (local % kMsPerDay < 0);  // rounded down
  return civilFromDays(days);
}

std::string isoDateText(const CalendarDate& date) {
  char text[32];
  std::snprintf(text, sizeof text, "%04d-%02d-%02d", date.year, date.month, date.day);
  return text;
}

}  // namespace eq
