// The model's numbers: day numbers and the radius law against values worked out by hand
// from (month - 2) * 30.59 + year * 365.25 + day - 678914 and (3.129 - ln years) / 0.007137;
// the strict and lenient readings of number text and its two printed forms.

#include "model/day_number.h"
#include "model/number_text.h"
#include "model/radius_law.h"

#include <QtTest>
#include <cfloat>
#include <clocale>
#include <cmath>

using namespace eq;

namespace {
// One row per text: whether the strict reading takes it, its value, and the lenient reading.
void addReadings(std::initializer_list<std::tuple<const char*, bool, double, double>> readings) {
  for (const auto& [text, ok, value, leading] : readings)
    QTest::addRow("\"%s\"", text) << QByteArray(text) << ok << value << leading;
}
void addPrinted(std::initializer_list<std::tuple<float, const char*, const char*>> cases) {
  for (const auto& [value, general, sign] : cases) QTest::addRow("%s", general) << value << general << sign;
}
}  // namespace

class TestModel : public QObject {
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
    QTest::newRow("the year's turn goes back") << QList<double>{2011, 1, 1} << QList<double>{2010, 12, 31} << -1.24;
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
    QVERIFY(!dayNumber(DBL_MAX, 1, 1) && !dayNumber(1, DBL_MAX, 1) && !dayNumber(1, 1, qInf()));
    QVERIFY(dayNumber(3.4e38, 1, 1));  // the largest single year still counts
  }

  // Elapsed days from 60322.41 and the radius; none where the logarithm is undefined.
  void radius_data() {
    QTest::addColumn<double>("elapsedDays");
    QTest::addColumn<double>("km");
    QTest::newRow("one year: 3.129 / 0.007137") << 365.25 << 438.4195;
    QTest::newRow("one day") << 1.0 << 1265.1789;
    QTest::newRow("10 years") << 10 * 365.25 << 115.7930;
    QTest::newRow("e^3.129 years is zero") << std::exp(3.129) * 365.25 << 0.0;
    QTest::newRow("30 years is negative") << 30 * 365.25 << -38.1389;
    QTest::newRow("zero elapsed time") << 0.0 << qQNaN();
    QTest::newRow("an eruption after the prediction") << -0.59 << qQNaN();
  }
  void radius() {
    QFETCH(double, elapsedDays);
    QFETCH(double, km);
    const auto result = radiusKm(60322.41, 60322.41 - elapsedDays);
    QCOMPARE(result.has_value(), !std::isnan(km));
    if (result) QVERIFY2(std::fabs(*result - km) < 1e-4, qPrintable(QString::number(*result, 'f', 6)));
    QVERIFY(!radiusKm(DBL_MAX, -DBL_MAX));
  }

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
};

QTEST_APPLESS_MAIN(TestModel)
#include "tst_model.moc"
