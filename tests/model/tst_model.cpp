// The parts below the session against values worked out by hand: number text; projection and
// print fit; the data file in code page 932 or UTF-8; crossings, outlines and map exports (read
// back by Qt's JSON and XML readers); the sheet's renderer and files (PDF rasterised by poppler),
// the PNG frame encoder and the background bitmap decoded once.

#include "analysis/crossings.h"
#include "analysis/geodesic.h"
#include "analysis/map_export.h"
#include "common/files.h"
#include "datafile/record_format.h"
#include "datafile/sjis_codec.h"
#include "map/print_fit.h"
#include "map/projection.h"
#include "model/number_text.h"
#include "sheet/png_frame_encoder.h"
#include "sheet/png_writer.h"
#include "sheet/sheet_export.h"
#include "sheet/sheet_renderer.h"

#include <QPainter>
#include <QSvgRenderer>
#include <QtTest>
#include <cfloat>
#include <clocale>
#include <cmath>

using namespace eq;
using namespace eq::test;

Q_DECLARE_METATYPE(eq::CircleMode)

namespace {
// One row per text: whether the strict reading takes it, its value, and the lenient reading.
void addReadings(std::initializer_list<std::tuple<const char*, bool, double, double>> readings) {
  for (const auto& [text, ok, value, leading] : readings)
    QTest::addRow("\"%s\"", text) << QByteArray(text) << ok << value << leading;
}
void addPrinted(std::initializer_list<std::tuple<float, const char*, const char*>> cases) {
  for (const auto& [value, general, sign] : cases) QTest::addRow("%s", general) << value << general << sign;
}

QString fromUtf8(const std::string& text) { return QString::fromStdString(text); }
std::string bytes(const QByteArray& data) { return data.toStdString(); }

// A record as text: the name or "<none>", then each number or "-" where the line gave none.
QString describe(const EruptionRecord& record) {
  QStringList out{record.name ? fromUtf8(*record.name) : QStringLiteral("<none>")};
  for (const auto& number : record.numbers) out << (number ? QString::number(double(*number), 'g', 7) : "-");
  return out.join(' ');
}

const QString kBad(QChar(0xFFFD));

double ellipsoidKm(double lat1, double lon1, double lat2, double lon2) {
  return wgs84::distance(lat1, lon1, lat2, lon2) / 1000;
}

// Twice the area enclosed, positive when counter-clockwise with east right and north up.
double signedArea(const std::vector<GeoPoint>& ring) {
  double sum = 0;
  for (size_t i = 0; i + 1 < ring.size(); ++i) {
    sum += ring[i].longitude * ring[i + 1].latitude - ring[i + 1].longitude * ring[i].latitude;
  }
  return sum;
}

const std::string kAwkwardName = "浅間\"山\\\n\x01\xEF\xBF\xBF" "end";

// Two crossing circles (the 3-4-5 layout: A 54N 135E 888.8 km, B 44N 135E 666.6 km),
// a drawn row the law gave no circle, an excluded row and a skipped one.
// The export of these volcanoes for 1 January 2024, with the crossings of their circles.
MapExport mapOf(std::vector<VolcanoFeature> volcanoes, CircleMode mode) {
  MapExport map;
  map.prediction = {2024, 1, 1};
  map.mode = mode;
  std::vector<CircleInput> circles;
  for (const VolcanoFeature& v : volcanoes) {
    if (v.radiusKm) circles.push_back({v.row, v.latitude, v.longitude, *v.radiusKm});
  }
  map.crossings = findCrossings(circles, mode);
  map.volcanoes = std::move(volcanoes);
  return map;
}

MapExport sample(CircleMode mode) {
  return mapOf({{1, kAwkwardName, {1783, 8, 5}, 54, 135, 888.8, "drawn"},
                {2, "<B & 'C'>", {1990, 11, 17}, 44, 135, 666.6, "drawn"},
                {3, "", {2000, 0, 0}, 40.1f, 140.2f, std::nullopt, "drawn"},
                {4, "x", {2030, 1, 1}, 35, 500, std::nullopt, "excluded"},
                {5, "y", {0, 0, 0}, 0, 0, std::nullopt, "skipped"}},
               mode);
}

// Whether segments ab and cd meet, touching included.
bool meet(const GeoPoint& a, const GeoPoint& b, const GeoPoint& c, const GeoPoint& d) {
  const auto side = [](const GeoPoint& o, const GeoPoint& p, const GeoPoint& q) {
    const double turn = (p.longitude - o.longitude) * (q.latitude - o.latitude) -
                        (p.latitude - o.latitude) * (q.longitude - o.longitude);
    return (turn > 0) - (turn < 0);
  };
  const auto within = [](const GeoPoint& p, const GeoPoint& q, const GeoPoint& r) {  // r on the line pq
    return std::min(p.longitude, q.longitude) <= r.longitude && r.longitude <= std::max(p.longitude, q.longitude) &&
           std::min(p.latitude, q.latitude) <= r.latitude && r.latitude <= std::max(p.latitude, q.latitude);
  };
  const int d1 = side(c, d, a), d2 = side(c, d, b), d3 = side(a, b, c), d4 = side(a, b, d);
  if (d1 * d2 < 0 && d3 * d4 < 0) return true;
  return (d1 == 0 && within(c, d, a)) || (d2 == 0 && within(c, d, b)) || (d3 == 0 && within(a, b, c)) ||
         (d4 == 0 && within(a, b, d));
}

// What makes a GeoJSON geometry break RFC 7946 or OGC validity, empty when nothing:
// positions within -180 ... 180 and -90 ... 90; polygons of one ring, closed, of four
// positions or more, counter-clockwise; no edge meeting another but its neighbours.
// `rings` gets the rings.
QString geometryProblem(const QJsonObject& geometry, std::vector<std::vector<GeoPoint>>* rings) {
  const auto place = [](const QJsonValue& p) { return GeoPoint{p[1].toDouble(), p[0].toDouble()}; };
  const auto inRange = [](const GeoPoint& g) { return std::fabs(g.longitude) <= 180 && std::fabs(g.latitude) <= 90; };
  const QString type = geometry["type"].toString();
  const QJsonArray coordinates = geometry["coordinates"].toArray();
  if (type == "Point") return coordinates.size() == 2 && inRange(place(coordinates)) ? "" : "position";
  QJsonArray polygons;
  if (type == "Polygon") polygons.append(coordinates);
  if (type == "MultiPolygon") polygons = coordinates;
  if (polygons.isEmpty()) return "type " + type;
  for (const QJsonValue polygon : polygons) {
    if (polygon.toArray().size() != 1) return "not one ring";
    std::vector<GeoPoint>& ring = rings->emplace_back();
    for (const QJsonValue p : polygon[0].toArray()) ring.push_back(place(p));
    if (!std::all_of(ring.begin(), ring.end(), inRange)) return "position";
    if (ring.size() < 4 || polygon[0][0] != polygon[0].toArray().last()) return "not closed";
    if (!(signedArea(ring) > 0)) return "clockwise";
  }
  for (std::size_t r = 0; r < rings->size(); ++r) {
    for (std::size_t s = r; s < rings->size(); ++s) {
      const auto& a = (*rings)[r];
      const auto& b = (*rings)[s];
      for (std::size_t i = 1; i < a.size(); ++i) {
        for (std::size_t j = r == s ? i + 1 : 1; j < b.size(); ++j) {
          const bool neighbours = r == s && (j == i + 1 || (i == 1 && j == a.size() - 1));
          if (!neighbours && meet(a[i - 1], a[i], b[j - 1], b[j])) return QStringLiteral("edges meet at %1").arg(i);
        }
      }
    }
  }
  return {};
}

// Whether the point lies inside the rings (an odd number of edges to its east).
bool inside(const std::vector<std::vector<GeoPoint>>& rings, const GeoPoint& g) {
  bool in = false;
  for (const auto& ring : rings) {
    for (std::size_t i = 1; i < ring.size(); ++i) {
      const GeoPoint& p = ring[i - 1];
      const GeoPoint& q = ring[i];
      if ((p.latitude > g.latitude) != (q.latitude > g.latitude) &&
          g.longitude < p.longitude + (g.latitude - p.latitude) / (q.latitude - p.latitude) * (q.longitude - p.longitude))
        in = !in;
    }
  }
  return in;
}

// Red discs near the four corners and in the middle, and an open circle round the middle.
const QPointF kDiscs[] = {{1500, 1500}, {16500, 1500}, {1500, 11300}, {16500, 11300}, {9000, 6400}};

DrawResult discSheet() {
  DrawResult drawing;
  std::vector<SheetItem>& items = drawing.sheet.items;
  for (const QPointF& c : kDiscs) items.push_back(SheetCircle{float(c.x()), float(c.y()), 150, kRed, kRed});
  items.push_back(SheetCircle{9000, 6400, 4000, kRed, std::nullopt});
  items.push_back(SheetText{3300, 480, kBlack, "1000 km"});
  return drawing;
}

const QImage kNoBackground;

QImage image(const Sheet& sheet, double scale = 1, const QImage& background = kNoBackground) {
  return renderSheetImage({sheet, background}, scale);
}

// Dark pixels in column x from y0 down over twelve rows.
int darkRun(const QImage& image, int x, int y0) {
  int count = 0;
  for (int y = y0; y < y0 + 12; ++y) count += qGray(image.pixel(x, y)) < 128;
  return count;
}

// Every pixel different from its neighbours, so a stale piece cannot go unnoticed.
QImage pattern(QSize size) {
  QImage image(size, QImage::Format_RGB32);
  for (int y = 0; y < size.height(); ++y) {
    for (int x = 0; x < size.width(); ++x) image.setPixel(x, y, qRgb(x * 31 % 256, y * 7 % 256, (x + y) * 13 % 256));
  }
  return image;
}

QImage decoded(const std::optional<QByteArray>& png) {
  if (!png) return {};
  return QImage::fromData(*png, "PNG").convertToFormat(QImage::Format_RGB32);
}

}  // namespace

