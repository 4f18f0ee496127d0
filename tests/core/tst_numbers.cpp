// Day numbers and the radius law against values worked out by hand.

#include "model/day_number.h"
#include "model/radius_law.h"

#include <gtest/gtest.h>

#include <cfloat>
#include <cmath>
#include <array>
#include <limits>
#include <optional>

using namespace eq;

namespace {

struct Difference {
  const char* what;
  double later[3];
  std::optional<std::array<double, 3>> earlier;  // none: the day number itself
  double days;
};

const Difference kDifferences[] = {
    {"2024-1-1", {2024, 1, 1}, std::nullopt, 60322.41},
    {"2000-3-1", {2000, 3, 1}, std::nullopt, 51617.59},
    {"a negative year", {-1, 2, 0}, std::nullopt, -679279.25},
    {"day 0 is the day before day 1", {2010, 5, 1}, std::array<double, 3>{2010, 5, 0}, 1.0},
    {"1 Feb - 1 Jan", {2010, 2, 1}, std::array<double, 3>{2010, 1, 1}, 30.59},
    {"1 Mar - 28 Feb", {2010, 3, 1}, std::array<double, 3>{2010, 2, 28}, 3.59},
    {"the year's turn goes back", {2011, 1, 1}, std::array<double, 3>{2010, 12, 31}, -1.24},
    {"half a day", {2010, 4, 15.5}, std::array<double, 3>{2010, 4, 15}, 0.5},
    {"month 13 goes on", {2010, 13, 1}, std::array<double, 3>{2010, 12, 1}, 30.59},
    {"month 0 counts as July", {2000, 0, 1}, std::nullopt, 51739.95},
    {"a negative month goes through", {2000, -1, 1}, std::nullopt, 51495.23},
};

TEST(DayNumber, Differences) {
  for (const Difference& d : kDifferences) {
    const double a = JulianDay(d.later[0], d.later[1], d.later[2]).value();
    const double b = d.earlier ? JulianDay((*d.earlier)[0], (*d.earlier)[1], (*d.earlier)[2]).value() : 0;
    EXPECT_NEAR(a - b, d.days, 1e-6) << d.what;
  }
}

TEST(DayNumber, OverflowFails) {
  const double inf = std::numeric_limits<double>::infinity();
  EXPECT_FALSE(JulianDay(DBL_MAX, 1, 1));
  EXPECT_FALSE(JulianDay(1, DBL_MAX, 1));
  EXPECT_FALSE(JulianDay(1, 1, inf));
  EXPECT_TRUE(JulianDay(3.4e38, 1, 1));  // the largest single year still counts
}

// Elapsed days from 60322.41 and the radius; none where the logarithm is undefined.
struct Radius {
  const char* what;
  double elapsedDays;
  std::optional<double> km;
};

const Radius kRadii[] = {
    {"one year: 3.129 / 0.007137", 365.25, 438.4195},
    {"one day", 1.0, 1265.1789},
    {"10 years", 10 * 365.25, 115.7930},
    {"e^3.129 years is zero", std::exp(3.129) * 365.25, 0.0},
    {"30 years is negative", 30 * 365.25, -38.1389},
    {"zero elapsed time", 0.0, std::nullopt},
    {"an eruption after the prediction", -0.59, std::nullopt},
};

TEST(RadiusLaw, Radii) {
  for (const Radius& r : kRadii) {
    const auto result = PlotRadius(60322.41, 60322.41 - r.elapsedDays);
    ASSERT_EQ(result.has_value(), r.km.has_value()) << r.what;
    if (result) {
      EXPECT_NEAR(*result, *r.km, 1e-4) << r.what;
    }
  }
  EXPECT_FALSE(PlotRadius(DBL_MAX, -DBL_MAX));
}

}  // namespace
