// The sheet's frame and annotations as recorded on the surface: graticule point
// counts and ends, the scale bar, the fixed labels at their cells, the stamps, the
// packed legend, the row-number marks and the title line.

#include "app/form_variables.h"
#include "map/picture_box.h"
#include "map/sheet_frame.h"

#include <QtTest>
#include <cmath>

namespace eq {
namespace {

std::vector<SheetPoint> pointsOf(const Sheet& sheet) {
  std::vector<SheetPoint> points;
  for (const auto& item : sheet.items()) {
    if (const auto* p = std::get_if<SheetPoint>(&item)) points.push_back(*p);
  }
  return points;
}

std::vector<SheetText> textsOf(const Sheet& sheet) {
  std::vector<SheetText> texts;
  for (const auto& item : sheet.items()) {
    if (const auto* t = std::get_if<SheetText>(&item)) texts.push_back(*t);
  }
  return texts;
}

// The first text item with this text, if any.
std::optional<SheetText> findText(const Sheet& sheet, const QString& text) {
  for (const auto& t : textsOf(sheet)) {
    if (t.text == text) return t;
  }
  return std::nullopt;
}

bool near(double a, double b, double tolerance = 0.05) { return std::fabs(a - b) <= tolerance; }

}  // namespace

class TestSheetFrame : public QObject {
  Q_OBJECT
 private slots:
  void graticulePointCounts();
  void graticuleEnds_data();
  void graticuleEnds();
  void graticuleIsBlack();
  void scaleBar();

  void fixedLabels_data();
  void fixedLabels();
  void predictionStamp_data();
  void predictionStamp();
  void legendPacking_data();
  void legendPacking();
  void legendRowTenStartsFurtherLeft();
  void emptyNameLeavesNumberAndEquals();
  void rowNumberMarks();
  void title_data();
  void title();
  void creationDate_data();
  void creationDate();
  void endsInTextCellsWithBlack();

