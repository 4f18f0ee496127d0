// Code page 932 through iconv, and how a file's encoding is recognised.

#include "datafile/sjis_codec.h"

#include <QtTest>

using namespace eq;

namespace {
std::string bytes(const QByteArray& data) { return std::string(data.constData(), static_cast<std::size_t>(data.size())); }
QString fromUtf8(const std::string& text) { return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size())); }
}  // namespace

class TestSjisCodec : public QObject {
  Q_OBJECT
 private slots:
  void knownCharacters_data();
  void knownCharacters();
  void invalidBytes_data();
  void invalidBytes();
  void lookAlikes_data();
  void lookAlikes();
  void notInCodePage_data();
  void notInCodePage();
  void utf8Validity_data();
  void utf8Validity();
  void detection_data();
  void detection();
};

// Characters whose second byte is 0x5C (a backslash in ASCII), and the extensions.
void TestSjisCodec::knownCharacters_data() {
  QTest::addColumn<QByteArray>("shiftJis");
  QTest::addColumn<QString>("text");
  QTest::newRow("表") << QByteArray("\x95\x5C") << "表";
  QTest::newRow("ソ") << QByteArray("\x83\x5C") << "ソ";
  QTest::newRow("backslash and tilde stay ASCII") << QByteArray("\x5C\x7E") << "\\~";
  QTest::newRow("①") << QByteArray("\x87\x40") << "①";
  QTest::newRow("～") << QByteArray("\x81\x60") << "～";
  QTest::newRow("㈱") << QByteArray("\x87\x8A") << "㈱";
  QTest::newRow("IBM extension 髙") << QByteArray("\xFB\xFC") << "髙";
  QTest::newRow("half-width kana") << QByteArray("\xBB\xB8\xD7") << "ｻｸﾗ";
  QTest::newRow("ideographic space") << QByteArray("\x81\x40") << "\u3000";
  QTest::newRow("mixed") << QByteArray("a\x95\x5C,\x83\x5C\"") << "a表,ソ\"";
}

void TestSjisCodec::knownCharacters() {
  QFETCH(QByteArray, shiftJis);
  QFETCH(QString, text);
  const auto decoded = decodeShiftJis(bytes(shiftJis));
  QVERIFY(decoded.has_value());
  QCOMPARE(fromUtf8(*decoded), text);
  const ShiftJisEncoding encoded = encodeShiftJis(text.toStdString());
  QVERIFY(encoded.ok);
  QCOMPARE(QByteArray::fromStdString(encoded.bytes), shiftJis);
}

void TestSjisCodec::invalidBytes_data() {
  QTest::addColumn<QByteArray>("shiftJis");
  QTest::addColumn<QString>("text");
  const QString bad(QChar(0xFFFD));
  QTest::newRow("lead byte at the end") << QByteArray("a\x81") << "a" + bad;
  QTest::newRow("lead byte before a blank") << QByteArray("\x81 b") << bad + " b";
  QTest::newRow("bytes that start nothing") << QByteArray("\xFF\xFF") << bad + bad;
  QTest::newRow("NUL kept") << QByteArray("a\0b", 3) << QString::fromUtf8("a\0b", 3);
}

void TestSjisCodec::invalidBytes() {
  QFETCH(QByteArray, shiftJis);
  QFETCH(QString, text);
  const auto decoded = decodeShiftJis(bytes(shiftJis));
  QVERIFY(decoded.has_value());
  QCOMPARE(fromUtf8(*decoded), text);
}

// Characters that share their two bytes with a look-alike are written and read back as it.
void TestSjisCodec::lookAlikes_data() {
  QTest::addColumn<QString>("text");
  QTest::addColumn<QByteArray>("shiftJis");
  QTest::addColumn<QString>("readBack");
  QTest::newRow("wave dash") << "\u301C" << QByteArray("\x81\x60") << "\uFF5E";
  QTest::newRow("minus sign") << "\u2212" << QByteArray("\x81\x7C") << "\uFF0D";
  QTest::newRow("em dash") << "\u2014" << QByteArray("\x81\x5C") << "\u2015";
  QTest::newRow("double vertical line") << "\u2016" << QByteArray("\x81\x61") << "\u2225";
  QTest::newRow("cent, pound, not") << "\u00A2\u00A3\u00AC" << QByteArray("\x81\x91\x81\x92\x81\xCA")
                                    << "\uFFE0\uFFE1\uFFE2";
  QTest::newRow("among kanji") << "富士\u301C桜島" << QByteArray("\x95\x78\x8E\x6D\x81\x60\x8D\xF7\x93\x87")
                               << "富士\uFF5E桜島";
}

