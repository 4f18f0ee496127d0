#pragma once
// The earthquake-circle law: the longer since the eruption, the closer to the
// volcano the expected earthquake. It is the fitted curve ln y = a + b x of the
// reference figure (y years, x km) solved for x, with a = 3.129 and -b = 0.007137.

#include <optional>

namespace eq {

constexpr double kRadiusLawA = 3.129;
constexpr double kRadiusLawMinusB = 0.007137;
constexpr double kDaysPerYear = 365.25;

// Radius in km for the elapsed time between two day numbers:
// (3.129 - ln((prediction - eruption) / 365.25)) / 0.007137.
// Zero or negative elapsed time has no radius (the logarithm is undefined) and
// fails, as does a result that is not finite. A negative radius (more than about
// 22.85 years) is returned as it is.
std::optional<double> PlotRadius(double predictionDayNumber, double eruptionDayNumber);

}  // namespace eq
