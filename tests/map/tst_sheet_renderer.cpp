// The renderer and the exports: a drawn sheet against a committed golden image
// (text regions left out, so fonts may differ), one-pixel lines at every scale, the
// background unscaled, the widget's HiDPI picture, PDF, SVG and JSON output, and
// files that are written whole or not at all.

#include "common/form_fixture.h"
#include "map/draw_command.h"
#include "map/picture_box.h"
#include "map/sheet_export.h"
#include "map/sheet_renderer.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QPainter>
#include <QSvgRenderer>
#include <QTemporaryDir>
#include <QtTest>

using namespace eq;
using namespace eq::test;

namespace {

const QString kGolden = QStringLiteral(EQ_SOURCE_DIR "/tests/data/golden_sheet.png");

// A sheet as the Draw button makes it: three volcanoes, one excluded row, a title.
struct DrawnSheet : FormFixture {
  DrawnSheet() {
    form.ShowBackgroundMap = 0;
    const QStringList rows[] = {{"桜島", "2019", "11", "8", "31.58", "130.66"},
                                {"浅間山", "2004", "9", "1", "36.40", "138.52"},
                                {"有珠山", "2000", "3", "31", "42.54", "140.84"},
                                {"未来山", "2030", "1", "1", "35", "135"}};
    for (int r = 1; r <= 4; ++r) {
      fillRow(form, r, rows[r - 1]);
      form.CheckEQ(r)->setChecked(true);
    }
    setPredictionDate(form, "2024", "5", "1");
    form.TitleComment = QStringLiteral("試験用の地震サークル");
    DrawCommand(form).setToday(QDate(2026, 12, 6)).run();
  }
  const Sheet& sheet() const { return form.Picture1->sheet(); }
};

// Pixels of the image (at `scale`) that text may cover: each text's cell row from its
// top-left corner, as wide as 1.2 text heights per character plus a margin.
QImage textMask(const Sheet& sheet, QSize size, double scale) {
  QImage mask(size, QImage::Format_Grayscale8);
  mask.fill(0);
  QPainter p(&mask);
  const double k = scale / kMapUnitsPerScreenPixel;
  for (const auto& item : sheet.items()) {
    if (const auto* t = std::get_if<SheetText>(&item)) {
      const double width = (static_cast<double>(t->text.size()) * 1.2 + 1) * kSheetTextHeight;
      p.fillRect(QRectF((t->x - 60) * k, (t->y - 60) * k, width * k, 360 * k), Qt::white);
    }
  }
  return mask;
}

// Pixels outside the mask, every `step`th in each direction, that differ by more than 48 in a channel.
struct Difference {
  int compared = 0;
  int differing = 0;
};
Difference compare(const QImage& a, const QImage& b, const QImage& mask, int step = 1) {
  Difference d;
  for (int y = 0; y < a.height(); y += step) {
    for (int x = 0; x < a.width(); x += step) {
      if (qGray(mask.pixel(x, y)) != 0) continue;
      const QRgb p = a.pixel(x, y), q = b.pixel(x, y);
      ++d.compared;
      d.differing += std::max({std::abs(qRed(p) - qRed(q)), std::abs(qGreen(p) - qGreen(q)),
                               std::abs(qBlue(p) - qBlue(q))}) > 48;
    }
  }
  return d;
}

// Rows of dark pixels in column x, counted from y0 downwards over a short span.
int darkRun(const QImage& image, int x, int y0, int span) {
  int count = 0;
  for (int y = std::max(0, y0); y < std::min(image.height(), y0 + span); ++y) count += qGray(image.pixel(x, y)) < 128;
  return count;
}

// An item as one line: its kind, coordinates, colours and text, from the sheet or from its JSON.
QString number(double value) { return QString::number(double(float(value)), 'g', 9); }
QString itemText(const SheetItem& item) {
  return std::visit(
      [](const auto& i) {
        using Item = std::decay_t<decltype(i)>;
        const QString colour = QColor(i.color).name();
        if constexpr (std::is_same_v<Item, SheetPoint>) return QStringList{"point", number(i.x), number(i.y), colour};
        else if constexpr (std::is_same_v<Item, SheetLine>)
          return QStringList{"line", number(i.x1), number(i.y1), number(i.x2), number(i.y2), colour};
        else if constexpr (std::is_same_v<Item, SheetCircle>)
          return QStringList{"circle", number(i.x), number(i.y), number(i.r), colour,
                             i.fill ? QColor(*i.fill).name() : QStringLiteral("none")};
        else return QStringList{"text", number(i.x), number(i.y), colour, i.text};
      },
      item).join(' ');
}
QString itemText(const QJsonObject& o) {
  QStringList out{o.value("type").toString()};
  for (const char* key : {"x", "y", "x1", "y1", "x2", "y2", "r"})
    if (o.contains(key)) out << number(o.value(key).toDouble());
  out << o.value("color").toString();
  if (o.contains("fill")) out << (o.value("fill").isNull() ? QStringLiteral("none") : o.value("fill").toString());
  if (o.contains("text")) out << o.value("text").toString();
  return out.join(' ');
}

}  // namespace

