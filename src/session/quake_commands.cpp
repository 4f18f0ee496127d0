#include "session/quake_commands.h"

#include "platform/regular_file.h"
#include "platform/safe_file.h"
#include "quakes/hindcast_report.h"
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