class TestModel : public QObject {
  Q_OBJECT
 private slots:
  void readings_data() {
    QTest::addColumn<QByteArray>("text");
    QTest::addColumn<bool>("strict");
    QTest::addColumn<double>("value");
    QTest::addColumn<double>("leading");
    addReadings({
        {"  5  ", true, 5, 5}, {"-35.5", true, -35.5, -35.5}, {"+3", true, 3, 3}, {".5", true, 0.5, 0.5},
        {"5.", true, 5, 5}, {"2.5E-2", true, 0.025, 0.025}, {"1e39", true, 1e39, 1e39}, {"1e-400", true, 0, 0},
        {"２０２４", true, 2024, 2024}, {"－１．５", true, -1.5, -1.5}, {"\u22123", true, -3, -3},
        {"\u3000５\u3000", true, 5, 5}, {"", false, 0, 0}, {"   ", false, 0, 0}, {".", false, 0, 0},
        {"-", false, 0, 0}, {"2024年", false, 0, 2024}, {"12 34", false, 0, 12}, {"1,000", false, 0, 1},
        {"1.5.5", false, 0, 1.5}, {"1ex", false, 0, 1},  // an incomplete exponent stops before the e
        {"--5", false, 0, 0}, {"0x10", false, 0, 0}, {"inf", false, 0, 0}, {"nan", false, 0, 0},
        {"ー5", false, 0, 0},  // the katakana long mark is no minus
    });
    QTest::newRow("1e400") << QByteArray("1e400") << false << 0.0 << qInf();
    // The mantissa's own digits count towards the size, not only the exponent.
    const QByteArray zeros(400, '0');
    QTest::newRow("1e400 as 1000...0e-1") << "1" + zeros + "e-1" << false << 0.0 << qInf();
    QTest::newRow("1e300 as 1000...0e-100") << "1" + zeros + "e-100" << true << 1e300 << 1e300;
    QTest::newRow("1e-401 as 0.000...1") << "0." + zeros + "1" << true << 0.0 << 0.0;
    QTest::newRow("NUL inside") << QByteArray("5\0" "1", 3) << false << 0.0 << 5.0;
  }
  void readings() {
    QFETCH(QByteArray, text);
    QFETCH(bool, strict);
    QFETCH(double, value);
    QFETCH(double, leading);
    const std::string_view view(text.constData(), static_cast<std::size_t>(text.size()));
    const auto result = strictNumber(view);
    QCOMPARE(result.has_value(), strict);
    if (strict) QCOMPARE(*result, value);
    QCOMPARE(leadingNumber(view), leading);
  }

  void strictSingle() {
    QCOMPARE(eq::strictSingle("16777217").value(), 16777216.f);  // 2^24 + 1 rounds to even
    QCOMPARE(eq::strictSingle("3.4028235e38").value(), FLT_MAX);
    QVERIFY(!eq::strictSingle("3.4028236e38"));  // past half an ulp over the largest single
    QVERIFY(!eq::strictSingle("-1e39"));
    QCOMPARE(eq::strictSingle("1e-50").value(), 0.f);
    QVERIFY(!toSingle(1e39) && !toSingle(qInf()));
  }

  void printed_data() {
    QTest::addColumn<float>("value");
    QTest::addColumn<QString>("general");
    QTest::addColumn<QString>("sign");
    addPrinted({{8, "8", " 8"}, {2024.5f, "2024.5", " 2024.5"}, {0.5f, "0.5", " .5"}, {-0.5f, "-0.5", "-.5"},
                {-0.0f, "0", " 0"}, {-3, "-3", "-3"}, {1234567, "1234567", " 1234567"},
                {12345678, "1.234568E+07", " 1.234568E+07"}, {1.0f / 3.0f, "0.3333333", " .3333333"},
                {1e8f, "1E+08", " 1E+08"}, {0.00001f, "0.00001", " .00001"}, {0.000001f, "1E-06", " 1E-06"},
                {FLT_MAX, "3.402823E+38", " 3.402823E+38"}});
  }
  void printed() {
    QFETCH(float, value);
    QFETCH(QString, general);
    QFETCH(QString, sign);
    QCOMPARE(QString::fromStdString(generalText(value)), general);
    QCOMPARE(QString::fromStdString(signedText(value)), sign);
    QCOMPARE(QString::fromStdString(printedNumberText(value)), sign + ' ');
  }

