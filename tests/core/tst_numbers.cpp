// Day numbers, the radius law, number text, the projection and the print fit against
// values worked out by hand.

#include "map/json_text.h"
#include "map/print_fit.h"
#include "map/projection.h"
#include "model/day_number.h"
#include "model/number_text.h"
#include "model/radius_law.h"

#include <gtest/gtest.h>

#include <array>
#include <charconv>
#include <random>
#include <cfloat>
#include <clocale>
#include <cmath>
#include <limits>
#include <optional>
#include <string>

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

const double kInf = std::numeric_limits<double>::infinity();

// A text, whether the strict reading takes it (and as what), and the lenient reading.
struct Reading {
  std::string text;
  std::optional<double> strict;
  double leading;
};

const Reading kReadings[] = {
    {"  5  ", 5, 5}, {"-35.5", -35.5, -35.5}, {"+3", 3, 3}, {".5", 0.5, 0.5}, {"5.", 5, 5},
    {"2.5E-2", 0.025, 0.025}, {"1e39", 1e39, 1e39}, {"1e-400", 0, 0},
    {"２０２４", 2024, 2024}, {"－１．５", -1.5, -1.5}, {"\u22123", -3, -3}, {"\u3000５\u3000", 5, 5},
    {"", std::nullopt, 0}, {"   ", std::nullopt, 0}, {".", std::nullopt, 0}, {"-", std::nullopt, 0},
    {"2024年", std::nullopt, 2024}, {"12 34", std::nullopt, 12}, {"1,000", std::nullopt, 1},
    {"1.5.5", std::nullopt, 1.5}, {"1ex", std::nullopt, 1},  // an incomplete exponent stops before the e
    {"--5", std::nullopt, 0}, {"0x10", std::nullopt, 0}, {"inf", std::nullopt, 0}, {"nan", std::nullopt, 0},
    {"ー5", std::nullopt, 0},  // the katakana long mark is no minus
    {"1e400", std::nullopt, kInf},
    // The mantissa's own digits count towards the size, not only the exponent.
    {"1" + std::string(400, '0') + "e-1", std::nullopt, kInf},
    {"1" + std::string(400, '0') + "e-100", 1e300, 1e300},
    {"0." + std::string(400, '0') + "1", 0, 0},
    {std::string("5\0" "1", 3), std::nullopt, 5},
};

TEST(NumberText, Readings) {
  for (const Reading& r : kReadings) {
    EXPECT_EQ(strictNumber(r.text), r.strict) << r.text;
    EXPECT_EQ(leadingNumber(r.text), r.leading) << r.text;
  }
  EXPECT_EQ(strictSingle("16777217").value(), 16777216.f);  // 2^24 + 1 rounds to even
  EXPECT_EQ(strictSingle("3.4028235e38").value(), FLT_MAX);
  EXPECT_FALSE(strictSingle("3.4028236e38"));  // past half an ulp over the largest single
  EXPECT_FALSE(strictSingle("-1e39"));
  EXPECT_EQ(strictSingle("1e-50").value(), 0.f);
  EXPECT_FALSE(toSingle(1e39) || toSingle(kInf));
}

struct Printed {
  float value;
  const char* general;
  const char* sign;
};

const Printed kPrinted[] = {
    {8, "8", " 8"}, {2024.5f, "2024.5", " 2024.5"}, {0.5f, "0.5", " .5"}, {-0.5f, "-0.5", "-.5"},
    {-0.0f, "0", " 0"}, {-3, "-3", "-3"}, {1234567, "1234567", " 1234567"},
    {12345678, "1.234568E+07", " 1.234568E+07"}, {1.0f / 3.0f, "0.3333333", " .3333333"}, {1e8f, "1E+08", " 1E+08"},
    {0.00001f, "0.00001", " .00001"}, {0.000001f, "1E-06", " 1E-06"}, {FLT_MAX, "3.402823E+38", " 3.402823E+38"},
};

TEST(NumberText, Printed) {
  for (const Printed& p : kPrinted) {
    EXPECT_EQ(generalText(p.value), p.general);
    EXPECT_EQ(signedText(p.value), p.sign);
    EXPECT_EQ(printedNumberText(p.value), std::string(p.sign) + " ");
  }
}

