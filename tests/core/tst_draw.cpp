// The Draw in the core: whole sheets against the JSON that the program wrote for them
// before the Draw was typed and pure (the graticule's 3804 points left out of the files
// and checked here), and the annotations' legend, marks and long texts against
// positions worked out by hand.

#include "draw/draw.h"
#include "draw/series_range.h"
#include "draw/sheet_json.h"
#include "model/number_text.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <fstream>
#include <iterator>
#include <set>

using namespace eq;

namespace {

std::string readFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

// The inputs as the render command makes them: the file read into the table, each
// number shown in its cell (blank for 0) and read back by the Draw, the named rows ticked.
DrawInputs inputsFrom(const std::string& file, const std::set<int>& rows) {
  const auto content = readDataFile(readFile(std::string(EQ_SOURCE_DIR "/") + file));
  DrawInputs in;
  for (int row = 1; row <= static_cast<int>(content.value().records.size()); ++row) {
    const RecordValues read = withRecord({}, content->records[static_cast<std::size_t>(row - 1)]);
    RowTexts cells{read.name == "0" ? "" : read.name};
    for (std::size_t k = 0; k < kNumbersPerRecord; ++k) {
      cells[k + 1] = read.numbers[k] == 0 ? "" : generalText(read.numbers[k]);
    }
    in.rows[row] = {readRow(read, cells), rows.empty() ? !cells[0].empty() : rows.count(row) > 0, cells[1].empty()};
  }
  in.today = {2026, 12, 6};
  return in;
}

struct Golden {
  const char* expected;  // tests/data/draw/
  const char* file;
  TableDate prediction;
  std::set<int> rows;  // none: the named ones
  const char* title;
  bool background;
  CircleMode mode;
  bool crossingMarks;
};

const Golden kGolden[] = {
    {"recent-crossings-title.json", "examples/recent.txt", {2025, 1, 1}, {}, "題", true, CircleMode::Classic, true},
    {"kyushu-geodesic.json", "examples/kyushu.txt", {2025, 1, 1}, {}, "", true, CircleMode::Geodesic, true},
    {"all-ten-rows.json", "examples/all-ten.txt", {2015, 6, 30}, {1, 3, 5, 7, 9}, "", true, CircleMode::Classic, false},
    {"render-sample.json", "tests/data/render_sample.txt", {2024, 5, 1}, {}, "試験用の地震サークル", false,
     CircleMode::Classic, false},
};

// What an open shows of a row: a name "0" and zeros as empty cells.
TEST(Inputs, ShownRow) {
  EXPECT_EQ(shownRow({"0", {2024, 0, 1.5f, 35.25f, -0.5f}}), (RowTexts{"", "2024", "", "1.5", "35.25", "-0.5"}));
  EXPECT_EQ(shownRow({"阿蘇山", {}}), (RowTexts{"阿蘇山", "", "", "", "", ""}));
}

TEST(Draw, GoldenSheets) {
  for (const Golden& g : kGolden) {
    DrawInputs in = inputsFrom(g.file, g.rows);
    in.prediction = g.prediction;
    in.title = g.title;
    in.background = g.background ? "JapanMap3.bmp" : "";
    in.circleMode = g.mode;
    in.crossingMarks = g.crossingMarks;
    DrawResult drawn = draw(in);
    // The graticule first: six meridians of 300 points and four parallels of 501, from
    // 20 N 110 E (x = -25 * cos 20 deg * 40075 / 360 * 3 + 9000, y = 34 / 10 * 3333).
    auto& items = drawn.sheet.items;
    const auto points = static_cast<std::size_t>(std::count_if(
        items.begin(), items.end(), [](const SheetItem& item) { return std::holds_alternative<SheetPoint>(item); }));
    ASSERT_EQ(points, 3804u) << g.expected;
    const auto& first = std::get<SheetPoint>(items.front());
    EXPECT_NEAR(first.x, 1154.55, 0.01);
    EXPECT_NEAR(first.y, 11332.2, 0.01);
    items.erase(items.begin(), items.begin() + 3804);
    if (drawn.crossingMarksFrom) *drawn.crossingMarksFrom -= 3804;
    EXPECT_EQ(sheetJson(drawn), readFile(std::string(EQ_SOURCE_DIR "/tests/data/draw/") + g.expected)) << g.expected;
  }
}

// Whether a text lies at (column, line) of the 120 x 240 text cells, in this colour.
bool inCell(const Sheet& sheet, const std::string& text, double column, double line, Rgb color) {
  for (const SheetItem& item : sheet.items) {
    const auto* t = std::get_if<SheetText>(&item);
    if (t && t->text == text) {
      return std::fabs(t->x - column * 120) < 0.05 && std::fabs(t->y - line * 240) < 0.05 && t->color == color;
    }
  }
  return false;
}

// The legend packs the drawn rows from line 8, row 10 a little further left; the creation
// stamp follows after one empty line; each drawn row's number goes under its volcano, at
// 120/121 of its x, on line 49. With no row drawn the stamp is on lines 9 and 10.
TEST(Annotations, LegendAndMarks) {
  for (const auto& drawn : {std::vector<int>{}, std::vector<int>{2, 7}, std::vector<int>{1, 2, 3, 4, 5, 6, 7, 8, 9, 10}}) {
    std::vector<LegendRow> legend;
    std::vector<std::string> names;
    names.reserve(drawn.size());
    for (const int row : drawn) names.push_back("火山" + std::to_string(row));
    for (std::size_t i = 0; i < drawn.size(); ++i) legend.push_back({drawn[i], names[i], 1000.0 * drawn[i]});
    Sheet sheet;
    drawAnnotations(sheet, {2024.5f, 0, 1}, legend, "", {2026, 12, 6});
    const int count = static_cast<int>(drawn.size());
    for (int i = 0; i < count; ++i) {
      const int row = drawn[static_cast<std::size_t>(i)];
      const std::string number = " " + std::to_string(row);
      EXPECT_TRUE(inCell(sheet, number + "=火山" + std::to_string(row), row == 10 ? 130.3 : 131, 8 + i, kBlue));
      EXPECT_TRUE(inCell(sheet, number + " ", 1000.0 * row / 121, 49, kBlue));
    }
    EXPECT_TRUE(inCell(sheet, "作成日", 131.3, 9 + count, kBlue));
    EXPECT_TRUE(inCell(sheet, "2026年 12月 6日", 131.3, 10 + count, kBlue));
    // The stamp shows the values as read: month 0 stays 0.
    EXPECT_TRUE(inCell(sheet, " 2024.5年 0月 1日", 131, 6, kRed));
  }
  Sheet early;  // the creation year has four digits, as a date stamp does
  drawAnnotations(early, {2024, 5, 1}, {}, "", {987, 3, 4});
  EXPECT_TRUE(inCell(early, "0987年 3月 4日", 131.3, 10, kBlue));
}

// A prediction value too large for a single keeps the last good value, as a row's field
// does; Val's 0 of a text without a number is a value; a blank box stops the Draw.
TEST(Inputs, PredictionDate) {
  TableDate date{2024, 5, 1};
  EXPECT_TRUE(readPredictionDate(date, {"1e39", "x6", "-3.4e39"}));
  EXPECT_EQ(date, (TableDate{2024, 0, 1}));
  EXPECT_TRUE(readPredictionDate(date, {"2030", "7", "8"}));
  EXPECT_EQ(date, (TableDate{2030, 7, 8}));
  EXPECT_FALSE(readPredictionDate(date, {"2031", "", "8"}));
}

// Of a name or title of a million characters the sheet keeps what a text may hold: a
// name's start (a character beyond 16 bits whole), a centred title's middle at its place;
// a title of ten characters starts at 73.1 - 5, an empty one prints nothing.
TEST(Annotations, TitlesAndLongTexts) {
  const std::string name = "𝕏" + std::string(1000000, 'a');
  const std::string title = std::string(500000, 'l') + "中" + std::string(500000, 'r');
  std::vector<LegendRow> legend{{1, name, 1000}};
  Sheet sheet;
  drawAnnotations(sheet, {2024, 5, 1}, legend, title, {2026, 12, 6});
  EXPECT_TRUE(inCell(sheet, " 1=𝕏" + std::string(996, 'a'), 131, 8, kBlue));
  // Nominally the middle character stays at 73.1 - 1000001 / 2 + 500000.
  EXPECT_TRUE(inCell(sheet, std::string(500, 'l') + "中" + std::string(499, 'r'), 72.6 - 500, 51, kRed));

  Sheet titled;
  drawAnnotations(titled, {2024, 5, 1}, {}, "桜島と浅間山の関係図", {2026, 12, 6});
  EXPECT_TRUE(inCell(titled, "桜島と浅間山の関係図", 73.1 - 5, 51, kRed));
  Sheet untitled;
  drawAnnotations(untitled, {2024, 5, 1}, {}, "", {2026, 12, 6});
  EXPECT_EQ(untitled.items.size() + 1, titled.items.size());
}

}  // namespace

