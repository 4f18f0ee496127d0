// The window icon is the compiled-in drawing: drawn at any size, transparent outside
// its rounded card, pale sea inside, and the innermost red circle around the summit.
// Places are those of the 256-unit drawing, scaled to the size asked for.

#include "platform/app_icon.h"

#include <QtTest>

class TestAppIcon : public QObject {
  Q_OBJECT
 private slots:
  void drawing_data() {
    QTest::addColumn<int>("size");
    QTest::newRow("128") << 128;
    QTest::newRow("256") << 256;
  }

  void drawing() {
    QFETCH(int, size);
    const QIcon icon = eq::applicationIcon();
    QVERIFY(!icon.isNull());
    const QImage image = icon.pixmap(QSize(size, size)).toImage().convertToFormat(QImage::Format_ARGB32);
    QCOMPARE(image.size(), QSize(size, size));

    const auto at = [&](int x, int y) { return image.pixelColor(x * size / 256, y * size / 256); };
    QCOMPARE(at(0, 0).alpha(), 0);                         // outside the rounded corner
    QCOMPARE(at(40, 40).rgba(), QColor(0xea, 0xf2, 0xf7).rgba());  // sea: #eaf2f7
    QCOMPARE(at(164, 121).rgba(), QColor(0xe0, 0x20, 0x1a).rgba()); // radius 36 about (128, 120), 8 wide
  }
};

QTEST_MAIN(TestAppIcon)
#include "tst_app_icon.moc"
