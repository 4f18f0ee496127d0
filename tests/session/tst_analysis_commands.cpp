// The sheet's analysis commands on a session with a scripted desktop: crossing marks on
// and off, true-distance circles, the crossing list and its clipboard text, and saving
// the sheet as a picture or as map data.

#include "common/session_fixture.h"
#include "session/analysis_commands.h"
#include "session/sheet_commands.h"

#include <QJsonDocument>
#include <QTemporaryDir>
#include <QXmlStreamReader>
#include <QtTest>

using namespace eq;
using namespace eq::test;

namespace {

// Two eruptions of 1 Jan 2024 at 54 N, 134 and 136 E, drawn for 1 May 2024: four mean months
// (122.36 days) give (3.129 - ln(122.36 / 365.25)) / 0.007137 = 591.651 km = 1774.954 map
// units each. The centres lie 196.296 map units either side of x = 9000 on y = 0 (cos 54 deg
// x 40075 / 360 x 3 per degree), so the circles cross at x = 9000, y = +-sqrt(1774.954^2 -
// 196.296^2) = +-1764.066: 48.7073 N on the sheet and 59.2927 N above it.
struct Crossed : SessionFixture {
  explicit Crossed(const QString& nameA = "東山", const QString& nameB = "西山") {
    fillRow(1, {nameA, "2024", "1", "1", "54", "134"});
    fillRow(2, {nameB, "2024", "1", "1", "54", "136"});
  }
  DrawReport draw() { return SessionFixture::draw({"2024", "5", "1"}); }
};

const QString kMark = QStringLiteral("9000.00 1764.07 60.00 #0000ff none");

int polylines(const Sheet& sheet, int* shortest = nullptr) {
  int count = 0;
  for (const auto& item : sheet.items()) {
    if (const auto* p = std::get_if<SheetPolyline>(&item)) {
      ++count;
      if (shortest) *shortest = std::min(*shortest, p->points.front() == p->points.back() ? int(p->points.size()) : 0);
    }
  }
  return count;
}

}  // namespace

class TestAnalysisCommands : public QObject {
  Q_OBJECT
 private slots:
  void crossingMarks() {
    Crossed fx;
    fx.draw();
    const auto& crossings = fx.session.lastDraw.crossings;
    QCOMPARE(int(crossings.size()), 2);
    for (const Crossing& c : crossings) {
      QVERIFY(near(c.x, 9000, 0.01) && near(std::fabs(c.y), 1764.07, 0.01) && c.onSheet == (c.y > 0));
    }
    const QStringList drawn = circles(fx.sheet());
    const size_t items = fx.sheet().items().size();

    // Only the crossing on the sheet gets a ring, once, after everything else.
    for (int twice = 0; twice < 2; ++twice) setCrossingMarks(fx.session, true);
    QCOMPARE(circles(fx.sheet()), drawn + QStringList{kMark});
    QVERIFY(std::holds_alternative<SheetCircle>(fx.sheet().items().back()));
    setCrossingMarks(fx.session, false);
    QCOMPARE(fx.sheet().items().size(), items);
    QCOMPARE(circles(fx.sheet()), drawn);

    setCrossingMarks(fx.session, true);
    fx.draw();
    QCOMPARE(fx.sheet().items().size(), items + 1);
    QCOMPARE(circles(fx.sheet()).last(), kMark);

    clearDrawing(fx.session);
    QVERIFY(!fx.session.crossingMarksFrom && crossingList(fx.session).empty());
    setCrossingMarks(fx.session, true);
    QVERIFY(fx.sheet().items().empty());
  }

  void geodesicCircles() {
    Crossed fx;
    setGeodesicCircles(fx.session, true);
    fx.draw();
    int shortest = 1 << 30;
    QCOMPARE(polylines(fx.sheet(), &shortest), 2);
    QVERIFY(shortest >= 361);  // closed rings of at least 360 sides
    const QString marker = QStringLiteral("#ff0000 #ff0000");
    for (const QString& c : circles(fx.sheet())) QVERIFY2(c.endsWith(marker), qPrintable(c));
    QCOMPARE(circles(fx.sheet()).size(), 2);

    setGeodesicCircles(fx.session, false);
    fx.draw();
    QCOMPARE(polylines(fx.sheet()), 0);
    QCOMPARE(circles(fx.sheet()).size(), 4);
  }