  // Under a locale whose decimal point is two bytes long (U+066B), cells, files and the
  // sheet still take ".": the same texts both ways.
  void foreignDecimalPoint() {
    const std::string previous = std::setlocale(LC_ALL, nullptr);
    if (!std::setlocale(LC_ALL, "ps_AF.UTF-8")) QSKIP("the locale ps_AF.UTF-8 is not installed (scripts/setup.sh makes it as root)");
    struct Restore {
      std::string locale;
      ~Restore() { std::setlocale(LC_ALL, locale.c_str()); }
    } restore{previous};
    QCOMPARE(QByteArray(std::localeconv()->decimal_point), QByteArray("\xD9\xAB"));
    for (const auto& [value, text] : {std::pair{2001.f, "2001"}, {35.4f, "35.4"}, {-130.657f, "-130.657"},
                                      {12345678.f, "1.234568E+07"}}) {
      QCOMPARE(QString::fromStdString(generalText(value)), QString::fromLatin1(text));
      QCOMPARE(eq::strictSingle(text).value(), value);
    }
    QCOMPARE(QString::fromStdString(signedText(0.5f)), QStringLiteral(" .5"));
  }

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
    const auto p = PlotXY(latitude, longitude);
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

  // Both ways for characters whose second byte is 0x5C (a backslash in ASCII) and the
  // extensions. Characters sharing their two bytes with a look-alike are written as it and
  // come back as it: a Japanese input method types U+301C for 〜.
  void characters_data() {
    QTest::addColumn<QString>("text");
    QTest::addColumn<QByteArray>("shiftJis");
    QTest::addColumn<QString>("readBack");  // empty: the text itself
    QTest::newRow("表 and ソ") << "a表,ソ\"" << QByteArray("a\x95\x5C,\x83\x5C\"") << "";
    QTest::newRow("backslash and tilde stay ASCII") << "\\~" << QByteArray("\x5C\x7E") << "";
    QTest::newRow("NEC extensions ①㈱") << "①㈱" << QByteArray("\x87\x40\x87\x8A") << "";
    QTest::newRow("IBM extension 髙") << "髙" << QByteArray("\xFB\xFC") << "";
    QTest::newRow("half-width kana") << "ｻｸﾗ" << QByteArray("\xBB\xB8\xD7") << "";
    QTest::newRow("ideographic space") << "\u3000" << QByteArray("\x81\x40") << "";
    QTest::newRow("wave dash") << "\u301C" << QByteArray("\x81\x60") << "\uFF5E";
    QTest::newRow("minus sign") << "\u2212" << QByteArray("\x81\x7C") << "\uFF0D";
    QTest::newRow("em dash") << "\u2014" << QByteArray("\x81\x5C") << "\u2015";
    QTest::newRow("double vertical line") << "\u2016" << QByteArray("\x81\x61") << "\u2225";
    QTest::newRow("cent, pound, not") << "\u00A2\u00A3\u00AC" << QByteArray("\x81\x91\x81\x92\x81\xCA")
                                      << "\uFFE0\uFFE1\uFFE2";
  }
  void characters() {
    QFETCH(QString, text);
    QFETCH(QByteArray, shiftJis);
    QFETCH(QString, readBack);
    const ShiftJisEncoding encoded = encodeShiftJis(text.toStdString());
    QVERIFY(encoded.ok);
    QCOMPARE(QByteArray::fromStdString(encoded.bytes), shiftJis);
    QCOMPARE(fromUtf8(decodeShiftJis(bytes(shiftJis)).value()), readBack.isEmpty() ? text : readBack);
  }

  void invalidBytes() {
    QCOMPARE(fromUtf8(decodeShiftJis("a\x81").value()), "a" + kBad);  // a lead byte at the end
    QCOMPARE(fromUtf8(decodeShiftJis("\x81 b").value()), kBad + " b");
    QCOMPARE(fromUtf8(decodeShiftJis("\xFF\xFF").value()), kBad + kBad);
    QCOMPARE(decodeShiftJis(std::string("a\0b", 3)).value(), std::string("a\0b", 3));
  }

  // The first character code page 932 lacks.
  void notInCodePage() {
    // ¥ and ‾ would be written as one ASCII byte and come back as "\\" and "~".
    for (const auto& [text, bad] : {std::pair{"桜島🌋です", "🌋"}, {"长白山", "长"}, {"\uFFFD", "\uFFFD"},
                                    {"a¥100", "¥"}, {"\u203E", "\u203E"}}) {
      const ShiftJisEncoding encoded = encodeShiftJis(text);
      QVERIFY(!encoded.ok && encoded.bytes.empty());
      QCOMPARE(encoded.badCharacter, std::string(bad));
    }
  }

  void utf8_data() {
    QTest::addColumn<QByteArray>("input");
    QTest::addColumn<bool>("valid");
    QTest::addColumn<bool>("readAsUtf8");
    QTest::newRow("empty") << QByteArray() << true << false;
    QTest::newRow("ASCII") << QByteArray("1,\"a\",1\r\n") << true << false;
    QTest::newRow("mark alone") << QByteArray("\xEF\xBB\xBF") << true << true;
    QTest::newRow("overlong") << QByteArray("\xE0\x80\xAF") << false << false;
    QTest::newRow("surrogate") << QByteArray("\xED\xA0\x80") << false << false;
    QTest::newRow("beyond U+10FFFF") << QByteArray("\xF4\x90\x80\x80") << false << false;
    QTest::newRow("Shift-JIS") << QByteArray("a\x95\x5C\x83\x5C") << false << false;
    QTest::newRow("Shift-JIS that starts like UTF-8") << QByteArray("\xE8\xA1\x41") << false << false;
    // Valid UTF-8 counts as UTF-8 only with a character of three bytes or more.
    QTest::newRow("two-byte UTF-8 only") << QByteArray("\xC3\xBD\xC3\xA9") << true << false;  // ﾃｽﾃｩ in Shift-JIS
    QTest::newRow("two-byte UTF-8, then kanji") << QByteArray("\xC3\xBD\xE8\xA1\xA8") << true << true;
    QTest::newRow("UTF-8 emoji") << QByteArray("a\xF0\x9F\x8C\x8B") << true << true;
  }
  void utf8() {
    QFETCH(QByteArray, input);
    QFETCH(bool, valid);
    QFETCH(bool, readAsUtf8);
    QCOMPARE(isValidUtf8(bytes(input)), valid);
    QCOMPARE(detectEncoding(bytes(input)) == TextEncoding::Utf8, readAsUtf8);
    if (!valid) QVERIFY(fromUtf8(decodeUtf8(bytes(input))).contains(kBad));
  }

