// The drawing surface decodes a background bitmap once: loading the unchanged file
// again gives the same picture, a file replaced by another (other size or other
// modification time) is read afresh, and a file gone fails as before.

#include "session/drawing_surface.h"

#include <QFile>
#include <QTemporaryDir>
#include <QtTest>

using eq::DrawingSurface;

namespace {

QImage filled(QSize size, QRgb colour) {
  QImage image(size, QImage::Format_RGB32);
  image.fill(colour);
  return image;
}

QImage shown(const DrawingSurface& surface) { return surface.sheet().background().convertToFormat(QImage::Format_RGB32); }

}  // namespace

class TestBackgroundCache : public QObject {
  Q_OBJECT
 private slots:
  void replacedFileIsReadAgain_data() {
    QTest::addColumn<QSize>("secondSize");
    QTest::addColumn<int>("secondsLater");  // the replacement's modification time
    QTest::newRow("other size") << QSize(30, 20) << 0;
    QTest::newRow("same size, later") << QSize(40, 20) << 60;
  }

  void replacedFileIsReadAgain() {
    QFETCH(QSize, secondSize);
    QFETCH(int, secondsLater);
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("map.bmp"));
    const QImage first = filled(QSize(40, 20), qRgb(10, 20, 30));
    QVERIFY(first.save(path, "BMP"));
    const QDateTime written = QFileInfo(path).lastModified();

    DrawingSurface surface;
    QVERIFY(surface.loadPicture(path));
    QCOMPARE(shown(surface), first);
    surface.removePicture();
    QVERIFY(surface.loadPicture(path));
    QCOMPARE(shown(surface), first);
    QCOMPARE(surface.sheet().backgroundName(), QStringLiteral("map.bmp"));

    const QImage second = filled(secondSize, qRgb(200, 100, 0));
    QVERIFY(second.save(path, "BMP"));
    QFile file(path);
    QVERIFY(file.open(QIODevice::ReadWrite));
    QVERIFY(file.setFileTime(written.addSecs(secondsLater), QFileDevice::FileModificationTime));
    file.close();
    QVERIFY(surface.loadPicture(path));
    QCOMPARE(shown(surface), second);

    QVERIFY(QFile::remove(path));
    QVERIFY(!surface.loadPicture(path));
    QCOMPARE(shown(surface), second);  // a failed load changes nothing
  }
};

QTEST_GUILESS_MAIN(TestBackgroundCache)
#include "tst_background_cache.moc"