  // Tabs and line breaks stay in the list's names but not in the clipboard's cells.
  void crossingListAndClipboard() {
    Crossed fx("東\t山", "西\n山");
    fx.draw();
    QStringList lines;
    for (const CrossingLine& line : crossingList(fx.session)) lines << line.cells.join('|');
    lines.sort();
    QCOMPARE(lines, (QStringList{"1|東\t山|2|西\n山|48.7073|135.0000|2|○", "1|東\t山|2|西\n山|59.2927|135.0000|2|図の外"}));

    copyCrossingList(fx.session);
    QCOMPARE(int(fx.platform.clipboardTexts.size()), 1);
    QStringList copied = fx.platform.clipboardTexts.back().split('\n');
    QCOMPARE(copied.takeLast(), QString());
    QCOMPARE(copied.takeFirst(), QStringLiteral("行\t火山名\t行\t火山名\t北緯\t東経\t支持数\t図の上"));
    copied.sort();
    QCOMPARE(copied.first(), QStringLiteral("1\t東 山\t2\t西 山\t48.7073\t135.0000\t2\t○"));
    QCOMPARE(copied.size(), 2);
  }

  void saves_data() {
    QTest::addColumn<bool>("mapData");
    QTest::addColumn<bool>("drawn");
    QTest::addColumn<QString>("answer");   // the file name chosen; empty: cancelled
    QTest::addColumn<QString>("written");  // what the file reads as; empty: no file
    QTest::addColumn<QString>("message");  // part of the one message; "@" stands for the folder
    QTest::newRow("PNG") << false << true << "s.png" << "png" << "";
    QTest::newRow("picture, wrong extension") << false << true << "s.bmp" << "" << "@/s.bmp";
    QTest::newRow("picture, cancelled") << false << true << "" << "" << "";
    QTest::newRow("GeoJSON") << true << true << "m.geojson" << "json" << "";
    QTest::newRow("KML") << true << true << "m.kml" << "xml" << "";
    QTest::newRow("map data, wrong extension") << true << true << "m.json" << "" << "@/m.json";
    QTest::newRow("map data, cancelled") << true << true << "" << "" << "";
    QTest::newRow("map data, no drawing") << true << false << "m.kml" << "" << "先に描画してください";
  }
  void saves() {
    QFETCH(bool, mapData);
    QFETCH(bool, drawn);
    QFETCH(QString, answer);
    QFETCH(QString, written);
    QFETCH(QString, message);
    QTemporaryDir dir;
    Crossed fx;
    if (drawn) fx.draw();
    const QString path = dir.filePath(answer);
    fx.platform.saveDialogAnswers.push_back(answer.isEmpty() ? std::nullopt : std::optional<QString>(path));
    mapData ? saveMapData(fx.session) : saveSheetImage(fx.session);

    QCOMPARE(int(fx.platform.saveDialogs.size()), int(drawn));
    QCOMPARE(int(fx.platform.messages.size()), int(!message.isEmpty()));
    if (!message.isEmpty()) QVERIFY(fx.platform.messages[0].text.contains(message.replace("@", dir.path())));
    QCOMPARE(QDir(dir.path()).entryList(QDir::Files), written.isEmpty() ? QStringList() : QStringList{answer});
    QFile file(path);
    if (written == "png") QCOMPARE(QImage(path).size(), QSize(1200, 853));
    if (written == "json") QVERIFY(file.open(QIODevice::ReadOnly) && QJsonDocument::fromJson(file.readAll()).isObject());
    if (written == "xml") {
      QVERIFY(file.open(QIODevice::ReadOnly));
      QXmlStreamReader xml(&file);
      while (!xml.atEnd()) xml.readNext();
      QVERIFY2(!xml.hasError(), qPrintable(xml.errorString()));
    }
  }
};

QTEST_MAIN(TestAnalysisCommands)
#include "tst_analysis_commands.moc"
