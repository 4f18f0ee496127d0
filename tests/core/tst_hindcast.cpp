// Earthquakes against the circles: hand-placed quakes on a circle line, at a crossing
// and far from every circle; which quakes a sheet shows; the permutation test on cases
// whose answer is known.

#include "analysis/geodesic.h"
#include "draw/draw.h"
#include "draw/sheet_json.h"
#include "model/day_number.h"
#include "model/radius_law.h"
#include "quakes/hindcast.h"

#include <gtest/gtest.h>

#include <cmath>

using namespace eq;

namespace {

// Two volcanoes of 35 N, 135 E and 35 N, 137 E; circles of 300 km each on the sheet.
const CircleInput kWest{1, 35, 135, 300};
const CircleInput kEast{2, 35, 137, 300};

MapPoint centreOf(const CircleInput& c) {
  return *PlotXY(static_cast<float>(c.latitude), static_cast<float>(c.longitude));
}

// The place `east`, `south` km from a volcano, measured on the sheet.
GeoPoint onSheetFrom(const CircleInput& c, double eastKm, double southKm) {
  const MapPoint p = centreOf(c);
  return mapToGeographic(p.x + eastKm * kMapUnitsPerKm, p.y + southKm * kMapUnitsPerKm);
}

struct Placed {
  const char* what;
  GeoPoint at;
  double nearestCircleKm;
  double nearestCrossingKm;  // < 0: not checked
  int support;
};

TEST(QuakeNumbers, ClassicCirclesOnTheSheet) {
  const std::vector<CircleInput> circles{kWest, kEast};
  const std::vector<Crossing> crossings = findCrossings(circles, CircleMode::Classic, 50);
  ASSERT_EQ(crossings.size(), 2u);
  const Crossing& north = crossings[0].y < crossings[1].y ? crossings[0] : crossings[1];
  const double apartKm = (centreOf(kEast).x - centreOf(kWest).x) / kMapUnitsPerKm;
  const Placed cases[] = {
      {"on the west circle's line, far side", onSheetFrom(kWest, -300, 0), 0,
       std::hypot(300 + apartKm / 2, std::sqrt(300 * 300 - apartKm * apartKm / 4)), 1},
      {"at a crossing", {north.latitude, north.longitude}, 0, 0, 2},
      {"between the centres, inside both", onSheetFrom(kWest, apartKm / 2, 0), 300 - apartKm / 2, -1, 0},
      {"400 km south of the west volcano", onSheetFrom(kWest, 0, 400), 100, -1, 0},
      {"far north-west", onSheetFrom(kWest, -1500, -1000), std::hypot(1500.0, 1000.0) - 300, -1, 0},
  };
  for (const Placed& c : cases) {
    const QuakeNumbers n = measureQuake(c.at.latitude, c.at.longitude, circles, crossings, CircleMode::Classic, 50);
    ASSERT_TRUE(n.nearestCircleKm) << c.what;
    EXPECT_NEAR(*n.nearestCircleKm, c.nearestCircleKm, 1e-6) << c.what;
    if (c.nearestCrossingKm >= 0) {
      EXPECT_NEAR(*n.nearestCrossingKm, c.nearestCrossingKm, 1e-6) << c.what;
    }
    EXPECT_EQ(n.support, c.support) << c.what;
  }
  const QuakeNumbers none = measureQuake(35, 135, {}, {}, CircleMode::Classic, 50);
  EXPECT_FALSE(none.nearestCircleKm);
  EXPECT_FALSE(none.nearestCrossingKm);
  EXPECT_EQ(none.support, 0);
}

TEST(QuakeNumbers, TrueDistanceCircles) {
  const GeoPoint onLine = wgs84::direct(35, 135, 200, 300000);
  const QuakeNumbers n = measureQuake(onLine.latitude, onLine.longitude, {kWest}, {}, CircleMode::Geodesic, 0.001);
  EXPECT_NEAR(*n.nearestCircleKm, 0, 1e-6);
  EXPECT_EQ(n.support, 1);
  const GeoPoint inside = wgs84::direct(35, 135, 20, 120000);
  EXPECT_NEAR(*measureQuake(inside.latitude, inside.longitude, {kWest}, {}, CircleMode::Geodesic, 50).nearestCircleKm,
              180, 1e-6);
}

// The quakes of a catalogue: shown by magnitude and date in Japan.
std::vector<Quake> catalogue(const std::string& csv) {
  const CatalogueReading reading = readCatalogue("time,latitude,longitude,mag,id\n" + csv);
  EXPECT_TRUE(reading.catalogue) << reading.refusal;
  return reading.catalogue ? reading.catalogue->quakes : std::vector<Quake>{};
}

std::string shownIds(const std::vector<Quake>& quakes, TableDate prediction, double minMagnitude, int days) {
  QuakeOverlay overlay{std::make_shared<std::vector<Quake>>(quakes), minMagnitude, days};
  std::string ids;
  for (const Quake* q : quakesShown(overlay, prediction)) ids += q->id;
  return ids;
}

TEST(QuakeOverlay, WhichQuakesTheSheetShows) {
  const std::vector<Quake> quakes = catalogue(
      "2023-12-31T15:00:00Z,37,137,6.0,a\n"      // 1 January in Japan
      "2024-01-01T14:59:59.999Z,37,137,7.0,b\n"  // still 1 January
      "2024-01-01T15:00:00Z,37,137,5.9,c\n"      // 2 January
      "2024-12-31T15:00:00Z,37,137,6.5,d\n"      // 1 January 2025, 366 days on
      "2023-12-31T14:59:59Z,37,137,8.0,e\n");    // 31 December 2023
  struct Case {
    TableDate prediction;
    double minMagnitude;
    int days;
    const char* ids;
  };
  const Case cases[] = {
      {{2024, 1, 1}, 6.0, 365, "ab"},   {{2024, 1, 1}, 6.0, 366, "abd"}, {{2024, 1, 1}, 5.9, 0, "abcde"},
      {{2024, 1, 2}, 5.0, 1, "c"},      {{2024, 1, 1}, 7.0, 0, "be"},    {{2024, 0, 1}, 6.0, 365, "d"},  // month 0: July
      {{2023, 13, 1}, 6.0, 365, "ab"},  {{2023, 12, 32}, 6.0, 0, "abde"},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(shownIds(quakes, c.prediction, c.minMagnitude, c.days), c.ids)
        << c.prediction[0] << "-" << c.prediction[1] << "-" << c.prediction[2] << " M" << c.minMagnitude << " " << c.days;
  }
  EXPECT_EQ(shownIds(quakes, {1e30f, 1, 1}, 6.0, 365), "");
}

// A table of rows erupting on the given dates, all ticked, drawn on the sheet.
DrawInputs table(const std::vector<std::array<float, 5>>& rows) {
  DrawInputs in;
  for (std::size_t k = 0; k < rows.size(); ++k) {
    DrawRow& row = in.rows[k + 1];
    row.values.name = "v" + std::to_string(k + 1);
    for (int f = 0; f < 5; ++f) row.values.numbers[f] = rows[k][f];
    row.ticked = true;
  }
  return in;
}

TEST(QuakeOverlay, MarkersLegendAndJson) {
  DrawInputs in = table({{2000, 1, 1, 35, 135}});
  in.prediction = {2005, 1, 1};
  in.quakes.quakes = std::make_shared<std::vector<Quake>>(catalogue(
      "2005-02-01T00:00:00Z,36,136,6.2,small\n2005-03-01T00:00:00Z,37,137,8.4,large\n"
      "2005-04-01T00:00:00Z,5,100,7.0,south\n"));
  const DrawResult drawing = draw(in);
  ASSERT_EQ(drawing.quakes.size(), 3u);
  EXPECT_FALSE(drawing.quakes[2].onSheet);
  std::vector<float> markers;
  for (const SheetItem& item : drawing.sheet.items) {
    if (const auto* c = std::get_if<SheetCircle>(&item); c && c->fill == kQuakeFill) markers.push_back(c->r);
  }
  // The larger first, the smaller over it, then the legend's marker of the least magnitude.
  ASSERT_EQ(markers.size(), 3u);
  EXPECT_GT(markers[0], markers[1]);
  EXPECT_EQ(markers[2], quakeMarkerRadius(6.0));
  const std::string json = sheetJson(drawing);
  EXPECT_NE(json.find(R"("quakes":[{"id":"small","date":"2005-02-01","lat":36,"lon":136,"mag":6.2,"x":)"),
            std::string::npos);
  EXPECT_NE(json.find(R"("onSheet":false,"nearestCircleKm":)"), std::string::npos);
  bool legend = false;
  for (const SheetItem& item : drawing.sheet.items) {
    if (const auto* t = std::get_if<SheetText>(&item)) legend |= t->text == "地震 M6.0以上 2件";
  }
  EXPECT_TRUE(legend);
  // Without a catalogue the sheet and its JSON are as before.
  in.quakes = {};
  EXPECT_EQ(sheetJson(draw(in)).find("\"quakes\""), std::string::npos);
}

// Two volcanoes erupting on 1 January 2000; quake "a" at a crossing of their circles of
// 1 January 2005, quake "b" far from every circle. On 1 January 2015 the circles are
// small, so "a" has no support on "b"'s date.
struct TwoQuakes {
  DrawInputs in = table({{2000, 1, 1, 35, 135}, {2000, 1, 1, 35, 137}});
  std::vector<Quake> quakes;
  TwoQuakes() {
    DrawInputs at = in;
    at.prediction = {2005, 1, 1};
    const DrawResult drawing = draw(at);
    const Crossing& c = drawing.crossings.at(0);
    char csv[256];
    std::snprintf(csv, sizeof csv, "2004-12-31T15:00:00Z,%.17g,%.17g,7,a\n2015-01-01T00:00:00Z,45,115,7,b\n",
                  c.latitude, c.longitude);
    quakes = catalogue(csv);
  }
};

TEST(Hindcast, ThePermutationTestOnKnownCases) {
  TwoQuakes two;
  HindcastOptions options;
  const auto report = runHindcast(two.in, two.quakes, options);
  ASSERT_TRUE(report);
  ASSERT_EQ(report->quakes.size(), 2u);
  EXPECT_NEAR(*report->quakes[0].numbers.nearestCircleKm, 0, 1e-6);
  EXPECT_NEAR(*report->quakes[0].numbers.nearestCrossingKm, 0, 1e-6);
  EXPECT_EQ(report->quakes[0].numbers.support, 2);
  EXPECT_EQ(report->quakes[1].numbers.support, 0);
  EXPECT_EQ(report->shareSupported, 0.5);
  // Half the permutations keep the dates (share 1/2), half swap them (share 0).
  EXPECT_NEAR(report->pValue, 0.5, 0.05);
  EXPECT_NEAR(report->nullShareMean, 0.25, 0.025);
  // Quake "a" is never missed, "b" always.
  ASSERT_EQ(report->molchan.size(), 30u);
  for (const MolchanPoint& p : report->molchan) EXPECT_EQ(p.missRate, 0.5) << p.toleranceKm;

  // On one date every permutation gives the quakes' own share: p is exactly 1.
  std::vector<Quake> sameDay = two.quakes;
  sameDay[1].japanDate = sameDay[0].japanDate;
  const auto same = runHindcast(two.in, sameDay, options);
  EXPECT_EQ(same->pValue, 1.0);
  EXPECT_EQ(same->nullShareMean, 0.5);
}

TEST(Hindcast, TheSameSeedGivesTheSameReport) {
  TwoQuakes two;
  HindcastOptions options;
  options.permutations = 200;
  const auto first = runHindcast(two.in, two.quakes, options);
  const auto again = runHindcast(two.in, two.quakes, options);
  options.seed = 2;
  const auto other = runHindcast(two.in, two.quakes, options);
  EXPECT_EQ(first->nullShares, again->nullShares);
  EXPECT_NE(first->nullShares, other->nullShares);
  // The raw output of the generator is the standard's; the draws from it are ours, so
  // the browser shuffles the same way: a permutation of ten from seed 42.
  std::mt19937_64 generator(42);
  std::vector<int> values{0, 1, 2, 3, 4, 5, 6, 7, 8, 9};
  shuffle(values, generator);
  EXPECT_EQ(values, (std::vector<int>{1, 7, 9, 0, 3, 8, 4, 2, 5, 6}));
}

TEST(Hindcast, AlarmAreaOfTheMolchanDiagram) {
  // One circle: no place is within reach of two lines, so nothing is under alarm.
  TwoQuakes two;
  DrawInputs one = two.in;
  one.rows[2].ticked = false;
  HindcastOptions options;
  options.permutations = 10;
  const auto lone = runHindcast(one, two.quakes, options);
  for (const MolchanPoint& p : lone->molchan) {
    EXPECT_EQ(p.alarmFraction, 0) << p.toleranceKm;
    EXPECT_EQ(p.missRate, 1) << p.toleranceKm;
  }
  // Two equal circles round one volcano: the alarm is the ring within t of their line,
  // pi ((r + t)^2 - (r - t)^2) of the sheet's 6000 x 4266.7 km while t < r.
  DrawInputs twice = table({{2000, 1, 1, 35, 135}, {2000, 1, 1, 35, 135}});
  std::vector<Quake> oneDay{two.quakes[0]};
  const auto ring = runHindcast(twice, oneDay, options);
  const double r = *PlotRadius(*JulianDay(2005, 1, 1), *JulianDay(2000, 1, 1));
  for (const MolchanPoint& p : ring->molchan) {
    const double t = p.toleranceKm;
    const double expected = std::acos(-1.0) * ((r + t) * (r + t) - std::pow(std::max(0.0, r - t), 2)) / (6000 * 12800 / 3.0);
    EXPECT_NEAR(p.alarmFraction, expected, expected * 0.03) << p.toleranceKm;
  }
}

}  // namespace
