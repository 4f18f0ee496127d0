// The print command's fitting rule: the picture's size from the screen bitmap, the
// smaller page ratio at single precision, halves to even, then 1.4 times.

#include "map/print_fit.h"

#include <QtTest>

using namespace eq;

class TestPrintFit : public QObject {
  Q_OBJECT
 private slots:
  void pictureSize() {
    // pixels * 2540 / 96, to the nearest: 22568.96 rounds up.
    QCOMPARE(pictureSizeOfBitmap(1200, 853).width, 31750);
    QCOMPARE(pictureSizeOfBitmap(1200, 853).height, 22569);
    QCOMPARE(pictureSizeOfBitmap(1, 2).width, 26);  // 26.46
    QCOMPARE(pictureSizeOfBitmap(1, 2).height, 53);  // 52.92
    QCOMPARE(pictureSizeOfBitmap(0, 0).width, 0);
  }

  void fit_data() {
    QTest::addColumn<QSizeF>("page");
    QTest::addColumn<QSize>("picture");
    QTest::addColumn<QSizeF>("fitted");
    // 11906 / 31750 = 0.37499 < 16838 / 22569 = 0.74607: the width decides.
    QTest::newRow("portrait A4") << QSizeF(11906, 16838) << QSize(31750, 22569) << QSizeF(11906, 8463);
    // 11906 / 22569 = 0.52753 < 16838 / 31750 = 0.53033: the height decides.
    QTest::newRow("landscape A4") << QSizeF(16838, 11906) << QSize(31750, 22569) << QSizeF(16749, 11906);
    QTest::newRow("equal ratios") << QSizeF(200, 100) << QSize(400, 200) << QSizeF(200, 100);
    // Ratio 0.5: 22569 / 2 = 11284.5 goes down to the even 11284, 22567 / 2 = 11283.5 up to it.
    QTest::newRow("a half down to even") << QSizeF(15875, 99999) << QSize(31750, 22569) << QSizeF(15875, 11284);
    QTest::newRow("a half up to even") << QSizeF(15875, 99999) << QSize(31750, 22567) << QSizeF(15875, 11284);
    // 13143 / 31750 at single precision is 0.41395277; times 22569 that is 9342.50002,
    // where a double ratio would give 9342.49975.
    QTest::newRow("the ratio is a single") << QSizeF(13143, 99999) << QSize(31750, 22569) << QSizeF(13143, 9343);
  }
  void fit() {
    QFETCH(QSizeF, page);
    QFETCH(QSize, picture);
    QFETCH(QSizeF, fitted);
    const auto fit = fitPictureToPage(page.width(), page.height(), {picture.width(), picture.height()});
    QVERIFY(fit);
    QCOMPARE(QSizeF(fit->width, fit->height), fitted);
    QCOMPARE(QSizeF(fit->drawWidth, fit->drawHeight), fitted * 1.4);
  }

  void nothingToFit() {
    QVERIFY(!fitPictureToPage(0, 16838, {31750, 22569}));
    QVERIFY(!fitPictureToPage(11906, -1, {31750, 22569}));
    QVERIFY(!fitPictureToPage(qInf(), 16838, {31750, 22569}));
    QVERIFY(!fitPictureToPage(11906, 16838, {0, 22569}));
  }
};

QTEST_APPLESS_MAIN(TestPrintFit)
#include "tst_print_fit.moc"