  void lines_data() {
    QTest::addColumn<QByteArray>("input");
    QTest::addColumn<QStringList>("expected");
    QTest::newRow("empty") << QByteArray() << QStringList{};
    QTest::newRow("no line end") << QByteArray("a") << QStringList{"a"};
    QTest::newRow("CR LF") << QByteArray("a\r\nb\r\n") << QStringList{"a", "b"};
    QTest::newRow("CR alone") << QByteArray("a\rb") << QStringList{"a", "b"};
    QTest::newRow("LF alone, and mixed") << QByteArray("a\nb\r\nc\rd\n\ne") << QStringList{"a", "b", "c", "d", "", "e"};
    QTest::newRow("CR CR LF") << QByteArray("a\r\r\nb") << QStringList{"a", "", "b"};
    QTest::newRow("twelve lines give ten") << QByteArray("1\r2\r3\r4\r5\r6\r7\r8\r9\r10\r11\r12\r")
                                           << QStringList{"1", "2", "3", "4", "5", "6", "7", "8", "9", "10"};
  }
  void lines() {
    QFETCH(QByteArray, input);
    QFETCH(QStringList, expected);
    const std::string data = bytes(input);
    QStringList got;
    for (const auto line : splitLines(data)) got << fromUtf8(std::string(line));
    QCOMPARE(got, expected);
  }

  void records_data() {
    QTest::addColumn<QByteArray>("line");
    QTest::addColumn<QString>("record");
    const QByteArray t = ",1914,1,12,31.585,130.657";
    const QString plain = QStringLiteral(" 1914 1 12 31.585 130.657");
    QTest::newRow("as written") << "7,\"桜島\"" + t << "桜島" + plain;
    QTest::newRow("row number ignored, no quotes") << QByteArray("x,桜島,1914,1,12,31.585,130.657,later") << "桜島" + plain;
    QTest::newRow("an opening quote takes the last character") << "1,\"abc " + t << "abc" + plain;
    QTest::newRow("blanks kept") << "1,\" 桜 島 \"" + t << " 桜 島 " + plain;
    QTest::newRow("quote inside") << "1,\"a\"b\"" + t << "a\"b" + plain;
    QTest::newRow("doubled quotes") << "1,\"A\"\"B\"\"\"\"\"" + t << "A\"B\"\"" + plain;
    QTest::newRow("doubled quote before a comma") << "1,\"a\"\",b\"" + t << "a\",b" + plain;
    QTest::newRow("quote before a comma, not doubled") << "1,\"a,b\"\"" + t << "a,b\"" + plain;
    QTest::newRow("every field quoted") << QByteArray("\"1\",\"浅間山\",\"2004\",\"9\",\"1\",\" 36.4 \",\"138.5\"")
                                       << "浅間山 2004 9 1 36.4 138.5";
    QTest::newRow("half-quoted numbers") << QByteArray("1,x,\"\",2004\",\"\"5\",1,\"1\"") << "x - - - 1 1";
    QTest::newRow("one quote gives no name") << "1,\"" + t << "<none>" + plain;
    QTest::newRow("backslash bytes") << "1,\"表ソ十能予\\\"" + t << "表ソ十能予\\" + plain;
    QTest::newRow("commas in the name") << "1,\"a,b,c,d,e,f,g\"" + t << "a,b,c,d,e,f,g" + plain;
    QTest::newRow("numbers after the name keep the old reading")
        << QByteArray("1,\"Name,1914,1,12,31.585,130.657,\"note\"") << "Nam" + plain;
    QTest::newRow("comma, no closing quote") << "1,\"a,b" + t << " - 1914 1 12 31.585";
    QTest::newRow("short line") << QByteArray("3,\"x\",2000") << "x 2000 - - - -";
    QTest::newRow("empty line") << QByteArray() << "<none> - - - - -";
    QTest::newRow("blanks, signs, fractions") << QByteArray("1,\"x\", 2000 ,-1,.5, -12.25,+139")
                                              << "x 2000 -1 0.5 -12.25 139";
    QTest::newRow("empty and bad numbers") << QByteArray("1,\"x\",,abc,1.2.3,12a,-") << "x - - - - -";
    QTest::newRow("out of the single range") << QByteArray("1,\"x\",1e39,-1e39,1e-50,3.4e38,1e400")
                                             << "x - - 0 3.4e+38 -";
    QTest::newRow("overlong forms of a digit") << QByteArray("1,\"x\",\xC0\xB1,1,\xE0\x80\xB1,1,\xF0\x80\x80\xB1")
                                               << "x - 1 - 1 -";
  }
  void records() {
    QFETCH(QByteArray, line);
    QFETCH(QString, record);
    QCOMPARE(describe(parseRecord(bytes(line))), record);
  }

  // Whether a line is an eruption record at all: a file without one is not data.
  void recordLines_data() {
    QTest::addColumn<QByteArray>("line");
    QTest::addColumn<bool>("record");
    QTest::newRow("as written") << QByteArray("7,\"桜島\",1914,1,12,31.585,130.657") << true;
    QTest::newRow("an empty row") << QByteArray("7,\"\",0,0,0,0,0") << true;
    QTest::newRow("commas in the name, no place") << QByteArray("1,\"a,b\",2000,1,1,,") << true;
    QTest::newRow("six fields") << QByteArray("1,\"x\",2000,1,1,35") << false;
    QTest::newRow("no row number") << QByteArray("x,\"x\",2000,1,1,35,139") << false;
    QTest::newRow("no day") << QByteArray("1,\"x\",2000,1,,35,139") << false;
    QTest::newRow("text with commas") << QByteArray("Dear Sir, we met in 2000, 1 or 2, at 3, 4 and 5") << false;
  }
  void recordLines() {
    QFETCH(QByteArray, line);
    QFETCH(bool, record);
    QCOMPARE(isRecordLine(bytes(line)), record);
  }

