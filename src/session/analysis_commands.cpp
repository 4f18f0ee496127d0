#include "session/analysis_commands.h"

#include "session/map_data.h"
#include "session/messages.h"
#include "session/session.h"
#include "sheet/sheet_export.h"

#include <QFileInfo>

namespace eq {
namespace {

QString coordinate(double degrees) { return QString::number(degrees, 'f', 4); }

}  // namespace

std::optional<QString> askSavePath(Session& session, const QString& title, const QString& filter, QString& folder) {
  FileDialogRequest request;
  request.title = title;
  request.filter = filter;
  request.initialPath = folder;
  session.refreshView();
  std::optional<QString> path = session.platform().saveFileDialog(request);
  if (path) folder = QFileInfo(*path).absolutePath();
  return path;
}

void setCrossingMarks(Session& session, bool on) {
  session.analysis.showCrossings = on;
  if (!on || session.surface().drawing().anyDrawn()) session.surface().setCrossingMarks(on);
}

void setGeodesicCircles(Session& session, bool on) {
  session.analysis.circleMode = on ? CircleMode::Geodesic : CircleMode::Classic;
}

QStringList crossingListHeader() {
  QStringList header;
  for (const std::string& cell : text::crossingListHeader()) header << messageText(cell);
  return header;
}

std::vector<CrossingLine> crossingList(const Session& session) {
  const auto name = [&session](int row) { return QString::fromStdString(session.surface().inputs().rows[row].values.name); };
  std::vector<CrossingLine> lines;
  for (const Crossing& c : session.surface().drawing().crossings) {
    lines.push_back({{QString::number(c.rowA), name(c.rowA), QString::number(c.rowB),
                      name(c.rowB), coordinate(c.latitude), coordinate(c.longitude),
                      QString::number(c.support), c.onSheet ? QStringLiteral("○") : QStringLiteral("図の外")}});
  }
  return lines;
}

void copyCrossingList(Session& session) {
  // Tabs and line breaks inside a name would break the table: they become blanks.
  const auto cellText = [](QString cell) {
    for (QChar& c : cell) {
      if (c == QLatin1Char('\t') || c == QLatin1Char('\n') || c == QLatin1Char('\r')) c = QLatin1Char(' ');
    }
    return cell;
  };
  QString text;
  const auto addLine = [&](const QStringList& cells) {
    QStringList cleaned;
    for (const QString& cell : cells) cleaned << cellText(cell);
    text += cleaned.join(QLatin1Char('\t')) + QLatin1Char('\n');
  };
  addLine(crossingListHeader());
  for (const CrossingLine& line : crossingList(session)) addLine(line.cells);
  if (!session.platform().setClipboardText(text)) warnUser(session, QString::fromUtf8(text::kNoClipboard));
}

void saveSheetImage(Session& session) {
  const std::optional<QString> path =
      askSavePath(session, QStringLiteral("画像として保存"),
                  QStringLiteral("PNG 画像 (*.png)|*.png||PDF (*.pdf)|*.pdf||SVG (*.svg)|*.svg"), session.imageFolder);
  if (!path) return;
  const std::optional<SheetFormat> format = sheetFormatForPath(*path);
  if (!format || *format == SheetFormat::Json) {
    warnUser(session, QStringLiteral("ファイル名の拡張子を .png .pdf .svg のいずれかにしてください。\n") + *path);
    return;
  }
  QString error;
  const DrawingSurface& surface = session.surface();
  if (!writeSheetFile(surface.drawing(), surface.background(), *path, *format, 1.0, QDate(), &error)) {
    warnUser(session, error);
  }
}

void saveMapData(Session& session) {
  if (!session.surface().drawing().anyDrawn()) {
    warnUser(session, QString::fromUtf8(text::kNothingToExport));
    return;
  }
  const std::optional<QString> path = askSavePath(session, QStringLiteral("地図データとして保存"),
                                                 QStringLiteral("GeoJSON (*.geojson)|*.geojson||KML (*.kml)|*.kml"),
                                                 session.mapDataFolder);
  if (!path) return;
  const std::optional<MapDataFormat> format = mapDataFormatForPath(*path);
  if (!format) {
    warnUser(session, QStringLiteral("ファイル名の拡張子を .geojson か .kml にしてください。\n") + *path);
    return;
  }
  QString error;
  QString note;
  if (!writeMapDataFile(session, *path, *format, &error, &note)) {
    warnUser(session, error);
  } else if (!note.isEmpty()) {
    warnUser(session, note);
  }
}

}  // namespace eq
