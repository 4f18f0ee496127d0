// Day numbers and the radius law against the values the program has always produced.

#include "model/day_number.h"
#include "model/radius_law.h"

#include <QtTest>
#include <cmath>
#include <limits>

using namespace eq;

namespace {
constexpr double kHuge = std::numeric_limits<double>::max();
}

class TestDayNumber : public QObject {
  Q_OBJECT
 private slots:
  void knownValues_data();
  void knownValues();
  void differences_data();
  void differences();
  void monthZeroIsJuly();
  void overflowFails();
  void radius_data();
  void radius();
  void radiusFailures_data();
  void radiusFailures();
};

void TestDayNumber::knownValues_data() {
  QTest::addColumn<double>("year");
  QTest::addColumn<double>("month");
  QTest::addColumn<double>("day");
  QTest::addColumn<double>("expected");
  QTest::newRow("2024-1-1") << 2024.0 << 1.0 << 1.0 << 60322.41;
  QTest::newRow("2000-3-1") << 2000.0 << 3.0 << 1.0 << 51617.59;
  QTest::newRow("2000-7-0") << 2000.0 << 7.0 << 0.0 << 51738.95;
  QTest::newRow("month 13 goes through") << 2000.0 << 13.0 << 1.0 << 51923.49;
  QTest::newRow("negative year") << -1.0 << 2.0 << 0.0 << -679279.25;
}

void TestDayNumber::knownValues() {
  QFETCH(double, year);
  QFETCH(double, month);
  QFETCH(double, day);
  QFETCH(double, expected);
  const auto result = dayNumber(year, month, day);
  QVERIFY(result.has_value());
  QVERIFY2(std::fabs(*result - expected) < 1e-6, qPrintable(QString::number(*result, 'f', 10)));
}

void TestDayNumber::differences_data() {
  QTest::addColumn<QList<double>>("later");
  QTest::addColumn<QList<double>>("earlier");
  QTest::addColumn<double>("days");
  QTest::newRow("day 0 is the day before day 1") << QList<double>{2010, 5, 1} << QList<double>{2010, 5, 0} << 1.0;
  QTest::newRow("1 Feb - 1 Jan") << QList<double>{2010, 2, 1} << QList<double>{2010, 1, 1} << 30.59;
  QTest::newRow("1 Mar - 28 Feb") << QList<double>{2010, 3, 1} << QList<double>{2010, 2, 28} << 3.59;
  QTest::newRow("turn of the year goes back") << QList<double>{2011, 1, 1} << QList<double>{2010, 12, 31} << -1.24;
  QTest::newRow("half a day") << QList<double>{2010, 4, 15.5} << QList<double>{2010, 4, 15} << 0.5;
  QTest::newRow("one year") << QList<double>{2011, 4, 15} << QList<double>{2010, 4, 15} << 365.25;
}

void TestDayNumber::differences() {
  QFETCH(QList<double>, later);
  QFETCH(QList<double>, earlier);
  QFETCH(double, days);
  const double a = *dayNumber(later[0], later[1], later[2]);
  const double b = *dayNumber(earlier[0], earlier[1], earlier[2]);
  QVERIFY2(std::fabs((a - b) - days) < 1e-6, qPrintable(QString::number(a - b, 'f', 10)));
}

void TestDayNumber::monthZeroIsJuly() {
  QCOMPARE(monthForDayNumber(0), 7.0);
  QCOMPARE(monthForDayNumber(-0.0), 7.0);
  QCOMPARE(monthForDayNumber(0.5), 0.5);
}

void TestDayNumber::overflowFails() {
  QVERIFY(!dayNumber(kHuge, 1, 1).has_value());
  QVERIFY(!dayNumber(1, kHuge, 1).has_value());
  QVERIFY(!dayNumber(1, 1, std::numeric_limits<double>::infinity()).has_value());
  QVERIFY(dayNumber(3.4e38, 1, 1).has_value());  // the largest single year still counts
}

void TestDayNumber::radius_data() {
  QTest::addColumn<double>("elapsedDays");
  QTest::addColumn<double>("km");
  QTest::addColumn<double>("tolerance");
  QTest::newRow("one year") << 365.25 << 438.4195 << 1e-4;
  QTest::newRow("one day") << 1.0 << 1265.18 << 0.01;
  QTest::newRow("10 years") << 10 * 365.25 << 115.79 << 0.01;
  QTest::newRow("e^3.129 years is zero") << std::exp(3.129) * 365.25 << 0.0 << 1e-9;
  QTest::newRow("30 years is negative") << 30 * 365.25 << -38.14 << 0.01;
  QTest::newRow("a tiny fraction of a day") << 1e-6 << 3200.94 << 0.01;
}

void TestDayNumber::radius() {
  QFETCH(double, elapsedDays);
  QFETCH(double, km);
  QFETCH(double, tolerance);
  const double prediction = 60322.41;
  const auto result = radiusKm(prediction, prediction - elapsedDays);
  QVERIFY(result.has_value());
  QVERIFY2(std::fabs(*result - km) <= tolerance, qPrintable(QString::number(*result, 'f', 6)));
}

void TestDayNumber::radiusFailures_data() {
  QTest::addColumn<double>("prediction");
  QTest::addColumn<double>("eruption");
  QTest::newRow("zero elapsed time") << 60322.41 << 60322.41;
  QTest::newRow("eruption after prediction") << 60322.41 << 60323.0;
  QTest::newRow("infinite difference") << kHuge << -kHuge;
  QTest::newRow("not a number") << std::nan("") << 1.0;
}

void TestDayNumber::radiusFailures() {
  QFETCH(double, prediction);
  QFETCH(double, eruption);
  QVERIFY(!radiusKm(prediction, eruption).has_value());
}

QTEST_APPLESS_MAIN(TestDayNumber)
#include "tst_day_number.moc"
