#pragma once
// The sheet written to a file: PNG (as on screen, times a scale), PDF (vector, one
// page of the sheet's size), SVG (vector), or JSON (the retained items, for scripts
// and tests). A file is written in full or not at all.

#include "draw/draw.h"

#include <QByteArray>
#include <QDate>
#include <QImage>
#include <QString>
#include <optional>

namespace eq {

enum class SheetFormat { Png, Pdf, Svg, Json };

// By the file name's extension (.png, .pdf, .svg, .json, in any case).
std::optional<SheetFormat> sheetFormatForPath(const QString& path);

// The file's bytes, made in memory, of what a Draw gave with the bitmap its background
// names: PNG and SVG `scale` times the sheet's 1200 x 853 pixels, a PDF whose creation
// date is `created`'s midnight (UTC; the time of writing when it is not valid), the
// JSON of draw/sheet_json.h. Nothing, with a reason in `error`, when they cannot be
// made. The same sheet gives the same bytes in every format (a PDF's identifier is
// made from its content).
std::optional<QByteArray> sheetFileBytes(const DrawResult& drawing, const QImage& background, SheetFormat format,
                                         double scale, const QDate& created, QString* error);

// Writes them through a temporary file in the target folder, committed only when
// everything was written. False, with a message in `error`, when it failed.
bool writeSheetFile(const DrawResult& drawing, const QImage& background, const QString& path, SheetFormat format,
                    double scale, const QDate& created, QString* error);

}  // namespace eq