// Under a locale whose decimal point is two bytes long (U+066B), cells, files and the
// sheet still take ".": the same texts both ways.
TEST(NumberText, ForeignDecimalPoint) {
  const std::string previous = std::setlocale(LC_ALL, nullptr);
  if (!std::setlocale(LC_ALL, "ps_AF.UTF-8")) GTEST_SKIP() << "the locale ps_AF.UTF-8 is not installed";
  EXPECT_STREQ(std::localeconv()->decimal_point, "\xD9\xAB");
  for (const auto& [value, text] : {std::pair{2001.f, "2001"}, {35.4f, "35.4"}, {-130.657f, "-130.657"},
                                    {12345678.f, "1.234568E+07"}}) {
    EXPECT_EQ(generalText(value), text);
    EXPECT_FLOAT_EQ(strictSingle(text).value(), value);
  }
  EXPECT_EQ(signedText(0.5f), " .5");
  std::setlocale(LC_ALL, previous.c_str());
}

struct Place {
  const char* what;
  double latitude, longitude;
  std::optional<MapPoint> expected;  // none: no place
  double tolerance;
};

// 3.1415927 lies 4.64e-8 above pi: cos 90 deg is -2.32e-8, which moves 360 E 0.0017 west
// and 0 E 0.0010 east of the middle.
const Place kPlaces[] = {
    {"135E is x 9000 exactly", 45, 135, MapPoint{9000, 2999.7}, 1e-9},
    {"54N is y 0", 54, 140, MapPoint{9981.48, 0}, 0.01},
    {"south of the equator", -10, 135, MapPoint{9000, 21331.2}, 1e-9},
    {"0N 0E lies far outside", 0, 0, MapPoint{-36084.4, 17998.2}, 0.05},
    {"no wrap at 180", 0, 190, MapPoint{27367.7, 17998.2}, 0.05},
    {"an infinite latitude fails", kInf, 135, std::nullopt, 0},
    {"a longitude not a number fails", 35, std::nan(""), std::nullopt, 0},
    {"90N 360E: the program's pi", 90, 360, MapPoint{8999.99826, -11998.8}, 1e-5},
    {"90N 0E: the program's pi", 90, 0, MapPoint{9000.00105, -11998.8}, 1e-5},
};

// The sheet's corners to 0.05 map units, then edge cases; the inverse leads back.
TEST(Projection, Places) {
  const double longitudes[] = {110, 120, 130, 135, 140, 150, 160};
  const struct {
    double latitude, y;
    double x[7];
  } rows[] = {
      {50, 1333.2, {3633.4, 5780.0, 7926.7, 9000.0, 10073.3, 12220.0, 14366.6}},
      {40, 4666.2, {2604.3, 5162.6, 7720.9, 9000.0, 10279.1, 12837.4, 15395.7}},
      {30, 7999.2, {1769.6, 4661.8, 7553.9, 9000.0, 10446.1, 13338.2, 16230.4}},
      {20, 11332.2, {1154.5, 4292.7, 7430.9, 9000.0, 10569.1, 13707.3, 16845.5}},
  };
  std::vector<Place> places(std::begin(kPlaces), std::end(kPlaces));
  for (const auto& row : rows) {
    for (int i = 0; i < 7; ++i) places.push_back({"corner", row.latitude, longitudes[i], MapPoint{row.x[i], row.y}, 0.05});
  }
  for (const Place& p : places) {
    const auto at = PlotXY(p.latitude, p.longitude);
    ASSERT_EQ(at.has_value(), p.expected.has_value()) << p.what;
    if (!at) continue;
    EXPECT_NEAR(at->x, p.expected->x, p.tolerance) << p.what << " " << p.latitude << " " << p.longitude;
    EXPECT_NEAR(at->y, p.expected->y, p.tolerance) << p.what;
    if (std::fabs(p.latitude) < 89) {
      const GeoPoint back = mapToGeographic(at->x, at->y);
      EXPECT_NEAR(back.latitude, p.latitude, 1e-9);
      EXPECT_NEAR(back.longitude, p.longitude, 1e-9);
    }
  }
}

TEST(PrintFit, PictureSize) {
  // pixels * 2540 / 96, to the nearest: 22568.96 rounds up, 26.46 down, 52.92 up.
  EXPECT_EQ(pictureSizeOfBitmap(1200, 853).width, 31750);
  EXPECT_EQ(pictureSizeOfBitmap(1200, 853).height, 22569);
  EXPECT_EQ(pictureSizeOfBitmap(1, 2).width, 26);
  EXPECT_EQ(pictureSizeOfBitmap(1, 2).height, 53);
}