void TestSjisCodec::lookAlikes() {
  QFETCH(QString, text);
  QFETCH(QByteArray, shiftJis);
  QFETCH(QString, readBack);
  const ShiftJisEncoding encoded = encodeShiftJis(text.toStdString());
  QVERIFY(encoded.ok);
  QCOMPARE(QByteArray::fromStdString(encoded.bytes), shiftJis);
  QCOMPARE(fromUtf8(decodeShiftJis(encoded.bytes).value()), readBack);
}

void TestSjisCodec::notInCodePage_data() {
  QTest::addColumn<QString>("text");
  QTest::addColumn<QString>("badCharacter");
  QTest::newRow("emoji") << "桜島🌋です" << "🌋";
  QTest::newRow("accented") << "aé" << "é";
  QTest::newRow("simplified Chinese") << "长白山" << "长";
  QTest::newRow("replacement character") << QString(QChar(0xFFFD)) << QString(QChar(0xFFFD));
  // Written as one ASCII byte, they would come back as "\\" and "~".
  QTest::newRow("yen sign") << "a¥100" << "¥";
  QTest::newRow("overline") << "\u203E" << "\u203E";
}

void TestSjisCodec::notInCodePage() {
  QFETCH(QString, text);
  QFETCH(QString, badCharacter);
  const ShiftJisEncoding encoded = encodeShiftJis(text.toStdString());
  QVERIFY(!encoded.ok);
  QVERIFY(encoded.bytes.empty());
  QCOMPARE(fromUtf8(encoded.badCharacter), badCharacter);
}

void TestSjisCodec::utf8Validity_data() {
  QTest::addColumn<QByteArray>("input");
  QTest::addColumn<bool>("valid");
  QTest::newRow("ASCII") << QByteArray("abc") << true;
  QTest::newRow("kanji") << QByteArray("\xE8\xA1\xA8") << true;
  QTest::newRow("four bytes") << QByteArray("\xF0\x9F\x8C\x8B") << true;
  QTest::newRow("overlong") << QByteArray("\xC0\xAF") << false;
  QTest::newRow("overlong three") << QByteArray("\xE0\x80\xAF") << false;
  QTest::newRow("surrogate") << QByteArray("\xED\xA0\x80") << false;
  QTest::newRow("beyond U+10FFFF") << QByteArray("\xF4\x90\x80\x80") << false;
  QTest::newRow("cut short") << QByteArray("\xE8\xA1") << false;
  QTest::newRow("Shift-JIS") << QByteArray("\x95\x5C") << false;
}

void TestSjisCodec::utf8Validity() {
  QFETCH(QByteArray, input);
  QFETCH(bool, valid);
  QCOMPARE(isValidUtf8(bytes(input)), valid);
  if (!valid) QVERIFY(fromUtf8(decodeUtf8(bytes(input))).contains(QChar(0xFFFD)));
}

void TestSjisCodec::detection_data() {
  QTest::addColumn<QByteArray>("input");
  QTest::addColumn<bool>("utf8");
  QTest::newRow("empty") << QByteArray() << false;
  QTest::newRow("ASCII") << QByteArray("1,\"a\",1,1,1,1,1\r\n") << false;
  QTest::newRow("mark alone") << QByteArray("\xEF\xBB\xBF") << true;
  QTest::newRow("mark then ASCII") << QByteArray("\xEF\xBB\xBF" "abc") << true;
  QTest::newRow("UTF-8 kanji") << QByteArray("a\xE8\xA1\xA8") << true;
  QTest::newRow("UTF-8 emoji") << QByteArray("a\xF0\x9F\x8C\x8B") << true;
  QTest::newRow("two-byte UTF-8 only") << QByteArray("\xC3\xBD\xC3\xA9") << false;  // ﾃｽﾃｩ in Shift-JIS
  QTest::newRow("two-byte UTF-8, then kanji") << QByteArray("\xC3\xBD\xE8\xA1\xA8") << true;
  QTest::newRow("Shift-JIS kanji") << QByteArray("a\x95\x5C\x83\x5C") << false;
  QTest::newRow("Shift-JIS that starts like UTF-8") << QByteArray("\xE8\xA1\x41") << false;
}

void TestSjisCodec::detection() {
  QFETCH(QByteArray, input);
  QFETCH(bool, utf8);
  QCOMPARE(detectEncoding(bytes(input)) == TextEncoding::Utf8, utf8);
}

QTEST_APPLESS_MAIN(TestSjisCodec)
#include "tst_sjis_codec.moc"
