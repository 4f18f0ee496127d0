// The Draw button on an offscreen main window: the date check and its message, the
// row states, the markers and circles with their radii and places, the count label,
// and the rules for zero elapsed time and negative radii.

#include "common/form_fixture.h"
#include "common/sheet_items.h"
#include "map/draw_command.h"
#include "map/picture_box.h"

#include <QtTest>
#include <memory>

using namespace eq;
using namespace eq::test;

namespace {
const QString kCount = QStringLiteral("描画データ数  = ");
const QStringList kSakurajima{"桜島", "2020", "1", "1", "31.6", "130.7"};
}  // namespace

class TestDrawCommand : public QObject {
  Q_OBJECT
 private slots:
  void init();
  void cleanup() { fx.reset(); }

  void emptyPredictionField_data();
  void emptyPredictionField();
  void rowOutcomes_data();
  void rowOutcomes();
  void oneYearRadius();
  void drawingOrder();
  void emptyPositionRightAfterStartUp();
  void twoRowsAtTheSamePlace();
  void badFieldKeepsEarlierValue();
  void rowMapXOnlyForDrawnRows();
  void secondDrawStartsAfresh();
  void backgroundOffOrMissing();

 private:
  Form1& form() { return fx->form; }
  // Fills and ticks a row.
  void addRow(int row, const QStringList& fields) {
    fillRow(form(), row, fields);
    form().CheckEQ(row)->setChecked(true);
  }
  void clickDraw() { click(form().Command4); }
  const Sheet& sheet() const { return fx->form.Picture1->sheet(); }

  std::unique_ptr<FormFixture> fx;
};

void TestDrawCommand::init() {
  fx = std::make_unique<FormFixture>();
  form().ShowBackgroundMap = 0;
}

void TestDrawCommand::emptyPredictionField_data() {
  QTest::addColumn<QStringList>("date");
  QTest::newRow("year empty") << QStringList{"", "5", "1"};
  QTest::newRow("month empty") << QStringList{"2024", "", "1"};
  QTest::newRow("day empty") << QStringList{"2024", "5", ""};
  QTest::newRow("all empty") << QStringList{"", "", ""};
}

void TestDrawCommand::emptyPredictionField() {
  QFETCH(QStringList, date);
  // A first Draw excludes row 1 and leaves a sheet and a count behind.
  addRow(1, {"未来山", "2030", "1", "1", "35", "135"});
  addRow(2, kSakurajima);
  setPredictionDate(form(), "2024", "5", "1");
  clickDraw();
  QCOMPARE(rowLook(form(), 1), QStringLiteral("excluded"));
  QVERIFY(form().Label20->isVisibleTo(&form()));
  const QString countBefore = form().Label21->text();

  setPredictionDate(form(), date[0], date[1], date[2]);
  clickDraw();
  QCOMPARE(fx->platform.messages.size(), std::size_t(1));
  QCOMPARE(shown(fx->platform.messages.front()),
           shown("予測年データが未入力です", MessageButtons::Ok, MessageIcon::Exclamation));
  QVERIFY(sheet().isEmpty());
  QVERIFY(!form().Label20->isVisibleTo(&form()));
  QCOMPARE(form().Label21->text(), countBefore);
  QCOMPARE(rowLooks(form()), QStringList(kRowCount, "usable"));
}

// Rows 1, 2, ... as given (a seventh field "-" leaves the row unticked), the prediction
// date, and what becomes of them.
void TestDrawCommand::rowOutcomes_data() {
  QTest::addColumn<QList<QStringList>>("rows");
  QTest::addColumn<QStringList>("date");
  QTest::addColumn<QString>("states");
  QTest::addColumn<int>("circles");
  QTest::addColumn<bool>("warning");  // Label20
  const QStringList may1{"2024", "5", "1"};
  const QStringList asama{"浅間山", "2004", "9", "1", "36.4", "138.5"};
  QTest::newRow("a year of letters is year 0: all excluded")
      << QList<QStringList>{kSakurajima, asama} << QStringList{"ねん", "5", "1"} << "excluded excluded" << 0 << true;
  QTest::newRow("an eruption a day later is excluded")
      << QList<QStringList>{kSakurajima, {"未来山", "2024", "5", "2", "35", "135"}} << may1 << "drawn excluded" << 1
      << true;
  QTest::newRow("a ticked row without a year is skipped")
      << QList<QStringList>{kSakurajima, {"年なし", "", "1", "1", "35", "135"},
                            {"印なし", "2020", "1", "1", "35", "135", "-"}}
      << may1 << "drawn skipped unticked" << 1 << false;
  QTest::newRow("on the prediction day: a marker without a circle")
      << QList<QStringList>{{"桜島", "2023", "5", "1", "31.6", "130.7"}, {"当日山", "2024", "5", "1", "35", "135"}}
      << may1 << "drawn drawn" << 1 << false;
  QTest::newRow("30 years: a negative radius, no circle")
      << QList<QStringList>{{"古い山", "1994", "5", "1", "35", "135"}} << may1 << "drawn" << 0 << false;
  QTest::newRow("nothing ticked") << QList<QStringList>{kSakurajima + QStringList{"-"}} << may1 << "unticked" << 0
                                  << false;
  QTest::newRow("month 0 is July: excluded on 30 June")
      << QList<QStringList>{{"七月山", "2024", "0", "1", "35", "135"}} << QStringList{"2024", "6", "30"} << "excluded"
      << 0 << true;
  QTest::newRow("month 0 is July: drawn on 1 July")
      << QList<QStringList>{{"七月山", "2024", "0", "1", "35", "135"}} << QStringList{"2024", "7", "1"} << "drawn"
      << 0 << false;
}

