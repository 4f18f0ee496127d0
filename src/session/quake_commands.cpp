#include "session/quake_commands.h"

#include "platform/regular_file.h"
#include "platform/safe_file.h"
#include "quakes/hindcast_report.h"
#include "session/analysis_commands.h"
#include "session/draw_command.h"
#include "session/messages.h"
#include "session/session.h"
#include "sheet/sheet_export.h"

#include <QFileInfo>

namespace eq {

CatalogueLoad loadQuakeCatalogue(const QString& path) {
  CatalogueLoad load;
  const auto refuse = [&](const QString& why) {
    load.error = QStringLiteral("地震カタログを読み込めません: %1\n理由: %2").arg(path, why);
    return load;
  };
  const FileBytes file = readRegularFile(path, static_cast<qint64>(kMaxCatalogueBytes) + 1);
  if (!file.bytes) return refuse(file.reason);
  CatalogueReading reading = readCatalogue(std::string_view(file.bytes->constData(), static_cast<std::size_t>(file.bytes->size())));
  if (!reading.catalogue) return refuse(QString::fromStdString(reading.refusal));
  const Catalogue& c = *reading.catalogue;
  QStringList skipped;
  if (c.skippedWithoutMagnitude) skipped << QStringLiteral("マグニチュードのない %1件").arg(c.skippedWithoutMagnitude);
  if (c.skippedOtherType) skipped << QStringLiteral("地震以外の %1件").arg(c.skippedOtherType);
  if (c.unreadable) skipped << QStringLiteral("読めない %1件").arg(c.unreadable);
  if (!skipped.isEmpty()) {
    load.note = QStringLiteral("地震 %1件を読み込み、%2を除きました。").arg(c.quakes.size()).arg(skipped.join(QStringLiteral("、")));
    for (const std::string& message : c.messages) load.note += QLatin1Char('\n') + QString::fromStdString(message);
  }
  load.catalogue = std::make_shared<const Catalogue>(std::move(*reading.catalogue));
  return load;
}

void setQuakeOverlay(Session& session, std::shared_ptr<const Catalogue> catalogue, const QString& path,
                     double minMagnitude, int days) {
  QuakeOverlay& overlay = session.analysis.quakes;
  session.analysis.quakeCatalogue = catalogue;
  session.analysis.quakeCatalogueFile = catalogue ? path : QString();
  overlay.quakes = catalogue ? std::shared_ptr<const std::vector<Quake>>(catalogue, &catalogue->quakes) : nullptr;
  overlay.minMagnitude = minMagnitude;
  overlay.days = days;
}

std::optional<QString> askQuakeCatalogue(Session& session) {
  FileDialogRequest request;
  request.title = QStringLiteral("地震カタログ (USGS の CSV または GeoJSON) を選択してください");
  request.filter = QStringLiteral("地震カタログ (*.csv *.geojson *.json)|*.csv *.geojson *.json");
  request.initialPath = session.analysis.quakeCatalogueFile;
  session.refreshView();
  return session.platform().openFileDialog(request);
}

namespace {

// A sheet on show is drawn again, so that the overlay's change shows at once.
void redraw(Session& session) {
  if (!session.surface().sheet().empty()) runDrawCommand(session);
}

}  // namespace

bool overlayQuakes(Session& session, const QString& path, double minMagnitude, int days) {
  const CatalogueLoad load = loadQuakeCatalogue(path);
  if (!load.catalogue) {
    warnUser(session, load.error);
    return false;
  }
  setQuakeOverlay(session, load.catalogue, path, minMagnitude, days);
  redraw(session);
  if (!load.note.isEmpty()) warnUser(session, load.note);
  return true;
}

void removeQuakeOverlay(Session& session) {
  setQuakeOverlay(session, nullptr, QString(), session.analysis.quakes.minMagnitude, session.analysis.quakes.days);
  redraw(session);
}

DrawInputs hindcastInputs(const Session& session) {
  LastGoodValues lastGood = session.lastGood;
  return drawSetUp(session, lastGood, QDate(2000, 1, 1)).inputs;
}

void saveHindcastReport(Session& session, const Hindcast& report) {
  const std::optional<QString> path = askSavePath(
      session, QStringLiteral("検証結果を保存"),
      QStringLiteral("JSON (*.json)|*.json||CSV (*.csv)|*.csv||PNG 画像 (*.png)|*.png||SVG (*.svg)|*.svg"),
      session.imageFolder);
  if (!path) return;
  const std::optional<ReportFormat> format = reportFormatForPath(*path);
  if (!format) {
    warnUser(session, QStringLiteral("ファイル名の拡張子を .json .csv .png .svg のいずれかにしてください。\n") + *path);
    return;
  }
  QString error;
  if (!writeHindcastReport(report, *path, *format, &error)) warnUser(session, error);
}

std::optional<ReportFormat> reportFormatForPath(const QString& path) {
  const QString suffix = QFileInfo(path).suffix().toLower();
  if (suffix == QLatin1String("json")) return ReportFormat::Json;
  if (suffix == QLatin1String("csv")) return ReportFormat::Csv;
  if (suffix == QLatin1String("png")) return ReportFormat::Png;
  if (suffix == QLatin1String("svg")) return ReportFormat::Svg;
  return std::nullopt;
}

bool writeHindcastReport(const Hindcast& report, const QString& path, ReportFormat format, QString* error) {
  if (format == ReportFormat::Png || format == ReportFormat::Svg) {
    DrawResult picture;
    picture.sheet = hindcastPlot(report);
    return writeSheetFile(picture, QImage(), path, format == ReportFormat::Png ? SheetFormat::Png : SheetFormat::Svg, 1,
                          QDate(), error);
  }
  const std::string text = format == ReportFormat::Json ? hindcastJson(report) : hindcastCsv(report);
  if (const std::optional<QString> failed = writeFileAtomically(path, QByteArray::fromStdString(text))) {
    if (error) *error = QStringLiteral("検証結果を書けません: %1 (%2)").arg(path, *failed);
    return false;
  }
  return true;
}

}  // namespace eq
