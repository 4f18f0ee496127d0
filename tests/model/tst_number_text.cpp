// Number text: the strict and lenient readings and the two printed forms.

#include "model/number_text.h"

#include <QtTest>
#include <cfloat>
#include <cmath>

using namespace eq;

namespace {
QByteArray utf8(const char* s) { return QByteArray(s); }
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
};

void TestNumberText::strict_data() {
  QTest::addColumn<QByteArray>("text");
  QTest::addColumn<bool>("ok");
  QTest::addColumn<double>("value");
  QTest::newRow("integer") << utf8("5") << true << 5.0;
  QTest::newRow("blanks around") << utf8("  5  ") << true << 5.0;
  QTest::newRow("tabs around") << utf8("\t2024\t") << true << 2024.0;
  QTest::newRow("negative decimal") << utf8("-35.5") << true << -35.5;
  QTest::newRow("plus sign") << utf8("+3") << true << 3.0;
  QTest::newRow("minus zero") << utf8("-0") << true << 0.0;
  QTest::newRow("leading point") << utf8(".5") << true << 0.5;
  QTest::newRow("negative leading point") << utf8("-.5") << true << -0.5;
  QTest::newRow("trailing point") << utf8("5.") << true << 5.0;
  QTest::newRow("exponent") << utf8("1e3") << true << 1000.0;
  QTest::newRow("negative exponent") << utf8("2.5E-2") << true << 0.025;
  QTest::newRow("exponent with plus") << utf8("1E+2") << true << 100.0;
  QTest::newRow("huge for a single, fine for a double") << utf8("1e39") << true << 1e39;
  QTest::newRow("tiny underflows to zero") << utf8("1e-400") << true << 0.0;
  QTest::newRow("full-width digits") << utf8("２０２４") << true << 2024.0;
  QTest::newRow("full-width minus and period") << utf8("－１．５") << true << -1.5;
  QTest::newRow("full-width plus") << utf8("＋７") << true << 7.0;
  QTest::newRow("minus sign U+2212") << utf8("\u22123") << true << -3.0;
  QTest::newRow("ideographic spaces around") << utf8("\u3000５\u3000") << true << 5.0;
  QTest::newRow("mixed widths") << utf8("1２.5") << true << 12.5;
  QTest::newRow("empty") << utf8("") << false << 0.0;
  QTest::newRow("blank only") << utf8("   ") << false << 0.0;
  QTest::newRow("point only") << utf8(".") << false << 0.0;
  QTest::newRow("sign only") << utf8("-") << false << 0.0;
  QTest::newRow("letters") << utf8("abc") << false << 0.0;
  QTest::newRow("trailing letters") << utf8("12abc") << false << 0.0;
  QTest::newRow("year with kanji") << utf8("2024年") << false << 0.0;
  QTest::newRow("inner blank") << utf8("1 2") << false << 0.0;
  QTest::newRow("thousands comma") << utf8("1,000") << false << 0.0;
  QTest::newRow("double sign") << utf8("--5") << false << 0.0;
  QTest::newRow("sign after") << utf8("5-") << false << 0.0;
  QTest::newRow("two points") << utf8("1.2.3") << false << 0.0;
  QTest::newRow("bare exponent") << utf8("1e") << false << 0.0;
  QTest::newRow("exponent without digits") << utf8("1e+") << false << 0.0;
  QTest::newRow("hex") << utf8("0x10") << false << 0.0;
  QTest::newRow("infinity word") << utf8("inf") << false << 0.0;
  QTest::newRow("nan word") << utf8("nan") << false << 0.0;
  QTest::newRow("beyond double") << utf8("1e400") << false << 0.0;
  QTest::newRow("katakana long mark is no minus") << utf8("ー5") << false << 0.0;
  QTest::newRow("invalid UTF-8") << QByteArray("\xff" "5") << false << 0.0;
  QTest::newRow("NUL inside") << QByteArray("5\0" "1", 3) << false << 0.0;
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
  QTest::addColumn<float>("value");
  QTest::newRow("rounded to single") << utf8("0.1") << true << 0.1f;
  QTest::newRow("2^24 + 1 rounds to even") << utf8("16777217") << true << 16777216.0f;
  QTest::newRow("largest single") << utf8("3.4028235e38") << true << FLT_MAX;
  QTest::newRow("past half an ulp over the largest") << utf8("3.4028236e38") << false << 0.0f;
  QTest::newRow("over the single range") << utf8("3.5e38") << false << 0.0f;
  QTest::newRow("1e39") << utf8("1e39") << false << 0.0f;
  QTest::newRow("negative over the range") << utf8("-1e39") << false << 0.0f;
  QTest::newRow("tiny becomes zero") << utf8("1e-50") << true << 0.0f;
  QTest::newRow("latitude") << utf8("35.893") << true << 35.893f;
}

