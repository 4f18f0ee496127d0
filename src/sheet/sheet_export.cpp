#include "sheet/sheet_export.h"

#include "map/json_text.h"
#include "map/xml_text.h"
#include "platform/fonts.h"
#include "platform/safe_file.h"
#include "sheet/png_writer.h"
#include "sheet/sheet_renderer.h"

#include <QBuffer>
#include <QCryptographicHash>
#include <QDateTime>
#include <QFileInfo>
#include <QPageSize>
#include <QPainter>
#include <QPdfWriter>
#include <QSvgGenerator>
#include <cstdio>

namespace eq {
namespace {

constexpr int kTwipsPerPoint = 20;

std::string colorText(QRgb color) {
  char buf[8];
  std::snprintf(buf, sizeof buf, "#%02x%02x%02x", qRed(color), qGreen(color), qBlue(color));
  return buf;
}

// Each item as an object: its type, its coordinates in map units, its colours.
struct ItemWriter {
  JsonWriter& json;
  void operator()(const SheetPoint& item) {
    json.key("type").string("point").key("x").number(item.x).key("y").number(item.y);
    json.key("color").string(colorText(item.color));
  }
  void operator()(const SheetLine& item) {
    json.key("type").string("line").key("x1").number(item.x1).key("y1").number(item.y1);
    json.key("x2").number(item.x2).key("y2").number(item.y2).key("color").string(colorText(item.color));
  }
  void operator()(const SheetCircle& item) {
    json.key("type").string("circle").key("x").number(item.x).key("y").number(item.y).key("r").number(item.r);
    json.key("color").string(colorText(item.color)).key("fill");
    if (item.fill) {
      json.string(colorText(*item.fill));
    } else {
      json.null();
    }
  }
  void operator()(const SheetPolyline& item) {
    json.key("type").string("polyline").key("points").beginArray();
    for (const QPointF& point : item.points) json.beginArray().number(point.x()).number(point.y()).endArray();
    json.endArray().key("color").string(colorText(item.color));
  }
  void operator()(const SheetText& item) {
    json.key("type").string("text").key("x").number(item.x).key("y").number(item.y);
    json.key("color").string(colorText(item.color)).key("text").string(item.text.toStdString());
  }
};

bool writePdf(const Sheet& sheet, QIODevice& device) {
  waitForFontSetUp();  // the PDF engine looks at fonts of its own
  QPdfWriter writer(&device);
  writer.setCreator(QStringLiteral("地震サークル"));
  writer.setTitle(QStringLiteral("地震サークル"));
  // One page of the sheet's size, 18000 x 12800 twips (900 x 640 points), no margins;
  // at 1440 dots per inch one device unit is one map unit.
  writer.setPageSize(QPageSize(QSizeF(double(kSheetWidth) / kTwipsPerPoint, double(kSheetHeight) / kTwipsPerPoint),
                               QPageSize::Point, QStringLiteral("Sheet"), QPageSize::ExactMatch));
  writer.setPageMargins(QMarginsF(0, 0, 0, 0));
  writer.setResolution(1440);
  QPainter painter;
  if (!painter.begin(&writer)) return false;
  const QRect page = painter.viewport();
  paintSheet(painter, sheet, QRectF(page));
  return painter.end();
}

bool writeSvg(const Sheet& sheet, QIODevice& device, double scale) {
  waitForFontSetUp();  // likewise the SVG generator
  const QSizeF size(kSheetWidth / kMapUnitsPerScreenPixel * scale, kSheetHeight / kMapUnitsPerScreenPixel * scale);
  QSvgGenerator generator;
  generator.setOutputDevice(&device);
  generator.setTitle(QStringLiteral("地震サークル"));
  generator.setSize(size.toSize());
  generator.setViewBox(QRectF(QPointF(0, 0), size));
  generator.setResolution(96);
  QPainter painter;
  if (!painter.begin(&generator)) return false;
  paintSheet(painter, sheet, QRectF(QPointF(0, 0), size));
  return painter.end();
}

// Qt writes the time of writing as the PDF's creation date and no file identifier, so
// the same sheet never gave the same file. The date becomes `created` (the objects
// behind it move, and the cross-reference table and its start are moved with them), and
// the trailer gets an identifier made from the file's bytes. A file of another shape
// than Qt's is left as it is.
QByteArray withCreationDate(QByteArray pdf, const QDateTime& created) {
  const QByteArray key = "/CreationDate (";
  const qsizetype value = pdf.indexOf(key) + key.size();
  const qsizetype valueEnd = pdf.indexOf(')', value);
  const qsizetype xref = pdf.lastIndexOf("\nxref\n0 ");
  const qsizetype start = pdf.lastIndexOf("\nstartxref\n");
  const qsizetype trailerEnd = pdf.lastIndexOf(">>\nstartxref\n");
  if (value < key.size() || valueEnd < 0 || xref < valueEnd || start < xref || trailerEnd < xref) return pdf;

  const QDateTime utc = created.toUTC();
  const QByteArray date = QStringLiteral("D:%1%2%3%4%5%6Z")
                              .arg(utc.date().year(), 4, 10, QLatin1Char('0'))
                              .arg(utc.date().month(), 2, 10, QLatin1Char('0'))
                              .arg(utc.date().day(), 2, 10, QLatin1Char('0'))
                              .arg(utc.time().hour(), 2, 10, QLatin1Char('0'))
                              .arg(utc.time().minute(), 2, 10, QLatin1Char('0'))
                              .arg(utc.time().second(), 2, 10, QLatin1Char('0'))
                              .toLatin1();
  const qsizetype shift = date.size() - (valueEnd - value);

  // "startxref", then the table's "0 N" line and its N entries "oooooooooo ggggg n \n",
  // each 20 bytes; from the end backwards, so that what is still to change stays put.
  const qsizetype number = start + qsizetype(sizeof "\nstartxref\n") - 1;
  const qsizetype numberEnd = pdf.indexOf('\n', number);
  const qint64 table = pdf.mid(number, numberEnd - number).trimmed().toLongLong();
  pdf.replace(number, numberEnd - number, QByteArray::number(table + shift) + ' ');
  const qsizetype header = xref + qsizetype(sizeof "\nxref\n") - 1;
  const qsizetype headerEnd = pdf.indexOf('\n', header);
  const int entries = pdf.mid(header, headerEnd - header).split(' ').value(1).toInt();
  for (int k = 0; k < entries; ++k) {
    const qsizetype entry = headerEnd + 1 + qsizetype(k) * 20;
    const qint64 offset = pdf.mid(entry, 10).toLongLong();
    if (offset > value) pdf.replace(entry, 10, QByteArray::number(offset + shift).rightJustified(10, '0'));
  }
  pdf.replace(value, valueEnd - value, date);

  const QByteArray id = QCryptographicHash::hash(pdf, QCryptographicHash::Md5).toHex();
  pdf.insert(trailerEnd + shift, "/ID [<" + id + "> <" + id + ">]\n");
  return pdf;
}

// Qt's SVG names only the sheet's own font, which few systems have; a viewer without it
// takes its default, often without Japanese. The font's fallbacks follow it (the IPA
// fonts among them), then a generic family.
QByteArray withFontFallbacks(QByteArray svg) {
  const QStringList families = sheetFont(1).families();
  QStringList listed;
  for (const QString& family : families) listed << QLatin1Char('\'') + family + QLatin1Char('\'');
  listed << QStringLiteral("sans-serif");
  return svg.replace("font-family=\"" + families.value(0).toUtf8() + '"',
                     "font-family=\"" + listed.join(QStringLiteral(", ")).toUtf8() + '"');
}

// A vector format painted into memory.
template <typename Paint>
std::optional<QByteArray> paintedBytes(Paint&& paint) {
  QByteArray bytes;
  QBuffer buffer(&bytes);
  if (!buffer.open(QIODevice::WriteOnly) || !paint(buffer)) return std::nullopt;
  buffer.close();
  return bytes;
}

}  // namespace

std::optional<SheetFormat> sheetFormatForPath(const QString& path) {
  const QString suffix = QFileInfo(path).suffix().toLower();
  if (suffix == QLatin1String("png")) return SheetFormat::Png;
  if (suffix == QLatin1String("pdf")) return SheetFormat::Pdf;
  if (suffix == QLatin1String("svg")) return SheetFormat::Svg;
  if (suffix == QLatin1String("json")) return SheetFormat::Json;
  return std::nullopt;
}

QByteArray sheetJson(const Sheet& sheet, const SheetDumpExtras& extras) {
  std::string out;
  out.reserve(sheet.items().size() * 64 + 1024);
  JsonWriter json(out);
  json.beginObject().key("width").number(kSheetWidth).key("height").number(kSheetHeight).key("background");
  if (sheet.backgroundName().isEmpty()) {
    json.null();
  } else {
    json.string(sheet.backgroundName().toStdString());
  }
  json.key("items").beginArray();
  ItemWriter writer{json};
  for (const SheetItem& item : sheet.items()) {
    json.beginObject();
    std::visit(writer, item);
    json.endObject();
  }
  json.endArray().key("rows").beginArray();
  for (const SheetRowEntry& row : extras.rows) {
    json.beginObject().key("row").number(row.row).key("state").string(row.state.toStdString());
    json.key("radiusKm").number(row.radiusKm).key("circle").boolean(row.circle).endObject();
  }
  json.endArray().key("countLabel").string(extras.countLabel.toStdString());
  json.key("warningVisible").boolean(extras.warningVisible).key("circleMode").string(circleModeName(extras.circleMode));
  json.key("crossings").beginArray();
  for (const Crossing& c : extras.crossings) {
    json.beginObject().key("rows").beginArray().number(c.rowA).number(c.rowB).endArray();
    json.key("x").number(c.x).key("y").number(c.y).key("lat").number(c.latitude).key("lon").number(c.longitude);
    json.key("onSheet").boolean(c.onSheet).key("support").number(c.support).endObject();
  }
  json.endArray().endObject().endLine();
  return QByteArray(out.data(), static_cast<qsizetype>(out.size()));
}

std::optional<QByteArray> sheetFileBytes(const Sheet& sheet, SheetFormat format, double scale,
                                         const SheetDumpExtras& extras, QString* error) {
  switch (format) {
    case SheetFormat::Png: {
      const QImage image = renderSheetImage(sheet, scale);
      if (image.isNull()) {
        if (error) *error = QStringLiteral("この倍率では画像を作れません");
        return std::nullopt;
      }
      return encodePng(image, error);
    }
    case SheetFormat::Pdf: {
      const auto pdf = paintedBytes([&](QIODevice& device) { return writePdf(sheet, device); });
      if (!pdf) return std::nullopt;
      const QDateTime created = extras.created.isValid() ? extras.created.startOfDay(Qt::UTC)
                                                         : QDateTime::currentDateTimeUtc();
      return withCreationDate(*pdf, created);
    }
    case SheetFormat::Svg: {
      // The generator writes a name's or title's control characters as they are, which
      // no XML reader accepts.
      const auto svg = paintedBytes([&](QIODevice& device) { return writeSvg(sheet, device, scale); });
      if (!svg) return std::nullopt;
      const QByteArray fonts = withFontFallbacks(*svg);
      const std::string text = xmlCharacters(std::string_view(fonts.constData(), static_cast<std::size_t>(fonts.size())));
      return QByteArray(text.data(), static_cast<qsizetype>(text.size()));
    }
    case SheetFormat::Json: return sheetJson(sheet, extras);
  }
  return std::nullopt;
}

bool writeSheetFile(const Sheet& sheet, const QString& path, SheetFormat format, double scale,
                    const SheetDumpExtras& extras, QString* error) {
  QString why;
  const std::optional<QByteArray> bytes = sheetFileBytes(sheet, format, scale, extras, &why);
  if (!bytes) {
    if (error) *error = QStringLiteral("出力ファイルを作れません: %1 (%2)").arg(path, why);
    return false;
  }
  if (const std::optional<QString> failed = writeFileAtomically(path, *bytes)) {
    if (error) *error = QStringLiteral("出力ファイルを書けません: %1 (%2)").arg(path, *failed);
    return false;
  }
  return true;
}

}  // namespace eq
