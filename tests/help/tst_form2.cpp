// The reference window: its look (caption, size, white ground, the figure unscaled
// at the top-left, the MENU button), opening it from 引用文献 and coming back by
// MENU or by closing it, and the centring rule it shares with the main window.

#include "app/twips.h"
#include "app/window_placement.h"
#include "common/form_fixture.h"
#include "help/form2.h"
#include "map/picture_box.h"

#include <QPointer>
#include <QSignalSpy>
#include <QTimer>
#include <QtTest>

using namespace eq;
using namespace eq::test;

namespace {
// Runs `action` inside the application's own event loop, where closing the last
// visible window would end the program, then leaves the loop.
template <typename Action>
void duringEventLoop(Action action) {
  QTimer::singleShot(0, qApp, [action] {
    action();
    QCoreApplication::exit(0);
  });
  QApplication::exec();
}
}  // namespace

class TestForm2 : public QObject {
  Q_OBJECT
 private slots:
  void centring_data();
  void centring();
  void looks();
  void openAndMenu();
  void closeAndReopen();
  void openingChangesNothingElse();
};

void TestForm2::centring_data() {
  QTest::addColumn<QSizeF>("screen");
  QTest::addColumn<QSizeF>("window");
  QTest::addColumn<QPointF>("topLeft");
  QTest::newRow("1680 x 1050, main window") << QSizeF(25200, 15750) << QSizeF(25200, 15100) << QPointF(0, 325);
  QTest::newRow("1280 x 1024: off the left edge") << QSizeF(19200, 15360) << QSizeF(25200, 15100)
                                                  << QPointF(-3000, 130);
  QTest::newRow("too low as well") << QSizeF(19200, 10800) << QSizeF(25200, 15100) << QPointF(-3000, -2150);
  QTest::newRow("half twips stay") << QSizeF(25215, 15750) << QSizeF(10200, 5730) << QPointF(7507.5, 5010);
}

void TestForm2::centring() {
  QFETCH(QSizeF, screen);
  QFETCH(QSizeF, window);
  QFETCH(QPointF, topLeft);
  QCOMPARE(centredTopLeftTwips(screen, window), topLeft);
}

void TestForm2::looks() {
  FormFixture fx;
  Form2& reference = fx.form.form2();
  QVERIFY(!reference.isVisible());  // start-up creates it hidden
  QCOMPARE(reference.windowTitle(), QStringLiteral("引用文献"));
  QCOMPARE(reference.size(), QSize(twipsToPixels(10200), twipsToPixels(5730)));
  QCOMPARE(reference.Command1->text(), QStringLiteral("MENU"));
  QCOMPARE(reference.Command1->geometry(), twipsRect(240, 5160, 975, 375));

  const QImage figure = Form2::referenceFigure();
  QCOMPARE(figure.size(), QSize(664, 377));
  reference.Command1->hide();
  const QImage shown = reference.grab().toImage().convertToFormat(QImage::Format_RGB32);
  QCOMPARE(shown.size(), reference.size());
  // The figure unscaled at the top-left, white beyond it.
  QCOMPARE(shown.copy(0, 0, 664, 377), figure.convertToFormat(QImage::Format_RGB32));
  for (const QPoint& p : {QPoint(670, 10), QPoint(675, 380), QPoint(10, 380)})
    QCOMPARE(shown.pixel(p), qRgb(255, 255, 255));
  // Not blank: the curve and the axes are drawn.
  int dark = 0;
  for (int y = 0; y < figure.height(); ++y)
    for (int x = 0; x < figure.width(); ++x) dark += qGray(figure.pixel(x, y)) < 128;
  QVERIFY(dark > 2000);
}

void TestForm2::openAndMenu() {
  FormFixture fx;
  QPointer<Form2> first = &fx.form.form2();

  click(fx.form.Label33);
  QVERIFY(!fx.form.isVisible());
  QVERIFY(first && first->isVisible());
  QVERIFY(isCentred(first));

  QSignalSpy lastWindowClosed(qApp, &QGuiApplication::lastWindowClosed);
  duringEventLoop([&] { click(first->Command1); });
  QCOMPARE(lastWindowClosed.count(), 0);
  QVERIFY(fx.form.isVisible());
  QVERIFY(first && !first->isVisible());  // hidden, not gone

  click(fx.form.Label33);
  QCOMPARE(&fx.form.form2(), first.data());
  QVERIFY(first->isVisible() && !fx.form.isVisible());
}

void TestForm2::closeAndReopen() {
  FormFixture fx;
  click(fx.form.Label33);
  QPointer<Form2> first = fx.form.existingForm2();
  QVERIFY(first && first->isVisible());
  first->move(first->pos() + QPoint(40, 30));  // moved away by the user
  QSignalSpy lastWindowClosed(qApp, &QGuiApplication::lastWindowClosed);

  // Closed from inside the running program, which must go on.
  duringEventLoop([&] { first->close(); });
  QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
  QCOMPARE(lastWindowClosed.count(), 0);
  QVERIFY(fx.form.isVisible());
  QVERIFY(first.isNull());
  QVERIFY(fx.form.existingForm2() == nullptr);

  click(fx.form.Label33);
  Form2* second = fx.form.existingForm2();
  QVERIFY(second && second->isVisible());
  QVERIFY(!fx.form.isVisible());
  QVERIFY(isCentred(second));
}

void TestForm2::openingChangesNothingElse() {
  FormFixture fx;
  Form1& form = fx.form;
  form.TextEQ(1)->setText(QStringLiteral("阿蘇山"));
  form.TextEQ(61)->setText(QStringLiteral("2025"));
  form.CheckEQ(1)->setChecked(true);
  form.Picture1->circle(9000, 6400, 500, Qt::red);
  click(form.Label24);  // the description is open
  const QImage sheet = form.Picture1->image();

  click(form.Label33);
  click(form.form2().Command1);

  QCOMPARE(form.TextEQ(1)->text(), QStringLiteral("阿蘇山"));
  QCOMPARE(form.TextEQ(61)->text(), QStringLiteral("2025"));
  QVERIFY(form.CheckEQ(1)->isChecked());
  QCOMPARE(form.Picture1->image(), sheet);
  QVERIFY(form.Label25->isVisible());
  QVERIFY(fx.platform.messages.empty());
}

QTEST_MAIN(TestForm2)
#include "tst_form2.moc"