// The time series opens from the earliest ticked eruption that makes a date (a row
// without its month, an unticked one and 31 April do not) to ten years after the
// prediction date; 29 February ten years on is 28 February; without a prediction date
// today stands in; a range that would end first ends ten years after its start.
TEST(SeriesRange, FirstRange) {
  struct Case {
    std::array<DateTexts, 3> rows;  // rows 1 to 3, ticked; row 4 unticked: 1900-1-1
    DateTexts prediction;
    CalendarDate from, to;
  };
  const CalendarDate today{2026, 12, 7};
  const Case cases[] = {
      {{DateTexts{"2014", "9", "27"}, {"1990", "", "1"}, {"2000", "4", "31"}}, {"2024", "2", "29"}, {2014, 9, 27},
       {2034, 2, 28}},
      {{DateTexts{"", "", ""}, {"x", "1", "1"}, {"", "", ""}}, {"", "", ""}, today, {2036, 12, 7}},
      {{DateTexts{"2050", "1", "2"}, {"", "", ""}, {"", "", ""}}, {"2030", "1", "1"}, {2050, 1, 2}, {2060, 1, 2}},
  };
  for (const Case& c : cases) {
    std::array<DateTexts, kRowCount> eruptions{};
    std::array<bool, kRowCount> ticked{};
    for (std::size_t row = 0; row < 3; ++row) {
      eruptions[row] = c.rows[row];
      ticked[row] = true;
    }
    eruptions[3] = {"1900", "1", "1"};
    const SeriesRange range = defaultSeriesRange(eruptions, ticked, c.prediction, today);
    EXPECT_EQ(range.from, c.from);
    EXPECT_EQ(range.to, c.to);
  }
}
