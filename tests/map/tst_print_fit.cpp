// The fitting rule of the print command: the picture's size from the screen
// bitmap, the smaller page ratio at single precision, halves to even, 1.4 times.

#include "map/print_fit.h"

#include <QtTest>

using namespace eq;

class TestPrintFit : public QObject {
  Q_OBJECT
 private slots:
  void pictureSize_data();
  void pictureSize();
  void fit_data();
  void fit();
  void nothingToFit_data();
  void nothingToFit();
};

void TestPrintFit::pictureSize_data() {
  QTest::addColumn<int>("pixelWidth");
  QTest::addColumn<int>("pixelHeight");
  QTest::addColumn<int>("width");
  QTest::addColumn<int>("height");
  QTest::newRow("the sheet, 1200 x 853") << 1200 << 853 << 31750 << 22569;  // 22568.96 rounds up
  QTest::newRow("one inch") << 96 << 96 << 2540 << 2540;
  QTest::newRow("one and two pixels") << 1 << 2 << 26 << 53;  // 26.46, 52.92
  QTest::newRow("empty") << 0 << 0 << 0 << 0;
}

void TestPrintFit::pictureSize() {
  QFETCH(int, pixelWidth);
  QFETCH(int, pixelHeight);
  QFETCH(int, width);
  QFETCH(int, height);
  const PictureSize size = pictureSizeOfBitmap(pixelWidth, pixelHeight);
  QCOMPARE(size.width, width);
  QCOMPARE(size.height, height);
}

void TestPrintFit::fit_data() {
  QTest::addColumn<double>("pageWidth");
  QTest::addColumn<double>("pageHeight");
  QTest::addColumn<int>("pictureWidth");
  QTest::addColumn<int>("pictureHeight");
  QTest::addColumn<double>("width");
  QTest::addColumn<double>("height");
  // Page width 11906 / 31750 < page height 16838 / 22569: the width decides.
  QTest::newRow("portrait A4, the width decides") << 11906.0 << 16838.0 << 31750 << 22569 << 11906.0 << 8463.0;
  // 11906 / 22569 = 0.52753 < 16838 / 31750 = 0.53033: the height decides.
  QTest::newRow("landscape A4, the height decides") << 16838.0 << 11906.0 << 31750 << 22569 << 16749.0 << 11906.0;
  QTest::newRow("equal ratios") << 200.0 << 100.0 << 400 << 200 << 200.0 << 100.0;
  // Ratio 0.5 exactly: 22569 / 2 = 11284.5 goes down to the even 11284 ...
  QTest::newRow("half rounds down to even") << 15875.0 << 99999.0 << 31750 << 22569 << 15875.0 << 11284.0;
  // ... and 22567 / 2 = 11283.5 up to the even 11284.
  QTest::newRow("half rounds up to even") << 15875.0 << 99999.0 << 31750 << 22567 << 15875.0 << 11284.0;
  // 13143 / 31750 at single precision is 0.41395277; times 22569 that is 9342.50002,
  // where a double ratio would give 9342.49975.
  QTest::newRow("the ratio is single precision") << 13143.0 << 99999.0 << 31750 << 22569 << 13143.0 << 9343.0;
}

void TestPrintFit::fit() {
  QFETCH(double, pageWidth);
  QFETCH(double, pageHeight);
  QFETCH(int, pictureWidth);
  QFETCH(int, pictureHeight);
  QFETCH(double, width);
  QFETCH(double, height);
  const auto fit = fitPictureToPage(pageWidth, pageHeight, {pictureWidth, pictureHeight});
  QVERIFY(fit.has_value());
  QCOMPARE(fit->width, width);
  QCOMPARE(fit->height, height);
  QCOMPARE(fit->drawWidth, 1.4 * width);
  QCOMPARE(fit->drawHeight, 1.4 * height);
  // The fitted picture never leaves the page it was fitted to.
  QVERIFY(fit->width <= pageWidth + 0.5);
  QVERIFY(fit->height <= pageHeight + 0.5);
}

void TestPrintFit::nothingToFit_data() {
  QTest::addColumn<double>("pageWidth");
  QTest::addColumn<double>("pageHeight");
  QTest::addColumn<int>("pictureWidth");
  QTest::addColumn<int>("pictureHeight");
  QTest::newRow("no page") << 0.0 << 0.0 << 31750 << 22569;
  QTest::newRow("no page width") << 0.0 << 16838.0 << 31750 << 22569;
  QTest::newRow("endless page") << qInf() << 16838.0 << 31750 << 22569;
  QTest::newRow("empty picture") << 11906.0 << 16838.0 << 0 << 0;
}

void TestPrintFit::nothingToFit() {
  QFETCH(double, pageWidth);
  QFETCH(double, pageHeight);
  QFETCH(int, pictureWidth);
  QFETCH(int, pictureHeight);
  QVERIFY(!fitPictureToPage(pageWidth, pageHeight, {pictureWidth, pictureHeight}).has_value());
}

QTEST_APPLESS_MAIN(TestPrintFit)
#include "tst_print_fit.moc"
