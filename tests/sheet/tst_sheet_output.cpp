// The sheet's renderer and files, on sheets built by hand: one-pixel lines at every scale,
// the background unscaled, far-off items harmless; the PNG writer against Qt's reader, the PDF
// rasterised by poppler, SVG, the JSON dump against a hand-written one, files whole or none.

#include "common/files.h"
#include "sheet/png_writer.h"
#include "sheet/sheet_export.h"
#include "sheet/sheet_renderer.h"

#include <QSvgRenderer>
#include <QtTest>

using namespace eq;
using namespace eq::test;

namespace {

constexpr QRgb kBlack = qRgb(0, 0, 0);
constexpr QRgb kRed = qRgb(255, 0, 0);
// Red discs near the four corners and in the middle, and an open circle round the middle.
const QPointF kDiscs[] = {{1500, 1500}, {16500, 1500}, {1500, 11300}, {16500, 11300}, {9000, 6400}};

Sheet discSheet() {
  Sheet sheet;
  for (const QPointF& c : kDiscs) sheet.add(SheetCircle{float(c.x()), float(c.y()), 150, kRed, kRed});
  sheet.add(SheetCircle{9000, 6400, 4000, kRed, std::nullopt});
  sheet.add(SheetText{3300, 480, kBlack, QStringLiteral("1000 km")});
  return sheet;
}

// Dark pixels in column x from y0 down over twelve rows.
int darkRun(const QImage& image, int x, int y0) {
  int count = 0;
  for (int y = y0; y < y0 + 12; ++y) count += qGray(image.pixel(x, y)) < 128;
  return count;
}

// What the dump of the sheet in jsonDump() must say, written by hand (\u0022 is a double
// quote: moc misreads an escaped one in a raw string).
const QByteArray kExpectedJson = R"({"width": 18000, "height": 12800, "background": "JapanMap3.bmp", "items": [
  {"type": "point", "x": 1154.5, "y": 0.1, "color": "#000000"},
  {"type": "line", "x1": 500, "y1": 800, "x2": 3500, "y2": 800, "color": "#000000"},
  {"type": "circle", "x": 9000, "y": 6400, "r": 20, "color": "#ff0000", "fill": "#ff0000"},
  {"type": "circle", "x": 9000, "y": 6400, "r": -3, "color": "#ff0000", "fill": null},
  {"type": "polyline", "points": [[1, 2], [3.5, -4]], "color": "#0000ff"},
  {"type": "text", "x": 15720, "y": 1200, "color": "#0000ff", "text": "桜\u0022島\u0022\n"}],
  "rows": [{"row": 1, "state": "drawn", "radiusKm": 438.5}, {"row": 2, "state": "excluded", "radiusKm": null}],
  "countLabel": "描画データ数  =  1", "warningVisible": true, "circleMode": "geodesic",
  "crossings": [{"rows": [1, 3], "x": 9000.5, "y": -2, "lat": 54.25, "lon": 135, "onSheet": false, "support": 3}]})";

}  // namespace

class TestSheetOutput : public QObject {
  Q_OBJECT
 private slots:
  void linesAndPointsOneScreenPixel() {
    Sheet sheet;
    sheet.add(SheetLine{600, 750, 6000, 750, kBlack});
    sheet.add(SheetPoint{3000, 3000, kBlack});
    for (const int scale : {1, 2, 3}) {
      const QImage image = renderSheetImage(sheet, scale);
      QCOMPARE(image.size(), QSize(1200 * scale, int(std::lround(12800 / 15.0 * scale))));
      const auto px = [scale](int mapUnits) { return mapUnits * scale / 15; };
      QCOMPARE(darkRun(image, px(2000), px(750) - 4), scale);
      QCOMPARE(darkRun(image, px(3000) + scale / 2, px(3000) - 4), scale);
    }
  }

