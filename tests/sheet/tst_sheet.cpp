// The sheet's side of the toolkit against values worked out by hand: the renderer (lines,
// points, background, far-off items), the files (PNG, PDF rasterised by poppler, SVG read
// back by Qt's SVG and XML readers), the PNG frame encoder; and the map data read back by
// Qt's JSON and XML readers.

#include "analysis/crossings.h"
#include "analysis/map_export.h"
#include "common/files.h"
#include "platform/helper_thread.h"
#include "sheet/png_frame_encoder.h"
#include "sheet/png_writer.h"
#include "sheet/sheet_export.h"
#include "sheet/sheet_renderer.h"

#include <QPainter>
#include <QSvgRenderer>
#include <QtTest>
#include <cmath>
#include <sys/resource.h>

using namespace eq;
using namespace eq::test;

Q_DECLARE_METATYPE(eq::CircleMode)

namespace {

const QString kBad(QChar(0xFFFD));

const std::string kAwkwardName = "浅間\"山\\\n\x01\xEF\xBF\xBF" "end";

// The export of these volcanoes for 1 January 2024, with the crossings of their circles.
MapExport mapOf(std::vector<VolcanoFeature> volcanoes, CircleMode mode) {
  MapExport map;
  map.prediction = {2024, 1, 1};
  map.mode = mode;
  std::vector<CircleInput> circles;
  for (const VolcanoFeature& v : volcanoes) {
    if (v.radiusKm) circles.push_back({v.row, v.latitude, v.longitude, *v.radiusKm});
  }
  map.crossings = findCrossings(circles, mode);
  map.volcanoes = std::move(volcanoes);
  return map;
}

MapExport sample(CircleMode mode) {
  return mapOf({{1, kAwkwardName, {1783, 8, 5}, 54, 135, 888.8, "drawn"},
                {2, "<B & 'C'>", {1990, 11, 17}, 44, 135, 666.6, "drawn"},
                {3, "", {2000, 0, 0}, 40.1f, 140.2f, std::nullopt, "drawn"},
                {4, "x", {2030, 1, 1}, 35, 500, std::nullopt, "excluded"},
                {5, "y", {0, 0, 0}, 0, 0, std::nullopt, "skipped"}},
               mode);
}

// Red discs near the four corners and in the middle, and an open circle round the middle.
const QPointF kDiscs[] = {{1500, 1500}, {16500, 1500}, {1500, 11300}, {16500, 11300}, {9000, 6400}};

DrawResult discSheet() {
  DrawResult drawing;
  std::vector<SheetItem>& items = drawing.sheet.items;
  for (const QPointF& c : kDiscs) items.push_back(SheetCircle{float(c.x()), float(c.y()), 150, kRed, kRed});
  items.push_back(SheetCircle{9000, 6400, 4000, kRed, std::nullopt});
  items.push_back(SheetText{3300, 480, kBlack, "1000 km"});
  return drawing;
}

const QImage kNoBackground;

QImage image(const Sheet& sheet, double scale = 1, const QImage& background = kNoBackground) {
  return renderSheetImage({sheet, background}, scale);
}

// Dark pixels in column x from y0 down over twelve rows.
int darkRun(const QImage& image, int x, int y0) {
  int count = 0;
  for (int y = y0; y < y0 + 12; ++y) count += qGray(image.pixel(x, y)) < 128;
  return count;
}

// Every pixel different from its neighbours, so a stale piece cannot go unnoticed.
QImage pattern(QSize size) {
  QImage image(size, QImage::Format_RGB32);
  for (int y = 0; y < size.height(); ++y) {
    for (int x = 0; x < size.width(); ++x) image.setPixel(x, y, qRgb(x * 31 % 256, y * 7 % 256, (x + y) * 13 % 256));
  }
  return image;
}

QImage decoded(const std::optional<QByteArray>& png) {
  if (!png) return {};
  return QImage::fromData(*png, "PNG").convertToFormat(QImage::Format_RGB32);
}

}  // namespace

