#pragma once
// The last Draw as map data for other programs (GeoJSON, KML): every ticked row's
// volcano with its state and its date as the Draw read it, the circles in the Draw's
// circle mode, and the crossings.

#include "analysis/map_export.h"

#include <QByteArray>
#include <QString>
#include <optional>

namespace eq {

class Session;

enum class MapDataFormat { GeoJson, Kml };

// By the file name's extension (.geojson, .json is not one of them; .kml).
std::optional<MapDataFormat> mapDataFormatForPath(const QString& path);

// The file's bytes (UTF-8), and in `note` (when given) what to tell once they are
// written: the rows whose circles they leave out; empty when they leave out none.
QByteArray mapDataBytes(const Session& session, MapDataFormat format, QString* note = nullptr);

// Writes them whole or not at all; false, with a message naming the path and the
// reason in `error`, when that failed. `note` as for mapDataBytes.
bool writeMapDataFile(const Session& session, const QString& path, MapDataFormat format, QString* error,
                      QString* note = nullptr);

}  // namespace eq
