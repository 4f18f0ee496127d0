#include "sheet/sheet_export.h"

#include "draw/sheet_json.h"
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

namespace eq {
namespace {

constexpr int kTwipsPerPoint = 20;

bool writePdf(const SheetPicture& picture, QIODevice& device) {
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
  paintSheet(painter, picture, QRectF(page));
  return painter.end();
}

bool writeSvg(const SheetPicture& picture, QIODevice& device, double scale) {
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
  paintSheet(painter, picture, QRectF(QPointF(0, 0), size));
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

std::optional<QByteArray> sheetFileBytes(const DrawResult& drawing, const QImage& background, SheetFormat format,
                                         double scale, const QDate& created, QString* error) {
  const SheetPicture picture{drawing.sheet, background};
  switch (format) {
    case SheetFormat::Png: {
      const QImage image = renderSheetImage(picture, scale);
      if (image.isNull()) {
        if (error) *error = QStringLiteral("この倍率では画像を作れません");
        return std::nullopt;
      }
      return encodePng(image, error);
    }
    case SheetFormat::Pdf: {
      const auto pdf = paintedBytes([&](QIODevice& device) { return writePdf(picture, device); });
      if (!pdf) return std::nullopt;
      return withCreationDate(*pdf, created.isValid() ? created.startOfDay(Qt::UTC) : QDateTime::currentDateTimeUtc());
    }
    case SheetFormat::Svg: {
      // The generator writes a name's or title's control characters as they are, which
      // no XML reader accepts.
      const auto svg = paintedBytes([&](QIODevice& device) { return writeSvg(picture, device, scale); });
      if (!svg) return std::nullopt;
      const QByteArray fonts = withFontFallbacks(*svg);
      const std::string text = xmlCharacters(std::string_view(fonts.constData(), static_cast<std::size_t>(fonts.size())));
      return QByteArray(text.data(), static_cast<qsizetype>(text.size()));
    }
    case SheetFormat::Json: {
      const std::string json = sheetJson(drawing);
      return QByteArray(json.data(), static_cast<qsizetype>(json.size()));
    }
  }
  return std::nullopt;
}

bool writeSheetFile(const DrawResult& drawing, const QImage& background, const QString& path, SheetFormat format,
                    double scale, const QDate& created, QString* error) {
  QString why;
  const std::optional<QByteArray> bytes = sheetFileBytes(drawing, background, format, scale, created, &why);
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