  void encodingOfFile_data() {
    QTest::addColumn<QByteArray>("file");
    QTest::addColumn<int>("encoding");
    QTest::addColumn<QString>("firstName");
    QTest::addColumn<int>("rows");
    const QByteArray numbers = ",1,1,1,1,1\r\n";
    const int sjis = int(TextEncoding::ShiftJis), utf8 = int(TextEncoding::Utf8);
    QTest::newRow("Shift-JIS") << "1,\"\x95\x5C\"" + numbers << sjis << "表" << 1;
    QTest::newRow("UTF-8 with mark") << "\xEF\xBB\xBF" "1,\"Fuji\"" + numbers << utf8 << "Fuji" << 1;
    QTest::newRow("UTF-8 without mark") << "1,\"\xE8\xA1\xA8\"" + numbers << utf8 << "表" << 1;
    QTest::newRow("half-width kana that are two-byte UTF-8") << "1,\"\xC3\xBD\"" + numbers << sjis << "ﾃｽ" << 1;
    QTest::newRow("the same with a mark") << "\xEF\xBB\xBF" "1,\"\xC3\xBD\"" + numbers << utf8 << "ý" << 1;
    QByteArray eleven = QByteArray("1,\"a\"" + numbers).repeated(10) + "11,\"\xE8\xA1\xA8\"" + numbers;
    QTest::newRow("only the lines read decide") << eleven << sjis << "a" << 10;
    // Notepad's "Unicode": LF and CR code units end lines, a pair of surrogates is one
    // character, a lone one is not.
    QString text = QStringLiteral("1,\"表🌋\",1,1,1,1,1\n2,\"x@\",1,1,1,1,1\r\n3,\"\u0A0D\u0D0A\",1,1,1,1,1");
    text.replace(QLatin1Char('@'), QChar(0xDC00));
    QByteArray le, be;
    for (const QChar c : QChar(0xFEFF) + text) {
      le += char(c.unicode() & 0xFF) + QByteArray(1, char(c.unicode() >> 8));
      be += char(c.unicode() >> 8) + QByteArray(1, char(c.unicode() & 0xFF));
    }
    QTest::newRow("UTF-16LE") << le << int(TextEncoding::Utf16Le) << "表🌋" << 3;
    QTest::newRow("UTF-16BE") << be << int(TextEncoding::Utf16Be) << "表🌋" << 3;
  }
  void encodingOfFile() {
    QFETCH(QByteArray, file);
    QFETCH(int, encoding);
    QFETCH(QString, firstName);
    QFETCH(int, rows);
    const auto content = readDataFile(bytes(file));
    QVERIFY(content);
    QCOMPARE(int(content->encoding), encoding);
    QCOMPARE(fromUtf8(content->records.at(0).name.value()), firstName);
    QCOMPARE(int(content->records.size()), rows);
    for (const EruptionRecord& record : content->records) QCOMPARE(describe(record).section(' ', 1), "1 1 1 1 1");
    if (rows == 3) {
      QCOMPARE(fromUtf8(content->records[1].name.value()), "x" + kBad);
      QCOMPARE(fromUtf8(content->records[2].name.value()), QStringLiteral("\u0A0D\u0D0A"));
    }
  }

  void formattedLine() {
    QCOMPARE(fromUtf8(formatRecord(7, {"", {0, 0, 0, 0, 0}})), QStringLiteral("7,\"\",0,0,0,0,0\r\n"));
    QCOMPARE(fromUtf8(formatRecord(10, {" 桜\"島 ", {1914, 1, 12, 31.585f, 130.657f}})),
             QStringLiteral("10,\" 桜\"\"島 \",1914,1,12,31.585,130.657\r\n"));
    QCOMPARE(fromUtf8(formatRecord(1, {"x", {-0.5f, 1234.5678f, 35.4f, 8, 1e-3f}})),
             QStringLiteral("1,\"x\",-0.5,1234.568,35.4,8,0.001\r\n"));
  }

  void roundTrip_data() {
    QTest::addColumn<QString>("name");
    QTest::newRow("empty") << "";
    QTest::newRow("blanks") << "  桜　島  ";
    QTest::newRow("commas and quotes") << ",\"a,,b\"";
    QTest::newRow("quotes") << "\"";
    QTest::newRow("a quote before a comma") << "a\",b\"\"";
    QTest::newRow("half-width kana that are two-byte UTF-8") << "ﾃｽ";
  }
  void roundTrip() {
    QFETCH(QString, name);
    std::vector<RecordValues> rows(3);
    rows[1] = {name.toStdString(), {1914.5f, -1, 12, 31.585f, 130.657f}};
    const EncodedDataFile file = encodeDataFile(rows);
    QCOMPARE(file.failedRow, 0);
    const auto content = readDataFile(file.bytes);
    QVERIFY(content);
    QCOMPARE(content->records.size(), std::size_t(3));
    QCOMPARE(fromUtf8(content->records[1].name.value()), name);
    for (std::size_t k = 0; k < kNumbersPerRecord; ++k)
      QCOMPARE(content->records[1].numbers[k].value(), rows[1].numbers[k]);
  }

  // A name that would not read back stops the save: its Shift-JIS bytes would make the
  // file read as UTF-8, or a line break would end its line.
  void unwritableName_data() {
    QTest::addColumn<QString>("name");
    QTest::addColumn<int>("problem");
    QTest::newRow("reads as UTF-8") << "譌･" << int(NameProblem::ReadsAsUtf8);  // E6 97 A5: 日 in UTF-8
    QTest::newRow("LF") << "a\nb" << int(NameProblem::NotReadBack);
    QTest::newRow("CR") << "a\rb" << int(NameProblem::NotReadBack);
  }
  void unwritableName() {
    QFETCH(QString, name);
    QFETCH(int, problem);
    const EncodedDataFile file = encodeDataFile({{"a", {}}, {name.toStdString(), {}}});
    QCOMPARE(file.failedRow, 2);
    QCOMPARE(int(file.problem), problem);
    QVERIFY(file.bytes.empty());
  }

  void longSingleLine() {
    std::string file = "1,\"" + std::string(10 * 1024 * 1024, '\x95') + "\",2000,1,1,35,139";
    file[10] = '\\';
    const auto content = readDataFile(file);
    QVERIFY(content && content->records.size() == 1);
    QCOMPARE(content->records[0].numbers[4].value(), 139.0f);
  }

