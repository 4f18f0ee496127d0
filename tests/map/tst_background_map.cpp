// The shipped background map JapanMap3.bmp against geography and against the outlines it is drawn from.
// Draw places it unscaled at the sheet's top-left corner, so a geographic position must fall on the
// pixel that projectToMap gives, divided by 15 twips per pixel.

#include "land_extract.h"
#include "map/projection.h"

#include <QColor>
#include <QImage>
#include <QtTest>

#include <algorithm>
#include <cmath>
#include <limits>
#include <set>
#include <sstream>

using namespace eq;

namespace {

constexpr double kTwipsPerPixel = 15;

QPointF toPixel(double latitude, double longitude) {
  const auto p = projectToMap(latitude, longitude);
  return p ? QPointF(p->x / kTwipsPerPixel, p->y / kTwipsPerPixel) : QPointF(-1, -1);
}

struct Segment {
  QPointF a;
  QPointF b;
};

double distanceToSegment(QPointF p, const Segment& s) {
  const QPointF d = s.b - s.a;
  const double length2 = QPointF::dotProduct(d, d);
  double t = length2 == 0 ? 0 : QPointF::dotProduct(p - s.a, d) / length2;
  t = std::clamp(t, 0.0, 1.0);
  const QPointF q = s.a + t * d - p;
  return std::hypot(q.x(), q.y());
}

}  // namespace

class TestBackgroundMap : public QObject {
  Q_OBJECT
 private slots:
  void initTestCase();
  void sizeAndColours();
  void capes_data();
  void capes();
  void landAndSea_data();
  void landAndSea();
  void pixelsFollowOutlines_data();
  void pixelsFollowOutlines();
  void readerRejects_data();
  void readerRejects();

 private:
  enum Kind { Sea, Land, Coast, Other };
  Kind kindAt(QPoint p) const;
  Kind kindAt(double latitude, double longitude) const;

  QImage map_;
  QRgb land_ = 0;
  QRgb coast_ = 0;
  std::vector<Segment> segments_;  // every outline edge, in pixels
};

void TestBackgroundMap::initTestCase() {
  QVERIFY2(map_.load(QStringLiteral(EQ_BACKGROUND_MAP)), EQ_BACKGROUND_MAP);
  map_ = map_.convertToFormat(QImage::Format_RGB32);
  const LandExtract extract = readLandExtractFile(EQ_LAND_EXTRACT);
  QVERIFY2(extract.error.empty(), extract.error.c_str());
  for (const LandRing& ring : extract.rings) {
    for (std::size_t k = 0; k < ring.size(); ++k) {
      const GeoPoint& a = ring[k];
      const GeoPoint& b = ring[(k + 1) % ring.size()];
      segments_.push_back({toPixel(a.latitude, a.longitude), toPixel(b.latitude, b.longitude)});
    }
  }
  // Land colour: far inland on the continent (Mongolian plateau); the coast has the third colour.
  land_ = map_.pixel(toPixel(45, 105).toPoint());
  for (int y = 0; y < map_.height() && !coast_; ++y)
    for (int x = 0; x < map_.width(); ++x) {
      const QRgb c = map_.pixel(x, y);
      if (c != land_ && c != qRgb(255, 255, 255)) {
        coast_ = c;
        break;
      }
    }
  QVERIFY(coast_);
}

TestBackgroundMap::Kind TestBackgroundMap::kindAt(QPoint p) const {
  if (!map_.valid(p)) return Other;
  const QRgb c = map_.pixel(p);
  if (c == qRgb(255, 255, 255)) return Sea;
  if (c == land_) return Land;
  if (c == coast_) return Coast;
  return Other;
}

TestBackgroundMap::Kind TestBackgroundMap::kindAt(double latitude, double longitude) const {
  const QPointF p = toPixel(latitude, longitude);
  return kindAt(QPoint(static_cast<int>(std::floor(p.x())), static_cast<int>(std::floor(p.y()))));
}

void TestBackgroundMap::sizeAndColours() {
  QCOMPARE(map_.size(), QSize(1200, 853));
  std::set<QRgb> colours;
  for (int y = 0; y < map_.height(); ++y)
    for (int x = 0; x < map_.width(); ++x) colours.insert(map_.pixel(x, y));
  QCOMPARE(colours.size(), std::size_t(3));  // sea, land, coast
  QVERIFY(colours.count(qRgb(255, 255, 255)));
  QVERIFY(land_ != qRgb(255, 255, 255));
  QVERIFY(colours.count(land_) && colours.count(coast_));
  // Light land, a darker coast; both pale enough for red circles and black marks on top.
  QVERIFY(qGray(coast_) < qGray(land_));
  QVERIFY(qGray(land_) > 200);
  QVERIFY(qGray(coast_) > 120);
  QVERIFY(std::abs(qRed(land_) - qBlue(land_)) < 64);  // not to be mistaken for red or blue
}