class TestSheet : public QObject {
  Q_OBJECT
 private slots:
  void geoJson_data() {
    QTest::addColumn<CircleMode>("mode");
    QTest::newRow("classic") << CircleMode::Classic;
    QTest::newRow("geodesic") << CircleMode::Geodesic;
  }

  void geoJson() {
    QFETCH(CircleMode, mode);
    const MapText map = eq::geoJson(sample(mode));
    QVERIFY(map.circlesLeftOut.empty());
    QJsonParseError error;
    const QJsonObject root = QJsonDocument::fromJson(QByteArray::fromStdString(map.text), &error).object();
    QCOMPARE(error.error, QJsonParseError::NoError);
    QCOMPARE(root.keys(), QStringList({"features", "type"}));  // a FeatureCollection has no properties
    QCOMPARE(root["type"].toString(), "FeatureCollection");

    const QJsonArray features = root["features"].toArray();
    QStringList kinds;
    for (const QJsonValue f : features) {
      kinds << f["geometry"]["type"].toString() + " " + f["properties"]["kind"].toString();
      QCOMPARE(f["properties"]["predictionDate"].toString(), "2024-01-01");
      QCOMPARE(f["properties"]["circleMode"].toString(), circleModeName(mode));
    }
    QCOMPARE(kinds, QStringList({"Point volcano", "Point volcano", "Point volcano", "Point volcano", " volcano",
                                 "Polygon circle", "Polygon circle", "Point crossing", "Point crossing"}));

    const QJsonObject first = features[0].toObject();
    QCOMPARE(first["geometry"]["coordinates"].toArray(), QJsonArray({135, 54}));  // longitude first
    QCOMPARE(first["properties"]["name"].toString(), QString::fromStdString(kAwkwardName));
    QCOMPARE(first["properties"]["radiusKm"].toDouble(), 888.8);
    QCOMPARE(first["properties"]["eruptionDate"].toString(), "1783-08-05");
    QVERIFY(first["properties"]["circle"].toBool());
    QCOMPARE(features[2]["geometry"]["coordinates"].toArray(), QJsonArray({140.2, 40.1}));  // as typed
    QCOMPARE(features[2]["properties"]["eruptionDate"].toString(), "2000");
    QCOMPARE(features[2]["properties"]["eruptionYearMonthDay"].toArray(), QJsonArray({2000, 0, 0}));
    for (int i : {2, 3}) {
      QVERIFY(features[i]["properties"]["radiusKm"].isNull() && !features[i]["properties"]["circle"].toBool());
    }
    QCOMPARE(features[3]["properties"]["state"].toString(), "excluded");
    QCOMPARE(features[3]["geometry"]["coordinates"].toArray(), QJsonArray({140, 35}));  // 500 E is 140 E
    QCOMPARE(features[4]["properties"]["state"].toString(), "skipped");  // no year: neither place nor date
    QVERIFY(features[4]["properties"]["eruptionDate"].isNull() && features[4]["properties"]["eruptionYearMonthDay"].isNull());
    QCOMPARE(features[5]["properties"]["row"].toInt(), 1);
    QCOMPARE(features[6]["properties"]["row"].toInt(), 2);

    const QJsonObject crossing = features[7].toObject();
    QCOMPARE(crossing["properties"]["rows"].toArray(), QJsonArray({1, 2}));
    QCOMPARE(crossing["properties"]["support"].toInt(), 2);
    // Both crossings lie on 135E's west side first, between the two volcanoes' parallels.
    const QJsonArray at = crossing["geometry"]["coordinates"].toArray();
    QVERIFY(at[0].toDouble() < 135 && at[1].toDouble() > 44 && at[1].toDouble() < 54);
  }