void TestDrawCommand::rowOutcomes() {
  QFETCH(QList<QStringList>, rows);
  QFETCH(QStringList, date);
  QFETCH(QString, states);
  QFETCH(int, circles);
  QFETCH(bool, warning);
  for (int r = 1; r <= rows.size(); ++r) {
    fillRow(form(), r, rows[r - 1]);
    form().CheckEQ(r)->setChecked(rows[r - 1].value(6) != "-");
  }
  setPredictionDate(form(), date[0], date[1], date[2]);

  const DrawReport report = DrawCommand(form()).run();

  QStringList got;
  int drawn = 0, circlesDrawn = 0;
  for (int r = 1; r <= rows.size(); ++r) {
    const RowOutcome& row = report.rows[std::size_t(r)];
    got << QString::fromLatin1(rowStateName(row.state));
    const bool isDrawn = row.state == RowState::Drawn;
    drawn += isDrawn;
    circlesDrawn += row.circleDrawn;
    QCOMPARE(form().RowDrawn[r], int16_t(isDrawn));
    // Drawn rows carry their number under the map.
    QCOMPARE(findText(sheet(), QStringLiteral(" %1 ").arg(r)).has_value(), isDrawn);
    // An excluded row is greyed but keeps its tick and its text.
    QCOMPARE(rowLook(form(), r), QString::fromLatin1(row.state == RowState::Excluded ? "excluded" : "usable"));
    QCOMPARE(rowTexts(form(), r), rows[r - 1].mid(0, 6));
    QCOMPARE(form().CheckEQ(r)->isChecked(), rows[r - 1].value(6) != "-");
  }
  QCOMPARE(got.join(' '), states);
  QCOMPARE(form().Label21->text(), kCount + " " + QString::number(drawn));
  QVERIFY(form().Label21->isVisibleTo(&form()));
  QCOMPARE(int(markersOf(sheet()).size()), drawn);
  QCOMPARE(int(ringsOf(sheet()).size()), circles);
  QCOMPARE(circlesDrawn, circles);
  QCOMPARE(form().Label20->isVisibleTo(&form()), warning);
  // The frame and the annotations are drawn whatever the rows.
  QVERIFY(findText(sheet(), QStringLiteral("160°")) && findText(sheet(), QStringLiteral("作成日")));
  QVERIFY(fx->platform.messages.empty());
}

void TestDrawCommand::oneYearRadius() {
  // 15 April to 15 April is 365.25 days of day number: 438.42 km, 1315.26 map units.
  addRow(1, {"浅間山", "2023", "4", "15", "36.4", "138.5"});
  setPredictionDate(form(), "2024", "4", "15");
  const DrawReport report = DrawCommand(form()).run();
  QVERIFY(report.rows[1].radiusKm && near(*report.rows[1].radiusKm, 438.42, 0.01));
  const auto rings = ringsOf(sheet());
  QCOMPARE(rings.size(), std::size_t(1));
  QVERIFY2(near(rings[0].r, 1315.26), qPrintable(QString::number(rings[0].r)));
  QCOMPARE(QColor(rings[0].color), QColor(255, 0, 0));
  const auto markers = markersOf(sheet());
  QCOMPARE(markers.size(), std::size_t(1));
  QCOMPARE(markers[0].r, 20.f);
  QCOMPARE(QColor(*markers[0].fill), QColor(255, 0, 0));
  QCOMPARE(QColor(markers[0].color), QColor(255, 0, 0));
  QCOMPARE(markers[0].x, rings[0].x);
  QCOMPARE(markers[0].y, rings[0].y);
  // 36.4 N lies 17.6 degrees (5866 map units) below 54 N.
  QVERIFY(near(markers[0].y, 5866.08, 0.01));
}

