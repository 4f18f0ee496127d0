#include "draw/sheet_frame.h"

#include "datafile/utf8.h"
#include "model/number_text.h"

#include <cstdio>

namespace eq {
namespace {

constexpr double kColumnWidth = 120;  // map units of a text cell
constexpr double kLineHeight = 240;

// Coordinates go to the sheet at single precision; one that does not fit leaves the
// point out.
void addPoint(Sheet& sheet, const MapPoint& p) {
  const auto x = toSingle(p.x);
  const auto y = toSingle(p.y);
  if (x && y) sheet.items.push_back(SheetPoint{*x, *y, kBlack});
}

void addLine(Sheet& sheet, float x1, float y1, float x2, float y2) {
  sheet.items.push_back(SheetLine{x1, y1, x2, y2, kBlack});
}

// A text at (column, line) of the text cells: the position is taken at single
// precision, as the surface's current position held it, then turned into map units.
// When it cannot be taken, the text is left out rather than put wherever the last one ended.
void print(Sheet& sheet, double column, double line, Rgb color, std::string_view text) {
  const auto x = toSingle(column);
  const auto y = toSingle(line);
  if (!x || !y) return;
  addText(sheet, static_cast<float>(*x * kColumnWidth), static_cast<float>(*y * kLineHeight), color, text);
}

std::string signedNumber(float value) { return signedText(value); }

void graticule(Sheet& sheet) {
  // The loop values accumulate 0.1 in double precision: the latitude after 49.9 lies
  // just above 50, so a meridian ends at 49.9 (300 points); the longitude after
  // 159.9 lies just below 160, so a parallel ends at 160 (501 points).
  for (const int longitude : {110, 120, 130, 140, 150, 160}) {
    for (double latitude = 20; latitude <= 50; latitude += 0.1) {
      if (const auto p = PlotXY(latitude, longitude)) addPoint(sheet, *p);
    }
  }
  for (const int latitude : {20, 30, 40, 50}) {
    for (double longitude = 110; longitude <= 160; longitude += 0.1) {
      if (const auto p = PlotXY(latitude, longitude)) addPoint(sheet, *p);
    }
  }
}

void scaleBar(Sheet& sheet) {
  // 3000 map units are 1000 km; a tick every 200 km, the last on each arm's end.
  addLine(sheet, 500, 800, 3500, 800);
  addLine(sheet, 500, 800, 500, 3800);
  for (int k = 1; k <= 5; ++k) {
    const auto at = static_cast<float>(600 * k);
    addLine(sheet, 500 + at, 740, 500 + at, 860);
    addLine(sheet, 450, 800 + at, 550, 800 + at);
  }
}

struct FixedLabel {
  const char* text;
  double column;
  double line;
};

// Degree labels beside the parallels and under the meridians, and the scale captions.
constexpr FixedLabel kFixedLabels[] = {
    {"20°", 6.8, 46.9},   {"30°", 11.9, 33},    {"40°", 18.7, 19.1},  {"50°", 27.4, 5.2},
    {"北緯", 23.4, 5.2},  {"北緯", 2.8, 46.9},  {"110°", 8.4, 48},    {"120°", 34.6, 48},
    {"130°", 60.8, 48},   {"140°", 87, 48},     {"150°", 113.2, 48},  {"160°", 139.4, 48},
    {"東経", 8.4, 49},    {"東経", 139.4, 49},  {"1000 km", 27.5, 2}, {"1000 km", 5.4, 15.5},
};

}  // namespace

void printText(Sheet& sheet, double column, double line, Rgb color, std::string_view text) {
  print(sheet, column, line, color, text);
}

void drawFrame(Sheet& sheet) {
  // The frame is the same on every sheet: made once (it takes longer than the rest of a
  // Draw), then copied.
  static const std::vector<SheetItem> frame = [] {
    Sheet made;
    graticule(made);
    scaleBar(made);
    return made.items;
  }();
  sheet.items.insert(sheet.items.end(), frame.begin(), frame.end());
}

std::string creationDateText(const CalendarDay& day) {
  char text[64];
  std::snprintf(text, sizeof text, "%04d年 %d月 %d日", day.year, day.month, day.day);
  return text;
}

std::string predictionDateText(const TableDate& date) {
  return signedNumber(date[0]) + "年" + signedNumber(date[1]) + "月" + signedNumber(date[2]) + "日";
}

void drawAnnotations(Sheet& sheet, const TableDate& prediction, const std::vector<LegendRow>& drawn,
                     std::string_view title, const CalendarDay& today) {
  for (const FixedLabel& label : kFixedLabels) print(sheet, label.column, label.line, kBlack, label.text);

  print(sheet, 131.3, 5, kRed, "発震予測年月日");
  print(sheet, 131, 6, kRed, predictionDateText(prediction));

  // The legend lists the drawn rows without gaps; "10" is a column wider, so it starts
  // further left. Of a long name only what a text may hold is joined to it.
  int n = 0;
  for (const LegendRow& row : drawn) {
    const double column = row.row == 10 ? 130.3 : 131;
    const std::string line = signedNumber(static_cast<float>(row.row)) + "=" +
                             std::string(characters(row.name, 0, kLongestText));
    print(sheet, column, 8 + n, kBlue, line);
    ++n;
  }

  print(sheet, 131.3, n + 9, kBlue, "作成日");
  print(sheet, 131.3, n + 10, kBlue, creationDateText(today));

  // The row number under each drawn volcano; the divisor 121 (not the column width
  // 120) starts the mark a little west of the volcano.
  for (const LegendRow& row : drawn) {
    print(sheet, row.mapX / 121, 49, kBlue, printedNumberText(static_cast<float>(row.row)));
  }

  // The title is centred between the "20°" and "160°" labels at one column per character.
  // Of a title longer than a text may be, the middle is what the sheet shows; it keeps
  // its place.
  const std::size_t length = characterCount(title);
  const std::size_t dropped = length > kLongestText ? (length - kLongestText) / 2 : 0;
  print(sheet, (6.8 + 139.4) / 2 - static_cast<double>(length) / 2 * 1.0 + static_cast<double>(dropped), 51, kRed,
        characters(title, dropped, kLongestText));
}

}  // namespace eq