class TestSheetRenderer : public QObject {
  Q_OBJECT
 private slots:
  void goldenImage();
  void linesAndPointsOneScreenPixel_data();
  void linesAndPointsOneScreenPixel();
  void circlesAreAntialiased();
  void backgroundIsUnscaled();
  void widgetPaintsVectorsOnHiDpi();
  void farAwayItemsAreHarmless();
  void pdfIsOnePageOfTheSheetsSize();
  void svgHasTheSheetsSize();
  void jsonHasEveryItemInOrder();
  void formatByExtension_data();
  void formatByExtension();
  void failedWriteLeavesNothing();
  void failedWriteKeepsOldFile();
};

void TestSheetRenderer::goldenImage() {
  DrawnSheet drawn;
  const QImage image = renderSheetImage(drawn.sheet()).convertToFormat(QImage::Format_RGB32);
  QCOMPARE(image.size(), QSize(1200, 853));
  if (qEnvironmentVariableIsSet("EQ_UPDATE_GOLDEN")) {
    QVERIFY(image.save(kGolden));
    QSKIP("golden image written");
  }
  const QImage golden = QImage(kGolden).convertToFormat(QImage::Format_RGB32);
  QCOMPARE(golden.size(), image.size());
  const Difference d = compare(image, golden, textMask(drawn.sheet(), image.size(), 1.0));
  QVERIFY(d.compared > image.width() * image.height() / 2);
  QVERIFY2(d.differing <= d.compared / 5000, qPrintable(QStringLiteral("%1 of %2 pixels differ").arg(d.differing)
                                                            .arg(d.compared)));
  // The texts are there, whatever the font: the creation stamp's cell has dark blue pixels.
  int blue = 0;
  const int createdTop = static_cast<int>(9 * 240 / 15.0);
  for (int y = createdTop; y < createdTop + 16; ++y) {
    for (int x = static_cast<int>(131.3 * 8); x < 1200; ++x) {
      const QRgb c = image.pixel(x, y);
      blue += qBlue(c) > 128 && qRed(c) < 128 && qGreen(c) < 128;
    }
  }
  QVERIFY(blue > 10);
}

void TestSheetRenderer::linesAndPointsOneScreenPixel_data() {
  QTest::addColumn<double>("scale");
  QTest::newRow("1") << 1.0;
  QTest::newRow("2") << 2.0;
  QTest::newRow("3") << 3.0;
}

void TestSheetRenderer::linesAndPointsOneScreenPixel() {
  QFETCH(double, scale);
  Sheet sheet;
  sheet.add(SheetLine{600, 750, 6000, 750, qRgb(0, 0, 0)});
  sheet.add(SheetPoint{3000, 3000, qRgb(0, 0, 0)});
  const QImage image = renderSheetImage(sheet, scale);
  const auto px = [scale](double mapUnits) { return static_cast<int>(mapUnits * scale / kMapUnitsPerScreenPixel); };
  const int expected = static_cast<int>(std::lround(scale));
  QCOMPARE(darkRun(image, px(2000), px(750) - 4, 12), expected);
  QCOMPARE(darkRun(image, px(3000) + expected / 2, px(3000) - 4, 12), expected);
}

