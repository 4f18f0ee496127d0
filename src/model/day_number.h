#pragma once
// The day number: a continuous count of days from a year, month and day, with a
// mean year of 365.25 days and a mean month of 30.59 days. It is only meaningful
// as a difference; it is not a calendar conversion (no leap years, January and
// February stay in their own year, nothing is truncated).

#include <optional>

namespace eq {

// Month 0 stands for July.
constexpr double monthForDayNumber(double month) { return month == 0 ? 7.0 : month; }

// (month - 2) * 30.59 + year * 365.25 + day - 678914, in that order, in double
// precision. Fails only when the result is not finite (absurd inputs).
std::optional<double> dayNumber(double year, double month, double day);

}  // namespace eq
