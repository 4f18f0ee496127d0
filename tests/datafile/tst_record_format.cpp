// The data file's lines, fields, names and numbers, read and written without Qt's help.

#include "datafile/record_format.h"
#include "model/number_text.h"

#include <QDir>
#include <QFile>
#include <QtTest>

using namespace eq;

namespace {

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
  void lookAlikesReadBack();
  void unwritableNames_data();
  void unwritableNames();
  void longSingleLine();
  void filesRead_data();
  void filesRead();
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
  const QString t = QStringLiteral(",1914,1,12,31.585,130.657");  // the numbers as written
  QTest::newRow("as written") << "7,\"桜島\"" + t << "桜島" << plain;
  QTest::newRow("empty row") << "7,\"\",0,0,0,0,0" << "" << QStringList{"0", "0", "0", "0", "0"};
  QTest::newRow("row number ignored") << "x,\"桜島\"" + t << "桜島" << plain;
  QTest::newRow("name without quotes") << "1,桜島" + t << "桜島" << plain;
  QTest::newRow("opening quote only loses the last character") << "1,\"桜島" + t << "桜" << plain;
  QTest::newRow("last character whatever it is") << "1,\"abc " + t << "abc" << plain;
  QTest::newRow("blanks kept") << "1,\" 桜 島 \"" + t << " 桜 島 " << plain;
  QTest::newRow("blank before the quote") << "1, \"桜島\"" + t << " \"桜島\"" << plain;
  QTest::newRow("quote inside the name") << "1,\"a\"b\"" + t << "a\"b" << plain;
  QTest::newRow("one quote keeps the name") << "1,\"" + t << "<none>" << plain;
  QTest::newRow("name 0") << "1,\"0\"" + t << "0" << plain;
  QTest::newRow("backslash bytes") << "1,\"表ソ十能予\\\"" + t << "表ソ十能予\\" << plain;
  QTest::newRow("comma in the name") << "1,\"a,b\"" + t << "a,b" << plain;
  QTest::newRow("many commas") << "1,\"a,b,c,d,e,f,g\"" + t << "a,b,c,d,e,f,g" << plain;
  QTest::newRow("leading comma") << "1,\",a\"" + t << ",a" << plain;
  QTest::newRow("trailing comma") << "1,\"a,\"" + t << "a," << plain;
  QTest::newRow("only a comma") << "1,\",\"" + t << "," << plain;
  QTest::newRow("digits between commas") << "1,\"1,2,3,4,5,6\"" + t << "1,2,3,4,5,6" << plain;
  QTest::newRow("quoted name with commas, blanks, quotes") << "1,\" \"a, b\" \"" + t << " \"a, b\" " << plain;
  QTest::newRow("old reading kept when numbers follow the name")
      << "1,\"Name,1914,1,12,31.585,130.657,\"note\"" << "Nam" << plain;
  QTest::newRow("comma, no closing quote") << "1,\"a,b" + t << "" << QStringList{"-", "1914", "1", "12", "31.585"};
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
  QCOMPARE(describe(parseRecord(line.toStdString())), expectedRecord(name, numbers));
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
  QTest::newRow("two-byte UTF-8 without mark") << QByteArray("1,\"\xC3\xBD\",1,1,1,1,1\r\n") << false << "ﾃｽ";
  QTest::newRow("two-byte UTF-8 with mark") << QByteArray("\xEF\xBB\xBF" "1,\"\xC3\xBD\",1,1,1,1,1\r\n") << true << "ý";
  const QString bad(QChar(0xFFFD));
  QTest::newRow("invalid Shift-JIS") << QByteArray("1,\"\x81\",1,1,1,1,1\r\n") << false << bad;
  QTest::newRow("mark then invalid UTF-8") << QByteArray("\xEF\xBB\xBF" "1,\"\xFF\",1,1,1,1,1\r\n") << true << bad;
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
  RecordValues values{name.toStdString(), {}};
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
  QTest::newRow("half-width kana among kanji") << "ﾃｽ桜島";
  QTest::newRow("half-width kana that are two-byte UTF-8") << "ﾃｽ";  // C3 BD, "ý" in UTF-8
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
  rows[1] = {name.toStdString(), {1914.5f, -1, 12, 31.585f, 130.657f}};
  const EncodedDataFile file = encodeDataFile(rows);
  QCOMPARE(file.failedRow, 0);
  const auto content = readDataFile(file.bytes);
  QVERIFY(content.has_value());
  QCOMPARE(content->records.size(), std::size_t(3));
  QCOMPARE(fromUtf8(content->records[1].name.value()), name);
  for (std::size_t k = 0; k < kNumbersPerRecord; ++k) QCOMPARE(content->records[1].numbers[k].value(), rows[1].numbers[k]);
  QCOMPARE(fromUtf8(content->records[0].name.value()), QString());
}

