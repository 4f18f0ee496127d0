#include "model/radius_law.h"

#include <cmath>

namespace eq {

std::optional<double> PlotRadius(double predictionDayNumber, double eruptionDayNumber) {
  const double years = (predictionDayNumber - eruptionDayNumber) / kDaysPerYear;
  if (!(years > 0) || !std::isfinite(years)) return std::nullopt;
  const double radius = (kRadiusLawA - std::log(years)) / kRadiusLawMinusB;
  if (!std::isfinite(radius)) return std::nullopt;
  return radius;
}

}  // namespace eq
