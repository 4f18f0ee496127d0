// The Draw button on an offscreen main window: the date check and its message, the
// row states, the markers and circles with their radii and places, the count label,
// and the rules for zero elapsed time and negative radii.

#include "app/eruption_table.h"
#include "app/form1.h"
#include "app/scripted_platform.h"
#include "map/draw_command.h"
#include "map/picture_box.h"

#include <QtTest>
#include <cmath>
#include <memory>

namespace eq {
namespace {

std::vector<SheetCircle> circlesOf(const Sheet& sheet, bool filled) {
  std::vector<SheetCircle> circles;
  for (const auto& item : sheet.items()) {
    if (const auto* c = std::get_if<SheetCircle>(&item); c && c->fill.has_value() == filled) circles.push_back(*c);
  }
  return circles;
}
std::vector<SheetCircle> markersOf(const Sheet& sheet) { return circlesOf(sheet, true); }
std::vector<SheetCircle> ringsOf(const Sheet& sheet) { return circlesOf(sheet, false); }

bool hasText(const Sheet& sheet, const QString& text) {
  for (const auto& item : sheet.items()) {
    if (const auto* t = std::get_if<SheetText>(&item); t && t->text == text) return true;
  }
  return false;
}

bool near(double a, double b, double tolerance = 0.05) { return std::fabs(a - b) <= tolerance; }

const QString kCount = QStringLiteral("描画データ数  = ");

}  // namespace

class TestDrawCommand : public QObject {
  Q_OBJECT
 private slots:
  void init();
  void cleanup();

  void emptyPredictionField_data();
  void emptyPredictionField();
  void lettersOnlyYearExcludesEverything();
  void laterEruptionIsExcludedAndGreyed();
  void rowStates();
  void oneYearRadius();
  void drawingOrder();
  void equalDayNumbersDrawMarkerWithoutCircle();
  void negativeRadiusDrawsMarkerWithoutCircle();
  void emptyPositionRightAfterStartUp();
  void twoRowsAtTheSamePlace();
  void noRowTicked();
  void monthZeroCountsAsJuly_data();
  void monthZeroCountsAsJuly();
  void badFieldKeepsEarlierValue();
  void rowMapXOnlyForDrawnRows();
  void secondDrawStartsAfresh();
  void backgroundOffOrMissing();
  void endsInTextCells();
  void reportMatchesTheSheet();

 private:
  void fillRow(int row, const QStringList& fields, bool tick = true);
  void setDate(const QString& year, const QString& month, const QString& day);
  void clickDraw() { QTest::mouseClick(form->Command4, Qt::LeftButton); }
  bool rowUsable(int row) const;
  bool rowExcluded(int row) const;
  const Sheet& sheet() const { return form->Picture1->sheet(); }

