// The PNG frame encoder: every frame reads back (with Qt's own PNG reader) as the
// pixels it was given, and only the 16-row pieces that changed since the previous
// frame are compressed again.

#include "sheet/png_frame_encoder.h"

#include <QtTest>

using eq::PngFrameEncoder;

namespace {

// Every pixel different from its neighbours, so a stale piece cannot go unnoticed.
QImage pattern(QSize size) {
  QImage image(size, QImage::Format_RGB32);
  for (int y = 0; y < size.height(); ++y) {
    for (int x = 0; x < size.width(); ++x) image.setPixel(x, y, qRgb(x * 31 % 256, y * 7 % 256, (x + y) * 13 % 256));
  }
  return image;
}

QImage decoded(const std::optional<QByteArray>& png) {
  if (!png) return {};
  return QImage::fromData(*png, "PNG").convertToFormat(QImage::Format_RGB32);
}

}  // namespace

class TestPngFrameEncoder : public QObject {
  Q_OBJECT
 private slots:
  void secondFrame_data() {
    QTest::addColumn<QSize>("size");
    QTest::addColumn<QList<int>>("changedRows");
    QTest::addColumn<int>("compressed");
    // 40 rows are pieces of rows 0-15, 16-31 and 32-39.
    QTest::newRow("unchanged") << QSize(7, 40) << QList<int>{} << 0;
    QTest::newRow("first piece") << QSize(7, 40) << QList<int>{5} << 1;
    QTest::newRow("both sides of a piece edge") << QSize(7, 40) << QList<int>{15, 16} << 2;
    QTest::newRow("short last piece") << QSize(7, 40) << QList<int>{39} << 1;
    QTest::newRow("every piece") << QSize(7, 40) << QList<int>{0, 20, 35} << 3;
    // 50 rows: four pieces, none taken over from a frame of another size.
    QTest::newRow("other size") << QSize(7, 50) << QList<int>{} << 4;
  }

  void secondFrame() {
    QFETCH(QSize, size);
    QFETCH(QList<int>, changedRows);
    QFETCH(int, compressed);
    PngFrameEncoder encoder;
    const QImage first = pattern(QSize(7, 40));
    QCOMPARE(decoded(encoder.encode(first)), first);
    QCOMPARE(encoder.piecesCompressed(), 3);

    QImage second = pattern(size);
    for (const int row : changedRows) second.setPixel(3, row, qRgb(255, 255, 255));
    QCOMPARE(decoded(encoder.encode(second)), second);
    QCOMPARE(encoder.piecesCompressed(), compressed);
  }

  // Images not in 32-bit RGB are converted; alpha is dropped as the sheet is opaque.
  void otherFormats() {
    PngFrameEncoder encoder;
    const QImage source = pattern(QSize(5, 20));
    QCOMPARE(decoded(encoder.encode(source.convertToFormat(QImage::Format_RGB888))), source);
    QCOMPARE(decoded(encoder.encode(source.convertToFormat(QImage::Format_ARGB32))), source);
    QString error;
    QVERIFY(!encoder.encode(QImage(), &error));
    QVERIFY(!error.isEmpty());
  }
};

QTEST_GUILESS_MAIN(TestPngFrameEncoder)
#include "tst_png_frame_encoder.moc"
