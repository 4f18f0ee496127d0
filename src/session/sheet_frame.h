#pragma once
// The two phases of a sheet that do not depend on the eruption rows' circles:
// the frame (graticule and scale bar, in map units) drawn under the circles, and
// the annotations (degree labels, scale captions, date stamps, legend, row-number
// marks, title line, in text cells) drawn over them.

#include <QDate>
#include <QString>

namespace eq {

class DrawingSurface;
struct FormVariables;

// Graticule (six meridians 110 ... 160 deg E of 300 points, four parallels 20 ... 50 deg N
// of 501 points) and the 1000 km scale bar with its ticks, all black. The surface
// must be in map units.
void drawSheetFrame(DrawingSurface& picture);

// The texts of the sheet. Switches the surface to text cells and leaves it there
// with a black foreground. Reads the prediction date, RowDrawn, VolcanoName,
// RowMapX and TitleComment; RowNo serves as the row counter of its loops.
void drawSheetAnnotations(DrawingSurface& picture, FormVariables& vars, const QDate& today);

// "2026年 12月 6日": four-digit year, month and day without leading zeros.
QString creationDateText(const QDate& date);

// The prediction-date stamp: " 2024年 5月 1日" from the values as read.
QString predictionDateText(float year, float month, float day);

}  // namespace eq
