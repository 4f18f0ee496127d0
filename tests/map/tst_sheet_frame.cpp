// The sheet's frame and annotations as recorded on the surface: graticule point
// counts and ends, the scale bar, the fixed labels at their cells, the stamps, the
// packed legend, the row-number marks and the title line.

#include "app/form_variables.h"
#include "common/sheet_items.h"
#include "map/picture_box.h"
#include "map/sheet_frame.h"

#include <QtTest>

using namespace eq;
using namespace eq::test;

namespace {

const QDate kToday(2026, 12, 6);

Sheet frame() {
  PictureBox picture;
  drawSheetFrame(picture);
  return picture.sheet();
}

// Annotations of a fresh surface for these drawn rows; row r is "火山r" at x = 1000 r.
Sheet annotate(const QList<int>& drawnRows, const QString& title = QString(), const QDate& today = kToday) {
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

// Whether a text item lies at (column, line) of the 120 x 240 text cells, in this colour.
bool inCell(const std::optional<SheetText>& t, double column, double line, QRgb color) {
  return t && near(t->x, column * 120) && near(t->y, line * 240) && t->color == color;
}

}  // namespace

class TestSheetFrame : public QObject {
  Q_OBJECT
 private slots:
  void graticule();
  void graticuleEnds_data();
  void graticuleEnds();
  void scaleBar();