  // The shipped examples read as ten rows of valid text and are exactly what the save
  // would write for those rows.
  void shippedExamples() {
    const QDir dir(QStringLiteral(EQ_SOURCE_DIR "/examples"));
    QVERIFY(!dir.entryList({"*.txt"}).isEmpty());
    for (const QString& name : dir.entryList({"*.txt"})) {
      QFile file(dir.filePath(name));
      QVERIFY(file.open(QIODevice::ReadOnly));
      const std::string data = bytes(file.readAll());
      const auto content = readDataFile(data);
      QVERIFY(content && content->encoding == TextEncoding::ShiftJis && content->records.size() == kRecordsPerFile);
      std::vector<RecordValues> rows;
      for (const EruptionRecord& record : content->records) {
        QVERIFY(record.name && isValidUtf8(*record.name));
        rows.push_back({*record.name, {}});
        for (std::size_t k = 0; k < kNumbersPerRecord; ++k) rows.back().numbers[k] = record.numbers[k].value();
      }
      QCOMPARE(QByteArray::fromStdString(encodeDataFile(rows).bytes), QByteArray::fromStdString(data));
    }
  }

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
      const auto back = PlotXY(c.latitude, c.longitude);
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
      const auto p = PlotXY(c.latitude, c.longitude);
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
    const MapPoint centre = *PlotXY(35.5, 139.5);
    for (const GeoPoint& g : ring) {
      double km = 0;
      if (mode == CircleMode::Classic) {
        const MapPoint p = *PlotXY(g.latitude, g.longitude);
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

  void dates_data() {
    QTest::addColumn<float>("year");
    QTest::addColumn<float>("month");
    QTest::addColumn<float>("day");
    QTest::addColumn<QString>("iso");  // empty: null
    QTest::newRow("a day") << 1783.f << 8.f << 5.f << "1783-08-05";
    QTest::newRow("leap day") << 2000.f << 2.f << 29.f << "2000-02-29";
    QTest::newRow("no leap day in 1900") << 1900.f << 2.f << 29.f << "";
    QTest::newRow("day 0: the month") << 2024.f << 8.f << 0.f << "2024-08";
    QTest::newRow("month and day 0: the year") << 2024.f << 0.f << 0.f << "2024";
    QTest::newRow("a day without a month") << 2024.f << 0.f << 5.f << "";
    QTest::newRow("fractional year") << 2024.5f << 1.f << 1.f << "";
    QTest::newRow("fractional day") << 2024.f << 1.f << 1.5f << "";
    QTest::newRow("month 13") << 2024.f << 13.f << 1.f << "";
    QTest::newRow("31 April") << 2024.f << 4.f << 31.f << "";
    QTest::newRow("year 0") << 0.f << 1.f << 1.f << "";
    QTest::newRow("year 9999") << 9999.f << 12.f << 31.f << "9999-12-31";
    QTest::newRow("year 10000") << 10000.f << 1.f << 1.f << "";
  }
  void dates() {
    QFETCH(float, year);
    QFETCH(float, month);
    QFETCH(float, day);
    QFETCH(QString, iso);
    const auto text = isoDate({year, month, day});
    QCOMPARE(text ? QString::fromStdString(*text) : QString(), iso);
  }

  void geoJson_data() {
    QTest::addColumn<CircleMode>("mode");
    QTest::newRow("classic") << CircleMode::Classic;
    QTest::newRow("geodesic") << CircleMode::Geodesic;
  }

  void geoJson() {
    QFETCH(CircleMode, mode);
    const MapText map = eq::geoJson(sample(mode));
    QVERIFY(map.circlesLeftOut.empty());
    QJsonParseError error;
    const QJsonObject root = QJsonDocument::fromJson(QByteArray::fromStdString(map.text), &error).object();
    QCOMPARE(error.error, QJsonParseError::NoError);
    QCOMPARE(root.keys(), QStringList({"features", "type"}));  // a FeatureCollection has no properties
    QCOMPARE(root["type"].toString(), "FeatureCollection");

    const QJsonArray features = root["features"].toArray();
    QStringList kinds;
    for (const QJsonValue f : features) {
      kinds << f["geometry"]["type"].toString() + " " + f["properties"]["kind"].toString();
      QCOMPARE(f["properties"]["predictionDate"].toString(), "2024-01-01");
      QCOMPARE(f["properties"]["circleMode"].toString(), circleModeName(mode));
      std::vector<std::vector<GeoPoint>> rings;
      const QString problem = f["geometry"].isNull() ? "" : geometryProblem(f["geometry"].toObject(), &rings);
      QVERIFY2(problem.isEmpty(), qPrintable(problem));
    }
    QCOMPARE(kinds, QStringList({"Point volcano", "Point volcano", "Point volcano", "Point volcano", " volcano",
                                 "Polygon circle", "Polygon circle", "Point crossing", "Point crossing"}));

    const QJsonObject first = features[0].toObject();
    QCOMPARE(first["geometry"]["coordinates"].toArray(), QJsonArray({135, 54}));  // longitude first
    QCOMPARE(first["properties"]["name"].toString(), QString::fromStdString(kAwkwardName));
    QCOMPARE(first["properties"]["radiusKm"].toDouble(), 888.8);
    QCOMPARE(first["properties"]["eruptionDate"].toString(), "1783-08-05");
    QVERIFY(first["properties"]["circle"].toBool());
    QCOMPARE(features[2]["geometry"]["coordinates"].toArray(), QJsonArray({140.2, 40.1}));  // as typed
    QCOMPARE(features[2]["properties"]["eruptionDate"].toString(), "2000");
    QCOMPARE(features[2]["properties"]["eruptionYearMonthDay"].toArray(), QJsonArray({2000, 0, 0}));
    for (int i : {2, 3}) {
      QVERIFY(features[i]["properties"]["radiusKm"].isNull() && !features[i]["properties"]["circle"].toBool());
    }
    QCOMPARE(features[3]["properties"]["state"].toString(), "excluded");
    QCOMPARE(features[3]["geometry"]["coordinates"].toArray(), QJsonArray({140, 35}));  // 500 E is 140 E
    QCOMPARE(features[4]["properties"]["state"].toString(), "skipped");  // no year: neither place nor date
    QVERIFY(features[4]["properties"]["eruptionDate"].isNull() && features[4]["properties"]["eruptionYearMonthDay"].isNull());
    QCOMPARE(features[5]["properties"]["row"].toInt(), 1);
    QCOMPARE(features[6]["properties"]["row"].toInt(), 2);

    const QJsonObject crossing = features[7].toObject();
    QCOMPARE(crossing["properties"]["rows"].toArray(), QJsonArray({1, 2}));
    QCOMPARE(crossing["properties"]["support"].toInt(), 2);
    // Both crossings lie on 135E's west side first, between the two volcanoes' parallels.
    const QJsonArray at = crossing["geometry"]["coordinates"].toArray();
    QVERIFY(at[0].toDouble() < 135 && at[1].toDouble() > 44 && at[1].toDouble() < 54);
  }

  // Circles anywhere on the globe as valid polygons round their volcano, in GeoJSON and
  // KML alike: split at the antimeridian, closed at a pole, cut off where the sheet's
  // projection ends; left out (and named) where that cannot be done.
  void circlesOnTheGlobe_data() {
    QTest::addColumn<CircleMode>("mode");
    QTest::addColumn<double>("latitude");
    QTest::addColumn<double>("longitude");
    QTest::addColumn<double>("radiusKm");
    QTest::addColumn<int>("pieces");  // 0: left out
    const CircleMode c = CircleMode::Classic, g = CircleMode::Geodesic;
    QTest::newRow("Fuji, classic") << c << 35.36 << 138.73 << 500.0 << 1;
    QTest::newRow("Kamchatka, classic: across the antimeridian") << c << 56.06 << 160.64 << 1500.0 << 2;
    QTest::newRow("Kamchatka, geodesic") << g << 56.06 << 160.64 << 1500.0 << 2;
    QTest::newRow("Aleutians typed as 183.4 E, geodesic") << g << 51.9 << 183.4 << 800.0 << 2;
    QTest::newRow("round the north pole, geodesic") << g << 85.0 << 135.0 << 1000.0 << 1;
    QTest::newRow("Erebus round the south pole, geodesic") << g << -77.53 << 167.15 << 1600.0 << 1;
    QTest::newRow("Erebus past the pole, classic") << c << -77.53 << 167.15 << 1600.0 << 1;
    QTest::newRow("past the north pole, classic") << c << 80.0 << 135.0 << 2000.0 << 1;
    QTest::newRow("at the pole, geodesic") << g << 90.0 << 10.0 << 500.0 << 1;
    QTest::newRow("Iceland, classic: cut off at 45 W") << c << 64.6 << -17.5 << 1500.0 << 1;
    QTest::newRow("Iceland, geodesic") << g << 64.6 << -17.5 << 1500.0 << 1;
    QTest::newRow("80 W, classic: beyond the projection") << c << 0.0 << -80.0 << 500.0 << 0;
    QTest::newRow("round the pole without taking it in, classic") << c << 88.0 << 135.0 << 215.0 << 0;
    QTest::newRow("beyond the pole") << g << 95.0 << 135.0 << 100.0 << 0;
    QTest::newRow("radius 0") << c << 35.0 << 135.0 << 0.0 << 0;
  }
  void circlesOnTheGlobe() {
    QFETCH(CircleMode, mode);
    QFETCH(double, latitude);
    QFETCH(double, longitude);
    QFETCH(double, radiusKm);
    QFETCH(int, pieces);
    const MapExport map = mapOf({{7, "v", {2024, 1, 1}, float(latitude), float(longitude), radiusKm, "drawn"}}, mode);
    const MapText json = eq::geoJson(map);
    QCOMPARE(json.circlesLeftOut, pieces ? std::vector<int>{} : std::vector<int>{7});
    const QJsonArray features = QJsonDocument::fromJson(QByteArray::fromStdString(json.text))["features"].toArray();
    QCOMPARE(features.size(), pieces ? 2 : 1);
    QCOMPARE(features[0]["properties"]["circle"].toBool(), pieces > 0);
    const MapText kmlText = eq::kml(map);
    QCOMPARE(kmlText.circlesLeftOut, json.circlesLeftOut);
    QCOMPARE(int(QByteArray::fromStdString(kmlText.text).count("<LinearRing>")), pieces);
    std::vector<std::vector<GeoPoint>> rings;
    const QJsonValue volcanoGeometry = features[0]["geometry"];  // none beyond a pole
    QVERIFY(volcanoGeometry.isNull() == (std::fabs(latitude) > 90));
    QVERIFY(volcanoGeometry.isNull() || geometryProblem(volcanoGeometry.toObject(), &rings).isEmpty());
    if (!pieces) return;
    const QString problem = geometryProblem(features[1]["geometry"].toObject(), &rings);
    QVERIFY2(problem.isEmpty(), qPrintable(problem));
    QCOMPARE(int(rings.size()), pieces);
    const QJsonArray volcano = features[0]["geometry"]["coordinates"].toArray();
    QVERIFY(inside(rings, {std::min(volcano[1].toDouble(), 89.999), volcano[0].toDouble()}));
  }

  void kml() {
    const std::string text = eq::kml(sample(CircleMode::Classic)).text;
    QXmlStreamReader xml(QByteArray::fromStdString(text));
    QStringList names;
    QList<QStringList> rings;
    QString documentName;
    QString rootNamespace;
    QStringList predictionDates;
    while (!xml.atEnd()) {
      if (xml.readNext() != QXmlStreamReader::StartElement) continue;
      if (rootNamespace.isEmpty()) rootNamespace = xml.namespaceUri().toString();
      if (xml.name() == QLatin1String("name")) {
        (documentName.isEmpty() ? documentName : names.emplaceBack()) = xml.readElementText();
      } else if (xml.name() == QLatin1String("LinearRing")) {
        xml.readNextStartElement();
        rings << xml.readElementText().split(' ');
      } else if (xml.attributes().value("name") == QLatin1String("predictionDate")) {
        xml.readNextStartElement();
        predictionDates << xml.readElementText();
      }
    }
    QVERIFY2(!xml.hasError(), qPrintable(xml.errorString()));
    QCOMPARE(rootNamespace, "http://www.opengis.net/kml/2.2");
    QCOMPARE(documentName, QString::fromUtf8("地震サークル"));
    // The control character and U+FFFF cannot stand in XML and are replaced.
    const QString awkward = QString::fromUtf8("浅間\"山\\\n") + kBad + kBad + "end";
    QCOMPARE(names, QStringList({awkward, "<B & 'C'>", QString::fromUtf8("行 3"), "x", "y", awkward, "<B & 'C'>",
                                 QString::fromUtf8("交点 1-2"), QString::fromUtf8("交点 1-2")}));
    QCOMPARE(predictionDates, QStringList(9, "2024-01-01"));  // in every placemark
    QCOMPARE(rings.size(), 2);
    for (const QStringList& ring : rings) {
      QVERIFY(ring.size() >= 361);
      QCOMPARE(ring.first(), ring.last());
      QCOMPARE(ring.first().split(',').size(), 2);
    }
  }

  void linesAndPointsOneScreenPixel() {
    Sheet sheet;
    sheet.items = {SheetLine{600, 750, 6000, 750, kBlack}, SheetPoint{3000, 3000, kBlack}};
    for (const int scale : {1, 2, 3}) {
      const QImage image = ::image(sheet, scale);
      QCOMPARE(image.size(), QSize(1200 * scale, int(std::lround(12800 / 15.0 * scale))));
      const auto px = [scale](int mapUnits) { return mapUnits * scale / 15; };
      QCOMPARE(darkRun(image, px(2000), px(750) - 4), scale);
      QCOMPARE(darkRun(image, px(3000) + scale / 2, px(3000) - 4), scale);
    }
  }

  void backgroundIsUnscaled() {
    QImage bitmap(40, 30, QImage::Format_RGB32);
    bitmap.fill(qRgb(10, 120, 200));
    const QImage image = ::image(Sheet(), 1, bitmap);
    QCOMPARE(image.pixel(0, 0), qRgb(10, 120, 200));
    QCOMPARE(image.pixel(39, 29), qRgb(10, 120, 200));
    QCOMPARE(image.pixel(40, 29), qRgb(255, 255, 255));
    QCOMPARE(image.pixel(39, 30), qRgb(255, 255, 255));
  }

  void farAwayItemsAreHarmless() {
    Sheet sheet;
    sheet.items = {SheetCircle{-3e30f, 2e30f, 1e6f, kRed, kRed},
                   SheetCircle{9000, 6400, 1e9f, kRed, std::nullopt},  // outline far beyond every edge
                   SheetPoint{-1e30f, 1e30f, kBlack}, SheetText{3e38f, 5, kBlack, "遠い"}};
    QCOMPARE(::image(sheet), ::image(Sheet()));
  }

  // Every row and column of an image of distinct pixels comes back from Qt's PNG reader.
  void pngWriterKeepsEveryPixel() {
    QImage image(37, 23, QImage::Format_RGB32);
    for (int y = 0; y < image.height(); ++y)
      for (int x = 0; x < image.width(); ++x) image.setPixel(x, y, qRgb(x * 7, y * 11, (x * y) % 256));
    const auto bytes = encodePng(image);
    QVERIFY(bytes);
    QCOMPARE(QImage::fromData(*bytes, "PNG").convertToFormat(QImage::Format_RGB32), image);
  }

  // One page of the sheet's size, 18000 x 12800 twips (900 x 640 points), drawn to its edges.
  void pdfShowsTheSheet() {
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("sheet.pdf"));
    QString error;
    QVERIFY2(writeSheetFile(discSheet(), kNoBackground, path, SheetFormat::Pdf, 1.0, {}, &error), qPrintable(error));
    QVERIFY(!readFile(path).contains("/Subtype /Image"));  // vectors, not a bitmap
    const QImage page = rasterisePdf(path, 144);  // one pixel per 10 map units
    QCOMPARE(page.size(), QSize(1800, 1280));
    for (const QPointF& c : kDiscs) QVERIFY(isRed(page.pixel((c / 10).toPoint())));
    bool edge = false;  // the open circle's left edge, and nothing inside it
    for (int x = 498; x <= 502; ++x) edge = edge || isRed(page.pixel(x, 640));
    QVERIFY(edge && !isRed(page.pixel(700, 640)));
    int dark = 0;  // the caption's glyphs
    for (int y = 48; y < 72; ++y)
      for (int x = 330; x < 400; ++x) dark += qGray(page.pixel(x, y)) < 128;
    QVERIFY(dark > 10);
  }

  void svgHasTheSheetsSize() {
    QTemporaryDir dir;
    QVERIFY(writeSheetFile(discSheet(), kNoBackground, dir.filePath("sheet.svg"), SheetFormat::Svg, 1.0, {}, nullptr));
    const QRectF box = QSvgRenderer(dir.filePath("sheet.svg")).viewBoxF();
    QVERIFY(box.width() == 1200 && std::fabs(box.height() - 12800 / 15.0) < 0.01);
    const QByteArray svg = readFile(dir.filePath("sheet.svg"));
    QVERIFY(svg.contains("width=\"317.5mm\""));  // 1200 pixels at 96 per inch
    // The sheet's font, then Japanese fonts a viewer may have, then any sans-serif.
    QVERIFY(svg.contains("font-family=\"'MS UI Gothic', ") && svg.contains(", 'IPAPGothic', ") &&
            svg.contains(", sans-serif\"") && !svg.contains("font-family=\"MS UI Gothic\""));
  }

  // A control character or U+FFFF in a text is written as U+FFFD, so XML readers accept the file.
  void svgHoldsOnlyXmlCharacters() {
    DrawResult drawing = discSheet();
    drawing.sheet.items.push_back(SheetText{3300, 900, kBlack, "a\x01" "b\xEF\xBF\xBF" "c"});
    const std::optional<QByteArray> svg = sheetFileBytes(drawing, kNoBackground, SheetFormat::Svg, 1.0, {}, nullptr);
    QVERIFY(svg);
    QXmlStreamReader xml(*svg);
    QString texts;
    while (!xml.atEnd()) {
      if (xml.readNext() == QXmlStreamReader::StartElement && xml.name() == QLatin1String("text"))
        texts += xml.readElementText(QXmlStreamReader::IncludeChildElements);
    }
    QVERIFY2(!xml.hasError(), qPrintable(xml.errorString()));
    QVERIFY(texts.contains("a" + kBad + "b" + kBad + "c"));
  }

  void failedWritesLeaveNothing() {
    // No folder, a folder in the file's place, an image too large to make over an old file.
    QTemporaryDir dir;
    QVERIFY(QDir(dir.path()).mkdir(QStringLiteral("taken.json")));
    const QString old = writeFile(dir.filePath(QStringLiteral("old.png")), "old");
    for (const auto& [name, format, scale] : {std::tuple{"missing/sheet.png", SheetFormat::Png, 1.0},
                                              {"taken.json", SheetFormat::Json, 1.0},
                                              {"old.png", SheetFormat::Png, 1e3}}) {
      QString error;
      QVERIFY(!writeSheetFile(discSheet(), kNoBackground, dir.filePath(name), format, scale, {}, &error));
      QVERIFY2(error.contains(dir.filePath(name)), qPrintable(error));
    }
    QCOMPARE(readFile(old), QByteArray("old"));
    QCOMPARE(QDir(dir.path()).entryList(QDir::Files), QStringList{QStringLiteral("old.png")});
  }

  void secondFrame_data() {
    QTest::addColumn<QSize>("size");
    QTest::addColumn<QList<int>>("changedRows");
    QTest::addColumn<int>("compressed");
    // 40 rows are pieces of rows 0-15, 16-31 and 32-39.
    QTest::newRow("unchanged") << QSize(7, 40) << QList<int>{} << 0;
    QTest::newRow("first piece") << QSize(7, 40) << QList<int>{5} << 1;
    QTest::newRow("both sides of a piece edge") << QSize(7, 40) << QList<int>{15, 16} << 2;
    QTest::newRow("short last piece") << QSize(7, 40) << QList<int>{39} << 1;
    QTest::newRow("every piece") << QSize(7, 40) << QList<int>{0, 20, 35} << 3;
    // 50 rows: four pieces, none taken over from a frame of another size.
    QTest::newRow("other size") << QSize(7, 50) << QList<int>{} << 4;
  }

  void secondFrame() {
    QFETCH(QSize, size);
    QFETCH(QList<int>, changedRows);
    QFETCH(int, compressed);
    PngFrameEncoder encoder;
    const QImage first = pattern(QSize(7, 40));
    QCOMPARE(decoded(encoder.encode(first)), first);
    QCOMPARE(encoder.piecesCompressed(), 3);

    QImage second = pattern(size);
    for (const int row : changedRows) second.setPixel(3, row, qRgb(255, 255, 255));
    QCOMPARE(decoded(encoder.encode(second)), second);
    QCOMPARE(encoder.piecesCompressed(), compressed);
  }

  // Images not in 32-bit RGB are converted; alpha is dropped as the sheet is opaque.
  void otherFormats() {
    PngFrameEncoder encoder;
    const QImage source = pattern(QSize(5, 20));
    QCOMPARE(decoded(encoder.encode(source.convertToFormat(QImage::Format_RGB888))), source);
    QCOMPARE(decoded(encoder.encode(source.convertToFormat(QImage::Format_ARGB32))), source);
    QString error;
    QVERIFY(!encoder.encode(QImage(), &error));
    QVERIFY(!error.isEmpty());
  }

};

QTEST_MAIN(TestModel)
#include "tst_model.moc"