 private:
  // Annotations of a fresh surface for these drawn rows.
  Sheet annotate(const QList<int>& drawnRows, const QString& title = QString(),
                 const QDate& today = QDate(2026, 12, 6));
};

Sheet TestSheetFrame::annotate(const QList<int>& drawnRows, const QString& title, const QDate& today) {
  PictureBox picture;
  FormVariables vars;
  vars.PredictionYear = 2024;
  vars.PredictionMonth = 5;
  vars.PredictionDay = 1;
  vars.TitleComment = title;
  for (int row = 1; row <= kRowCount; ++row) {
    vars.VolcanoName[row] = QStringLiteral("火山%1").arg(row);
    vars.RowMapX[row] = 1000.0 * row;
  }
  for (int row : drawnRows) vars.RowDrawn[row] = 1;
  drawSheetAnnotations(picture, vars, today);
  return picture.sheet();
}

void TestSheetFrame::graticulePointCounts() {
  PictureBox picture;
  drawSheetFrame(picture);
  const auto points = pointsOf(picture.sheet());
  QCOMPARE(points.size(), std::size_t(6 * 300 + 4 * 501));
  // Each meridian is a run of 300 points at one longitude, traced northwards: the
  // y coordinate falls within a run and jumps back down at the next meridian.
  int runs = 1;
  for (std::size_t i = 1; i < 1800; ++i) {
    if (points[i].y > points[i - 1].y) {
      QCOMPARE(i % 300, std::size_t(0));
      ++runs;
    }
  }
  QCOMPARE(runs, 6);
  // Each parallel is a run of 501 points at one y, traced eastwards.
  for (int k = 0; k < 4; ++k) {
    const std::size_t first = 1800 + 501 * k;
    for (std::size_t i = first + 1; i < first + 501; ++i) {
      QCOMPARE(points[i].y, points[first].y);
      QVERIFY(points[i].x > points[i - 1].x);
    }
  }
}

void TestSheetFrame::graticuleEnds_data() {
  QTest::addColumn<int>("index");
  QTest::addColumn<double>("x");
  QTest::addColumn<double>("y");
  // Corners from the projection table; 49.9 N lies 0.1 degree (33.33 units) below 50 N.
  QTest::newRow("110E meridian starts at 20N") << 0 << 1154.5 << 11332.2;
  QTest::newRow("110E meridian ends at 49.9N") << 299 << 3622.2 << 1366.5;
  QTest::newRow("120E meridian starts at 20N") << 300 << 4292.7 << 11332.2;
  QTest::newRow("160E meridian starts at 20N") << 1500 << 16845.5 << 11332.2;
  QTest::newRow("20N parallel starts at 110E") << 1800 << 1154.5 << 11332.2;
  QTest::newRow("20N parallel ends at 160E") << 2300 << 16845.5 << 11332.2;
  QTest::newRow("30N parallel starts at 110E") << 2301 << 1769.6 << 7999.2;
  QTest::newRow("50N parallel ends at 160E") << 3803 << 14366.6 << 1333.2;
}

void TestSheetFrame::graticuleEnds() {
  QFETCH(int, index);
  QFETCH(double, x);
  QFETCH(double, y);
  PictureBox picture;
  drawSheetFrame(picture);
  const SheetPoint p = pointsOf(picture.sheet()).at(static_cast<std::size_t>(index));
  QVERIFY2(near(p.x, x, 0.1) && near(p.y, y, 0.1), qPrintable(QStringLiteral("%1, %2").arg(p.x).arg(p.y)));
}

void TestSheetFrame::graticuleIsBlack() {
  PictureBox picture;
  drawSheetFrame(picture);
  for (const auto& item : picture.sheet().items()) {
    const QRgb color = std::visit([](const auto& i) { return i.color; }, item);
    QCOMPARE(QColor(color), QColor(0, 0, 0));
  }
}

void TestSheetFrame::scaleBar() {
  PictureBox picture;
  drawSheetFrame(picture);
  std::vector<SheetLine> lines;
  for (const auto& item : picture.sheet().items()) {
    if (const auto* l = std::get_if<SheetLine>(&item)) lines.push_back(*l);
  }
  // The lines come last, after every point.
  QVERIFY(std::holds_alternative<SheetLine>(picture.sheet().items().at(3804)));
  const std::vector<std::array<float, 4>> expected = {
      {500, 800, 3500, 800},  {500, 800, 500, 3800},                           // the arms, 1000 km each
      {1100, 740, 1100, 860}, {450, 1400, 550, 1400}, {1700, 740, 1700, 860},  // ticks every 200 km
      {450, 2000, 550, 2000}, {2300, 740, 2300, 860}, {450, 2600, 550, 2600}, {2900, 740, 2900, 860},
      {450, 3200, 550, 3200}, {3500, 740, 3500, 860}, {450, 3800, 550, 3800},
  };
  QCOMPARE(lines.size(), expected.size());
  for (std::size_t i = 0; i < lines.size(); ++i) {
    const std::array<float, 4> got = {lines[i].x1, lines[i].y1, lines[i].x2, lines[i].y2};
    QVERIFY2(got == expected[i], qPrintable(QStringLiteral("line %1").arg(i)));
  }
}

void TestSheetFrame::fixedLabels_data() {
  QTest::addColumn<int>("order");
  QTest::addColumn<QString>("text");
  QTest::addColumn<double>("x");
  QTest::addColumn<double>("y");
  QTest::newRow("20") << 0 << "20°" << 816.0 << 11256.0;
  QTest::newRow("30") << 1 << "30°" << 1428.0 << 7920.0;
  QTest::newRow("40") << 2 << "40°" << 2244.0 << 4584.0;
  QTest::newRow("50") << 3 << "50°" << 3288.0 << 1248.0;
  QTest::newRow("north latitude above") << 4 << "北緯" << 2808.0 << 1248.0;
  QTest::newRow("north latitude below") << 5 << "北緯" << 336.0 << 11256.0;
  QTest::newRow("110") << 6 << "110°" << 1008.0 << 11520.0;
  QTest::newRow("120") << 7 << "120°" << 4152.0 << 11520.0;
  QTest::newRow("130") << 8 << "130°" << 7296.0 << 11520.0;
  QTest::newRow("140") << 9 << "140°" << 10440.0 << 11520.0;
  QTest::newRow("150") << 10 << "150°" << 13584.0 << 11520.0;
  QTest::newRow("160") << 11 << "160°" << 16728.0 << 11520.0;
  QTest::newRow("east longitude west") << 12 << "東経" << 1008.0 << 11760.0;
  QTest::newRow("east longitude east") << 13 << "東経" << 16728.0 << 11760.0;
  QTest::newRow("1000 km above") << 14 << "1000 km" << 3300.0 << 480.0;
  QTest::newRow("1000 km beside") << 15 << "1000 km" << 648.0 << 3720.0;
}

void TestSheetFrame::fixedLabels() {
  QFETCH(int, order);
  QFETCH(QString, text);
  QFETCH(double, x);
  QFETCH(double, y);
  const auto texts = textsOf(annotate({}));
  const SheetText t = texts.at(static_cast<std::size_t>(order));
  QCOMPARE(t.text, text);
  QVERIFY2(near(t.x, x) && near(t.y, y), qPrintable(QStringLiteral("%1, %2").arg(t.x).arg(t.y)));
  QCOMPARE(QColor(t.color), QColor(0, 0, 0));
}

void TestSheetFrame::predictionStamp_data() {
  QTest::addColumn<float>("year");
  QTest::addColumn<float>("month");
  QTest::addColumn<float>("day");
  QTest::addColumn<QString>("stamp");
  QTest::newRow("plain") << 2024.f << 5.f << 1.f << " 2024年 5月 1日";
  QTest::newRow("fraction") << 2024.5f << 12.f << 31.f << " 2024.5年 12月 31日";
  QTest::newRow("month 0 stays 0") << 2024.f << 0.f << 1.f << " 2024年 0月 1日";
  QTest::newRow("below one") << 0.5f << -3.f << 0.f << " .5年-3月 0日";
}

void TestSheetFrame::predictionStamp() {
  QFETCH(float, year);
  QFETCH(float, month);
  QFETCH(float, day);
  QFETCH(QString, stamp);
  PictureBox picture;
  FormVariables vars;
  vars.PredictionYear = year;
  vars.PredictionMonth = month;
  vars.PredictionDay = day;
  drawSheetAnnotations(picture, vars, QDate(2026, 12, 6));
  const auto texts = textsOf(picture.sheet());
  // Right after the sixteen fixed labels, in red.
  QCOMPARE(texts.at(16).text, QStringLiteral("発震予測年月日"));
  QVERIFY(near(texts.at(16).x, 131.3 * 120) && near(texts.at(16).y, 5 * 240));
  QCOMPARE(texts.at(17).text, stamp);
  QVERIFY(near(texts.at(17).x, 131 * 120) && near(texts.at(17).y, 6 * 240));
  QCOMPARE(QColor(texts.at(16).color), QColor(255, 0, 0));
  QCOMPARE(QColor(texts.at(17).color), QColor(255, 0, 0));
}

void TestSheetFrame::legendPacking_data() {
  QTest::addColumn<QList<int>>("drawn");
  QTest::addColumn<QList<int>>("legendLines");
  QTest::addColumn<int>("createdLine");
  QTest::newRow("none") << QList<int>{} << QList<int>{} << 9;
  QTest::newRow("rows 2 and 7") << QList<int>{2, 7} << QList<int>{8, 9} << 11;
  QTest::newRow("row 10 alone") << QList<int>{10} << QList<int>{8} << 10;
  QTest::newRow("all ten") << QList<int>{1, 2, 3, 4, 5, 6, 7, 8, 9, 10}
                           << QList<int>{8, 9, 10, 11, 12, 13, 14, 15, 16, 17} << 19;
}

void TestSheetFrame::legendPacking() {
  QFETCH(QList<int>, drawn);
  QFETCH(QList<int>, legendLines);
  QFETCH(int, createdLine);
  const Sheet sheet = annotate(drawn);
  for (int i = 0; i < drawn.size(); ++i) {
    const QString line = QStringLiteral(" %1=火山%1").arg(drawn[i]);
    const auto t = findText(sheet, line);
    QVERIFY2(t, qPrintable(line));
    QVERIFY2(near(t->y, legendLines[i] * 240.0), qPrintable(QString::number(t->y)));
    QCOMPARE(QColor(t->color), QColor(0, 0, 255));
  }
  const auto created = findText(sheet, QStringLiteral("作成日"));
  QVERIFY(created);
  QVERIFY(near(created->x, 131.3 * 120) && near(created->y, createdLine * 240.0));
  QCOMPARE(QColor(created->color), QColor(0, 0, 255));
  const auto date = findText(sheet, QStringLiteral("2026年 12月 6日"));
  QVERIFY(date);
  QVERIFY(near(date->x, 131.3 * 120) && near(date->y, (createdLine + 1) * 240.0));
  // One mark on line 49 per drawn row, none otherwise.
  int marks = 0;
  for (const auto& t : textsOf(sheet)) marks += near(t.y, 49 * 240.0) && t.text.endsWith(' ') ? 1 : 0;
  QCOMPARE(marks, drawn.size());
}

void TestSheetFrame::legendRowTenStartsFurtherLeft() {
  const Sheet sheet = annotate({9, 10});
  const auto nine = findText(sheet, QStringLiteral(" 9=火山9"));
  const auto ten = findText(sheet, QStringLiteral(" 10=火山10"));
  QVERIFY(nine && ten);
  QVERIFY(near(nine->x, 131 * 120));
  QVERIFY(near(ten->x, 130.3 * 120));
}

void TestSheetFrame::emptyNameLeavesNumberAndEquals() {
  PictureBox picture;
  FormVariables vars;
  vars.RowDrawn[3] = 1;
  drawSheetAnnotations(picture, vars, QDate(2026, 1, 2));
  QVERIFY(findText(picture.sheet(), QStringLiteral(" 3=")));
}

void TestSheetFrame::rowNumberMarks() {
  const Sheet sheet = annotate({3, 4});
  // Row 3's volcano lies at x = 3000: its mark starts at column 3000 / 121, in blue.
  const auto mark = findText(sheet, QStringLiteral(" 3 "));
  QVERIFY(mark);
  QVERIFY2(near(mark->x, 3000.0 / 121 * 120, 0.01), qPrintable(QString::number(mark->x)));
  QVERIFY(near(mark->y, 49 * 240.0));
  QCOMPARE(QColor(mark->color), QColor(0, 0, 255));
  QVERIFY(findText(sheet, QStringLiteral(" 4 ")));
}

void TestSheetFrame::title_data() {
  QTest::addColumn<QString>("title");
  QTest::addColumn<double>("column");
  QTest::newRow("10 characters") << "桜島と浅間山の関係図" << 68.1;
  QTest::newRow("3 ASCII characters") << "abc" << 71.6;
  QTest::newRow("200 characters start left of the edge") << QString(200, QChar(0x3042)) << -26.9;
}

void TestSheetFrame::title() {
  QFETCH(QString, title);
  QFETCH(double, column);
  const Sheet sheet = annotate({}, title);
  const auto t = findText(sheet, title);
  QVERIFY(t);
  QVERIFY2(near(t->x, column * 120), qPrintable(QString::number(t->x)));
  QVERIFY(near(t->y, 51 * 240.0));
  QCOMPARE(QColor(t->color), QColor(255, 0, 0));
}

void TestSheetFrame::creationDate_data() {
  QTest::addColumn<QDate>("date");
  QTest::addColumn<QString>("text");
  QTest::newRow("6 December 2026") << QDate(2026, 12, 6) << "2026年 12月 6日";
  QTest::newRow("no leading zeros") << QDate(2024, 1, 5) << "2024年 1月 5日";
  QTest::newRow("two-digit day") << QDate(1999, 10, 31) << "1999年 10月 31日";
}

void TestSheetFrame::creationDate() {
  QFETCH(QDate, date);
  QFETCH(QString, text);
  QCOMPARE(creationDateText(date), text);
  QVERIFY(findText(annotate({1}, QString(), date), text));
}

void TestSheetFrame::endsInTextCellsWithBlack() {
  PictureBox picture;
  FormVariables vars;
  vars.TitleComment = QStringLiteral("題");
  vars.RowDrawn[1] = 1;
  drawSheetAnnotations(picture, vars, QDate(2026, 12, 6));
  QCOMPARE(picture.scaleMode(), PictureBox::ScaleMode::Characters);
  QCOMPARE(picture.foreColor(), QColor(0, 0, 0));
  // An empty title prints nothing at all.
  const auto count = textsOf(annotate({})).size();
  QCOMPARE(textsOf(annotate({}, QStringLiteral("x"))).size(), count + 1);
}

}  // namespace eq

QTEST_MAIN(eq::TestSheetFrame)
#include "tst_sheet_frame.moc"