  std::unique_ptr<ScriptedPlatform> platform;
  std::unique_ptr<Form1> form;
};

void TestDrawCommand::init() {
  platform = std::make_unique<ScriptedPlatform>();
  form = std::make_unique<Form1>(*platform);
  form->Form_Load();
  form->ShowBackgroundMap = 0;
}

void TestDrawCommand::cleanup() {
  form.reset();
  platform.reset();
}

void TestDrawCommand::fillRow(int row, const QStringList& fields, bool tick) {
  for (int f = 0; f < 6; ++f) form->TextEQ(fieldIndex(row, f + 1))->setText(fields.value(f));
  form->CheckEQ(row)->setChecked(tick);
}

void TestDrawCommand::setDate(const QString& year, const QString& month, const QString& day) {
  form->TextEQ(61)->setText(year);
  form->TextEQ(62)->setText(month);
  form->TextEQ(63)->setText(day);
}

bool TestDrawCommand::rowUsable(int row) const {
  for (int f = 1; f <= 6; ++f) {
    const QLineEdit* box = form->TextEQ(fieldIndex(row, f));
    if (!box->isEnabled() || backColor(box) != kUsableBack) return false;
  }
  return form->CheckEQ(row)->isEnabled() && backColor(form->CheckEQ(row)) == kUsableBack;
}

bool TestDrawCommand::rowExcluded(int row) const {
  for (int f = 1; f <= 6; ++f) {
    const QLineEdit* box = form->TextEQ(fieldIndex(row, f));
    if (box->isEnabled() || backColor(box) != kExcludedBack) return false;
  }
  return !form->CheckEQ(row)->isEnabled() && backColor(form->CheckEQ(row)) == kExcludedBack;
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
  fillRow(1, {"未来山", "2030", "1", "1", "35", "135"});
  fillRow(2, {"桜島", "2020", "1", "1", "31.6", "130.7"});
  setDate("2024", "5", "1");
  clickDraw();
  QVERIFY(rowExcluded(1));
  QVERIFY(form->Label20->isVisibleTo(form.get()));
  const QString countBefore = form->Label21->text();

  setDate(date[0], date[1], date[2]);
  clickDraw();
  QCOMPARE(platform->messages.size(), std::size_t(1));
  const auto& message = platform->messages.front();
  QCOMPARE(message.text, QStringLiteral("予測年データが未入力です"));
  QCOMPARE(message.caption, QStringLiteral("メッセージ"));
  QCOMPARE(message.icon, MessageIcon::Exclamation);
  QCOMPARE(message.buttons, MessageButtons::Ok);
  QVERIFY(sheet().isEmpty());
  QVERIFY(!form->Label20->isVisibleTo(form.get()));
  QCOMPARE(form->Label21->text(), countBefore);
  for (int row = 1; row <= kRowCount; ++row) QVERIFY(rowUsable(row));
}

void TestDrawCommand::lettersOnlyYearExcludesEverything() {
  fillRow(1, {"桜島", "2020", "1", "1", "31.6", "130.7"});
  fillRow(2, {"浅間山", "2004", "9", "1", "36.4", "138.5"});
  setDate("ねん", "5", "1");
  clickDraw();
  QVERIFY(platform->messages.empty());
  QCOMPARE(form->PredictionYear, 0.f);
  QVERIFY(rowExcluded(1));
  QVERIFY(rowExcluded(2));
  QVERIFY(form->Label20->isVisibleTo(form.get()));
  QCOMPARE(form->Label21->text(), kCount + " 0");
  QVERIFY(markersOf(sheet()).empty());
}

void TestDrawCommand::laterEruptionIsExcludedAndGreyed() {
  fillRow(1, {"桜島", "2020", "1", "1", "31.6", "130.7"});
  fillRow(2, {"未来山", "2024", "5", "2", "35", "135"});
  setDate("2024", "5", "1");
  clickDraw();
  QVERIFY(rowUsable(1));
  QVERIFY(rowExcluded(2));
  QVERIFY(form->CheckEQ(2)->isChecked());  // keeps its tick
  QCOMPARE(form->TextEQ(fieldIndex(2, 1))->text(), QStringLiteral("未来山"));
  QVERIFY(form->Label20->isVisibleTo(form.get()));
  QCOMPARE(form->Label21->text(), kCount + " 1");
  QCOMPARE(form->RowDrawn[2], int16_t(0));
  QCOMPARE(markersOf(sheet()).size(), std::size_t(1));
}

void TestDrawCommand::rowStates() {
  fillRow(1, {"桜島", "2020", "1", "1", "31.6", "130.7"});
  fillRow(2, {"未来山", "2030", "1", "1", "35", "135"});
  fillRow(3, {"年なし", "", "1", "1", "35", "135"});
  fillRow(4, {"印なし", "2020", "1", "1", "35", "135"}, false);
  setDate("2024", "5", "1");
  const DrawReport report = DrawCommand(*form).run();
  QCOMPARE(report.rows[1].state, RowState::Drawn);
  QCOMPARE(report.rows[2].state, RowState::Excluded);
  QCOMPARE(report.rows[3].state, RowState::Skipped);
  QCOMPARE(report.rows[4].state, RowState::Unticked);
  // The ticked row without a year gets no mark at all.
  QVERIFY(rowUsable(3));
  QCOMPARE(form->RowDrawn[3], int16_t(0));
  QCOMPARE(form->Label21->text(), kCount + " 1");
}

void TestDrawCommand::oneYearRadius() {
  // 15 April to 15 April is 365.25 days of day number: 438.42 km, 1315.26 map units.
  fillRow(1, {"浅間山", "2023", "4", "15", "36.4", "138.5"});
  setDate("2024", "4", "15");
  clickDraw();
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
  QVERIFY(near(markers[0].y, (54 - 36.4f) / 10.0 * 1111 * 3, 0.01));
}

void TestDrawCommand::drawingOrder() {
  fillRow(1, {"桜島", "2020", "1", "1", "31.6", "130.7"});
  fillRow(2, {"浅間山", "2004", "9", "1", "36.4", "138.5"});
  setDate("2024", "5", "1");
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
  QVERIFY(hasText(sheet(), QStringLiteral(" 1=桜島")));
  QVERIFY(hasText(sheet(), QStringLiteral(" 2=浅間山")));
}

void TestDrawCommand::equalDayNumbersDrawMarkerWithoutCircle() {
  // Row 1 leaves a radius behind; row 2 erupts on the prediction day itself.
  fillRow(1, {"桜島", "2023", "5", "1", "31.6", "130.7"});
  fillRow(2, {"当日山", "2024", "5", "1", "35", "135"});
  setDate("2024", "5", "1");
  clickDraw();
  QCOMPARE(form->Label21->text(), kCount + " 2");
  QCOMPARE(form->RowDrawn[2], int16_t(1));
  QVERIFY(rowUsable(2));
  QCOMPARE(markersOf(sheet()).size(), std::size_t(2));
  const auto rings = ringsOf(sheet());
  QCOMPARE(rings.size(), std::size_t(1));
  QCOMPARE(rings[0].x, markersOf(sheet())[0].x);  // row 1's, not row 2's
  QVERIFY(hasText(sheet(), QStringLiteral(" 2 ")));
}

void TestDrawCommand::negativeRadiusDrawsMarkerWithoutCircle() {
  // 30 years: the law gives about -38 km.
  fillRow(1, {"古い山", "1994", "5", "1", "35", "135"});
  setDate("2024", "5", "1");
  const DrawReport report = DrawCommand(*form).run();
  QCOMPARE(form->Label21->text(), kCount + " 1");
  QCOMPARE(markersOf(sheet()).size(), std::size_t(1));
  QVERIFY(ringsOf(sheet()).empty());
  QVERIFY(report.rows[1].radiusKm && *report.rows[1].radiusKm < 0);
  QVERIFY(!report.rows[1].circleDrawn);
}

void TestDrawCommand::emptyPositionRightAfterStartUp() {
  fillRow(1, {"位置なし", "2020", "1", "1", "", ""});
  setDate("2024", "5", "1");
  clickDraw();
  const auto markers = markersOf(sheet());
  QCOMPARE(markers.size(), std::size_t(1));
  QVERIFY2(near(markers[0].x, -36084.4) && near(markers[0].y, 17998.2),
           qPrintable(QStringLiteral("%1, %2").arg(markers[0].x).arg(markers[0].y)));
  QCOMPARE(ringsOf(sheet()).size(), std::size_t(1));
}

void TestDrawCommand::twoRowsAtTheSamePlace() {
  fillRow(3, {"桜島", "2020", "1", "1", "31.6", "130.7"});
  fillRow(5, {"桜島", "2022", "6", "1", "31.6", "130.7"});
  setDate("2024", "5", "1");
  clickDraw();
  QCOMPARE(form->Label21->text(), kCount + " 2");
  const auto markers = markersOf(sheet());
  const auto rings = ringsOf(sheet());
  QCOMPARE(markers.size(), std::size_t(2));
  QCOMPARE(rings.size(), std::size_t(2));
  QCOMPARE(markers[0].x, markers[1].x);
  QCOMPARE(markers[0].y, markers[1].y);
  QVERIFY(rings[0].r < rings[1].r);  // the later eruption has the larger circle
}

void TestDrawCommand::noRowTicked() {
  fillRow(1, {"桜島", "2020", "1", "1", "31.6", "130.7"}, false);
  setDate("2024", "5", "1");
  clickDraw();
  QVERIFY(form->Label21->isVisibleTo(form.get()));
  QCOMPARE(form->Label21->text(), kCount + " 0");
  QVERIFY(markersOf(sheet()).empty());
  QVERIFY(ringsOf(sheet()).empty());
  QVERIFY(hasText(sheet(), QStringLiteral("160°")));
  QVERIFY(hasText(sheet(), QStringLiteral("作成日")));
  QVERIFY(!form->Label20->isVisibleTo(form.get()));
}

void TestDrawCommand::monthZeroCountsAsJuly_data() {
  QTest::addColumn<QString>("predictionMonth");
  QTest::addColumn<QString>("predictionDay");
  QTest::addColumn<bool>("excluded");
  QTest::newRow("prediction before July") << "6" << "30" << true;
  QTest::newRow("prediction in July") << "7" << "1" << false;
}

void TestDrawCommand::monthZeroCountsAsJuly() {
  QFETCH(QString, predictionMonth);
  QFETCH(QString, predictionDay);
  QFETCH(bool, excluded);
  fillRow(1, {"七月山", "2024", "0", "1", "35", "135"});
  setDate("2024", predictionMonth, predictionDay);
  clickDraw();
  QCOMPARE(rowExcluded(1), excluded);
}

void TestDrawCommand::badFieldKeepsEarlierValue() {
  fillRow(1, {"桜島", "2020", "1", "1", "31.6", "130.7"});
  setDate("2024", "5", "1");
  clickDraw();
  const SheetCircle first = markersOf(sheet()).at(0);
  form->TextEQ(fieldIndex(1, 5))->setText(QStringLiteral("北"));
  form->TextEQ(fieldIndex(1, 6))->setText(QString());
  clickDraw();
  const SheetCircle second = markersOf(sheet()).at(0);
  QCOMPARE(second.x, first.x);
  QCOMPARE(second.y, first.y);
  QCOMPARE(form->VolcanoLatitude[1], 31.6f);
}

void TestDrawCommand::rowMapXOnlyForDrawnRows() {
  form->RowMapX[2] = 1234.5;
  fillRow(1, {"桜島", "2020", "1", "1", "31.6", "130.7"});
  fillRow(2, {"未来山", "2030", "1", "1", "35", "135"});
  setDate("2024", "5", "1");
  clickDraw();
  QCOMPARE(form->RowMapX[2], 1234.5);
  QVERIFY(near(form->RowMapX[1], markersOf(sheet()).at(0).x, 0.01));
}

void TestDrawCommand::secondDrawStartsAfresh() {
  fillRow(1, {"桜島", "2020", "1", "1", "31.6", "130.7"});
  setDate("2024", "5", "1");
  clickDraw();
  const std::size_t count = sheet().items().size();
  clickDraw();
  QCOMPARE(sheet().items().size(), count);
}

void TestDrawCommand::backgroundOffOrMissing() {
  // The test program's folder holds no JapanMap3.bmp: no background and no message either way.
  QVERIFY(!QFile::exists(DrawCommand::backgroundMapPath()));
  setDate("2024", "5", "1");
  for (const int16_t flag : {int16_t(0), int16_t(1)}) {
    form->ShowBackgroundMap = flag;
    clickDraw();
    QVERIFY(sheet().background().isNull());
    QVERIFY(sheet().backgroundName().isEmpty());
    QVERIFY(!sheet().items().empty());
  }
  QVERIFY(platform->messages.empty());
}

void TestDrawCommand::endsInTextCells() {
  setDate("2024", "5", "1");
  clickDraw();
  QCOMPARE(form->Picture1->scaleMode(), PictureBox::ScaleMode::Characters);
  QCOMPARE(form->Picture1->foreColor(), QColor(0, 0, 0));
  QVERIFY(form->Picture1->autoRedraw());
}

void TestDrawCommand::reportMatchesTheSheet() {
  fillRow(1, {"桜島", "2023", "4", "15", "31.6", "130.7"});
  fillRow(2, {"当日山", "2024", "4", "15", "35", "135"});
  setDate("2024", "4", "15");
  const DrawReport report = DrawCommand(*form).run();
  QVERIFY(report.rows[1].radiusKm && near(*report.rows[1].radiusKm, 438.42, 0.01));
  QVERIFY(report.rows[1].circleDrawn);
  QVERIFY(!report.rows[2].radiusKm);
  QVERIFY(!report.rows[2].circleDrawn);
  QCOMPARE(QString::fromLatin1(rowStateName(report.rows[2].state)), QStringLiteral("drawn"));
}

}  // namespace eq

QTEST_MAIN(eq::TestDrawCommand)
#include "tst_draw_command.moc"
