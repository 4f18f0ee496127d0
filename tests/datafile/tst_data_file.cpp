// The data file without Qt's help: code page 932 through iconv and how a file's
// encoding is recognised; its lines, fields, names and numbers, read and written.

#include "datafile/record_format.h"
#include "datafile/sjis_codec.h"

#include <QtTest>

using namespace eq;

namespace {

QString fromUtf8(const std::string& text) { return QString::fromStdString(text); }
std::string bytes(const QByteArray& data) { return data.toStdString(); }

// A record as text: the name or "<none>", then each number or "-" where the line gave none.
QString describe(const EruptionRecord& record) {
  QStringList out{record.name ? fromUtf8(*record.name) : QStringLiteral("<none>")};
  for (const auto& number : record.numbers) out << (number ? QString::number(double(*number), 'g', 7) : "-");
  return out.join(' ');
}

const QString kBad(QChar(0xFFFD));

}  // namespace

class TestDataFile : public QObject {
  Q_OBJECT
 private slots:
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
    QTest::newRow("LF is a character") << QByteArray("a\nb\r\n") << QStringList{"a\nb"};
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

  void encodingOfFile_data() {
    QTest::addColumn<QByteArray>("file");
    QTest::addColumn<bool>("utf8");
    QTest::addColumn<QString>("firstName");
    const QByteArray numbers = ",1,1,1,1,1\r\n";
    QTest::newRow("Shift-JIS") << "1,\"\x95\x5C\"" + numbers << false << "表";
    QTest::newRow("UTF-8 with mark") << "\xEF\xBB\xBF" "1,\"Fuji\"" + numbers << true << "Fuji";
    QTest::newRow("UTF-8 without mark") << "1,\"\xE8\xA1\xA8\"" + numbers << true << "表";
    QTest::newRow("half-width kana that are two-byte UTF-8") << "1,\"\xC3\xBD\"" + numbers << false << "ﾃｽ";
    QTest::newRow("the same with a mark") << "\xEF\xBB\xBF" "1,\"\xC3\xBD\"" + numbers << true << "ý";
    QByteArray eleven = QByteArray("1,\"a\"" + numbers).repeated(10) + "11,\"\xE8\xA1\xA8\"" + numbers;
    QTest::newRow("only the lines read decide") << eleven << false << "a";
  }
  void encodingOfFile() {
    QFETCH(QByteArray, file);
    QFETCH(bool, utf8);
    QFETCH(QString, firstName);
    const auto content = readDataFile(bytes(file));
    QVERIFY(content);
    QCOMPARE(content->encoding == TextEncoding::Utf8, utf8);
    QCOMPARE(fromUtf8(content->records.at(0).name.value()), firstName);
    QCOMPARE(content->records.back().numbers[4].value(), 1.0f);
  }

  void formattedLine() {
    QCOMPARE(fromUtf8(formatRecord(7, {"", {0, 0, 0, 0, 0}})), QStringLiteral("7,\"\",0,0,0,0,0\r\n"));
    QCOMPARE(fromUtf8(formatRecord(10, {" 桜\"島 ", {1914, 1, 12, 31.585f, 130.657f}})),
             QStringLiteral("10,\" 桜\"島 \",1914,1,12,31.585,130.657\r\n"));
    QCOMPARE(fromUtf8(formatRecord(1, {"x", {-0.5f, 1234.5678f, 35.4f, 8, 1e-3f}})),
             QStringLiteral("1,\"x\",-0.5,1234.568,35.4,8,0.001\r\n"));
  }

  void roundTrip_data() {
    QTest::addColumn<QString>("name");
    QTest::newRow("empty") << "";
    QTest::newRow("backslash second bytes") << "表ソ十能予噂申";
    QTest::newRow("extensions") << "①～㈱纊髙﨑№";
    QTest::newRow("blanks") << "  桜　島  ";
    QTest::newRow("commas and quotes") << ",\"a,,b\"";
    QTest::newRow("LF") << "a\nb";
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

  // A name whose Shift-JIS bytes would make the file read as UTF-8 stops the save.
  void readsAsUtf8() {
    const EncodedDataFile file = encodeDataFile({{"a", {}}, {"譌･", {}}});  // E6 97 A5: 日 in UTF-8
    QCOMPARE(file.failedRow, 2);
    QCOMPARE(int(file.problem), int(NameProblem::ReadsAsUtf8));
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
};

QTEST_APPLESS_MAIN(TestDataFile)
#include "tst_data_file.moc"
