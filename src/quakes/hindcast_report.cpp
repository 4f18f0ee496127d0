#include "quakes/hindcast_report.h"

#include "draw/sheet_frame.h"
#include "map/json_text.h"
#include "quakes/quake_overlay.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

namespace eq {
namespace {

std::string fixed(double value, int decimals) {
  char text[64];
  std::snprintf(text, sizeof text, "%.*f", decimals, value);
  return text;
}

std::string percent(double share) { return fixed(share * 100, 1) + "%"; }

std::string csvField(const std::string& text) {
  if (text.find_first_of(",\"\r\n") == std::string::npos) return text;
  std::string quoted = "\"";
  for (const char c : text) {
    if (c == '"') quoted += '"';
    quoted += c;
  }
  return quoted + "\"";
}

std::string csvNumber(const std::optional<double>& value) {
  std::string text;
  if (value) appendJsonNumber(text, *value);
  return text;
}

// The two panels, in map units: a square for the Molchan diagram, a box for the histograms.
constexpr float kTop = 2000;
constexpr float kSide = 7200;
constexpr float kMolchanLeft = 1300;
constexpr float kHistogramLeft = 10300;
constexpr float kHistogramWidth = 7000;
constexpr Rgb kGrey{150, 150, 150};
constexpr Rgb kNullColor{90, 90, 90};

void line(Sheet& sheet, double x1, double y1, double x2, double y2, Rgb color) {
  sheet.items.push_back(SheetLine{static_cast<float>(x1), static_cast<float>(y1), static_cast<float>(x2),
                                  static_cast<float>(y2), color});
}

// A text whose top-left corner is at (x, y) in map units.
void text(Sheet& sheet, double x, double y, Rgb color, const std::string& words) {
  printText(sheet, x / 120, y / 240, color, words);
}

void frame(Sheet& sheet, float left, float width) {
  line(sheet, left, kTop, left + width, kTop, kBlack);
  line(sheet, left + width, kTop, left + width, kTop + kSide, kBlack);
  line(sheet, left + width, kTop + kSide, left, kTop + kSide, kBlack);
  line(sheet, left, kTop + kSide, left, kTop, kBlack);
}

// The alarm area runs over four decades (0.01% to all of the sheet), logarithmically: the
// circles' lines leave little of the sheet under alarm at small tolerances.
constexpr double kLeastAlarm = 1e-4;

void molchanPanel(Sheet& sheet, const Hindcast& report) {
  frame(sheet, kMolchanLeft, kSide);
  const auto px = [](double alarm) {
    return kMolchanLeft + (std::log10(std::max(alarm, kLeastAlarm)) - std::log10(kLeastAlarm)) / 4 * kSide;
  };
  const auto py = [](double miss) { return kTop + (1 - miss) * kSide; };
  const char* const decades[] = {"0.01%", "0.1%", "1%", "10%", "100%"};
  for (int k = 0; k <= 4; ++k) {
    const double x = kMolchanLeft + static_cast<double>(kSide) * k / 4;
    line(sheet, x, kTop + kSide, x, kTop + kSide + 80, kBlack);
    text(sheet, x - 240, kTop + kSide + 120, kBlack, decades[k]);
  }
  for (int k = 0; k <= 5; ++k) {
    const double v = k / 5.0;
    line(sheet, kMolchanLeft - 80, py(v), kMolchanLeft, py(v), kBlack);
    text(sheet, kMolchanLeft - 480, py(v) - 120, kBlack, fixed(v, 1));
  }
  // A guess at random misses 1 - alarm of the quakes: the diagonal of the linear diagram.
  for (int k = 0; k < 100; ++k) {
    const double a = kLeastAlarm * std::pow(10.0, 4 * k / 100.0);
    const double b = kLeastAlarm * std::pow(10.0, 4 * (k + 1) / 100.0);
    line(sheet, px(a), py(1 - a), px(b), py(1 - b), kGrey);
  }
  text(sheet, px(0.3) - 2300, py(0.5), kGrey, "当て推量 (対角線)");
  double x = px(0);
  double y = py(1);
  for (const MolchanPoint& p : report.molchan) {
    line(sheet, x, y, px(p.alarmFraction), py(p.missRate), kRed);
    x = px(p.alarmFraction);
    y = py(p.missRate);
    sheet.items.push_back(SheetCircle{static_cast<float>(x), static_cast<float>(y), 30, kRed, kRed});
    const int km = static_cast<int>(p.toleranceKm);
    if (km == 50 || km == 100 || km == 200 || km == 300) {
      text(sheet, x + 80, y + 20, kRed, std::to_string(km) + " km");
    }
  }
  text(sheet, kMolchanLeft, kTop - 800, kBlack, "モルチャン図: 2本以上の円の線から許容距離 (10〜300 km) 以内を警報域とする");
  text(sheet, kMolchanLeft, kTop - 500, kBlack, "縦: 見逃した地震の割合");
  text(sheet, kMolchanLeft + 1200, kTop + kSide + 420, kBlack, "警報域の面積の割合 (対数目盛、予測日ごとの平均)");
}

void histogramPanel(Sheet& sheet, const Hindcast& report) {
  frame(sheet, kHistogramLeft, kHistogramWidth);
  double top = 0.05;
  for (const auto* shares : {&report.observedDistances, &report.nullDistances}) {
    for (const double s : *shares) top = std::max(top, s);
  }
  top = std::ceil(top * 10) / 10;  // a round share at the top
  const auto px = [](double bin) { return kHistogramLeft + bin / kDistanceBins * kHistogramWidth; };
  const auto py = [top](double share) { return kTop + (1 - share / top) * kSide; };
  const double step = top <= 0.3 ? 0.05 : 0.1;
  for (int k = 0; k * step <= top + 1e-9; ++k) {
    const double share = k * step;
    line(sheet, kHistogramLeft - 80, py(share), kHistogramLeft, py(share), kBlack);
    text(sheet, kHistogramLeft - 720, py(share) - 120, kBlack, fixed(share * 100, 0) + "%");
  }
  for (int km = 0; km <= 600; km += 100) {
    const double x = px(km / kDistanceBinKm);
    line(sheet, x, kTop + kSide, x, kTop + kSide + 80, kBlack);
    text(sheet, x - 180, kTop + kSide + 120, kBlack, std::to_string(km));
  }
  // Each distribution as a step line over its bins.
  const auto steps = [&](const std::vector<double>& shares, Rgb color, double inset) {
    double y = py(0);
    for (std::size_t b = 0; b < shares.size(); ++b) {
      const double x = px(static_cast<double>(b)) + inset;
      line(sheet, x, y, x, py(shares[b]), color);
      line(sheet, x, py(shares[b]), px(static_cast<double>(b + 1)) + inset, py(shares[b]), color);
      y = py(shares[b]);
    }
    if (!shares.empty()) line(sheet, px(static_cast<double>(shares.size())) + inset, y, px(static_cast<double>(shares.size())) + inset, py(0), color);
  };
  steps(report.nullDistances, kNullColor, 0);
  steps(report.observedDistances, kQuakeOutline, 15);
  text(sheet, kHistogramLeft, kTop - 800, kBlack, "最も近い円の線までの距離の分布");
  text(sheet, kHistogramLeft, kTop - 500, kBlack, "縦: 地震の割合");
  text(sheet, kHistogramLeft + 2400, kTop + 200, kQuakeOutline, "― 地震 (実際の日付)");
  text(sheet, kHistogramLeft + 2400, kTop + 440, kNullColor, "― 偶然 (日付の入れ替え)");
  text(sheet, kHistogramLeft + 1800, kTop + kSide + 420, kBlack,
       "距離 (km、" + fixed(kDistanceBinKm, 0) + " km ごと、右端は600 km 以上)");
}

}  // namespace

std::string hindcastSummary(const Hindcast& r) {
  return "地震 " + std::to_string(r.quakes.size()) + "件 (M" + fixed(r.minMagnitude, 1) + "以上)、支持数2以上 (" +
         fixed(r.toleranceKm, 0) + " km 以内に円の線が2本以上) " + percent(r.shareSupported) + "、偶然では平均 " +
         percent(r.nullShareMean) + " (日付の入れ替え " + std::to_string(r.permutations) + "回)、p = " + fixed(r.pValue, 3);
}

std::string hindcastJson(const Hindcast& r) {
  std::string out;
  JsonWriter json(out);
  json.beginObject().key("circleMode").string(circleModeName(r.circleMode));
  json.key("toleranceKm").number(r.toleranceKm).key("minMagnitude").number(r.minMagnitude);
  json.key("quakeCount").number(static_cast<int>(r.quakes.size())).key("offSheet").number(r.offSheet);
  json.key("shareSupported").number(r.shareSupported).key("nullShareMean").number(r.nullShareMean);
  json.key("pValue").number(r.pValue).key("permutations").number(r.permutations);
  json.key("seed").number(static_cast<double>(r.seed)).key("alarmDates").number(r.alarmDates);
  json.lineBreak().key("molchan").beginArray();
  for (const MolchanPoint& p : r.molchan) {
    json.beginObject().key("toleranceKm").number(p.toleranceKm).key("alarmFraction").number(p.alarmFraction);
    json.key("missRate").number(p.missRate).endObject();
  }
  json.endArray().lineBreak().key("distanceBinKm").number(kDistanceBinKm);
  for (const auto& [name, shares] : {std::pair{"observedDistances", &r.observedDistances},
                                     std::pair{"nullDistances", &r.nullDistances}}) {
    json.key(name).beginArray();
    for (const double s : *shares) json.number(s);
    json.endArray();
  }
  json.lineBreak().key("quakes").beginArray();
  for (const HindcastQuake& q : r.quakes) {
    json.lineBreak().beginObject().key("id").string(q.quake.id).key("date").string(isoDateText(q.quake.japanDate));
    json.key("lat").number(q.quake.latitude).key("lon").number(q.quake.longitude).key("mag").number(q.quake.magnitude);
    json.key("nearestCircleKm").number(q.numbers.nearestCircleKm);
    json.key("nearestCrossingKm").number(q.numbers.nearestCrossingKm);
    json.key("support").number(q.numbers.support).endObject();
  }
  json.endArray().endObject().endLine();
  return out;
}

std::string hindcastCsv(const Hindcast& r) {
  std::string out = "id,date,lat,lon,mag,nearestCircleKm,nearestCrossingKm,support\r\n";
  for (const HindcastQuake& q : r.quakes) {
    out += csvField(q.quake.id) + "," + isoDateText(q.quake.japanDate) + "," + csvNumber(q.quake.latitude) + "," +
           csvNumber(q.quake.longitude) + "," + csvNumber(q.quake.magnitude) + "," + csvNumber(q.numbers.nearestCircleKm) +
           "," + csvNumber(q.numbers.nearestCrossingKm) + "," + std::to_string(q.numbers.support) + "\r\n";
  }
  return out;
}

Sheet hindcastPlot(const Hindcast& r) {
  Sheet sheet;
  text(sheet, 600, 300, kBlack, "地震サークルの検証 (" + std::string(circleModeName(r.circleMode)) + ")  " + hindcastSummary(r));
  molchanPanel(sheet, r);
  histogramPanel(sheet, r);
  text(sheet, 600, 10500, kBlack,
       "曲線が対角線より下にあるほど、同じ広さの警報域でより多くの地震を捉えています。p 値: 日付を入れ替えた偶然で、支持数2以上の割合が実際以上になる確率。");
  text(sheet, 600, 10800, kBlack,
       "円は予報ではありません。半径の法則はこれらの地震の一部に合わせて作られたかもしれず、数十件の地震での小さな p 値は弱い証拠です。");
  return sheet;
}

}  // namespace eq