  // Circles anywhere on the globe as valid polygons round their volcano, in GeoJSON and
  // KML alike: split at the antimeridian, closed at a pole, cut off where the sheet's
  // projection ends; left out (and named) where that cannot be done.
  void kml() {
    const std::string text = eq::kml(sample(CircleMode::Classic)).text;
    QXmlStreamReader xml(QByteArray::fromStdString(text));
    QStringList names;
    QList<QStringList> rings;
    QString documentName;
    QString rootNamespace;
    QStringList predictionDates;
    while (!xml.atEnd()) {
      if (xml.readNext() != QXmlStreamReader::StartElement) continue;
      if (rootNamespace.isEmpty()) rootNamespace = xml.namespaceUri().toString();
      if (xml.name() == QLatin1String("name")) {
        (documentName.isEmpty() ? documentName : names.emplaceBack()) = xml.readElementText();
      } else if (xml.name() == QLatin1String("LinearRing")) {
        xml.readNextStartElement();
        rings << xml.readElementText().split(' ');
      } else if (xml.attributes().value("name") == QLatin1String("predictionDate")) {
        xml.readNextStartElement();
        predictionDates << xml.readElementText();
      }
    }
    QVERIFY2(!xml.hasError(), qPrintable(xml.errorString()));
    QCOMPARE(rootNamespace, "http://www.opengis.net/kml/2.2");
    QCOMPARE(documentName, QString::fromUtf8("地震サークル"));
    // The control character and U+FFFF cannot stand in XML and are replaced.
    const QString awkward = QString::fromUtf8("浅間\"山\\\n") + kBad + kBad + "end";
    QCOMPARE(names, QStringList({awkward, "<B & 'C'>", QString::fromUtf8("行 3"), "x", "y", awkward, "<B & 'C'>",
                                 QString::fromUtf8("交点 1-2"), QString::fromUtf8("交点 1-2")}));
    QCOMPARE(predictionDates, QStringList(9, "2024-01-01"));  // in every placemark
    QCOMPARE(rings.size(), 2);
    for (const QStringList& ring : rings) {
      QVERIFY(ring.size() >= 361);
      QCOMPARE(ring.first(), ring.last());
      QCOMPARE(ring.first().split(',').size(), 2);
    }
  }

  void linesAndPointsOneScreenPixel() {
    Sheet sheet;
    sheet.items = {SheetLine{600, 750, 6000, 750, kBlack}, SheetPoint{3000, 3000, kBlack}};
    for (const int scale : {1, 2, 3}) {
      const QImage image = ::image(sheet, scale);
      QCOMPARE(image.size(), QSize(1200 * scale, int(std::lround(12800 / 15.0 * scale))));
      const auto px = [scale](int mapUnits) { return mapUnits * scale / 15; };
      QCOMPARE(darkRun(image, px(2000), px(750) - 4), scale);
      QCOMPARE(darkRun(image, px(3000) + scale / 2, px(3000) - 4), scale);
    }
  }

  void backgroundIsUnscaled() {
    QImage bitmap(40, 30, QImage::Format_RGB32);
    bitmap.fill(qRgb(10, 120, 200));
    const QImage image = ::image(Sheet(), 1, bitmap);
    QCOMPARE(image.pixel(0, 0), qRgb(10, 120, 200));
    QCOMPARE(image.pixel(39, 29), qRgb(10, 120, 200));
    QCOMPARE(image.pixel(40, 29), qRgb(255, 255, 255));
    QCOMPARE(image.pixel(39, 30), qRgb(255, 255, 255));
  }

  // A palette bitmap of the sheet's own size under discs, an outline and text: the image
  // is the sheet painted in full on white ground, yet made in one image's memory, not two
  // (the image starts as the bitmap's pixels, converted by a helper thread while this one
  // makes the glyphs). tst_sheet_memory runs this in a process of its own, whose memory's
  // high-water mark nothing before it raised.
  void fullSizeBackgroundInOneImage() {
    QImage bitmap(1200, 853, QImage::Format_Indexed8);
    bitmap.setColorTable({qRgb(10, 120, 200), qRgb(240, 230, 200), qRgb(90, 90, 90)});
    for (int y = 0; y < bitmap.height(); ++y) {
      for (int x = 0; x < bitmap.width(); ++x) bitmap.scanLine(y)[x] = static_cast<uchar>((x / 7 + y / 5) % 3);
    }
    const Sheet sheet = discSheet().sheet;
    const auto highWaterKb = [] {
      rusage usage{};
      getrusage(RUSAGE_SELF, &usage);
      return usage.ru_maxrss;
    };
    ::image(sheet);  // the fonts, and the high-water mark of one image
    const long before = highWaterKb();
    const int helpers = HelperThread::started();
    const QImage image = ::image(sheet, 1, bitmap);
    QCOMPARE(HelperThread::started() - helpers, 1);
#ifndef __SANITIZE_ADDRESS__  // which holds freed memory back
    QVERIFY2(highWaterKb() - before < 2048, qPrintable(QString::number(highWaterKb() - before)));  // a second image: 4000 KB
#endif
    QImage painted(1200, 853, QImage::Format_RGB32);
    painted.fill(Qt::white);
    QPainter painter(&painted);
    paintSheet(painter, {sheet, bitmap}, QRectF(0, 0, 1200, 12800 / 15.0));
    painter.end();
    QCOMPARE(image, painted);
  }