void TestDrawCommand::drawingOrder() {
  addRow(1, kSakurajima);
  addRow(2, {"浅間山", "2004", "9", "1", "36.4", "138.5"});
  setPredictionDate(form(), "2024", "5", "1");
  clickDraw();
  const auto& items = sheet().items();
  // Graticule points, the 12 scale-bar lines, then marker and circle per drawn row, then the texts.
  std::size_t i = 0;
  while (i < items.size() && std::holds_alternative<SheetPoint>(items[i])) ++i;
  QCOMPARE(i, std::size_t(3804));
  for (int k = 0; k < 12; ++k, ++i) QVERIFY(std::holds_alternative<SheetLine>(items.at(i)));
  for (int row = 0; row < 2; ++row) {
    QVERIFY(std::get<SheetCircle>(items.at(i++)).fill.has_value());
    QVERIFY(!std::get<SheetCircle>(items.at(i++)).fill.has_value());
  }
  for (; i < items.size(); ++i) QVERIFY(std::holds_alternative<SheetText>(items[i]));
  QVERIFY(findText(sheet(), QStringLiteral(" 1=桜島")));
  QVERIFY(findText(sheet(), QStringLiteral(" 2=浅間山")));
}

void TestDrawCommand::emptyPositionRightAfterStartUp() {
  addRow(1, {"位置なし", "2020", "1", "1", "", ""});
  setPredictionDate(form(), "2024", "5", "1");
  clickDraw();
  const auto markers = markersOf(sheet());
  QCOMPARE(markers.size(), std::size_t(1));
  QVERIFY2(near(markers[0].x, -36084.4) && near(markers[0].y, 17998.2),
           qPrintable(QStringLiteral("%1, %2").arg(markers[0].x).arg(markers[0].y)));
  QCOMPARE(ringsOf(sheet()).size(), std::size_t(1));
}

void TestDrawCommand::twoRowsAtTheSamePlace() {
  addRow(3, kSakurajima);
  addRow(5, {"桜島", "2022", "6", "1", "31.6", "130.7"});
  setPredictionDate(form(), "2024", "5", "1");
  clickDraw();
  QCOMPARE(form().Label21->text(), kCount + " 2");
  const auto markers = markersOf(sheet());
  const auto rings = ringsOf(sheet());
  QCOMPARE(markers.size(), std::size_t(2));
  QCOMPARE(rings.size(), std::size_t(2));
  QCOMPARE(markers[0].x, markers[1].x);
  QCOMPARE(markers[0].y, markers[1].y);
  QVERIFY(rings[0].r < rings[1].r);  // the later eruption has the larger circle
}

void TestDrawCommand::badFieldKeepsEarlierValue() {
  addRow(1, kSakurajima);
  setPredictionDate(form(), "2024", "5", "1");
  clickDraw();
  const SheetCircle first = markersOf(sheet()).at(0);
  form().TextEQ(fieldIndex(1, 5))->setText(QStringLiteral("北"));
  form().TextEQ(fieldIndex(1, 6))->setText(QString());
  clickDraw();
  const SheetCircle second = markersOf(sheet()).at(0);
  QCOMPARE(second.x, first.x);
  QCOMPARE(second.y, first.y);
  QCOMPARE(form().VolcanoLatitude[1], 31.6f);
}

void TestDrawCommand::rowMapXOnlyForDrawnRows() {
  form().RowMapX[2] = 1234.5;
  addRow(1, kSakurajima);
  addRow(2, {"未来山", "2030", "1", "1", "35", "135"});
  setPredictionDate(form(), "2024", "5", "1");
  clickDraw();
  QCOMPARE(form().RowMapX[2], 1234.5);
  QVERIFY(near(form().RowMapX[1], markersOf(sheet()).at(0).x, 0.01));
}

// A second Draw starts from an empty sheet; each ends in text cells, black, with the picture kept.
void TestDrawCommand::secondDrawStartsAfresh() {
  addRow(1, kSakurajima);
  setPredictionDate(form(), "2024", "5", "1");
  clickDraw();
  const std::size_t count = sheet().items().size();
  clickDraw();
  QCOMPARE(sheet().items().size(), count);
  QCOMPARE(form().Picture1->scaleMode(), PictureBox::ScaleMode::Characters);
  QCOMPARE(form().Picture1->foreColor(), QColor(0, 0, 0));
  QVERIFY(form().Picture1->autoRedraw());
}

void TestDrawCommand::backgroundOffOrMissing() {
  // The test program's folder holds no JapanMap3.bmp: no background and no message either way.
  QVERIFY(!QFile::exists(DrawCommand::backgroundMapPath()));
  setPredictionDate(form(), "2024", "5", "1");
  for (const int16_t flag : {int16_t(0), int16_t(1)}) {
    form().ShowBackgroundMap = flag;
    clickDraw();
    QVERIFY(sheet().background().isNull());
    QVERIFY(sheet().backgroundName().isEmpty());
    QVERIFY(!sheet().items().empty());
  }
  QVERIFY(fx->platform.messages.empty());
}

QTEST_MAIN(TestDrawCommand)
#include "tst_draw_command.moc"
