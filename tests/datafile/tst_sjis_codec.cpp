// Code page 932 through iconv, and how a file's encoding is recognised.

#include "datafile/sjis_codec.h"

#include <QtTest>

using namespace eq;

namespace {
std::string bytes(const QByteArray& data) { return std::string(data.constData(), static_cast<std::size_t>(data.size())); }
QString fromUtf8(const std::string& text) { return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size())); }
const QString kBad(QChar(0xFFFD));
}  // namespace

class TestSjisCodec : public QObject {
  Q_OBJECT
 private slots:
  // Both ways for characters whose second byte is 0x5C (a backslash in ASCII) and the extensions.
  void knownCharacters_data() {
    QTest::addColumn<QByteArray>("shiftJis");
    QTest::addColumn<QString>("text");
    QTest::newRow("表 and ソ") << QByteArray("a\x95\x5C,\x83\x5C\"") << "a表,ソ\"";
    QTest::newRow("backslash and tilde stay ASCII") << QByteArray("\x5C\x7E") << "\\~";
    QTest::newRow("NEC extensions ①㈱") << QByteArray("\x87\x40\x87\x8A") << "①㈱";
    QTest::newRow("～") << QByteArray("\x81\x60") << "～";
    QTest::newRow("IBM extension 髙") << QByteArray("\xFB\xFC") << "髙";
    QTest::newRow("half-width kana") << QByteArray("\xBB\xB8\xD7") << "ｻｸﾗ";
    QTest::newRow("ideographic space") << QByteArray("\x81\x40") << "\u3000";
  }
  void knownCharacters() {
    QFETCH(QByteArray, shiftJis);
    QFETCH(QString, text);
    QCOMPARE(fromUtf8(decodeShiftJis(bytes(shiftJis)).value()), text);
    const ShiftJisEncoding encoded = encodeShiftJis(text.toStdString());
    QVERIFY(encoded.ok);
    QCOMPARE(QByteArray::fromStdString(encoded.bytes), shiftJis);
  }

  void invalidBytes() {
    QCOMPARE(fromUtf8(decodeShiftJis("a\x81").value()), "a" + kBad);  // a lead byte at the end
    QCOMPARE(fromUtf8(decodeShiftJis("\x81 b").value()), kBad + " b");
    QCOMPARE(fromUtf8(decodeShiftJis("\xFF\xFF").value()), kBad + kBad);
    QCOMPARE(decodeShiftJis(std::string("a\0b", 3)).value(), std::string("a\0b", 3));
  }

  void notInCodePage_data() {
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("badCharacter");
    QTest::newRow("emoji") << "桜島🌋です" << "🌋";
    QTest::newRow("simplified Chinese") << "长白山" << "长";
    QTest::newRow("replacement character") << kBad << kBad;
  }
  void notInCodePage() {
    QFETCH(QString, text);
    QFETCH(QString, badCharacter);
    const ShiftJisEncoding encoded = encodeShiftJis(text.toStdString());
    QVERIFY(!encoded.ok && encoded.bytes.empty());
    QCOMPARE(fromUtf8(encoded.badCharacter), badCharacter);
  }

  void utf8_data() {
    QTest::addColumn<QByteArray>("input");
    QTest::addColumn<bool>("valid");
    QTest::addColumn<bool>("readAsUtf8");
    QTest::newRow("empty") << QByteArray() << true << false;
    QTest::newRow("ASCII") << QByteArray("1,\"a\",1\r\n") << true << false;
    QTest::newRow("mark alone") << QByteArray("\xEF\xBB\xBF") << true << true;
    QTest::newRow("kanji") << QByteArray("a\xE8\xA1\xA8") << true << true;
    QTest::newRow("four bytes") << QByteArray("\xF0\x9F\x8C\x8B") << true << true;
    QTest::newRow("overlong") << QByteArray("\xE0\x80\xAF") << false << false;
    QTest::newRow("surrogate") << QByteArray("\xED\xA0\x80") << false << false;
    QTest::newRow("beyond U+10FFFF") << QByteArray("\xF4\x90\x80\x80") << false << false;
    QTest::newRow("Shift-JIS") << QByteArray("a\x95\x5C\x83\x5C") << false << false;
    QTest::newRow("Shift-JIS that starts like UTF-8") << QByteArray("\xE8\xA1\x41") << false << false;
  }
  void utf8() {
    QFETCH(QByteArray, input);
    QFETCH(bool, valid);
    QFETCH(bool, readAsUtf8);
    QCOMPARE(isValidUtf8(bytes(input)), valid);
    QCOMPARE(detectEncoding(bytes(input)) == TextEncoding::Utf8, readAsUtf8);
    if (!valid) QVERIFY(fromUtf8(decodeUtf8(bytes(input))).contains(kBad));
  }
};

QTEST_APPLESS_MAIN(TestSjisCodec)
#include "tst_sjis_codec.moc"
