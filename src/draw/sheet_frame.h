#pragma once
// The two phases of a sheet that do not depend on the circles: the frame (graticule
// and scale bar, in map units) drawn under them, and the annotations (degree labels,
// scale captions, date stamps, legend, row-number marks, title line) drawn over them.
// Texts are placed in text cells of 120 x 240 map units, as the drawing surface's
// second coordinate mode placed them: each position goes to single precision first.

#include "draw/sheet.h"
#include "model/day_number.h"

#include <string>
#include <string_view>
#include <vector>

namespace eq {

// A day of the calendar, as the creation-date stamp shows it.
struct CalendarDay {
  int year = 1;
  int month = 1;
  int day = 1;
};

// A row with a circle's marker, for the legend and the row-number marks.
struct LegendRow {
  int row = 0;
  std::string_view name;
  double mapX = 0;  // the volcano's x in map units
};

// Graticule (six meridians 110 ... 160 deg E of 300 points, four parallels 20 ... 50 deg N
// of 501 points) and the 1000 km scale bar with its ticks, all black.
void drawFrame(Sheet& sheet);

// The texts of the sheet: the prediction date as read, the rows drawn (in row order),
// the title comment and the creation date.
void drawAnnotations(Sheet& sheet, const TableDate& prediction, const std::vector<LegendRow>& drawn,
                     std::string_view title, const CalendarDay& today);

// A text at (column, line) of the sheet's text cells (120 x 240 map units).
void printText(Sheet& sheet, double column, double line, Rgb color, std::string_view text);

// "2026年 12月 6日": four-digit year, month and day without leading zeros.
std::string creationDateText(const CalendarDay& day);

// The prediction-date stamp: " 2024年 5月 1日" from the values as read.
std::string predictionDateText(const TableDate& date);

}  // namespace eq
