// The sheet's geometry: the projection against the table of graticule corners and its
// edge cases; the print command's fitting rule (the picture's size from the screen
// bitmap, the smaller page ratio at single precision, halves to even, then 1.4 times).

#include "map/print_fit.h"
#include "map/projection.h"

#include <QtTest>
#include <cmath>

using namespace eq;

class TestMap : public QObject {
  Q_OBJECT
 private slots:
  // The corners to 0.05 map units, then edge cases.
  void points_data() {
    QTest::addColumn<double>("latitude");
    QTest::addColumn<double>("longitude");
    QTest::addColumn<double>("x");
    QTest::addColumn<double>("y");
    QTest::addColumn<double>("tolerance");
    const double longitudes[] = {110, 120, 130, 135, 140, 150, 160};
    const struct {
      double latitude, y;
      double x[7];
    } rows[] = {
        {50, 1333.2, {3633.4, 5780.0, 7926.7, 9000.0, 10073.3, 12220.0, 14366.6}},
        {40, 4666.2, {2604.3, 5162.6, 7720.9, 9000.0, 10279.1, 12837.4, 15395.7}},
        {30, 7999.2, {1769.6, 4661.8, 7553.9, 9000.0, 10446.1, 13338.2, 16230.4}},
        {20, 11332.2, {1154.5, 4292.7, 7430.9, 9000.0, 10569.1, 13707.3, 16845.5}},
    };
    for (const auto& row : rows) {
      for (int i = 0; i < 7; ++i) {
        QTest::addRow("%gN %gE", row.latitude, longitudes[i])
            << row.latitude << longitudes[i] << row.x[i] << row.y << 0.05;
      }
    }
    QTest::newRow("135E is x 9000 exactly") << 45.0 << 135.0 << 9000.0 << 2999.7 << 1e-9;
    QTest::newRow("54N is y 0") << 54.0 << 140.0 << 9981.48 << 0.0 << 0.01;
    QTest::newRow("south of the equator") << -10.0 << 135.0 << 9000.0 << 21331.2 << 1e-9;
    QTest::newRow("0N 0E lies far outside") << 0.0 << 0.0 << -36084.4 << 17998.2 << 0.05;
    QTest::newRow("no wrap at 180") << 0.0 << 190.0 << 27367.7 << 17998.2 << 0.05;
    QTest::newRow("an infinite latitude fails") << qInf() << 135.0 << qQNaN() << qQNaN() << 0.0;
    QTest::newRow("a longitude not a number fails") << 35.0 << qQNaN() << qQNaN() << qQNaN() << 0.0;
    // 3.1415927 lies 4.64e-8 above pi: cos 90 deg is -2.32e-8, which moves 360 E 0.0017
    // west and 0 E 0.0010 east of the middle.
    QTest::newRow("90N 360E: the program's pi") << 90.0 << 360.0 << 8999.99826 << -11998.8 << 1e-5;
    QTest::newRow("90N 0E: the program's pi") << 90.0 << 0.0 << 9000.00105 << -11998.8 << 1e-5;
  }
  void points() {
    QFETCH(double, latitude);
    QFETCH(double, longitude);
    QFETCH(double, x);
    QFETCH(double, y);
    QFETCH(double, tolerance);
    const auto p = projectToMap(latitude, longitude);
    QCOMPARE(p.has_value(), !std::isnan(x));
    if (!p) return;
    QVERIFY2(std::fabs(p->x - x) <= tolerance, qPrintable(QString::number(p->x, 'f', 6)));
    QVERIFY2(std::fabs(p->y - y) <= tolerance, qPrintable(QString::number(p->y, 'f', 6)));
    // The inverse leads back to the position (the crossings get their latitude and longitude so).
    if (std::fabs(latitude) < 89) {
      const GeoPoint back = mapToGeographic(p->x, p->y);
      QVERIFY(std::fabs(back.latitude - latitude) < 1e-9 && std::fabs(back.longitude - longitude) < 1e-9);
    }
  }

  void pictureSize() {
    // pixels * 2540 / 96, to the nearest: 22568.96 rounds up.
    QCOMPARE(pictureSizeOfBitmap(1200, 853).width, 31750);
    QCOMPARE(pictureSizeOfBitmap(1200, 853).height, 22569);
    QCOMPARE(pictureSizeOfBitmap(1, 2).width, 26);  // 26.46
    QCOMPARE(pictureSizeOfBitmap(1, 2).height, 53);  // 52.92
    QCOMPARE(pictureSizeOfBitmap(0, 0).width, 0);
  }

  void fit_data() {
    QTest::addColumn<QSizeF>("page");
    QTest::addColumn<QSize>("picture");
    QTest::addColumn<QSizeF>("fitted");
    // 11906 / 31750 = 0.37499 < 16838 / 22569 = 0.74607: the width decides.
    QTest::newRow("portrait A4") << QSizeF(11906, 16838) << QSize(31750, 22569) << QSizeF(11906, 8463);
    // 11906 / 22569 = 0.52753 < 16838 / 31750 = 0.53033: the height decides.
    QTest::newRow("landscape A4") << QSizeF(16838, 11906) << QSize(31750, 22569) << QSizeF(16749, 11906);
    QTest::newRow("equal ratios") << QSizeF(200, 100) << QSize(400, 200) << QSizeF(200, 100);
    // Ratio 0.5: 22569 / 2 = 11284.5 goes down to the even 11284, 22567 / 2 = 11283.5 up to it.
    QTest::newRow("a half down to even") << QSizeF(15875, 99999) << QSize(31750, 22569) << QSizeF(15875, 11284);
    QTest::newRow("a half up to even") << QSizeF(15875, 99999) << QSize(31750, 22567) << QSizeF(15875, 11284);
    // 13143 / 31750 at single precision is 0.41395277; times 22569 that is 9342.50002,
    // where a double ratio would give 9342.49975.
    QTest::newRow("the ratio is a single") << QSizeF(13143, 99999) << QSize(31750, 22569) << QSizeF(13143, 9343);
  }
  void fit() {
    QFETCH(QSizeF, page);
    QFETCH(QSize, picture);
    QFETCH(QSizeF, fitted);
    const auto fit = fitPictureToPage(page.width(), page.height(), {picture.width(), picture.height()});
    QVERIFY(fit);
    QCOMPARE(QSizeF(fit->width, fit->height), fitted);
    QCOMPARE(QSizeF(fit->drawWidth, fit->drawHeight), fitted * 1.4);
  }

  void nothingToFit() {
    QVERIFY(!fitPictureToPage(0, 16838, {31750, 22569}));
    QVERIFY(!fitPictureToPage(11906, -1, {31750, 22569}));
    QVERIFY(!fitPictureToPage(qInf(), 16838, {31750, 22569}));
    QVERIFY(!fitPictureToPage(11906, 16838, {0, 22569}));
  }
};

QTEST_APPLESS_MAIN(TestMap)
#include "tst_map.moc"
