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

enum class ReportFormat { Json, Csv, Png, Svg };
// By the file name's extension (.json, .csv, .png, .svg, in any case).
std::optional<ReportFormat> reportFormatForPath(const QString& path);

// Writes the report whole or not at all; false, with a message in `error`, when it failed.
bool writeHindcastReport(const Hindcast& report, const QString& path, ReportFormat format, QString* error);

}  // namespace eq
