// Crossings of circles as drawn and on the ellipsoid, their support and order, and
// the circle outlines.

#include "analysis/crossings.h"

#include <GeographicLib/Geodesic.hpp>
#include <QtTest>
#include <cmath>

using namespace eq;
using GeographicLib::Geodesic;

Q_DECLARE_METATYPE(eq::CircleMode)

namespace {

double ellipsoidKm(double lat1, double lon1, double lat2, double lon2) {
  double metres = 0;
  Geodesic::WGS84().Inverse(lat1, lon1, lat2, lon2, metres);
  return metres / 1000;
}

// Twice the area enclosed, positive when counter-clockwise with east right and north up.
double signedArea(const std::vector<GeoPoint>& ring) {
  double sum = 0;
  for (size_t i = 0; i + 1 < ring.size(); ++i) {
    sum += ring[i].longitude * ring[i + 1].latitude - ring[i + 1].longitude * ring[i].latitude;
  }
  return sum;
}

}  // namespace

class TestCrossings : public QObject {
  Q_OBJECT
 private slots:
  // A at 54N 135E = (9000, 0), B at 44N 135E = (9000, 3333) unless B sits on A. With
  // radii of 888.8 and 666.6 km (2666.4 and 1999.8 map units) A, B and each crossing
  // make a 3-4-5 triangle: the chord's foot is 0.64 x 3333 = 2133.12 below A and the
  // crossings lie 0.48 x 3333 = 1599.84 either side.
  void classic_data() {
    QTest::addColumn<double>("latitudeB");
    QTest::addColumn<double>("radiusA");
    QTest::addColumn<double>("radiusB");
    QTest::addColumn<int>("count");
    QTest::addColumn<QList<QPointF>>("points");  // by x; empty: only checked on both circles
    QTest::addColumn<bool>("onSheet");
    QTest::newRow("3-4-5") << 44.0 << 888.8 << 666.6 << 2
                           << QList<QPointF>{{7400.16, 2133.12}, {10599.84, 2133.12}} << true;
    QTest::newRow("touching outside") << 44.0 << 444.4 << 666.6 << 1 << QList<QPointF>{{9000, 1333.2}} << true;
    QTest::newRow("0.3 apart counts as touching") << 44.0 << 444.4 << 666.5 << 1
                                                  << QList<QPointF>{{9000, 1333.35}} << true;
    QTest::newRow("0.6 apart") << 44.0 << 444.4 << 666.4 << 0 << QList<QPointF>{} << true;
    QTest::newRow("0.6 overlap") << 44.0 << 444.4 << 666.8 << 2 << QList<QPointF>{} << true;
    QTest::newRow("B touches A inside") << 44.0 << 1777.6 << 666.6 << 1 << QList<QPointF>{{9000, 5332.8}} << true;
    QTest::newRow("A touches B inside, off the sheet") << 44.0 << 444.4 << 1555.4 << 1
                                                       << QList<QPointF>{{9000, -1333.2}} << false;
    QTest::newRow("nested") << 44.0 << 1500.0 << 100.0 << 0 << QList<QPointF>{} << true;
    QTest::newRow("same circle") << 54.0 << 100.0 << 100.0 << 0 << QList<QPointF>{} << true;
  }

  void classic() {
    QFETCH(double, latitudeB);
    QFETCH(double, radiusA);
    QFETCH(double, radiusB);
    QFETCH(int, count);
    QFETCH(QList<QPointF>, points);
    QFETCH(bool, onSheet);
    // Given out of row order: the crossing still names the lower row first.
    const auto found = findCrossings({{2, latitudeB, 135, radiusB}, {1, 54, 135, radiusA}}, CircleMode::Classic);
    QCOMPARE(int(found.size()), count);
    for (size_t i = 0; i < found.size(); ++i) {
      const Crossing& c = found[i];
      QCOMPARE(c.rowA, 1);
      QCOMPARE(c.rowB, 2);
      QCOMPARE(c.support, 2);
      QCOMPARE(c.onSheet, onSheet);
      if (!points.isEmpty()) QVERIFY(QLineF(QPointF(c.x, c.y), points[int(i)]).length() < 1e-6);
      if (count == 2) {
        QVERIFY(std::fabs(std::hypot(c.x - 9000, c.y) - 3 * radiusA) < 1e-6);
        QVERIFY(std::fabs(std::hypot(c.x - 9000, c.y - 3333) - 3 * radiusB) < 1e-6);
      }
      // The geographic position is the map position's inverse.
      const auto back = projectToMap(c.latitude, c.longitude);
      QVERIFY(std::fabs(back->x - c.x) < 1e-6 && std::fabs(back->y - c.y) < 1e-6);
    }
  }

