// The projection against the table of graticule corners and its edge cases.

#include "map/projection.h"

#include <QtTest>
#include <cmath>

using namespace eq;

class TestProjection : public QObject {
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
      for (int i = 0; i < 7; ++i)
        QTest::addRow("%gN %gE", row.latitude, longitudes[i]) << row.latitude << longitudes[i] << row.x[i] << row.y << 0.05;
    }
    QTest::newRow("135E is x 9000 exactly") << 45.0 << 135.0 << 9000.0 << 2999.7 << 1e-9;
    QTest::newRow("54N is y 0") << 54.0 << 140.0 << 9981.48 << 0.0 << 0.01;
    QTest::newRow("south of the equator") << -10.0 << 135.0 << 9000.0 << 21331.2 << 1e-9;
    QTest::newRow("0N 0E lies far outside") << 0.0 << 0.0 << -36084.4 << 17998.2 << 0.05;
    QTest::newRow("no wrap at 180") << 0.0 << 190.0 << 27367.7 << 17998.2 << 0.05;
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
    QVERIFY(p);
    QVERIFY2(std::fabs(p->x - x) <= tolerance, qPrintable(QString::number(p->x, 'f', 6)));
    QVERIFY2(std::fabs(p->y - y) <= tolerance, qPrintable(QString::number(p->y, 'f', 6)));
  }

  void nonFiniteFails() {
    QVERIFY(!projectToMap(std::numeric_limits<double>::infinity(), 135));
    QVERIFY(!projectToMap(35, std::nan("")));
  }

  void inverse() {
    for (double lat : {20.0, 33.3, 45.5}) {
      for (double lon : {110.0, 131.0, 155.5}) {
        const MapPoint g = mapToGeographic(projectToMap(lat, lon)->x, projectToMap(lat, lon)->y);
        QVERIFY(std::fabs(g.x - lat) < 1e-9 && std::fabs(g.y - lon) < 1e-9);
      }
    }
  }
};

QTEST_APPLESS_MAIN(TestProjection)
#include "tst_projection.moc"