void TestSheetRenderer::circlesAreAntialiased() {
  Sheet sheet;
  sheet.add(SheetCircle{9000, 6000, 3000, qRgb(255, 0, 0), std::nullopt});
  const QImage image = renderSheetImage(sheet);
  int partial = 0;
  for (int x = 0; x < image.width(); ++x) {
    for (int y = 150; y < 250; ++y) {
      const QRgb c = image.pixel(x, y);
      partial += qRed(c) == 255 && qGreen(c) > 20 && qGreen(c) < 235;
    }
  }
  QVERIFY(partial > 20);
  QCOMPARE(image.pixel(600, 400), qRgb(255, 255, 255));  // unfilled: the centre stays white
}

void TestSheetRenderer::backgroundIsUnscaled() {
  QTemporaryDir dir;
  QImage bitmap(40, 30, QImage::Format_RGB32);
  bitmap.fill(qRgb(10, 120, 200));
  bitmap.setPixel(39, 29, qRgb(250, 0, 250));
  const QString path = dir.filePath(QStringLiteral("JapanMap3.bmp"));
  QVERIFY(bitmap.save(path, "BMP"));
  PictureBox picture;
  QVERIFY(picture.loadPicture(path));
  QCOMPARE(picture.sheet().backgroundName(), QStringLiteral("JapanMap3.bmp"));
  QVERIFY(!picture.loadPicture(dir.filePath(QStringLiteral("missing.bmp"))));
  QCOMPARE(picture.sheet().backgroundName(), QStringLiteral("JapanMap3.bmp"));  // unchanged
  const QImage image = picture.image();
  QCOMPARE(image.pixel(0, 0), qRgb(10, 120, 200));
  QCOMPARE(image.pixel(39, 29), qRgb(250, 0, 250));
  QCOMPARE(image.pixel(40, 29), qRgb(255, 255, 255));
  QCOMPARE(image.pixel(39, 30), qRgb(255, 255, 255));
}

void TestSheetRenderer::widgetPaintsVectorsOnHiDpi() {
  DrawnSheet drawn;
  QImage hiDpi(2400, 1706, QImage::Format_RGB32);
  hiDpi.setDevicePixelRatio(2);
  hiDpi.fill(Qt::white);
  drawn.form.Picture1->render(&hiDpi);
  hiDpi.setDevicePixelRatio(1);
  const QImage twice = renderSheetImage(drawn.sheet(), 2.0);
  // The scale bar's arm is two device pixels thick, as in the sheet drawn at twice the size.
  QCOMPARE(darkRun(hiDpi, 200, 100, 20), 2);
  const Difference d = compare(hiDpi, twice, textMask(drawn.sheet(), twice.size(), 2.0), 2);
  QVERIFY2(d.differing < 100, qPrintable(QString::number(d.differing)));
}

void TestSheetRenderer::farAwayItemsAreHarmless() {
  Sheet sheet;
  sheet.add(SheetCircle{-3e30f, 2e30f, 1e6f, qRgb(255, 0, 0), qRgb(255, 0, 0)});
  sheet.add(SheetCircle{9000, 6400, 1e9f, qRgb(255, 0, 0), std::nullopt});  // outline far beyond every edge
  sheet.add(SheetPoint{-1e30f, 1e30f, qRgb(0, 0, 0)});
  sheet.add(SheetText{3e38f, 5, qRgb(0, 0, 0), QStringLiteral("遠い")});
  const QImage image = renderSheetImage(sheet);
  for (int y = 0; y < image.height(); y += 7) {
    for (int x = 0; x < image.width(); x += 7) QCOMPARE(image.pixel(x, y), qRgb(255, 255, 255));
  }
}

void TestSheetRenderer::pdfIsOnePageOfTheSheetsSize() {
  DrawnSheet drawn;
  QTemporaryDir dir;
  const QString path = dir.filePath(QStringLiteral("sheet.pdf"));
  QString error;
  QVERIFY2(writeSheetFile(drawn.sheet(), path, SheetFormat::Pdf, 1.0, {}, &error), qPrintable(error));
  const QByteArray pdf = readFile(path);
  QVERIFY(pdf.startsWith("%PDF-"));
  QCOMPARE(pdf.count("/Type /Page\n") + pdf.count("/Type /Page "), 1);
  // 18000 x 12800 twips are 900 x 640 points.
  const QRegularExpression mediaBox(QStringLiteral(R"(/MediaBox \[0 0 900(\.0+)? 640(\.0+)?\])"));
  QVERIFY(mediaBox.match(QString::fromLatin1(pdf)).hasMatch());
}