void TestBackgroundMap::capes_data() {
  // A cape's tip, the direction (in pixels) in which open sea lies off it, and one towards land.
  QTest::addColumn<double>("latitude");
  QTest::addColumn<double>("longitude");
  QTest::addColumn<QPoint>("seaward");
  QTest::addColumn<QPoint>("inland");
  const QPoint north(0, -1), south(0, 1), east(1, 0), west(-1, 0);
  QTest::newRow("Cape Soya") << 45.52 << 141.94 << north << south;
  QTest::newRow("Cape Sata") << 30.99 << 130.66 << south << north;
  QTest::newRow("Cape Inubo") << 35.71 << 140.87 << east << west;
  QTest::newRow("Cape Muroto") << 33.25 << 134.18 << south << north;
  QTest::newRow("Cape Erimo") << 41.93 << 143.25 << south << north;
  QTest::newRow("Cape Ashizuri") << 32.72 << 133.02 << south << north;
  QTest::newRow("Cape Shionomisaki") << 33.43 << 135.76 << south << north;
  QTest::newRow("Cape Nosappu") << 43.385 << 145.817 << south << west;
  QTest::newRow("Cape Tappi") << 41.26 << 140.34 << west << south + east;
  QTest::newRow("Homigot, Korea") << 36.08 << 129.57 << north << south;
  QTest::newRow("Chengshantou, Shandong") << 37.40 << 122.70 << east << west;
  QTest::newRow("Eluanbi, Taiwan") << 21.90 << 120.85 << south << north;
  QTest::newRow("Cape Lopatka, Kamchatka") << 50.87 << 156.67 << south << north;
}

void TestBackgroundMap::capes() {
  QFETCH(double, latitude);
  QFETCH(double, longitude);
  QFETCH(QPoint, seaward);
  QFETCH(QPoint, inland);
  const QPointF exact = toPixel(latitude, longitude);
  const QPoint tip(static_cast<int>(std::floor(exact.x())), static_cast<int>(std::floor(exact.y())));
  // The outlines are good to a pixel or so: the coast line passes within a pixel of the tip.
  bool onShore = false;
  for (int dy = -1; dy <= 1; ++dy)
    for (int dx = -1; dx <= 1; ++dx) onShore = onShore || kindAt(tip + QPoint(dx, dy)) == Coast;
  QVERIFY2(onShore, "no coast within a pixel of the tip");
  const Kind landward = kindAt(tip + 2 * inland);
  QVERIFY(landward == Land || landward == Coast);
  for (int k = 3; k <= 6; ++k) QCOMPARE(kindAt(tip + k * seaward), Sea);
}

void TestBackgroundMap::landAndSea_data() {
  QTest::addColumn<double>("latitude");
  QTest::addColumn<double>("longitude");
  QTest::addColumn<int>("kind");
  QTest::newRow("Japan Alps") << 36.2 << 137.8 << int(Land);
  QTest::newRow("Hokkaido, Asahikawa") << 43.77 << 142.36 << int(Land);
  QTest::newRow("Kyushu, Kumamoto") << 32.80 << 130.90 << int(Land);
  QTest::newRow("Korea, Daejeon") << 36.35 << 127.38 << int(Land);
  QTest::newRow("Beijing") << 39.9 << 116.4 << int(Land);
  QTest::newRow("Taiwan, Central Range") << 23.7 << 121.0 << int(Land);
  QTest::newRow("Pacific, 30N 150E") << 30.0 << 150.0 << int(Sea);
  QTest::newRow("Pacific, 20N 160E") << 20.0 << 160.0 << int(Sea);
  QTest::newRow("Sea of Japan, 40N 135E") << 40.0 << 135.0 << int(Sea);
  QTest::newRow("East China Sea, 30N 125E") << 30.0 << 125.0 << int(Sea);
  QTest::newRow("Sea of Okhotsk, 50N 150E") << 50.0 << 150.0 << int(Sea);
  QTest::newRow("Tokyo Bay") << 35.45 << 139.85 << int(Sea);
  QTest::newRow("Seto Inland Sea, Hiuchi-nada") << 34.07 << 133.30 << int(Sea);
}

void TestBackgroundMap::landAndSea() {
  QFETCH(double, latitude);
  QFETCH(double, longitude);
  QFETCH(int, kind);
  QCOMPARE(int(kindAt(latitude, longitude)), kind);
}

void TestBackgroundMap::pixelsFollowOutlines_data() {
  // Windows of 41 x 41 pixels around stretches of coast in every direction of the sheet.
  QTest::addColumn<double>("latitude");
  QTest::addColumn<double>("longitude");
  QTest::newRow("Cape Sata") << 31.0 << 130.66;
  QTest::newRow("Boso peninsula") << 35.0 << 140.0;
  QTest::newRow("Cape Erimo") << 41.93 << 143.25;
  QTest::newRow("Noto peninsula") << 37.3 << 137.0;
  QTest::newRow("Korea, south coast") << 34.8 << 127.5;
  QTest::newRow("Shanghai") << 31.2 << 121.8;
  QTest::newRow("Sakhalin") << 49.0 << 142.5;
  QTest::newRow("Kamchatka, top edge") << 53.5 << 158.5;
  QTest::newRow("Hainan, bottom left") << 19.2 << 110.3;
  QTest::newRow("Luzon, bottom edge") << 16.5 << 120.3;
}

