// Day numbers and the radius law against values worked out by hand from
// (month - 2) * 30.59 + year * 365.25 + day - 678914 and (3.129 - ln years) / 0.007137.

#include "model/day_number.h"
#include "model/radius_law.h"

#include <QtTest>
#include <cmath>
#include <limits>

using namespace eq;

class TestDayNumber : public QObject {
  Q_OBJECT
 private slots:
  void differences_data() {
    QTest::addColumn<QList<double>>("later");
    QTest::addColumn<QList<double>>("earlier");  // empty: the day number itself
    QTest::addColumn<double>("days");
    QTest::newRow("2024-1-1") << QList<double>{2024, 1, 1} << QList<double>{} << 60322.41;
    QTest::newRow("2000-3-1") << QList<double>{2000, 3, 1} << QList<double>{} << 51617.59;
    QTest::newRow("a negative year") << QList<double>{-1, 2, 0} << QList<double>{} << -679279.25;
    QTest::newRow("day 0 is the day before day 1") << QList<double>{2010, 5, 1} << QList<double>{2010, 5, 0} << 1.0;
    QTest::newRow("1 Feb - 1 Jan") << QList<double>{2010, 2, 1} << QList<double>{2010, 1, 1} << 30.59;
    QTest::newRow("1 Mar - 28 Feb") << QList<double>{2010, 3, 1} << QList<double>{2010, 2, 28} << 3.59;
    QTest::newRow("the turn of the year goes back") << QList<double>{2011, 1, 1} << QList<double>{2010, 12, 31} << -1.24;
    QTest::newRow("half a day") << QList<double>{2010, 4, 15.5} << QList<double>{2010, 4, 15} << 0.5;
    QTest::newRow("month 13 goes on") << QList<double>{2010, 13, 1} << QList<double>{2010, 12, 1} << 30.59;
  }
  void differences() {
    QFETCH(QList<double>, later);
    QFETCH(QList<double>, earlier);
    QFETCH(double, days);
    const double a = dayNumber(later[0], later[1], later[2]).value();
    const double b = earlier.isEmpty() ? 0 : dayNumber(earlier[0], earlier[1], earlier[2]).value();
    QVERIFY2(std::fabs((a - b) - days) < 1e-6, qPrintable(QString::number(a - b, 'f', 10)));
  }

  void overflowFails() {
    const double huge = std::numeric_limits<double>::max();
    QVERIFY(!dayNumber(huge, 1, 1) && !dayNumber(1, huge, 1));
    QVERIFY(!dayNumber(1, 1, std::numeric_limits<double>::infinity()));
    QVERIFY(dayNumber(3.4e38, 1, 1));  // the largest single year still counts
  }

  void radius_data() {
    QTest::addColumn<double>("elapsedDays");
    QTest::addColumn<double>("km");
    QTest::addColumn<double>("tolerance");
    QTest::newRow("one year: 3.129 / 0.007137") << 365.25 << 438.4195 << 1e-4;
    QTest::newRow("one day") << 1.0 << 1265.18 << 0.01;
    QTest::newRow("10 years") << 10 * 365.25 << 115.79 << 0.01;
    QTest::newRow("e^3.129 years is zero") << std::exp(3.129) * 365.25 << 0.0 << 1e-9;
    QTest::newRow("30 years is negative") << 30 * 365.25 << -38.14 << 0.01;
  }
  void radius() {
    QFETCH(double, elapsedDays);
    QFETCH(double, km);
    QFETCH(double, tolerance);
    const auto result = radiusKm(60322.41, 60322.41 - elapsedDays);
    QVERIFY(result);
    QVERIFY2(std::fabs(*result - km) <= tolerance, qPrintable(QString::number(*result, 'f', 6)));
  }

  void noRadius() {
    QVERIFY(!radiusKm(60322.41, 60322.41));  // zero elapsed time: the logarithm is undefined
    QVERIFY(!radiusKm(60322.41, 60323.0));
    QVERIFY(!radiusKm(std::numeric_limits<double>::max(), -std::numeric_limits<double>::max()));
    QVERIFY(!radiusKm(std::nan(""), 1.0));
  }
};

QTEST_APPLESS_MAIN(TestDayNumber)
#include "tst_day_number.moc"