void TestSheetRenderer::svgHasTheSheetsSize() {
  DrawnSheet drawn;
  QTemporaryDir dir;
  const QString path = dir.filePath(QStringLiteral("sheet.svg"));
  QVERIFY(writeSheetFile(drawn.sheet(), path, SheetFormat::Svg, 1.0, {}, nullptr));
  QSvgRenderer svg(path);
  QVERIFY(svg.isValid());
  QCOMPARE(svg.viewBoxF().width(), 1200.0);
  QVERIFY(std::fabs(svg.viewBoxF().height() - 12800 / 15.0) < 0.01);
  const QString text = QString::fromUtf8(readFile(path));
  QVERIFY(text.contains(QStringLiteral("width=\"317.5mm\"")));  // 12.5 inches
  QVERIFY(text.contains(QStringLiteral("作成日")));
}

// The header and the rows are checked through the render command; here every item, in
// order, with the floats the surface received and its colours.
void TestSheetRenderer::jsonHasEveryItemInOrder() {
  DrawnSheet drawn;
  QJsonParseError parseError;
  const QJsonDocument doc = QJsonDocument::fromJson(sheetJson(drawn.sheet(), {}), &parseError);
  QVERIFY2(!doc.isNull(), qPrintable(parseError.errorString()));
  const QJsonArray items = doc.object().value("items").toArray();
  const auto& sheetItems = drawn.sheet().items();
  QCOMPARE(static_cast<std::size_t>(items.size()), sheetItems.size());
  for (int i = 0; i < items.size(); ++i) QCOMPARE(itemText(items[i].toObject()), itemText(sheetItems[std::size_t(i)]));
}

void TestSheetRenderer::formatByExtension_data() {
  QTest::addColumn<QString>("path");
  QTest::addColumn<int>("format");
  QTest::newRow("png") << "a/b.png" << int(SheetFormat::Png);
  QTest::newRow("upper case") << "B.PDF" << int(SheetFormat::Pdf);
  QTest::newRow("svg") << "c.svg" << int(SheetFormat::Svg);
  QTest::newRow("json") << "地図.json" << int(SheetFormat::Json);
  QTest::newRow("bmp") << "x.bmp" << -1;
  QTest::newRow("none") << "sheet" << -1;
}

void TestSheetRenderer::formatByExtension() {
  QFETCH(QString, path);
  QFETCH(int, format);
  const auto got = sheetFormatForPath(path);
  QCOMPARE(got ? int(*got) : -1, format);
}

void TestSheetRenderer::failedWriteLeavesNothing() {
  QTemporaryDir dir;
  DrawnSheet drawn;
  const QString path = dir.filePath(QStringLiteral("missing-folder/sheet.png"));
  QString error;
  QVERIFY(!writeSheetFile(drawn.sheet(), path, SheetFormat::Png, 1.0, {}, &error));
  QVERIFY(!error.isEmpty());
  QVERIFY(!QFile::exists(path));
  // A folder in the file's place cannot be replaced either.
  QVERIFY(QDir(dir.path()).mkdir(QStringLiteral("taken.json")));
  QVERIFY(!writeSheetFile(drawn.sheet(), dir.filePath(QStringLiteral("taken.json")), SheetFormat::Json, 1.0, {}, &error));
  QCOMPARE(QDir(dir.path()).entryList(QDir::Files).size(), 0);
}

void TestSheetRenderer::failedWriteKeepsOldFile() {
  QTemporaryDir dir;
  const QString path = writeFile(dir.filePath(QStringLiteral("sheet.png")), "old");
  DrawnSheet drawn;
  QString error;
  // An image too large to make fails after the temporary file was opened.
  QVERIFY(!writeSheetFile(drawn.sheet(), path, SheetFormat::Png, 1000.0, {}, &error));
  QCOMPARE(readFile(path), QByteArray("old"));
  QCOMPARE(QDir(dir.path()).entryList(QDir::Files), QStringList{QStringLiteral("sheet.png")});
}

QTEST_MAIN(TestSheetRenderer)
#include "tst_sheet_renderer.moc"