void TestNumberText::strictSingleRange() {
  QFETCH(QByteArray, text);
  QFETCH(bool, ok);
  QFETCH(float, value);
  const auto result = strictSingle(text.toStdString());
  QCOMPARE(result.has_value(), ok);
  if (ok) QCOMPARE(*result, value);
}

void TestNumberText::leading_data() {
  QTest::addColumn<QByteArray>("text");
  QTest::addColumn<double>("value");
  QTest::newRow("plain") << utf8("2024") << 2024.0;
  QTest::newRow("with kanji after") << utf8("2024年") << 2024.0;
  QTest::newRow("full-width with kanji") << utf8("２０２４年") << 2024.0;
  QTest::newRow("leading blanks") << utf8("   12.5xyz") << 12.5;
  QTest::newRow("negative") << utf8("-3") << -3.0;
  QTest::newRow("leading point") << utf8(" .5") << 0.5;
  QTest::newRow("exponent") << utf8("1e5x") << 100000.0;
  QTest::newRow("incomplete exponent stops before e") << utf8("1ex") << 1.0;
  QTest::newRow("stops at inner blank") << utf8("12 34") << 12.0;
  QTest::newRow("letters only") << utf8("abc") << 0.0;
  QTest::newRow("empty") << utf8("") << 0.0;
  QTest::newRow("blank") << utf8(" ") << 0.0;
  QTest::newRow("point only") << utf8(".") << 0.0;
  QTest::newRow("sign only") << utf8("-") << 0.0;
  QTest::newRow("second point ends it") << utf8("1.5.5") << 1.5;
  QTest::newRow("ideographic space first") << utf8("\u3000" "5") << 5.0;
}

void TestNumberText::leading() {
  QFETCH(QByteArray, text);
  QFETCH(double, value);
  QCOMPARE(leadingNumber(text.toStdString()), value);
}

void TestNumberText::general_data() {
  QTest::addColumn<float>("value");
  QTest::addColumn<QString>("text");
  QTest::newRow("integer") << 8.0f << "8";
  QTest::newRow("decimal") << 35.4f << "35.4";
  QTest::newRow("half") << 0.5f << "0.5";
  QTest::newRow("negative half") << -0.5f << "-0.5";
  QTest::newRow("zero") << 0.0f << "0";
  QTest::newRow("minus zero") << -0.0f << "0";
  QTest::newRow("year and a half") << 2024.5f << "2024.5";
  QTest::newRow("seven digits") << 1234567.0f << "1234567";
  QTest::newRow("eight digits go to exponent form") << 12345678.0f << "1.234568E+07";
  QTest::newRow("single noise is rounded away") << 0.1f << "0.1";
  QTest::newRow("a third") << 1.0f / 3.0f << "0.3333333";
  QTest::newRow("longitude") << 137.48f << "137.48";
  QTest::newRow("latitude") << 35.893f << "35.893";
  QTest::newRow("hundred") << 100.0f << "100";
  QTest::newRow("million") << 1e6f << "1000000";
  QTest::newRow("hundred million") << 1e8f << "1E+08";
  QTest::newRow("eighth digit rounds") << 1234567.5f << "1234568";
  QTest::newRow("small") << 0.00001f << "0.00001";
  QTest::newRow("smaller") << 0.000001f << "1E-06";
  QTest::newRow("largest single") << FLT_MAX << "3.402823E+38";
  QTest::newRow("negative") << -130.657f << "-130.657";
}

void TestNumberText::general() {
  QFETCH(float, value);
  QFETCH(QString, text);
  QCOMPARE(QString::fromStdString(generalText(value)), text);
}

void TestNumberText::signedForm_data() {
  QTest::addColumn<float>("value");
  QTest::addColumn<QString>("text");
  QTest::newRow("five") << 5.0f << " 5";
  QTest::newRow("year and a half") << 2024.5f << " 2024.5";
  QTest::newRow("half has no leading zero") << 0.5f << " .5";
  QTest::newRow("negative half") << -0.5f << "-.5";
  QTest::newRow("zero") << 0.0f << " 0";
  QTest::newRow("minus zero") << -0.0f << " 0";
  QTest::newRow("negative") << -3.0f << "-3";
  QTest::newRow("count ten") << 10.0f << " 10";
  QTest::newRow("small") << 0.00001f << " .00001";
  QTest::newRow("big") << 12345678.0f << " 1.234568E+07";
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

QTEST_APPLESS_MAIN(TestNumberText)
#include "tst_number_text.moc"
