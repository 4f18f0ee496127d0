#pragma once
// The hindcast: how often the circles met where earthquakes struck, against chance.
//
// For every quake of the catalogue on the sheet (magnitude >= the least asked for), the
// prediction date is set to its date in Japan, the same Draw draws the ticked eruptions
// on or before it, and the quake gets its numbers (distance to the nearest circle line
// and to the nearest crossing, support). The summary is the share of quakes with support
// >= 2, against a null model that keeps every epicentre and gives it another quake's
// date (a permutation of the dates, seeded, so the same inputs give the same report).
//
// It does not say that the circles forecast anything: the law may have been fitted to
// some of these very quakes, and a small p-value over a few dozen quakes is weak
// evidence.
//
// The Molchan error diagram comes with it: for tolerances of 10 to 300 km, the share of
// the sheet's area within the tolerance of two or more circle lines (on a grid of cells
// of at most 10 km, averaged over the quakes' dates) against the share of quakes with
// fewer than two circle lines that near (missed).

#include "draw/draw.h"
#include "quakes/catalogue.h"

#include <cstdint>
#include <functional>
#include <optional>
#include <random>
#include <vector>

namespace eq {

inline constexpr int kDefaultPermutations = 1000;
inline constexpr int kMostPermutations = 100000;
inline constexpr std::uint64_t kDefaultSeed = 1;
// The Molchan diagram's tolerances: 10, 20, ... 300 km.
inline constexpr int kMolchanStepKm = 10;
inline constexpr int kMolchanLastKm = 300;
// The histograms of the distances to the nearest circle line: 20 km bins up to 600 km,
// the last bin holding everything farther.
inline constexpr double kDistanceBinKm = 20;
inline constexpr int kDistanceBins = 31;
// The alarm area is averaged over at most this many of the quakes' dates, taken evenly
// through them in date order (every date when there are no more).
inline constexpr int kMostAlarmDates = 200;

struct HindcastOptions {
  double minMagnitude = kDefaultMinMagnitude;
  int permutations = kDefaultPermutations;
  std::uint64_t seed = kDefaultSeed;
};

struct HindcastQuake {
  Quake quake;
  QuakeNumbers numbers;
  int circles = 0;  // the circles drawn on its date
};

struct MolchanPoint {
  double toleranceKm = 0;
  double alarmFraction = 0;  // of the sheet's area
  double missRate = 0;       // of the quakes
};

struct Hindcast {
  CircleMode circleMode = CircleMode::Classic;
  double toleranceKm = kDefaultSupportToleranceKm;
  double minMagnitude = kDefaultMinMagnitude;
  int permutations = 0;
  std::uint64_t seed = 0;
  int offSheet = 0;  // quakes of the magnitude that lie off the sheet, left out

  std::vector<HindcastQuake> quakes;  // on the sheet, in the catalogue's order
  double shareSupported = 0;          // of the quakes, support >= 2
  std::vector<double> nullShares;     // one per permutation, in the order drawn
  double nullShareMean = 0;
  double pValue = 1;  // (1 + permutations with a share >= the quakes') / (1 + permutations)

  std::vector<MolchanPoint> molchan;  // tolerance 10, 20, ... 300 km
  int alarmDates = 0;                 // the dates the alarm area was averaged over
  // Shares of the distances to the nearest circle line per bin (quakes with a circle
  // drawn on their date): the quakes', and the null model's over all permutations.
  std::vector<double> observedDistances;
  std::vector<double> nullDistances;
};

// `base` gives the rows, ticks, circle mode and tolerance; its prediction date, quake
// overlay, title and background are not used. `progress` (may be empty) hears the share
// done, 0 to 1, now and then from the calling thread; when it answers false the work
// stops and nothing is returned.
std::optional<Hindcast> runHindcast(const DrawInputs& base, const std::vector<Quake>& quakes,
                                    const HindcastOptions& options,
                                    const std::function<bool(double)>& progress = {});

// A number below `bound` (> 0) from the generator's raw output, the same on every
// platform: the draws below 2^64 mod bound are thrown away, so every number is equally
// likely.
std::uint64_t boundedRandom(std::mt19937_64& generator, std::uint64_t bound);

// Fisher-Yates with boundedRandom.
void shuffle(std::vector<int>& values, std::mt19937_64& generator);

}  // namespace eq
