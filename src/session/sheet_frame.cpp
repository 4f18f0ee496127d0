#include "session/sheet_frame.h"

#include "session/form_variables.h"
#include "session/drawing_surface.h"
#include "map/projection.h"
#include "model/number_text.h"

#include <QColor>
#include <algorithm>

namespace eq {
namespace {

const QColor kBlack(0, 0, 0);
const QColor kRed(255, 0, 0);
const QColor kBlue(0, 0, 255);

// Coordinates go to the surface at single precision; one that does not fit fails
// the drawing call, which is then left out.
bool setPoint(DrawingSurface& picture, double x, double y) {
  const auto sx = toSingle(x);
  const auto sy = toSingle(y);
  if (!sx || !sy) return false;
  picture.pSet(*sx, *sy, kBlack);
  return true;
}

bool setPosition(DrawingSurface& picture, double column, double line) {
  const auto x = toSingle(column);
  const auto y = toSingle(line);
  if (!x || !y) return false;
  picture.setCurrentX(*x);
  picture.setCurrentY(*y);
  return true;
}

// Every text is printed right after its position is set. When the position cannot
// be set, the text is left out rather than printed wherever the last one ended.
void printAt(DrawingSurface& picture, double column, double line, const QString& text) {
  if (setPosition(picture, column, line)) picture.print(text);
}

QString signedNumber(float value) { return QString::fromStdString(signedText(value)); }

void graticule(DrawingSurface& picture) {
  // The loop values accumulate 0.1 in double precision: the latitude after 49.9 lies
  // just above 50, so a meridian ends at 49.9 (300 points); the longitude after
  // 159.9 lies just below 160, so a parallel ends at 160 (501 points).
  for (const int longitude : {110, 120, 130, 140, 150, 160}) {
    for (double latitude = 20; latitude <= 50; latitude += 0.1) {
      if (const auto p = projectToMap(latitude, longitude)) setPoint(picture, p->x, p->y);
    }
  }
  for (const int latitude : {20, 30, 40, 50}) {
    for (double longitude = 110; longitude <= 160; longitude += 0.1) {
      if (const auto p = projectToMap(latitude, longitude)) setPoint(picture, p->x, p->y);
    }
  }
}

void scaleBar(DrawingSurface& picture) {
  // 3000 map units are 1000 km; a tick every 200 km, the last on each arm's end.
  picture.line(500, 800, 3500, 800, kBlack);
  picture.line(500, 800, 500, 3800, kBlack);
  for (int k = 1; k <= 5; ++k) {
    const auto at = static_cast<float>(600 * k);
    picture.line(500 + at, 740, 500 + at, 860, kBlack);
    picture.line(450, 800 + at, 550, 800 + at, kBlack);
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

void drawSheetFrame(DrawingSurface& picture) {
  graticule(picture);
  scaleBar(picture);
}

QString creationDateText(const QDate& date) {
  return QStringLiteral("%1年 %2月 %3日")
      .arg(date.year(), 4, 10, QLatin1Char('0'))
      .arg(date.month())
      .arg(date.day());
}

QString predictionDateText(float year, float month, float day) {
  return signedNumber(year) + QStringLiteral("年") + signedNumber(month) + QStringLiteral("月") +
         signedNumber(day) + QStringLiteral("日");
}

void drawSheetAnnotations(DrawingSurface& picture, FormVariables& vars, const QDate& today) {
  picture.setScaleMode(DrawingSurface::ScaleMode::Characters);

  for (const FixedLabel& label : kFixedLabels) printAt(picture, label.column, label.line, QString::fromUtf8(label.text));

  picture.setForeColor(kRed);
  printAt(picture, 131.3, 5, QStringLiteral("発震予測年月日"));
  printAt(picture, 131, 6, predictionDateText(vars.PredictionYear, vars.PredictionMonth, vars.PredictionDay));

  // The legend lists the drawn rows without gaps; "10" is a column wider, so it starts further left.
  picture.setForeColor(kBlue);
  int n = 0;
  for (vars.RowNo = 1; vars.RowNo <= kRowCount; ++vars.RowNo) {
    if (vars.RowDrawn[vars.RowNo] != 1) continue;
    const double column = vars.RowNo == 10 ? 130.3 : 131;
    printAt(picture, column, 8 + n, signedNumber(vars.RowNo) + QStringLiteral("=") + vars.VolcanoName[vars.RowNo]);
    ++n;
  }

  printAt(picture, 131.3, n + 9, QStringLiteral("作成日"));
  printAt(picture, 131.3, n + 10, creationDateText(today));

  // The row number under each drawn volcano; the divisor 121 (not the column width
  // 120) starts the mark a little west of the volcano.
  picture.setForeColor(kBlack);
  for (vars.RowNo = 1; vars.RowNo <= kRowCount; ++vars.RowNo) {
    if (vars.RowDrawn[vars.RowNo] != 1) continue;
    const bool placed = setPosition(picture, vars.RowMapX[vars.RowNo] / 121, 49);
    picture.setForeColor(kBlue);
    if (placed) picture.print(QString::fromStdString(printedNumberText(vars.RowNo)));
    picture.setForeColor(kBlack);
  }

  // The title is centred between the "20°" and "160°" labels at one column per character.
  // Of a title longer than a text may be, the middle is what the sheet shows; it keeps
  // its place.
  picture.setForeColor(kRed);
  const qsizetype length = characterCount(vars.TitleComment);
  const qsizetype dropped = std::max<qsizetype>(0, (length - DrawingSurface::kLongestText) / 2);
  printAt(picture, (6.8 + 139.4) / 2 - static_cast<double>(length) / 2 * 1.0 + static_cast<double>(dropped), 51,
          characters(vars.TitleComment, dropped, DrawingSurface::kLongestText));

  picture.setForeColor(kBlack);
}

}  // namespace eq
