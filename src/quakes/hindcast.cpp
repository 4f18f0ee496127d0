#include "quakes/hindcast.h"

#include "analysis/geodesic.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <map>

namespace eq {
namespace {

constexpr double kNoCircle = std::numeric_limits<double>::quiet_NaN();
constexpr double kFar = std::numeric_limits<double>::infinity();
// The Molchan grid: 600 x 427 cells of 30 x 29.98 map units, 10 km or a little less.
constexpr int kGridColumns = 600;
constexpr int kGridRows = 427;

bool onSheet(const MapPoint& p) { return p.x >= 0 && p.x <= kSheetWidth && p.y >= 0 && p.y <= kSheetHeight; }

// The nearest and second-nearest circle line among the circles drawn on a date, and how
// many pass within the tolerance.
struct LineDistances {
  double nearest = kFar;
  double second = kFar;
  int support = 0;
};

template <typename Centre, typename Radius>
LineDistances lineDistances(std::size_t count, Centre centreKm, Radius radiusKm, double toleranceKm) {
  LineDistances d;
  for (std::size_t v = 0; v < count; ++v) {
    const double r = radiusKm(v);
    if (std::isnan(r)) continue;
    const double km = std::fabs(centreKm(v) - r);
    if (km <= toleranceKm) ++d.support;
    if (km < d.nearest) {
      d.second = d.nearest;
      d.nearest = km;
    } else if (km < d.second) {
      d.second = km;
    }
  }
  return d;
}

int distanceBin(double km) { return std::min(kDistanceBins - 1, static_cast<int>(km / kDistanceBinKm)); }

void toShares(std::vector<double>& counts) {
  double total = 0;
  for (const double c : counts) total += c;
  if (total > 0) {
    for (double& c : counts) c /= total;
  }
}

}  // namespace

std::uint64_t boundedRandom(std::mt19937_64& generator, std::uint64_t bound) {
  const std::uint64_t threshold = (0 - bound) % bound;  // 2^64 mod bound
  for (;;) {
    const std::uint64_t x = generator();
    if (x >= threshold) return x % bound;
  }
}

void shuffle(std::vector<int>& values, std::mt19937_64& generator) {
  for (std::size_t i = values.size(); i > 1; --i) {
    std::swap(values[i - 1], values[boundedRandom(generator, i)]);
  }
}

std::optional<Hindcast> runHindcast(const DrawInputs& base, const std::vector<Quake>& catalogue,
                                    const HindcastOptions& options, const std::function<bool(double)>& progress) {
  const auto goOn = [&progress](double done) { return !progress || progress(done); };
  Hindcast out;
  out.circleMode = base.circleMode;
  out.toleranceKm = base.toleranceKm;
  out.minMagnitude = options.minMagnitude;
  out.permutations = options.permutations;
  out.seed = options.seed;
  const CircleMode mode = base.circleMode;
  const double tolerance = base.toleranceKm;

  // The quakes on the sheet, and their distinct dates in date order.
  std::vector<std::int64_t> days;
  for (const Quake& quake : catalogue) {
    if (!(quake.magnitude >= options.minMagnitude)) continue;
    const auto at = PlotXY(quake.latitude, quake.longitude);
    if (!at || !onSheet(*at)) {
      ++out.offSheet;
      continue;
    }
    out.quakes.push_back({quake, {}, 0});
    days.push_back(daysFromCivil(quake.japanDate.year, quake.japanDate.month, quake.japanDate.day));
  }
  std::vector<std::int64_t> dates = days;
  std::sort(dates.begin(), dates.end());
  dates.erase(std::unique(dates.begin(), dates.end()), dates.end());
  const std::size_t n = out.quakes.size();
  std::vector<int> dateOf(n);
  std::vector<std::vector<std::size_t>> quakesOn(dates.size());
  for (std::size_t i = 0; i < n; ++i) {
    dateOf[i] = static_cast<int>(std::lower_bound(dates.begin(), dates.end(), days[i]) - dates.begin());
    quakesOn[dateOf[i]].push_back(i);
  }

  // Each date drawn once by the Draw: the radius of every row's circle (NaN: none), and
  // each quake's own numbers against that drawing.
  std::vector<std::array<double, kRowCount + 1>> radii(dates.size());
  std::array<bool, kRowCount + 1> everDrawn{};
  DrawInputs in = base;
  in.quakes = {};
  in.crossingMarks = false;
  in.title.clear();
  in.background.clear();
  for (std::size_t d = 0; d < dates.size(); ++d) {
    const CalendarDate date = civilFromDays(dates[d]);
    in.prediction = {static_cast<float>(date.year), static_cast<float>(date.month), static_cast<float>(date.day)};
    const DrawResult drawing = draw(in);
    const std::vector<CircleInput> circles = drawnCircles(in, drawing);
    radii[d].fill(kNoCircle);
    for (const CircleInput& c : circles) {
      radii[d][c.row] = c.radiusKm;
      everDrawn[c.row] = true;
    }
    for (const std::size_t i : quakesOn[d]) {
      HindcastQuake& q = out.quakes[i];
      q.numbers = measureQuake(q.quake.latitude, q.quake.longitude, circles, drawing.crossings, mode, tolerance);
      q.circles = static_cast<int>(circles.size());
    }
    if (d % 64 == 0 && !goOn(0.3 * static_cast<double>(d) / static_cast<double>(dates.size()))) return std::nullopt;
  }

  // What does not change with the dates: each epicentre's distance to each volcano.
  std::vector<CircleInput> volcanoes;
  for (int row = 1; row <= kRowCount; ++row) {
    if (everDrawn[row]) volcanoes.push_back({row, base.rows[row].values.numbers[3], base.rows[row].values.numbers[4], 0});
  }
  const std::size_t V = volcanoes.size();
  std::vector<double> centreKm(n * V);
  for (std::size_t i = 0; i < n; ++i) {
    for (std::size_t v = 0; v < V; ++v) {
      centreKm[i * V + v] = centreDistanceKm(volcanoes[v], out.quakes[i].quake.latitude, out.quakes[i].quake.longitude, mode);
    }
  }
  // Each date's radii in the volcanoes' order.
  std::vector<double> radius(dates.size() * V);
  for (std::size_t d = 0; d < dates.size(); ++d) {
    for (std::size_t v = 0; v < V; ++v) radius[d * V + v] = radii[d][volcanoes[v].row];
  }
  const auto quakeOn = [&](std::size_t i, int d) {
    return lineDistances(
        V, [&](std::size_t v) { return centreKm[i * V + v]; }, [&](std::size_t v) { return radius[d * V + v]; },
        tolerance);
  };

  // The quakes' share, then the permutations': a permutation is table look-ups.
  out.observedDistances.assign(kDistanceBins, 0);
  out.nullDistances.assign(kDistanceBins, 0);
  std::vector<double> secondNearest(n);
  int supported = 0;
  for (std::size_t i = 0; i < n; ++i) {
    const LineDistances d = quakeOn(i, dateOf[i]);
    supported += d.support >= 2;
    secondNearest[i] = d.second;
    if (d.nearest < kFar) ++out.observedDistances[distanceBin(d.nearest)];
  }
  out.shareSupported = n ? static_cast<double>(supported) / static_cast<double>(n) : 0;
  std::mt19937_64 generator(options.seed);
  std::vector<int> permuted = dateOf;
  int asHigh = 0;
  double nullSum = 0;
  for (int p = 0; p < options.permutations; ++p) {
    shuffle(permuted, generator);
    int count = 0;
    for (std::size_t i = 0; i < n; ++i) {
      const LineDistances d = quakeOn(i, permuted[i]);
      count += d.support >= 2;
      if (d.nearest < kFar) ++out.nullDistances[distanceBin(d.nearest)];
    }
    const double share = n ? static_cast<double>(count) / static_cast<double>(n) : 0;
    out.nullShares.push_back(share);
    nullSum += share;
    asHigh += share >= out.shareSupported;
    if (p % 64 == 0 && !goOn(0.3 + 0.3 * p / options.permutations)) return std::nullopt;
  }
  out.nullShareMean = options.permutations ? nullSum / options.permutations : 0;
  out.pValue = static_cast<double>(1 + asHigh) / (1 + options.permutations);
  toShares(out.observedDistances);
  toShares(out.nullDistances);
  if (n == 0) return out;

  // The Molchan diagram. Each cell's distance to each volcano once (volcano by volcano,
  // so that a date's pass runs along memory); then for every date the distance of every
  // cell to its second-nearest circle line, counted in whole km: a tolerance of t km
  // puts a cell under alarm when that distance rounded up is at most t.
  const std::size_t cells = static_cast<std::size_t>(kGridColumns) * kGridRows;
  std::vector<float> cellKm(cells * V);
  const double cellWidth = static_cast<double>(kSheetWidth) / kGridColumns;
  const double cellHeight = static_cast<double>(kSheetHeight) / kGridRows;
  for (int row = 0; row < kGridRows; ++row) {
    for (int column = 0; column < kGridColumns; ++column) {
      const double x = (column + 0.5) * cellWidth;
      const double y = (row + 0.5) * cellHeight;
      const std::size_t cell = static_cast<std::size_t>(row) * kGridColumns + column;
      const GeoPoint g = mapToGeographic(x, y);
      for (std::size_t v = 0; v < V; ++v) {
        double km;
        if (mode == CircleMode::Geodesic) {
          km = centreDistanceKm(volcanoes[v], g.latitude, g.longitude, mode);
        } else {
          const MapPoint c = PlotXY(static_cast<float>(volcanoes[v].latitude), static_cast<float>(volcanoes[v].longitude))
                                 .value_or(MapPoint{});
          km = std::hypot(x - c.x, y - c.y) / kMapUnitsPerKm;
        }
        cellKm[v * cells + cell] = static_cast<float>(km);
      }
    }
    if (row % 32 == 0 && !goOn(0.6 + 0.1 * row / kGridRows)) return std::nullopt;
  }
  // The quakes' dates in date order, each as often as it has quakes, or an even sample of them.
  std::vector<int> byDate = dateOf;
  std::sort(byDate.begin(), byDate.end());
  std::map<int, int> weights;  // date -> how often it counts
  if (n <= static_cast<std::size_t>(kMostAlarmDates)) {
    for (const int d : byDate) ++weights[d];
  } else {
    for (int k = 0; k < kMostAlarmDates; ++k) ++weights[byDate[(2 * k + 1) * n / (2 * kMostAlarmDates)]];
  }
  std::vector<double> alarmCount(kMolchanLastKm + 1, 0);  // by whole km
  double totalWeight = 0;
  int done = 0;
  std::vector<float> nearest(cells);
  std::vector<float> second(cells);
  for (const auto& [d, weight] : weights) {
    std::fill(nearest.begin(), nearest.end(), std::numeric_limits<float>::infinity());
    std::fill(second.begin(), second.end(), std::numeric_limits<float>::infinity());
    for (std::size_t v = 0; v < V; ++v) {
      const double r = radius[static_cast<std::size_t>(d) * V + v];
      if (std::isnan(r)) continue;
      const auto rf = static_cast<float>(r);
      const float* km = &cellKm[v * cells];
      for (std::size_t cell = 0; cell < cells; ++cell) {
        const float line = std::fabs(km[cell] - rf);
        second[cell] = std::min(second[cell], std::max(nearest[cell], line));
        nearest[cell] = std::min(nearest[cell], line);
      }
    }
    std::vector<int> countByKm(kMolchanLastKm + 1, 0);
    for (const float km : second) {
      if (km <= kMolchanLastKm) ++countByKm[static_cast<std::size_t>(std::ceil(km))];
    }
    for (int km = 0; km <= kMolchanLastKm; ++km) alarmCount[km] += static_cast<double>(weight) * countByKm[km];
    totalWeight += weight;
    ++out.alarmDates;
    if (!goOn(0.7 + 0.3 * ++done / static_cast<double>(weights.size()))) return std::nullopt;
  }
  double under = 0;
  for (int km = 0; km <= kMolchanLastKm; ++km) {
    under += alarmCount[km];
    if (km == 0 || km % kMolchanStepKm != 0) continue;
    const auto missed = std::count_if(secondNearest.begin(), secondNearest.end(), [km](double s) { return s > km; });
    out.molchan.push_back({static_cast<double>(km), under / (totalWeight * static_cast<double>(cells)),
                           static_cast<double>(missed) / static_cast<double>(n)});
  }
  return out;
}

}  // namespace eq