struct Fit {
  const char* what;
  double pageWidth, pageHeight;
  PictureSize picture;
  std::optional<std::array<double, 2>> fitted;  // none: nothing fits
};

const Fit kFits[] = {
    // 11906 / 31750 = 0.37499 < 16838 / 22569 = 0.74607: the width decides.
    {"portrait A4", 11906, 16838, {31750, 22569}, std::array<double, 2>{11906, 8463}},
    // 11906 / 22569 = 0.52753 < 16838 / 31750 = 0.53033: the height decides.
    {"landscape A4", 16838, 11906, {31750, 22569}, std::array<double, 2>{16749, 11906}},
    {"equal ratios", 200, 100, {400, 200}, std::array<double, 2>{200, 100}},
    // Ratio 0.5: 22569 / 2 = 11284.5 goes down to the even 11284, 22567 / 2 = 11283.5 up to it.
    {"a half down to even", 15875, 99999, {31750, 22569}, std::array<double, 2>{15875, 11284}},
    {"a half up to even", 15875, 99999, {31750, 22567}, std::array<double, 2>{15875, 11284}},
    // 13143 / 31750 at single precision is 0.41395277; times 22569 that is 9342.50002,
    // where a double ratio would give 9342.49975.
    {"the ratio is a single", 13143, 99999, {31750, 22569}, std::array<double, 2>{13143, 9343}},
    {"no page width", 0, 16838, {31750, 22569}, std::nullopt},
    {"a negative page height", 11906, -1, {31750, 22569}, std::nullopt},
    {"an infinite page", kInf, 16838, {31750, 22569}, std::nullopt},
    {"no picture width", 11906, 16838, {0, 22569}, std::nullopt},
};

TEST(PrintFit, Fits) {
  for (const Fit& f : kFits) {
    const auto fit = fitPictureToPage(f.pageWidth, f.pageHeight, f.picture);
    ASSERT_EQ(fit.has_value(), f.fitted.has_value()) << f.what;
    if (!fit) continue;
    EXPECT_EQ(fit->width, (*f.fitted)[0]) << f.what;
    EXPECT_EQ(fit->height, (*f.fitted)[1]) << f.what;
    EXPECT_EQ(fit->drawWidth, (*f.fitted)[0] * 1.4) << f.what;
    EXPECT_EQ(fit->drawHeight, (*f.fitted)[1] * 1.4) << f.what;
  }
}

}  // namespace

// The JSON writer's numbers where the C++ library has no floating-point to_chars (the
// WebAssembly build): the same bytes as to_chars, for doubles and floats of every size.
template <typename Number>
void expectToCharsText(Number value) {
  if (!std::isfinite(value)) return;  // written as null before
  char buffer[64];
  const auto end = std::to_chars(buffer, buffer + sizeof buffer, value).ptr;
  ASSERT_EQ(shortestNumberText(value), std::string(buffer, end)) << static_cast<double>(value);
}

TEST(JsonNumbers, WithoutToCharsAsToChars) {
  const double fixed[] = {0.0, -0.0, 1, 10, 100, 1e15, 1e16, 1e21, 1e22, 123456789012, 0.1, 0.001, 0.0001, 1e-5,
                          5e-324, DBL_MAX, DBL_MIN, 12345.678, 18000, 853.5, 1.5e-7, 9007199254740993.0, 0.3};
  for (const double value : fixed) {
    expectToCharsText(value);
    expectToCharsText(-value);
    expectToCharsText(static_cast<float>(value));
  }
  std::mt19937_64 random(19);
  std::uniform_int_distribution<int> exponent(-30, 30);
  std::uniform_real_distribution<double> mantissa(1, 10);
  for (int i = 0; i < 100000; ++i) {
    const double value = mantissa(random) * std::pow(10.0, exponent(random));
    expectToCharsText(value);
    expectToCharsText(static_cast<float>(value));
    // Short decimals and map-unit values, as the sheet has them.
    expectToCharsText(std::round(value * 100) / 100);
    expectToCharsText(static_cast<float>(std::round(value * 4) / 4));
    expectToCharsText(static_cast<float>(std::round(value * 1000) / 1000));
  }
}
