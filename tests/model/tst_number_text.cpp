// Number text: the strict and lenient readings and the two printed forms.

#include "model/number_text.h"

#include <QtTest>
#include <cfloat>

using namespace eq;

namespace {
struct Reading {
  const char* text;
  bool ok;
  double value;
};
// One row per case, tagged with the text in quotes.
void addReadings(std::initializer_list<Reading> readings) {
  for (const Reading& r : readings) QTest::addRow("\"%s\"", r.text) << QByteArray(r.text) << r.ok << r.value;
}
void addPrinted(std::initializer_list<std::pair<float, const char*>> cases) {
  for (const auto& [value, text] : cases) QTest::addRow("\"%s\"", text) << value << QString::fromUtf8(text);
}
std::string_view view(const QByteArray& bytes) { return {bytes.constData(), static_cast<std::size_t>(bytes.size())}; }
}  // namespace

class TestNumberText : public QObject {
  Q_OBJECT
 private slots:
  void strict_data() {
    QTest::addColumn<QByteArray>("text");
    QTest::addColumn<bool>("ok");
    QTest::addColumn<double>("value");
    addReadings({
        {"  5  ", true, 5}, {"\t2024\t", true, 2024}, {"-35.5", true, -35.5}, {"+3", true, 3}, {".5", true, 0.5},
        {"5.", true, 5}, {"2.5E-2", true, 0.025}, {"1e39", true, 1e39}, {"1e-400", true, 0},
        {"２０２４", true, 2024}, {"－１．５", true, -1.5}, {"\u22123", true, -3}, {"\u3000５\u3000", true, 5},
        {"", false, 0}, {"   ", false, 0}, {".", false, 0}, {"-", false, 0}, {"12abc", false, 0},
        {"2024年", false, 0}, {"1 2", false, 0}, {"1,000", false, 0}, {"--5", false, 0}, {"1.2.3", false, 0},
        {"1e", false, 0}, {"0x10", false, 0}, {"inf", false, 0}, {"nan", false, 0}, {"1e400", false, 0},
        {"ー5", false, 0},  // the katakana long mark is no minus
    });
    QTest::newRow("invalid UTF-8") << QByteArray("\xff" "5") << false << 0.0;
    QTest::newRow("NUL inside") << QByteArray("5\0" "1", 3) << false << 0.0;
  }
  void strict() {
    QFETCH(QByteArray, text);
    QFETCH(bool, ok);
    QFETCH(double, value);
    const auto result = strictNumber(view(text));
    QCOMPARE(result.has_value(), ok);
    if (ok) QCOMPARE(*result, value);
  }

  void strictSingle_data() {
    QTest::addColumn<QByteArray>("text");
    QTest::addColumn<bool>("ok");
    QTest::addColumn<double>("value");
    addReadings({{"16777217", true, 16777216},  // 2^24 + 1 rounds to even
                 {"3.4028235e38", true, double(FLT_MAX)},
                 {"3.4028236e38", false, 0},  // past half an ulp over the largest single
                 {"-1e39", false, 0}, {"1e-50", true, 0}});
  }
  void strictSingle() {
    QFETCH(QByteArray, text);
    QFETCH(bool, ok);
    QFETCH(double, value);
    const auto result = eq::strictSingle(view(text));
    QCOMPARE(result.has_value(), ok);
    if (ok) QCOMPARE(*result, float(value));
  }

  void leading_data() {
    QTest::addColumn<QByteArray>("text");
    QTest::addColumn<bool>("ok");
    QTest::addColumn<double>("value");
    addReadings({{"2024年", true, 2024}, {"２０２４年", true, 2024}, {"   12.5xyz", true, 12.5}, {" .5", true, 0.5},
                 {"1e5x", true, 1e5}, {"1ex", true, 1},  // an incomplete exponent stops before the e
                 {"12 34", true, 12}, {"abc", true, 0}, {"", true, 0}, {"-", true, 0}, {"1.5.5", true, 1.5}});
  }
  void leading() {
    QFETCH(QByteArray, text);
    QFETCH(double, value);
    QCOMPARE(leadingNumber(view(text)), value);
  }

  void general_data() {
    QTest::addColumn<float>("value");
    QTest::addColumn<QString>("text");
    addPrinted({{8, "8"}, {35.4f, "35.4"}, {-0.5f, "-0.5"}, {-0.0f, "0"}, {1234567, "1234567"},
                {12345678, "1.234568E+07"}, {1.0f / 3.0f, "0.3333333"}, {1e8f, "1E+08"}, {1234567.5f, "1234568"},
                {0.00001f, "0.00001"}, {0.000001f, "1E-06"}, {FLT_MAX, "3.402823E+38"}});
  }
  void general() {
    QFETCH(float, value);
    QFETCH(QString, text);
    QCOMPARE(QString::fromStdString(generalText(value)), text);
  }

  void signedForm_data() {
    QTest::addColumn<float>("value");
    QTest::addColumn<QString>("text");
    addPrinted({{5, " 5"}, {2024.5f, " 2024.5"}, {0.5f, " .5"}, {-0.5f, "-.5"}, {-0.0f, " 0"}, {-3, "-3"},
                {12345678, " 1.234568E+07"}});
  }
  void signedForm() {
    QFETCH(float, value);
    QFETCH(QString, text);
    QCOMPARE(QString::fromStdString(signedText(value)), text);
    QCOMPARE(QString::fromStdString(printedNumberText(value)), text + ' ');
  }
};

QTEST_APPLESS_MAIN(TestNumberText)
#include "tst_number_text.moc"
