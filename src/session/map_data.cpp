#include "session/map_data.h"

#include "platform/safe_file.h"
#include "draw/messages.h"
#include "session/session.h"

#include <QFileInfo>
#include <QStringList>

namespace eq {

std::optional<MapDataFormat> mapDataFormatForPath(const QString& path) {
  const QString suffix = QFileInfo(path).suffix().toLower();
  if (suffix == QLatin1String("geojson")) return MapDataFormat::GeoJson;
  if (suffix == QLatin1String("kml")) return MapDataFormat::Kml;
  return std::nullopt;
}

QByteArray mapDataBytes(const Session& session, MapDataFormat format, QString* note) {
  const MapExport map = mapExport(session.surface().inputs(), session.surface().drawing());
  const MapText text = format == MapDataFormat::GeoJson ? geoJson(map) : kml(map);
  if (note) {
    note->clear();
    if (!text.circlesLeftOut.empty()) *note = QString::fromStdString(text::circlesLeftOut(text.circlesLeftOut));
  }
  return QByteArray(text.text.data(), static_cast<qsizetype>(text.text.size()));
}

bool writeMapDataFile(const Session& session, const QString& path, MapDataFormat format, QString* error,
                      QString* note) {
  if (const std::optional<QString> failed = writeFileAtomically(path, mapDataBytes(session, format, note))) {
    if (error) *error = QStringLiteral("地図データを書けません: %1 (%2)").arg(path, *failed);
    return false;
  }
  return true;
}

}  // namespace eq