  // A third circle round A's centre passes each crossing of A and B at |888.8 - r| km.
  void support_data() {
    QTest::addColumn<CircleMode>("mode");
    QTest::addColumn<double>("radiusK");
    QTest::addColumn<double>("tolerance");
    QTest::addColumn<int>("support");
    for (const CircleMode mode : {CircleMode::Classic, CircleMode::Geodesic}) {
      const char* m = circleModeName(mode);
      QTest::addRow("%s 49.9 km outside", m) << mode << 938.7 << 50.0 << 3;
      QTest::addRow("%s 50.1 km outside", m) << mode << 938.9 << 50.0 << 2;
      QTest::addRow("%s 49.9 km inside", m) << mode << 838.9 << 50.0 << 3;
      QTest::addRow("%s 50.1 km outside, 100 km tolerance", m) << mode << 938.9 << 100.0 << 3;
      QTest::addRow("%s negative radius", m) << mode << -5.0 << 5000.0 << 2;
      QTest::addRow("%s no radius", m) << mode << std::nan("") << 5000.0 << 2;
    }
  }

  void support() {
    QFETCH(CircleMode, mode);
    QFETCH(double, radiusK);
    QFETCH(double, tolerance);
    QFETCH(int, support);
    int crossings = 0;
    for (const Crossing& c : findCrossings({{1, 54, 135, 888.8}, {2, 44, 135, 666.6}, {3, 54, 135, radiusK}}, mode,
                                           tolerance)) {
      if (c.rowB != 2) continue;  // the third circle's own crossings
      QCOMPARE(c.support, support);
      ++crossings;
    }
    QCOMPARE(crossings, 2);
  }

  void order() {
    auto at = [](int support, int rowA, int rowB, double x) { return Crossing{rowA, rowB, x, 0, 0, 0, true, support}; };
    std::vector<Crossing> list = {at(2, 1, 2, 500), at(3, 2, 3, 100), at(2, 1, 3, 50), at(2, 1, 2, 400),
                                  at(4, 3, 4, 900), at(3, 1, 4, 700)};
    sortCrossings(list);
    const std::vector<std::tuple<int, int, int, double>> expected = {
        {4, 3, 4, 900}, {3, 1, 4, 700}, {3, 2, 3, 100}, {2, 1, 2, 400}, {2, 1, 2, 500}, {2, 1, 3, 50}};
    for (size_t i = 0; i < list.size(); ++i) {
      QCOMPARE(std::make_tuple(list[i].support, list[i].rowA, list[i].rowB, list[i].x), expected[i]);
    }
  }

  // A at 35N 135E, B at 37N 138E (d about 350 km); radius B = factor x d + offset km.
  void geodesic_data() {
    QTest::addColumn<double>("latitudeB");
    QTest::addColumn<double>("longitudeB");
    QTest::addColumn<double>("radiusA");
    QTest::addColumn<double>("factor");
    QTest::addColumn<double>("offset");
    QTest::addColumn<int>("count");
    QTest::newRow("crossing") << 37.0 << 138.0 << 300.0 << 0.0 << 250.0 << 2;
    QTest::newRow("touching outside") << 37.0 << 138.0 << 200.0 << 1.0 << -200.0 << 1;
    QTest::newRow("50 m overlap") << 37.0 << 138.0 << 200.0 << 1.0 << -199.95 << 2;
    QTest::newRow("50 m apart") << 37.0 << 138.0 << 200.0 << 1.0 << -200.05 << 0;
    QTest::newRow("B touches A inside") << 37.0 << 138.0 << 600.0 << -1.0 << 600.0 << 1;
    QTest::newRow("50 m overlap inside") << 37.0 << 138.0 << 600.0 << -1.0 << 600.05 << 2;
    QTest::newRow("nested") << 37.0 << 138.0 << 600.0 << -1.0 << 599.0 << 0;
    QTest::newRow("same centre") << 35.0 << 135.0 << 200.0 << 0.0 << 100.0 << 0;
  }

