// The data file's lines, fields, names and numbers, read and written without Qt's help.

#include "datafile/record_format.h"
#include "model/number_text.h"

#include <QDir>
#include <QFile>
#include <QtTest>

using namespace eq;

namespace {

std::string utf8(const QString& text) { return text.toStdString(); }

QString fromUtf8(const std::string& text) { return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size())); }

std::string bytes(const QByteArray& data) { return std::string(data.constData(), static_cast<std::size_t>(data.size())); }

// A record as text for comparison: the name or "<none>", then each number or "-".
QStringList describe(const EruptionRecord& record) {
  QStringList out{record.name ? fromUtf8(*record.name) : QStringLiteral("<none>")};
  for (const auto& number : record.numbers) out << (number ? QString::number(double(*number)) : QStringLiteral("-"));
  return out;
}

// The same form built from the expected values, each number text read as a float by Qt.
QStringList expectedRecord(const QString& name, const QStringList& numbers) {
  QStringList out{name};
  for (const QString& number : numbers) {
    out << (number == QStringLiteral("-") ? number : QString::number(double(number.toFloat())));
  }
  return out;
}

QString corpusDir() { return QStringLiteral(EQ_SOURCE_DIR "/tests/data/fuzz/record_reader"); }

}  // namespace

class TestRecordFormat : public QObject {
  Q_OBJECT
 private slots:
  void lines_data();
  void lines();
  void records_data();
  void records();
  void overlongDigitIsNoNumber();
  void encodingOfFile_data();
  void encodingOfFile();
  void onlyTheLinesReadDecideTheEncoding();
  void formattedLine_data();
  void formattedLine();
  void roundTrip_data();
  void roundTrip();
  void unwritableNames_data();
  void unwritableNames();
  void writtenFileHasTenLines();
  void corpusReads_data();
  void corpusReads();
  void longSingleLine();
};

void TestRecordFormat::lines_data() {
  QTest::addColumn<QByteArray>("input");
  QTest::addColumn<QStringList>("expected");
  QTest::newRow("empty") << QByteArray() << QStringList{};
  QTest::newRow("no line end") << QByteArray("a") << QStringList{"a"};
  QTest::newRow("CR LF") << QByteArray("a\r\nb\r\n") << QStringList{"a", "b"};
  QTest::newRow("CR alone") << QByteArray("a\rb") << QStringList{"a", "b"};
  QTest::newRow("LF is a character") << QByteArray("a\nb\nc\r\n") << QStringList{"a\nb\nc"};
  QTest::newRow("LF before CR") << QByteArray("a\n\rb") << QStringList{"a\n", "b"};
  QTest::newRow("empty lines") << QByteArray("\r\n\r\n") << QStringList{"", ""};
  QTest::newRow("empty line between") << QByteArray("a\r\n\r\nb") << QStringList{"a", "", "b"};
  QTest::newRow("CR CR LF") << QByteArray("a\r\r\nb") << QStringList{"a", "", "b"};
  QByteArray twelve;
  QStringList ten;
  for (int k = 1; k <= 12; ++k) {
    twelve += QByteArray::number(k) + "\r\n";
    if (k <= 10) ten << QString::number(k);
  }
  QTest::newRow("twelve lines give ten") << twelve << ten;
}

void TestRecordFormat::lines() {
  QFETCH(QByteArray, input);
  QFETCH(QStringList, expected);
  const std::string data = bytes(input);
  QStringList got;
  for (const auto line : splitLines(data)) got << fromUtf8(std::string(line));
  QCOMPARE(got, expected);
}