  void backgroundIsUnscaled() {
    QImage bitmap(40, 30, QImage::Format_RGB32);
    bitmap.fill(qRgb(10, 120, 200));
    Sheet sheet;
    sheet.setBackground(bitmap, QStringLiteral("map.bmp"));
    const QImage image = renderSheetImage(sheet);
    QCOMPARE(image.pixel(0, 0), qRgb(10, 120, 200));
    QCOMPARE(image.pixel(39, 29), qRgb(10, 120, 200));
    QCOMPARE(image.pixel(40, 29), qRgb(255, 255, 255));
    QCOMPARE(image.pixel(39, 30), qRgb(255, 255, 255));
  }

  void farAwayItemsAreHarmless() {
    Sheet sheet;
    sheet.add(SheetCircle{-3e30f, 2e30f, 1e6f, kRed, kRed});
    sheet.add(SheetCircle{9000, 6400, 1e9f, kRed, std::nullopt});  // outline far beyond every edge
    sheet.add(SheetPoint{-1e30f, 1e30f, kBlack});
    sheet.add(SheetText{3e38f, 5, kBlack, QStringLiteral("遠い")});
    QCOMPARE(renderSheetImage(sheet), renderSheetImage(Sheet()));
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
    QVERIFY2(writeSheetFile(discSheet(), path, SheetFormat::Pdf, 1.0, {}, &error), qPrintable(error));
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
    QVERIFY(writeSheetFile(discSheet(), dir.filePath("sheet.svg"), SheetFormat::Svg, 1.0, {}, nullptr));
    const QRectF box = QSvgRenderer(dir.filePath("sheet.svg")).viewBoxF();
    QVERIFY(box.width() == 1200 && std::fabs(box.height() - 12800 / 15.0) < 0.01);
    QVERIFY(readFile(dir.filePath("sheet.svg")).contains("width=\"317.5mm\""));  // 1200 pixels at 96 per inch
  }

  void jsonDump() {
    Sheet sheet;
    sheet.setBackground(QImage(2, 2, QImage::Format_RGB32), QStringLiteral("JapanMap3.bmp"));
    sheet.add(SheetPoint{1154.5f, 0.1f, kBlack});
    sheet.add(SheetLine{500, 800, 3500, 800, kBlack});
    sheet.add(SheetCircle{9000, 6400, 20, kRed, kRed});
    sheet.add(SheetCircle{9000, 6400, -3, kRed, std::nullopt});
    sheet.add(SheetPolyline{{{1, 2}, {3.5, -4}}, qRgb(0, 0, 255)});
    sheet.add(SheetText{15720, 1200, qRgb(0, 0, 255), QStringLiteral("桜\"島\"\n")});
    const SheetDumpExtras extras{{{1, "drawn", 438.5}, {2, "excluded", std::nullopt}},
                                 "描画データ数  =  1",
                                 true,
                                 CircleMode::Geodesic,
                                 {Crossing{1, 3, 9000.5, -2, 54.25, 135, false, 3}}};
    const QByteArray json = sheetJson(sheet, extras);
    QVERIFY(!QJsonDocument::fromJson(kExpectedJson).isNull());
    QCOMPARE(QJsonDocument::fromJson(json), QJsonDocument::fromJson(kExpectedJson));
    QVERIFY(json.contains("\"y\":0.1,"));  // the float's shortest form, not 0.100000001
    QVERIFY(sheetFormatForPath("地図.JSON") == SheetFormat::Json && !sheetFormatForPath("x.bmp"));
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
      QVERIFY(!writeSheetFile(discSheet(), dir.filePath(name), format, scale, {}, &error));
      QVERIFY2(error.contains(dir.filePath(name)), qPrintable(error));
    }
    QCOMPARE(readFile(old), QByteArray("old"));
    QCOMPARE(QDir(dir.path()).entryList(QDir::Files), QStringList{QStringLiteral("old.png")});
  }
};

QTEST_MAIN(TestSheetOutput)
#include "tst_sheet_output.moc"
