#pragma once
// The day number: a continuous count of days from a year, month and day, with a
// mean year of 365.25 days and a mean month of 30.59 days. It is only meaningful
// as a difference; it is not a calendar conversion (no leap years, January and
// February stay in their own year, nothing is truncated).

#include <array>
#include <optional>

namespace eq {

// Year, month and day as the table and the prediction boxes hold them.
using TableDate = std::array<float, 3>;

// Month 0 stands for July; then (month - 2) * 30.59 + year * 365.25 + day - 678914,
// in that order, in double precision. Fails only when the result is not finite
// (absurd inputs; never for single-precision values).
std::optional<double> JulianDay(double year, double month, double day);
inline std::optional<double> JulianDay(const TableDate& date) { return JulianDay(date[0], date[1], date[2]); }

}  // namespace eq
