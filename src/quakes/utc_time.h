#pragma once
// Instants of an earthquake catalogue: milliseconds since 1970-01-01T00:00Z, and the
// calendar date of an instant in Japan time (UTC+9, no daylight saving), which is the
// date a quake has on the sheet. Proleptic Gregorian calendar, years 0 to 9999.

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace eq {

struct CalendarDate {
  int year = 0;
  int month = 0;  // 1 to 12
  int day = 0;    // 1 to 31
  friend bool operator==(const CalendarDate& a, const CalendarDate& b) {
    return a.year == b.year && a.month == b.month && a.day == b.day;
  }
};

// The instants a catalogue may hold: 0000-01-01T00:00Z to 9999-12-31T23:59:59.999Z.
inline constexpr std::int64_t kEarliestUtcMs = -62167219200000;
inline constexpr std::int64_t kLatestUtcMs = 253402300799999;

// An ISO 8601 time with its offset from UTC, as catalogues write it:
// "2011-03-11T05:46:24.120Z", "2011-03-11 14:46:24+09:00". Any number of digits may
// follow the decimal point; the time is cut to the millisecond (never rounded up, so a
// time just before a midnight stays on its day). Nothing for another form, an
// impossible date or time (2023-02-29, 24:00), or a time without an offset.
std::optional<std::int64_t> parseUtcTime(std::string_view text);

// Days since 1970-01-01 of a date of the proleptic Gregorian calendar, and back.
std::int64_t daysFromCivil(std::int64_t year, int month, int day);
CalendarDate civilFromDays(std::int64_t days);

// "2024-01-02"
std::string isoDateText(const CalendarDate& date);

// The date at that instant in Japan; the instant lies within the bounds above.
CalendarDate japanDate(std::int64_t utcMs);

}  // namespace eq