void TestRecordFormat::records_data() {
  QTest::addColumn<QString>("line");
  QTest::addColumn<QString>("name");
  QTest::addColumn<QStringList>("numbers");  // "-": not given, the row keeps its value
  const QStringList plain{"1914", "1", "12", "31.585", "130.657"};
  QTest::newRow("as written") << "7,\"桜島\",1914,1,12,31.585,130.657" << "桜島" << plain;
  QTest::newRow("empty row") << "7,\"\",0,0,0,0,0" << "" << QStringList{"0", "0", "0", "0", "0"};
  QTest::newRow("row number ignored") << "x,\"桜島\",1914,1,12,31.585,130.657" << "桜島" << plain;
  QTest::newRow("name without quotes") << "1,桜島,1914,1,12,31.585,130.657" << "桜島" << plain;
  QTest::newRow("opening quote only loses the last character")
      << "1,\"桜島,1914,1,12,31.585,130.657" << "桜" << plain;
  QTest::newRow("last character whatever it is") << "1,\"abc ,1914,1,12,31.585,130.657" << "abc" << plain;
  QTest::newRow("blanks kept") << "1,\" 桜 島 \",1914,1,12,31.585,130.657" << " 桜 島 " << plain;
  QTest::newRow("blank before the quote") << "1, \"桜島\",1914,1,12,31.585,130.657" << " \"桜島\"" << plain;
  QTest::newRow("quote inside the name") << "1,\"a\"b\",1914,1,12,31.585,130.657" << "a\"b" << plain;
  QTest::newRow("one quote keeps the name") << "1,\",1914,1,12,31.585,130.657" << "<none>" << plain;
  QTest::newRow("name 0") << "1,\"0\",1914,1,12,31.585,130.657" << "0" << plain;
  QTest::newRow("backslash bytes") << "1,\"表ソ十能予\\\",1914,1,12,31.585,130.657" << "表ソ十能予\\" << plain;
  QTest::newRow("comma in the name") << "1,\"a,b\",1914,1,12,31.585,130.657" << "a,b" << plain;
  QTest::newRow("many commas") << "1,\"a,b,c,d,e,f,g\",1914,1,12,31.585,130.657" << "a,b,c,d,e,f,g" << plain;
  QTest::newRow("leading comma") << "1,\",a\",1914,1,12,31.585,130.657" << ",a" << plain;
  QTest::newRow("trailing comma") << "1,\"a,\",1914,1,12,31.585,130.657" << "a," << plain;
  QTest::newRow("only a comma") << "1,\",\",1914,1,12,31.585,130.657" << "," << plain;
  QTest::newRow("digits between commas") << "1,\"1,2,3,4,5,6\",1914,1,12,31.585,130.657" << "1,2,3,4,5,6" << plain;
  QTest::newRow("quoted name with commas, blanks, quotes")
      << "1,\" \"a, b\" \",1914,1,12,31.585,130.657" << " \"a, b\" " << plain;
  QTest::newRow("old reading kept when numbers follow the name")
      << "1,\"Name,1914,1,12,31.585,130.657,\"note\"" << "Nam" << plain;
  QTest::newRow("comma, no closing quote")
      << "1,\"a,b,1914,1,12,31.585,130.657" << "" << QStringList{"-", "1914", "1", "12", "31.585"};
  QTest::newRow("short line") << "3,\"x\",2000" << "x" << QStringList{"2000", "-", "-", "-", "-"};
  QTest::newRow("row number only") << "3" << "<none>" << QStringList{"-", "-", "-", "-", "-"};
  QTest::newRow("empty line") << "" << "<none>" << QStringList{"-", "-", "-", "-", "-"};
  QTest::newRow("later fields ignored") << "1,\"x\",1,2,3,4,5,6,\"7\"" << "x" << QStringList{"1", "2", "3", "4", "5"};
  QTest::newRow("blanks around numbers") << "1,\"x\", 2000 ,1,1, 35.5,139" << "x"
                                         << QStringList{"2000", "1", "1", "35.5", "139"};
  QTest::newRow("signs and fractions") << "1,\"x\",-1,0.5,.5,-12.25,+139" << "x"
                                       << QStringList{"-1", "0.5", "0.5", "-12.25", "139"};
  QTest::newRow("empty and bad numbers") << "1,\"x\",,abc,1.2.3,12a,-" << "x"
                                         << QStringList{"-", "-", "-", "-", "-"};
  QTest::newRow("out of the single range") << "1,\"x\",1e39,-1e39,1e-50,3.4e38,1e400" << "x"
                                            << QStringList{"-", "-", "0", "3.4e38", "-"};
  QTest::newRow("LF inside a line") << "1,\"x\",2000,1,1,35,139\n2,\"y\",1,1,1,1,1" << "x"
                                    << QStringList{"2000", "1", "1", "35", "-"};
}

void TestRecordFormat::records() {
  QFETCH(QString, line);
  QFETCH(QString, name);
  QFETCH(QStringList, numbers);
  QCOMPARE(describe(parseRecord(utf8(line))), expectedRecord(name, numbers));
}

