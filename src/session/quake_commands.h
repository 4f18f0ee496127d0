#pragma once
// Earthquake catalogues in the session: reading one for the sheet's overlay or for the
// hindcast, laying it over later Draws, and writing a hindcast's report.

#include "quakes/hindcast.h"

#include <QString>
#include <memory>
#include <optional>

namespace eq {

class Session;

struct CatalogueLoad {
  std::shared_ptr<const Catalogue> catalogue;  // none: refused, with `error`
  QString error;  // "地震カタログを読み込めません: PATH (理由)"
  QString note;   // what was skipped, and the first unreadable rows; empty when nothing was
};

// Reads a USGS CSV or GeoJSON export (a regular file of at most 64 MB).
CatalogueLoad loadQuakeCatalogue(const QString& path);

// Lays the catalogue's quakes over every later Draw (magnitude, days as the overlay
// takes them); a null catalogue switches the overlay off.
void setQuakeOverlay(Session& session, std::shared_ptr<const Catalogue> catalogue, const QString& path,
                     double minMagnitude, int days);

// 地震カタログを重ねる…: the catalogue the open-file dialog chose (it opens at the last
// one); nothing after a cancel.
std::optional<QString> askQuakeCatalogue(Session& session);
// Reads the catalogue and lays it over the sheet, drawn again at once when it shows a
// Draw; a file that cannot be read is a message and changes nothing. What was skipped
// is told in a message too. False when it was not read.
bool overlayQuakes(Session& session, const QString& path, double minMagnitude, int days);
// Switches the overlay off, the sheet drawn again without it.
void removeQuakeOverlay(Session& session);

// The hindcast's inputs from the table as the Draw reads it now (the session keeps
// its last good values as they were).
DrawInputs hindcastInputs(const Session& session);
// 検証 結果を保存…: the report to a file the user chooses (.json .csv .png .svg).
void saveHindcastReport(Session& session, const Hindcast& report);

enum class ReportFormat { Json, Csv, Png, Svg };
// By the file name's extension (.json, .csv, .png, .svg, in any case).
std::optional<ReportFormat> reportFormatForPath(const QString& path);

// Writes the report whole or not at all; false, with a message in `error`, when it failed.
bool writeHindcastReport(const Hindcast& report, const QString& path, ReportFormat format, QString* error);

}  // namespace eq
