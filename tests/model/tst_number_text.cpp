// Number text: the strict and lenient readings and the two printed forms.

#include "model/number_text.h"

#include <QtTest>
#include <cfloat>
#include <clocale>
#include <cmath>
#include <cstring>

using namespace eq;

namespace {
struct Reading {
  const char* text;
  bool ok;
  double value;
};
struct Printed {
  float value;
  const char* text;
};

// One row per case, tagged with the text in quotes.
void addReadings(std::initializer_list<Reading> readings) {
  for (const Reading& r : readings) QTest::addRow("\"%s\"", r.text) << QByteArray(r.text) << r.ok << r.value;
}
void addPrinted(std::initializer_list<Printed> cases) {
  for (const Printed& p : cases) QTest::addRow("\"%s\"", p.text) << p.value << QString::fromUtf8(p.text);
}
}  // namespace

class TestNumberText : public QObject {
  Q_OBJECT
 private slots:
  void strict_data();
  void strict();
  void strictSingleRange_data();
  void strictSingleRange();
  void leading_data();
  void leading();
  void general_data();
  void general();
  void signedForm_data();
  void signedForm();
  void printedNumber();
  void generalTextReadsBack_data();
  void generalTextReadsBack();
  void foreignDecimalPoint_data();
  void foreignDecimalPoint();
};

void TestNumberText::strict_data() {
  QTest::addColumn<QByteArray>("text");
  QTest::addColumn<bool>("ok");
  QTest::addColumn<double>("value");
  addReadings({
      {"5", true, 5}, {"  5  ", true, 5}, {"\t2024\t", true, 2024}, {"-35.5", true, -35.5}, {"+3", true, 3},
      {"-0", true, 0}, {".5", true, 0.5}, {"-.5", true, -0.5}, {"5.", true, 5}, {"1e3", true, 1000},
      {"2.5E-2", true, 0.025}, {"1E+2", true, 100},
      {"1e39", true, 1e39},   // too large for a single, fine for a double
      {"1e-400", true, 0},    // underflows to zero
      {"２０２４", true, 2024}, {"－１．５", true, -1.5}, {"＋７", true, 7}, {"\u22123", true, -3},  // U+2212 minus
      {"\u3000５\u3000", true, 5}, {"1２.5", true, 12.5},
      {"", false, 0}, {"   ", false, 0}, {".", false, 0}, {"-", false, 0}, {"abc", false, 0}, {"12abc", false, 0},
      {"2024年", false, 0}, {"1 2", false, 0}, {"1,000", false, 0}, {"--5", false, 0}, {"5-", false, 0},
      {"1.2.3", false, 0}, {"1e", false, 0}, {"1e+", false, 0}, {"0x10", false, 0}, {"inf", false, 0},
      {"nan", false, 0}, {"1e400", false, 0},
      {"ー5", false, 0},  // the katakana long mark is no minus
  });
  QTest::newRow("invalid UTF-8") << QByteArray("\xff" "5") << false << 0.0;
  QTest::newRow("NUL inside") << QByteArray("5\0" "1", 3) << false << 0.0;
  // The mantissa's own digits count towards the size, not only the exponent.
  const QByteArray zeros(400, '0');
  QTest::newRow("1e400 as 1000...0e-1") << "1" + zeros + "e-1" << false << 0.0;
  QTest::newRow("1e300 as 1000...0e-100") << "1" + zeros + "e-100" << true << 1e300;
  QTest::newRow("1e-401 as 0.000...1") << "0." + zeros + "1" << true << 0.0;
  QTest::newRow("1e-10 as 0.000...1e391") << "0." + zeros + "1e391" << true << 1e-10;
}

void TestNumberText::strict() {
  QFETCH(QByteArray, text);
  QFETCH(bool, ok);
  QFETCH(double, value);
  const auto result = strictNumber(std::string_view(text.constData(), static_cast<std::size_t>(text.size())));
  QCOMPARE(result.has_value(), ok);
  if (ok) QCOMPARE(*result, value);
}

void TestNumberText::strictSingleRange_data() {
  QTest::addColumn<QByteArray>("text");
  QTest::addColumn<bool>("ok");
  QTest::addColumn<double>("value");
  addReadings({
      {"0.1", true, double(0.1f)},
      {"16777217", true, 16777216},  // 2^24 + 1 rounds to even
      {"3.4028235e38", true, double(FLT_MAX)},
      {"3.4028236e38", false, 0},  // past half an ulp over the largest single
      {"3.5e38", false, 0}, {"1e39", false, 0}, {"-1e39", false, 0},
      {"1e-50", true, 0}, {"35.893", true, double(35.893f)},
  });
}

void TestNumberText::strictSingleRange() {
  QFETCH(QByteArray, text);
  QFETCH(bool, ok);
  QFETCH(double, value);
  const auto result = strictSingle(text.toStdString());
  QCOMPARE(result.has_value(), ok);
  if (ok) QCOMPARE(*result, float(value));
}

