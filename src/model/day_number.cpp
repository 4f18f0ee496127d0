#include "model/day_number.h"

#include <cmath>

namespace eq {

std::optional<double> JulianDay(double year, double month, double day) {
  if (month == 0) month = 7;
  double result = (month - 2) * 30.59;
  result = result + year * 365.25;
  result = result + day;
  result = result - 678914;
  if (!std::isfinite(result)) return std::nullopt;
  return result;
}

}  // namespace eq
