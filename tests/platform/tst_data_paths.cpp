// The background map is looked up beside the program first (a build tree), then in
// <prefix>/share/eqcircle beside <prefix>/bin (an installed program).

#include "platform/data_paths.h"

#include <QTemporaryDir>
#include <QtTest>

class TestDataPaths : public QObject {
  Q_OBJECT
 private slots:
  void backgroundMap_data() {
    QTest::addColumn<QStringList>("present");  // below the temporary root; a trailing / makes a folder
    QTest::addColumn<QString>("expected");

    const QString beside = QStringLiteral("usr/bin/JapanMap3.bmp");
    const QString installed = QStringLiteral("usr/share/eqcircle/JapanMap3.bmp");
    QTest::newRow("beside the program") << QStringList{beside} << beside;
    QTest::newRow("installed") << QStringList{installed} << installed;
    QTest::newRow("both: beside first") << QStringList{installed, beside} << beside;
    QTest::newRow("neither: beside named") << QStringList() << beside;
    QTest::newRow("a folder of that name") << QStringList{beside + '/', installed} << installed;
  }

  void backgroundMap() {
    QFETCH(QStringList, present);
    QFETCH(QString, expected);

    QTemporaryDir root;
    QVERIFY(root.isValid());
    const QDir dir(root.path());
    QVERIFY(dir.mkpath(QStringLiteral("usr/bin")));
    for (const QString& entry : present) {
      if (entry.endsWith('/')) {
        QVERIFY(dir.mkpath(entry));
        continue;
      }
      QVERIFY(dir.mkpath(QFileInfo(entry).path()));
      QFile file(dir.filePath(entry));
      QVERIFY(file.open(QIODevice::WriteOnly));
    }
    QCOMPARE(eq::backgroundMapPath(dir.filePath(QStringLiteral("usr/bin"))), dir.filePath(expected));
  }
};

QTEST_GUILESS_MAIN(TestDataPaths)
#include "tst_data_paths.moc"