void TestNumberText::leading_data() {
  QTest::addColumn<QByteArray>("text");
  QTest::addColumn<double>("value");
  const std::pair<const char*, double> readings[] = {
      {"2024", 2024}, {"2024年", 2024}, {"２０２４年", 2024}, {"   12.5xyz", 12.5}, {"-3", -3}, {" .5", 0.5},
      {"1e5x", 1e5}, {"1ex", 1},  // an incomplete exponent stops before the e
      {"12 34", 12}, {"abc", 0}, {"", 0}, {" ", 0}, {".", 0}, {"-", 0}, {"1.5.5", 1.5}, {"\u3000" "5", 5}};
  for (const auto& [text, value] : readings) QTest::addRow("\"%s\"", text) << QByteArray(text) << value;
}

void TestNumberText::leading() {
  QFETCH(QByteArray, text);
  QFETCH(double, value);
  QCOMPARE(leadingNumber(text.toStdString()), value);
}

void TestNumberText::general_data() {
  QTest::addColumn<float>("value");
  QTest::addColumn<QString>("text");
  addPrinted({
      {8, "8"}, {35.4f, "35.4"}, {0.5f, "0.5"}, {-0.5f, "-0.5"}, {-0.0f, "0"}, {2024.5f, "2024.5"},
      {1234567, "1234567"}, {12345678, "1.234568E+07"}, {0.1f, "0.1"}, {1.0f / 3.0f, "0.3333333"},
      {137.48f, "137.48"}, {1e6f, "1000000"}, {1e8f, "1E+08"}, {1234567.5f, "1234568"}, {0.00001f, "0.00001"},
      {0.000001f, "1E-06"}, {FLT_MAX, "3.402823E+38"}, {-130.657f, "-130.657"},
  });
  QTest::newRow("zero") << 0.0f << "0";
}

void TestNumberText::general() {
  QFETCH(float, value);
  QFETCH(QString, text);
  QCOMPARE(QString::fromStdString(generalText(value)), text);
}

void TestNumberText::signedForm_data() {
  QTest::addColumn<float>("value");
  QTest::addColumn<QString>("text");
  addPrinted({{5, " 5"}, {2024.5f, " 2024.5"}, {0.5f, " .5"}, {-0.5f, "-.5"}, {-0.0f, " 0"}, {-3, "-3"},
              {10, " 10"}, {0.00001f, " .00001"}, {12345678, " 1.234568E+07"}});
  QTest::newRow("zero") << 0.0f << " 0";
}

void TestNumberText::signedForm() {
  QFETCH(float, value);
  QFETCH(QString, text);
  QCOMPARE(QString::fromStdString(signedText(value)), text);
}

void TestNumberText::printedNumber() {
  QCOMPARE(QString::fromStdString(printedNumberText(3)), QStringLiteral(" 3 "));
  QCOMPARE(QString::fromStdString(printedNumberText(10)), QStringLiteral(" 10 "));
}

// Values with up to 7 significant digits survive being written and read back.
void TestNumberText::generalTextReadsBack_data() {
  QTest::addColumn<float>("value");
  for (float v : {0.0f, 8.0f, 35.4f, -0.5f, 2014.0f, 137.48f, 130.657f, 1234567.0f, 0.001f, 1.5e-5f, 3.4e38f})
    QTest::newRow(QByteArray::number(static_cast<double>(v)).constData()) << v;
}

void TestNumberText::generalTextReadsBack() {
  QFETCH(float, value);
  const auto back = strictSingle(generalText(value));
  QVERIFY(back.has_value());
  QCOMPARE(*back, value);
}

// Texts stay the same under a locale whose decimal point is not "." and is two bytes
// long (U+066B): cells, files and the sheet never take it.
void TestNumberText::foreignDecimalPoint_data() {
  QTest::addColumn<float>("value");
  QTest::addColumn<QString>("text");
  addPrinted({{2001, "2001"}, {35.4f, "35.4"}, {-130.657f, "-130.657"}, {0.5f, "0.5"}, {12345678, "1.234568E+07"},
              {0.000001f, "1E-06"}});
}

void TestNumberText::foreignDecimalPoint() {
  QFETCH(float, value);
  QFETCH(QString, text);
  const std::string previous = std::setlocale(LC_ALL, nullptr);
  if (!std::setlocale(LC_ALL, "ps_AF.UTF-8")) QSKIP("the locale ps_AF.UTF-8 is not installed (scripts/setup.sh makes it as root)");
  struct Restore {
    std::string locale;
    ~Restore() { std::setlocale(LC_ALL, locale.c_str()); }
  } restore{previous};
  QCOMPARE(QByteArray(std::localeconv()->decimal_point), QByteArray("\xD9\xAB"));
  QCOMPARE(QString::fromStdString(generalText(value)), text);
  const auto back = strictSingle(text.toStdString());
  QVERIFY(back.has_value());
  QCOMPARE(*back, value);
}

QTEST_APPLESS_MAIN(TestNumberText)
#include "tst_number_text.moc"