// A malformed UTF-8 form of a digit is not a digit.
void TestRecordFormat::overlongDigitIsNoNumber() {
  QCOMPARE(describe(parseRecord("1,\"x\",\xC0\xB1,1,\xE0\x80\xB1,1,\xF0\x80\x80\xB1")),
           expectedRecord("x", {"-", "1", "-", "1", "-"}));
}

void TestRecordFormat::encodingOfFile_data() {
  QTest::addColumn<QByteArray>("file");
  QTest::addColumn<bool>("utf8");
  QTest::addColumn<QString>("firstName");
  QTest::newRow("Shift-JIS") << QByteArray("1,\"\x95\x5C\",1,1,1,1,1\r\n") << false << "表";
  QTest::newRow("ASCII") << QByteArray("1,\"Fuji\",1,1,1,1,1\r\n") << false << "Fuji";
  QTest::newRow("UTF-8 with mark") << QByteArray("\xEF\xBB\xBF" "1,\"Fuji\",1,1,1,1,1\r\n") << true << "Fuji";
  QTest::newRow("UTF-8 without mark") << QByteArray("1,\"\xE8\xA1\xA8\",1,1,1,1,1\r\n") << true << "表";
  QTest::newRow("invalid Shift-JIS") << QByteArray("1,\"\x81\",1,1,1,1,1\r\n") << false
                                     << QString(QChar(0xFFFD));
  QTest::newRow("mark then invalid UTF-8") << QByteArray("\xEF\xBB\xBF" "1,\"\xFF\",1,1,1,1,1\r\n") << true
                                           << QString(QChar(0xFFFD));
}

void TestRecordFormat::encodingOfFile() {
  QFETCH(QByteArray, file);
  QFETCH(bool, utf8);
  QFETCH(QString, firstName);
  const auto content = readDataFile(bytes(file));
  QVERIFY(content.has_value());
  QCOMPARE(content->encoding == TextEncoding::Utf8, utf8);
  QCOMPARE(content->records.size(), std::size_t(1));
  QCOMPARE(fromUtf8(content->records[0].name.value()), firstName);
  QCOMPARE(content->records[0].numbers[4].value(), 1.0f);
}

void TestRecordFormat::onlyTheLinesReadDecideTheEncoding() {
  QByteArray file;
  for (int k = 1; k <= 10; ++k) file += QByteArray::number(k) + ",\"a\",1,1,1,1,1\r\n";
  file += "11,\"\xE8\xA1\xA8\",1,1,1,1,1\r\n";  // UTF-8, but never read
  const auto content = readDataFile(bytes(file));
  QVERIFY(content.has_value());
  QCOMPARE(content->records.size(), kRecordsPerFile);
  QVERIFY(content->encoding == TextEncoding::ShiftJis);
}

void TestRecordFormat::formattedLine_data() {
  QTest::addColumn<int>("row");
  QTest::addColumn<QString>("name");
  QTest::addColumn<QList<float>>("numbers");
  QTest::addColumn<QString>("expected");
  QTest::newRow("empty row") << 7 << "" << QList<float>{0, 0, 0, 0, 0} << "7,\"\",0,0,0,0,0\r\n";
  QTest::newRow("record") << 10 << " 桜島 " << QList<float>{1914, 1, 12, 31.585f, 130.657f}
                          << "10,\" 桜島 \",1914,1,12,31.585,130.657\r\n";
  QTest::newRow("7 significant digits") << 1 << "x" << QList<float>{-0.5f, 1234.5678f, 35.4f, 8, 1e-3f}
                                        << "1,\"x\",-0.5,1234.568,35.4,8,0.001\r\n";
  QTest::newRow("quote unchanged") << 2 << "a\"b" << QList<float>{1, 1, 1, 1, 1} << "2,\"a\"b\",1,1,1,1,1\r\n";
}

void TestRecordFormat::formattedLine() {
  QFETCH(int, row);
  QFETCH(QString, name);
  QFETCH(QList<float>, numbers);
  QFETCH(QString, expected);
  RecordValues values{utf8(name), {}};
  for (int k = 0; k < 5; ++k) values.numbers[static_cast<std::size_t>(k)] = numbers[k];
  QCOMPARE(fromUtf8(formatRecord(row, values)), expected);
}