  void geodesic() {
    QFETCH(double, latitudeB);
    QFETCH(double, longitudeB);
    QFETCH(double, radiusA);
    QFETCH(double, factor);
    QFETCH(double, offset);
    QFETCH(int, count);
    const double radiusB = factor * ellipsoidKm(35, 135, latitudeB, longitudeB) + offset;
    const auto found =
        findCrossings({{1, 35, 135, radiusA}, {2, latitudeB, longitudeB, radiusB}}, CircleMode::Geodesic);
    QCOMPARE(int(found.size()), count);
    for (const Crossing& c : found) {
      QVERIFY(std::fabs(ellipsoidKm(c.latitude, c.longitude, 35, 135) - radiusA) <= 0.010);
      QVERIFY(std::fabs(ellipsoidKm(c.latitude, c.longitude, latitudeB, longitudeB) - radiusB) <= 0.010);
      const auto p = projectToMap(c.latitude, c.longitude);
      QVERIFY(std::fabs(p->x - c.x) < 1e-9 && std::fabs(p->y - c.y) < 1e-9);
    }
    if (count == 2) QVERIFY(ellipsoidKm(found[0].latitude, found[0].longitude, found[1].latitude, found[1].longitude) > 1);
  }

  void outline_data() {
    QTest::addColumn<CircleMode>("mode");
    QTest::addColumn<int>("points");
    QTest::addColumn<int>("size");
    QTest::newRow("classic, never fewer than 360") << CircleMode::Classic << 12 << 361;
    QTest::newRow("geodesic, 720") << CircleMode::Geodesic << 720 << 721;
  }

  // Every point at the radius: on the sheet 3 map units per km from the projected
  // centre, on the ellipsoid within 1 m.
  void outline() {
    QFETCH(CircleMode, mode);
    QFETCH(int, points);
    QFETCH(int, size);
    const auto ring = circleOutline({1, 35.5, 139.5, 500}, mode, points);
    QCOMPARE(int(ring.size()), size);
    QCOMPARE(ring.front().latitude, ring.back().latitude);
    QCOMPARE(ring.front().longitude, ring.back().longitude);
    QVERIFY(signedArea(ring) > 0);
    const MapPoint centre = *projectToMap(35.5, 139.5);
    for (const GeoPoint& g : ring) {
      double km = 0;
      if (mode == CircleMode::Classic) {
        const MapPoint p = *projectToMap(g.latitude, g.longitude);
        km = std::hypot(p.x - centre.x, p.y - centre.y) / 3;
      } else {
        km = ellipsoidKm(35.5, 139.5, g.latitude, g.longitude);
      }
      QVERIFY2(std::fabs(km - 500) <= 0.001, qPrintable(QString::number(km, 'f', 6)));
    }
    QVERIFY(circleOutline({1, 35.5, 139.5, -1}, mode).empty());
  }

  // Drawn from due north, on the sheet's projection.
  void geodesicCircleOnSheet() {
    const auto line = geodesicCircle(35, 135, 200);
    QCOMPARE(line.size(), size_t(361));
    QVERIFY(std::fabs(line.front().x - 9000) < 1e-6);
    const GeoPoint north = mapToGeographic(line.front().x, line.front().y);
    QVERIFY(std::fabs(ellipsoidKm(35, 135, north.latitude, north.longitude) - 200) < 0.001);
  }
};

QTEST_APPLESS_MAIN(TestCrossings)
#include "tst_crossings.moc"