  void fixedLabels_data();
  void fixedLabels();
  void predictionStamp_data();
  void predictionStamp();
  void legendAndMarks_data();
  void legendAndMarks();
  void emptyNameLeavesNumberAndEquals();
  void title_data();
  void title();
  void creationDate_data();
  void creationDate();
  void endsInTextCellsWithBlack();
};

void TestSheetFrame::graticule() {
  const Sheet sheet = frame();
  for (const auto& item : sheet.items()) {
    QCOMPARE(QColor(std::visit([](const auto& i) { return i.color; }, item)), QColor(0, 0, 0));
  }
  const auto points = itemsOf<SheetPoint>(sheet);
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
  for (std::size_t first = 1800; first < points.size(); first += 501) {
    for (std::size_t i = first + 1; i < first + 501; ++i) {
      QCOMPARE(points[i].y, points[first].y);
      QVERIFY(points[i].x > points[i - 1].x);
    }
  }
}

void TestSheetFrame::graticuleEnds_data() {
  QTest::addColumn<int>("index");
  QTest::addColumn<QPointF>("at");
  // Corners from the projection table; 49.9 N lies 0.1 degree (33.33 units) below 50 N.
  QTest::newRow("110E meridian starts at 20N") << 0 << QPointF(1154.5, 11332.2);
  QTest::newRow("110E meridian ends at 49.9N") << 299 << QPointF(3622.2, 1366.5);
  QTest::newRow("120E meridian starts at 20N") << 300 << QPointF(4292.7, 11332.2);
  QTest::newRow("160E meridian starts at 20N") << 1500 << QPointF(16845.5, 11332.2);
  QTest::newRow("20N parallel starts at 110E") << 1800 << QPointF(1154.5, 11332.2);
  QTest::newRow("20N parallel ends at 160E") << 2300 << QPointF(16845.5, 11332.2);
  QTest::newRow("30N parallel starts at 110E") << 2301 << QPointF(1769.6, 7999.2);
  QTest::newRow("50N parallel ends at 160E") << 3803 << QPointF(14366.6, 1333.2);
}

void TestSheetFrame::graticuleEnds() {
  QFETCH(int, index);
  QFETCH(QPointF, at);
  const SheetPoint p = itemsOf<SheetPoint>(frame()).at(std::size_t(index));
  QVERIFY2(near(p.x, at.x(), 0.1) && near(p.y, at.y(), 0.1), qPrintable(QStringLiteral("%1, %2").arg(p.x).arg(p.y)));
}

void TestSheetFrame::scaleBar() {
  const Sheet sheet = frame();
  // The lines come last, after every point.
  QVERIFY(std::holds_alternative<SheetLine>(sheet.items().at(3804)));
  const std::vector<std::array<float, 4>> expected = {
      {500, 800, 3500, 800},  {500, 800, 500, 3800},                           // the arms, 1000 km each
      {1100, 740, 1100, 860}, {450, 1400, 550, 1400}, {1700, 740, 1700, 860},  // ticks every 200 km
      {450, 2000, 550, 2000}, {2300, 740, 2300, 860}, {450, 2600, 550, 2600}, {2900, 740, 2900, 860},
      {450, 3200, 550, 3200}, {3500, 740, 3500, 860}, {450, 3800, 550, 3800},
  };
  std::vector<std::array<float, 4>> lines;
  for (const SheetLine& l : itemsOf<SheetLine>(sheet)) lines.push_back({l.x1, l.y1, l.x2, l.y2});
  QVERIFY(lines == expected);
}

// The sixteen labels come first, in this order, black, at these map units.
void TestSheetFrame::fixedLabels_data() {
  QTest::addColumn<int>("order");
  QTest::addColumn<QString>("text");
  QTest::addColumn<QPointF>("at");
  const QList<QPair<QString, QPointF>> labels{
      {"20°", {816, 11256}},   {"30°", {1428, 7920}},    {"40°", {2244, 4584}},    {"50°", {3288, 1248}},
      {"北緯", {2808, 1248}},  {"北緯", {336, 11256}},   {"110°", {1008, 11520}},  {"120°", {4152, 11520}},
      {"130°", {7296, 11520}}, {"140°", {10440, 11520}}, {"150°", {13584, 11520}}, {"160°", {16728, 11520}},
      {"東経", {1008, 11760}}, {"東経", {16728, 11760}}, {"1000 km", {3300, 480}}, {"1000 km", {648, 3720}}};
  for (int i = 0; i < labels.size(); ++i)
    QTest::addRow("%d %s", i, qPrintable(labels[i].first)) << i << labels[i].first << labels[i].second;
}

void TestSheetFrame::fixedLabels() {
  QFETCH(int, order);
  QFETCH(QString, text);
  QFETCH(QPointF, at);
  const SheetText t = itemsOf<SheetText>(annotate({})).at(std::size_t(order));
  QCOMPARE(t.text, text);
  QVERIFY2(near(t.x, at.x()) && near(t.y, at.y()), qPrintable(QStringLiteral("%1, %2").arg(t.x).arg(t.y)));
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

// Right after the sixteen fixed labels, in red.
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
  drawSheetAnnotations(picture, vars, kToday);
  const auto texts = itemsOf<SheetText>(picture.sheet());
  QCOMPARE(texts.at(16).text, QStringLiteral("発震予測年月日"));
  QVERIFY(inCell(texts.at(16), 131.3, 5, qRgb(255, 0, 0)));
  QCOMPARE(texts.at(17).text, stamp);
  QVERIFY(inCell(texts.at(17), 131, 6, qRgb(255, 0, 0)));
}

void TestSheetFrame::legendAndMarks_data() {
  QTest::addColumn<QList<int>>("drawn");
  QTest::addColumn<QList<int>>("legendLines");
  QTest::addColumn<int>("createdLine");
  QTest::newRow("none") << QList<int>{} << QList<int>{} << 9;
  QTest::newRow("rows 2 and 7") << QList<int>{2, 7} << QList<int>{8, 9} << 11;
  QTest::newRow("rows 9 and 10") << QList<int>{9, 10} << QList<int>{8, 9} << 11;
  QTest::newRow("all ten") << QList<int>{1, 2, 3, 4, 5, 6, 7, 8, 9, 10}
                           << QList<int>{8, 9, 10, 11, 12, 13, 14, 15, 16, 17} << 19;
}

// The legend packs the drawn rows from line 8 in blue, row 10 starting further left; the
// creation stamp follows; each drawn row's number marks its volcano's column on line 49.
void TestSheetFrame::legendAndMarks() {
  QFETCH(QList<int>, drawn);
  QFETCH(QList<int>, legendLines);
  QFETCH(int, createdLine);
  const Sheet sheet = annotate(drawn);
  const QRgb blue = qRgb(0, 0, 255);
  for (int i = 0; i < drawn.size(); ++i) {
    const int row = drawn[i];
    QVERIFY2(inCell(findText(sheet, QStringLiteral(" %1=火山%1").arg(row)), row == 10 ? 130.3 : 131, legendLines[i],
                    blue),
             qPrintable(QString::number(row)));
    QVERIFY(inCell(findText(sheet, QStringLiteral(" %1 ").arg(row)), 1000.0 * row / 121, 49, blue));
  }
  QVERIFY(inCell(findText(sheet, QStringLiteral("作成日")), 131.3, createdLine, blue));
  QVERIFY(inCell(findText(sheet, QStringLiteral("2026年 12月 6日")), 131.3, createdLine + 1, blue));
  int marks = 0;
  for (const auto& t : itemsOf<SheetText>(sheet)) marks += near(t.y, 49 * 240.0) && t.text.endsWith(' ');
  QCOMPARE(marks, drawn.size());
}

void TestSheetFrame::emptyNameLeavesNumberAndEquals() {
  PictureBox picture;
  FormVariables vars;
  vars.RowDrawn[3] = 1;
  drawSheetAnnotations(picture, vars, kToday);
  QVERIFY(findText(picture.sheet(), QStringLiteral(" 3=")));
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
  QVERIFY(inCell(findText(annotate({}, title), title), column, 51, qRgb(255, 0, 0)));
}

void TestSheetFrame::creationDate_data() {
  QTest::addColumn<QDate>("date");
  QTest::addColumn<QString>("text");
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
  drawSheetAnnotations(picture, vars, kToday);
  QCOMPARE(picture.scaleMode(), PictureBox::ScaleMode::Characters);
  QCOMPARE(picture.foreColor(), QColor(0, 0, 0));
  // An empty title prints nothing at all.
  const auto count = itemsOf<SheetText>(annotate({})).size();
  QCOMPARE(itemsOf<SheetText>(annotate({}, QStringLiteral("x"))).size(), count + 1);
}

QTEST_MAIN(TestSheetFrame)
#include "tst_sheet_frame.moc"
