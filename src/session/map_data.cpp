#include "session/map_data.h"

#include "platform/safe_file.h"
#include "session/session.h"
#include "session/table_commands.h"

#include <QFileInfo>

namespace eq {
namespace {

std::string utf8(const QString& text) { return text.toUtf8().toStdString(); }

// "2018-1-23": the three boxes as typed, joined.
std::string dateAsWritten(const Session& session, int firstBox) {
  return utf8(session.text(firstBox) + QLatin1Char('-') + session.text(firstBox + 1) + QLatin1Char('-') +
              session.text(firstBox + 2));
}

}  // namespace

std::optional<MapDataFormat> mapDataFormatForPath(const QString& path) {
  const QString suffix = QFileInfo(path).suffix().toLower();
  if (suffix == QLatin1String("geojson")) return MapDataFormat::GeoJson;
  if (suffix == QLatin1String("kml")) return MapDataFormat::Kml;
  return std::nullopt;
}

MapExport sessionMapExport(const Session& session) {
  std::vector<VolcanoFeature> volcanoes;
  for (int row = 1; row <= kRowCount; ++row) {
    const RowOutcome& outcome = session.lastDraw.rows[row];
    if (outcome.state != RowState::Drawn) continue;
    VolcanoFeature v;
    v.row = row;
    v.name = utf8(session.VolcanoName[row]);
    v.eruptionDate = dateAsWritten(session, fieldIndex(row, 2));
    v.latitude = session.VolcanoLatitude[row];
    v.longitude = session.VolcanoLongitude[row];
    v.radiusKm = outcome.radiusKm;  // what the law gave; a negative one has no circle
    v.state = rowStateName(outcome.state);
    volcanoes.push_back(std::move(v));
  }
  MapExport map;
  map.predictionDate = dateAsWritten(session, 61);
  map.mode = session.analysis.circleMode;
  map.toleranceKm = session.analysis.toleranceKm;
  map.volcanoes = std::move(volcanoes);
  map.crossings = session.lastDraw.crossings;
  return map;
}

QByteArray mapDataBytes(const Session& session, MapDataFormat format) {
  const MapExport map = sessionMapExport(session);
  const std::string text = format == MapDataFormat::GeoJson ? geoJson(map) : kml(map);
  return QByteArray(text.data(), static_cast<qsizetype>(text.size()));
}

bool writeMapDataFile(const Session& session, const QString& path, MapDataFormat format, QString* error) {
  if (const std::optional<QString> failed = writeFileAtomically(path, mapDataBytes(session, format))) {
    if (error) *error = QStringLiteral("地図データを書けません: %1 (%2)").arg(path, *failed);
    return false;
  }
  return true;
}

}  // namespace eq