  void farAwayItemsAreHarmless() {
    Sheet sheet;
    sheet.items = {SheetCircle{-3e30f, 2e30f, 1e6f, kRed, kRed},
                   SheetCircle{9000, 6400, 1e9f, kRed, std::nullopt},  // outline far beyond every edge
                   SheetPoint{-1e30f, 1e30f, kBlack}, SheetText{3e38f, 5, kBlack, "遠い"}};
    QCOMPARE(::image(sheet), ::image(Sheet()));
  }

  // Every row and column of an image of distinct pixels comes back from Qt's PNG reader.
  void pngWriterKeepsEveryPixel() {
    QImage image(37, 23, QImage::Format_RGB32);
    for (int y = 0; y < image.height(); ++y)
      for (int x = 0; x < image.width(); ++x) image.setPixel(x, y, qRgb(x * 7, y * 11, (x * y) % 256));
    const auto bytes = encodePng(image);
    QVERIFY(bytes);
    QCOMPARE(QImage::fromData(*bytes, "PNG").convertToFormat(QImage::Format_RGB32), image);
  }

  // One page of the sheet's size, 18000 x 12800 twips (900 x 640 points), drawn to its edges.
  void pdfShowsTheSheet() {
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("sheet.pdf"));
    QString error;
    QVERIFY2(writeSheetFile(discSheet(), kNoBackground, path, SheetFormat::Pdf, 1.0, {}, &error), qPrintable(error));
    QVERIFY(!readFile(path).contains("/Subtype /Image"));  // vectors, not a bitmap
    const QImage page = rasterisePdf(path, 144);  // one pixel per 10 map units
    QCOMPARE(page.size(), QSize(1800, 1280));
    for (const QPointF& c : kDiscs) QVERIFY(isRed(page.pixel((c / 10).toPoint())));
    bool edge = false;  // the open circle's left edge, and nothing inside it
    for (int x = 498; x <= 502; ++x) edge = edge || isRed(page.pixel(x, 640));
    QVERIFY(edge && !isRed(page.pixel(700, 640)));
    int dark = 0;  // the caption's glyphs
    for (int y = 48; y < 72; ++y)
      for (int x = 330; x < 400; ++x) dark += qGray(page.pixel(x, y)) < 128;
    QVERIFY(dark > 10);
  }

  void svgHasTheSheetsSize() {
    QTemporaryDir dir;
    QVERIFY(writeSheetFile(discSheet(), kNoBackground, dir.filePath("sheet.svg"), SheetFormat::Svg, 1.0, {}, nullptr));
    const QRectF box = QSvgRenderer(dir.filePath("sheet.svg")).viewBoxF();
    QVERIFY(box.width() == 1200 && std::fabs(box.height() - 12800 / 15.0) < 0.01);
    const QByteArray svg = readFile(dir.filePath("sheet.svg"));
    QVERIFY(svg.contains("width=\"317.5mm\""));  // 1200 pixels at 96 per inch
    // The sheet's font, then Japanese fonts a viewer may have, then any sans-serif.
    QVERIFY(svg.contains("font-family=\"'MS UI Gothic', ") && svg.contains(", 'IPAPGothic', ") &&
            svg.contains(", sans-serif\"") && !svg.contains("font-family=\"MS UI Gothic\""));
  }

  // A control character or U+FFFF in a text is written as U+FFFD, so XML readers accept the file.
  void svgHoldsOnlyXmlCharacters() {
    DrawResult drawing = discSheet();
    drawing.sheet.items.push_back(SheetText{3300, 900, kBlack, "a\x01" "b\xEF\xBF\xBF" "c"});
    const std::optional<QByteArray> svg = sheetFileBytes(drawing, kNoBackground, SheetFormat::Svg, 1.0, {}, nullptr);
    QVERIFY(svg);
    QXmlStreamReader xml(*svg);
    QString texts;
    while (!xml.atEnd()) {
      if (xml.readNext() == QXmlStreamReader::StartElement && xml.name() == QLatin1String("text"))
        texts += xml.readElementText(QXmlStreamReader::IncludeChildElements);
    }
    QVERIFY2(!xml.hasError(), qPrintable(xml.errorString()));
    QVERIFY(texts.contains("a" + kBad + "b" + kBad + "c"));
  }

  void failedWritesLeaveNothing() {
    // No folder, a folder in the file's place, an image too large to make over an old file.
    QTemporaryDir dir;
    QVERIFY(QDir(dir.path()).mkdir(QStringLiteral("taken.json")));
    const QString old = writeFile(dir.filePath(QStringLiteral("old.png")), "old");
    for (const auto& [name, format, scale] : {std::tuple{"missing/sheet.png", SheetFormat::Png, 1.0},
                                              {"taken.json", SheetFormat::Json, 1.0},
                                              {"old.png", SheetFormat::Png, 1e3}}) {
      QString error;
      QVERIFY(!writeSheetFile(discSheet(), kNoBackground, dir.filePath(name), format, scale, {}, &error));
      QVERIFY2(error.contains(dir.filePath(name)), qPrintable(error));
    }
    QCOMPARE(readFile(old), QByteArray("old"));
    QCOMPARE(QDir(dir.path()).entryList(QDir::Files), QStringList{QStringLiteral("old.png")});
  }

  void secondFrame_data() {
    QTest::addColumn<QSize>("size");
    QTest::addColumn<QList<int>>("changedRows");
    QTest::addColumn<int>("compressed");
    // 40 rows are pieces of rows 0-15, 16-31 and 32-39.
    QTest::newRow("unchanged") << QSize(7, 40) << QList<int>{} << 0;
    QTest::newRow("first piece") << QSize(7, 40) << QList<int>{5} << 1;
    QTest::newRow("both sides of a piece edge") << QSize(7, 40) << QList<int>{15, 16} << 2;
    QTest::newRow("short last piece") << QSize(7, 40) << QList<int>{39} << 1;
    QTest::newRow("every piece") << QSize(7, 40) << QList<int>{0, 20, 35} << 3;
    // 50 rows: four pieces, none taken over from a frame of another size.
    QTest::newRow("other size") << QSize(7, 50) << QList<int>{} << 4;
  }

  void secondFrame() {
    QFETCH(QSize, size);
    QFETCH(QList<int>, changedRows);
    QFETCH(int, compressed);
    PngFrameEncoder encoder;
    const QImage first = pattern(QSize(7, 40));
    QCOMPARE(decoded(encoder.encode(first)), first);
    QCOMPARE(encoder.piecesCompressed(), 3);

    QImage second = pattern(size);
    for (const int row : changedRows) second.setPixel(3, row, qRgb(255, 255, 255));
    QCOMPARE(decoded(encoder.encode(second)), second);
    QCOMPARE(encoder.piecesCompressed(), compressed);
  }

  // Images not in 32-bit RGB are converted; alpha is dropped as the sheet is opaque.
  void otherFormats() {
    PngFrameEncoder encoder;
    const QImage source = pattern(QSize(5, 20));
    QCOMPARE(decoded(encoder.encode(source.convertToFormat(QImage::Format_RGB888))), source);
    QCOMPARE(decoded(encoder.encode(source.convertToFormat(QImage::Format_ARGB32))), source);
    QString error;
    QVERIFY(!encoder.encode(QImage(), &error));
    QVERIFY(!error.isEmpty());
  }

};

QTEST_MAIN(TestSheet)
#include "tst_sheet.moc"