void TestRecordFormat::roundTrip_data() {
  QTest::addColumn<QString>("name");
  QTest::newRow("plain") << "桜島";
  QTest::newRow("empty") << "";
  QTest::newRow("backslash second bytes") << "表ソ十能予噂申";
  QTest::newRow("backslash itself") << "C:\\表\\";
  QTest::newRow("extensions") << "①～㈱纊髙﨑№";
  QTest::newRow("half-width kana") << "ｻｸﾗｼﾞﾏ";
  QTest::newRow("blanks") << "  桜　島  ";
  QTest::newRow("commas") << "a,b,,c";
  QTest::newRow("leading and trailing commas") << ",桜島,";
  QTest::newRow("comma and quotes") << "\"a,b\"";
  QTest::newRow("numbers with commas") << "1,2,3,4,5,6,7\"";
  QTest::newRow("LF") << "a\nb";
  QTest::newRow("zero") << "0";
}

void TestRecordFormat::roundTrip() {
  QFETCH(QString, name);
  std::vector<RecordValues> rows(3);
  rows[1] = {utf8(name), {1914.5f, -1, 12, 31.585f, 130.657f}};
  const EncodedDataFile file = encodeDataFile(rows);
  QCOMPARE(file.failedRow, 0);
  const auto content = readDataFile(file.bytes);
  QVERIFY(content.has_value());
  QCOMPARE(content->records.size(), std::size_t(3));
  QCOMPARE(fromUtf8(content->records[1].name.value()), name);
  for (std::size_t k = 0; k < kNumbersPerRecord; ++k) QCOMPARE(content->records[1].numbers[k].value(), rows[1].numbers[k]);
  QCOMPARE(fromUtf8(content->records[0].name.value()), QString());
}

void TestRecordFormat::unwritableNames_data() {
  QTest::addColumn<QString>("name");
  QTest::addColumn<QString>("badCharacter");
  QTest::newRow("emoji") << "桜島🌋" << "🌋";
  QTest::newRow("accented letter") << "Éruption" << "É";
  QTest::newRow("hangul") << "백두산" << "백";
  QTest::newRow("CR") << "a\rb" << "";
  QTest::newRow("quote before comma") << "a\",b" << "";
}

void TestRecordFormat::unwritableNames() {
  QFETCH(QString, name);
  QFETCH(QString, badCharacter);
  std::vector<RecordValues> rows(4);
  rows[2].name = utf8(name);
  const EncodedDataFile file = encodeDataFile(rows);
  QCOMPARE(file.failedRow, 3);
  QCOMPARE(fromUtf8(file.badCharacter), badCharacter);
  QVERIFY(file.bytes.empty());
}

void TestRecordFormat::writtenFileHasTenLines() {
  const EncodedDataFile file = encodeDataFile(std::vector<RecordValues>(kRecordsPerFile));
  QCOMPARE(file.failedRow, 0);
  QByteArray expected;
  for (int row = 1; row <= 10; ++row) expected += QByteArray::number(row) + ",\"\",0,0,0,0,0\r\n";
  QCOMPARE(QByteArray::fromStdString(file.bytes), expected);
}

void TestRecordFormat::corpusReads_data() {
  QTest::addColumn<QString>("path");
  const QDir dir(corpusDir());
  const QStringList files = dir.entryList(QDir::Files);
  QVERIFY2(!files.isEmpty(), qPrintable(corpusDir()));
  for (const QString& file : files) QTest::newRow(qPrintable(file)) << dir.filePath(file);
}

// Whatever a file holds, it reads into at most ten records of valid text and finite numbers.
void TestRecordFormat::corpusReads() {
  QFETCH(QString, path);
  QFile file(path);
  QVERIFY(file.open(QIODevice::ReadOnly));
  const auto content = readDataFile(bytes(file.readAll()));
  QVERIFY(content.has_value());
  QVERIFY(content->records.size() <= kRecordsPerFile);
  for (const EruptionRecord& record : content->records) {
    if (record.name) QVERIFY(isValidUtf8(*record.name));
    for (const auto& number : record.numbers) QVERIFY(!number || std::isfinite(*number));
  }
}

void TestRecordFormat::longSingleLine() {
  std::string file = "1,\"" + std::string(10 * 1024 * 1024, '\x95') + "\",2000,1,1,35,139";
  file[10] = '\\';
  const auto content = readDataFile(file);
  QVERIFY(content.has_value());
  QCOMPARE(content->records.size(), std::size_t(1));
  QCOMPARE(content->records[0].numbers[4].value(), 139.0f);
}

QTEST_APPLESS_MAIN(TestRecordFormat)
#include "tst_record_format.moc"
