#pragma once
// The sheet written to a file: PNG (as on screen, times a scale), PDF (vector, one
// page of the sheet's size), SVG (vector), or JSON (the retained items, for scripts
// and tests). A file is written in full or not at all.

#include "analysis/crossings.h"
#include "sheet/sheet.h"

#include <QByteArray>
#include <QDate>
#include <QString>
#include <optional>
#include <vector>

namespace eq {

enum class SheetFormat { Png, Pdf, Svg, Json };

// By the file name's extension (.png, .pdf, .svg, .json, in any case).
std::optional<SheetFormat> sheetFormatForPath(const QString& path);

// What the files tell beside the sheet's items: in the JSON dump the table rows after
// Draw and the two labels; in the PDF the creation date.
struct SheetRowEntry {
  int row = 0;
  QString state;                   // drawn, excluded, skipped, unticked
  std::optional<double> radiusKm;  // null when the row has no circle
  bool circle = false;             // whether the sheet has its circle
};
struct SheetDumpExtras {
  std::vector<SheetRowEntry> rows;
  QString countLabel;
  bool warningVisible = false;
  CircleMode circleMode = CircleMode::Classic;
  std::vector<Crossing> crossings;  // sorted as findCrossings sorts them
  // The creation-date stamp's date when it was fixed (render --created): the PDF's
  // creation date is then its midnight (UTC), otherwise the time of writing.
  QDate created;
};

// UTF-8 JSON: width, height, background (file name or null), items in drawing order
// with coordinates in map units, then rows ({"row","state","radiusKm","circle"}),
// countLabel, warningVisible, circleMode
// and the crossings ({"rows":[i,j],"x","y","lat","lon","onSheet","support"}). Numbers
// are the stored floats in their shortest round-trip form.
QByteArray sheetJson(const Sheet& sheet, const SheetDumpExtras& extras);

// The file's bytes, made in memory; nothing, with a reason in `error`, when they
// cannot be made. The same sheet and extras give the same bytes in every format (a
// PDF's identifier is made from its content).
std::optional<QByteArray> sheetFileBytes(const Sheet& sheet, SheetFormat format, double scale,
                                         const SheetDumpExtras& extras, QString* error);

// Writes the sheet through a temporary file in the target folder, committed only
// when everything was written. `scale` multiplies the PNG's 1200 x 853 pixels and the
// SVG's nominal size. False, with a message in `error`, when it failed.
bool writeSheetFile(const Sheet& sheet, const QString& path, SheetFormat format, double scale,
                    const SheetDumpExtras& extras, QString* error);

}  // namespace eq