// A wave dash and a minus sign are saved; they come back as their full-width look-alikes.
void TestRecordFormat::lookAlikesReadBack() {
  const EncodedDataFile file = encodeDataFile({{"浅間山〜白根山\u2212", {}}});
  QCOMPARE(file.failedRow, 0);
  const auto content = readDataFile(file.bytes);
  QVERIFY(content.has_value());
  QCOMPARE(fromUtf8(content->records.at(0).name.value()), QStringLiteral("浅間山～白根山－"));
}

void TestRecordFormat::unwritableNames_data() {
  QTest::addColumn<QString>("name");
  QTest::addColumn<int>("problem");
  QTest::addColumn<QString>("badCharacter");
  const int notInCodePage = int(NameProblem::NotInCodePage);
  const int notReadBack = int(NameProblem::NotReadBack);
  QTest::newRow("emoji") << "桜島🌋" << notInCodePage << "🌋";
  QTest::newRow("accented letter") << "Éruption" << notInCodePage << "É";
  QTest::newRow("hangul") << "백두산" << notInCodePage << "백";
  QTest::newRow("CR") << "a\rb" << notReadBack << "";
  QTest::newRow("quote before comma") << "a\",b" << notReadBack << "";
  QTest::newRow("yen sign, read back as a backslash") << "¥100" << notInCodePage << "¥";
  // 譌･ is E6 97 A5 in Shift-JIS, which is 日 in UTF-8.
  QTest::newRow("Shift-JIS that is UTF-8") << "譌･" << int(NameProblem::ReadsAsUtf8) << "";
}

void TestRecordFormat::unwritableNames() {
  QFETCH(QString, name);
  QFETCH(int, problem);
  QFETCH(QString, badCharacter);
  std::vector<RecordValues> rows(4);
  rows[2].name = name.toStdString();
  const EncodedDataFile file = encodeDataFile(rows);
  QCOMPARE(file.failedRow, 3);
  QCOMPARE(int(file.problem), problem);
  QCOMPARE(fromUtf8(file.badCharacter), badCharacter);
  QVERIFY(file.bytes.empty());
}

void TestRecordFormat::longSingleLine() {
  std::string file = "1,\"" + std::string(10 * 1024 * 1024, '\x95') + "\",2000,1,1,35,139";
  file[10] = '\\';
  const auto content = readDataFile(file);
  QVERIFY(content.has_value());
  QCOMPARE(content->records.size(), std::size_t(1));
  QCOMPARE(content->records[0].numbers[4].value(), 139.0f);
}

// The fuzzing seeds and the shipped examples.
void TestRecordFormat::filesRead_data() {
  QTest::addColumn<QString>("path");
  QTest::addColumn<bool>("shipped");
  for (const bool shipped : {false, true}) {
    const QDir dir(QStringLiteral(EQ_SOURCE_DIR) + (shipped ? "/examples" : "/tests/data/fuzz/record_reader"));
    const QStringList files = dir.entryList({shipped ? "*.txt" : "*"}, QDir::Files);
    QVERIFY2(!files.isEmpty(), qPrintable(dir.path()));
    for (const QString& file : files) QTest::newRow(qPrintable(file)) << dir.filePath(file) << shipped;
  }
}

// Whatever a file holds, it reads into at most ten records of valid text and finite numbers;
// the examples are exactly what the save command would write for their rows.
void TestRecordFormat::filesRead() {
  QFETCH(QString, path);
  QFETCH(bool, shipped);
  QFile file(path);
  QVERIFY(file.open(QIODevice::ReadOnly));
  const std::string data = bytes(file.readAll());
  const auto content = readDataFile(data);
  QVERIFY(content.has_value());
  QVERIFY(content->records.size() <= kRecordsPerFile);
  std::vector<RecordValues> rows;
  for (const EruptionRecord& record : content->records) {
    if (record.name) QVERIFY(isValidUtf8(*record.name));
    for (const auto& number : record.numbers) QVERIFY(!number || std::isfinite(*number));
    RecordValues values{record.name.value_or(""), {}};
    for (std::size_t k = 0; k < kNumbersPerRecord; ++k) values.numbers[k] = record.numbers[k].value_or(-1);
    rows.push_back(values);
  }
  if (!shipped) return;
  QVERIFY(content->encoding == TextEncoding::ShiftJis);
  QCOMPARE(content->records.size(), kRecordsPerFile);
  QVERIFY(!rows.front().name.empty());
  const EncodedDataFile written = encodeDataFile(rows);
  QCOMPARE(written.failedRow, 0);
  QCOMPARE(QByteArray::fromStdString(written.bytes), QByteArray::fromStdString(data));
}

QTEST_APPLESS_MAIN(TestRecordFormat)
#include "tst_record_format.moc"