// A pixel is coast when an outline runs through its square, land when its centre lies inside the land,
// else sea. Checked where the answer does not hang on rounding: an outline closer to the pixel's centre
// than half a pixel surely crosses the square; one farther than half the diagonal surely does not.
void TestBackgroundMap::pixelsFollowOutlines() {
  QFETCH(double, latitude);
  QFETCH(double, longitude);
  const QPointF centre = toPixel(latitude, longitude);
  const QRect window = QRect(centre.toPoint() - QPoint(20, 20), QSize(41, 41)) & map_.rect();
  QVERIFY(window.width() > 20 && window.height() > 20);

  std::vector<Segment> near;
  const QRectF reach = QRectF(window).adjusted(-2, -2, 2, 2);
  for (const Segment& s : segments_) {
    if (std::max(s.a.x(), s.b.x()) < reach.left() || std::min(s.a.x(), s.b.x()) > reach.right()) continue;
    near.push_back(s);  // in the window's columns: needed for the vertical ray below
  }

  int checked[3] = {0, 0, 0};
  for (int y = window.top(); y <= window.bottom(); ++y) {
    for (int x = window.left(); x <= window.right(); ++x) {
      const QPointF p(x + 0.5, y + 0.5);
      double distance = std::numeric_limits<double>::infinity();
      bool inside = false;
      for (const Segment& s : near) {
        distance = std::min(distance, distanceToSegment(p, s));
        // ray from the centre straight up (north), counting outline crossings
        if ((s.a.x() <= p.x()) != (s.b.x() <= p.x())) {
          const double yCross = s.a.y() + (p.x() - s.a.x()) * (s.b.y() - s.a.y()) / (s.b.x() - s.a.x());
          if (yCross < p.y()) inside = !inside;
        }
      }
      Kind expected;
      if (distance < 0.49)
        expected = Coast;
      else if (distance > 0.72)
        expected = inside ? Land : Sea;
      else
        continue;
      const Kind actual = kindAt(QPoint(x, y));
      if (actual != expected)
        QFAIL(qPrintable(QStringLiteral("pixel (%1, %2): %3 expected, %4 found (outline %5 px away)")
                             .arg(x)
                             .arg(y)
                             .arg(int(expected))
                             .arg(int(actual))
                             .arg(distance)));
      ++checked[expected];
    }
  }
  // every window holds all three kinds, so none of the checks above was idle
  QVERIFY2(checked[Sea] > 20 && checked[Land] > 20 && checked[Coast] > 20,
           qPrintable(QStringLiteral("%1 sea, %2 land, %3 coast").arg(checked[Sea]).arg(checked[Land]).arg(checked[Coast])));
}

void TestBackgroundMap::readerRejects_data() {
  QTest::addColumn<QString>("text");
  QTest::addColumn<int>("rings");  // -1: rejected
  QTest::newRow("good") << "# c\nring 3\n140 35\n141 35.5\n140.5 36\n" << 1;
  QTest::newRow("CR LF and blank lines") << "ring 3\r\n140 35\r\n\r\n141 35\r\n141 36\r\n" << 1;
  QTest::newRow("empty") << "# nothing\n" << -1;
  QTest::newRow("cut short") << "ring 4\n140 35\n141 35\n141 36\n" << -1;
  QTest::newRow("too few vertices") << "ring 2\n140 35\n141 35\n" << -1;
  QTest::newRow("no ring line") << "140 35\n141 35\n141 36\n" << -1;
  QTest::newRow("one number") << "ring 3\n140\n141 35\n141 36\n" << -1;
  QTest::newRow("trailing word") << "ring 3\n140 35 x\n141 35\n141 36\n" << -1;
  QTest::newRow("latitude out of range") << "ring 3\n140 95\n141 35\n141 36\n" << -1;
  QTest::newRow("not a number") << "ring 3\nnan 35\n141 35\n141 36\n" << -1;
}

void TestBackgroundMap::readerRejects() {
  QFETCH(QString, text);
  QFETCH(int, rings);
  std::istringstream in(text.toStdString());
  const LandExtract extract = readLandExtract(in);
  if (rings < 0) {
    QVERIFY(!extract.error.empty());
  } else {
    QVERIFY2(extract.error.empty(), extract.error.c_str());
    QCOMPARE(int(extract.rings.size()), rings);
  }
}

QTEST_GUILESS_MAIN(TestBackgroundMap)
#include "tst_background_map.moc"
