// What only the windows do: Form1 as it looks after start-up and with the help texts
// open, against golden images; typing, ticking and 描画する through the widgets,
// the reference window's cycle, and printing into the PDF that a print job carries.

#include "app/form1.h"
#include "app/picture_box.h"
#include "platform/cups_printer.h"
#include "common/files.h"
#include "platform/scripted_platform.h"

#include <QMimeData>
#include <QScrollArea>
#include <QScrollBar>
#include <QtTest>

using namespace eq;
using namespace eq::test;

namespace {

struct Window {
  ScriptedPlatform platform;
  Session session{platform};
  Form1 form{session};
  Window() { form.Form_Load(); }
};

void click(QWidget* widget) { QTest::mouseClick(widget, Qt::LeftButton, {}, widget->rect().center()); }

// Runs `action` inside the application's event loop, where closing the last visible
// window would end the program, then leaves the loop.
template <typename Action>
void duringEventLoop(Action action) {
  QTimer::singleShot(0, qApp, [action] {
    action();
    QCoreApplication::exit(0);
  });
  QApplication::exec();
}

// A moved control, another character in a caption or a lost "。" changes more pixels than this.
constexpr int kTolerance = 24;
constexpr int kAllowedPixels = 3;

}  // namespace

class TestWindows : public QObject {
  Q_OBJECT
 private slots:
  // After start-up; then 使い方 and its description open the four steps, ! the resolution note.
  void looks() {
    Window w;
    QCOMPARE(w.form.windowTitle(), QStringLiteral("地震サークル(噴火が前兆となる地震)"));
    QCOMPARE(w.form.frameGeometry().size(), QSize(1680, 1007));  // 25200 x 15100 twips
    QString mismatch = goldenMismatch(w.form.grab().toImage(), "form1_startup.png", kTolerance, kAllowedPixels);
    QVERIFY2(mismatch.isEmpty(), qPrintable(mismatch));
    for (QWidget* label : {w.form.Label24, w.form.Label25, w.form.Label30}) click(label);
    QVERIFY(w.form.Label27->isVisible() && w.form.Label31->isVisible() && !w.form.Label25->isVisible());
    mismatch = goldenMismatch(w.form.grab().toImage(), "form1_help.png", kTolerance, kAllowedPixels);
    QVERIFY2(mismatch.isEmpty(), qPrintable(mismatch));
  }

  // Typing, ticks and 描画する reach the session through the widgets; the picture and the rows show what Draw did.
  void typingTickingAndDrawing() {
    Window w;
    const QStringList rows[] = {{"Fuji", "2020", "1", "1", "35.36", "138.73"},
                                {"Later", "2030", "1", "1", "35", "135"}};
    for (int r = 1; r <= 2; ++r) {
      for (int f = 1; f <= 6; ++f) QTest::keyClicks(w.form.TextEQ((r - 1) * 6 + f), rows[r - 1][f - 1]);
      click(w.form.CheckEQ(r));
    }
    for (const int box : {61, 62, 63})
      QTest::keyClicks(w.form.TextEQ(box), QString::number(box == 61 ? 2024 : box - 57));
    QCOMPARE(w.session.text(5), QStringLiteral("35.36"));
    QVERIFY(w.session.ticked(1) && w.session.ticked(2));

    click(w.form.Command4);

    // The marker of 35.36 N 138.73 E at (10015.9, 6212.7) map units, 15 to a pixel.
    QVERIFY(isRed(w.form.Picture1->grab().toImage().pixel(668, 414)));
    QCOMPARE(w.form.Label21->text(), QStringLiteral("描画データ数  =  1"));
    QVERIFY(w.form.Label20->isVisible());
    // The later row is greyed and cannot be changed.
    QVERIFY(!w.form.CheckEQ(2)->isEnabled() && !w.form.TextEQ(7)->isEnabled());
    QCOMPARE(w.form.TextEQ(7)->palette().color(QPalette::Base), QColor(224, 224, 224));
    QVERIFY(w.form.TextEQ(1)->isEnabled());
  }

  // 引用文献 hides the main window behind the reference window; MENU brings it back and keeps
  // the reference window for next time; closing it destroys it, and the program goes on.
  void referenceWindowCycle() {
    Window w;
    QPointer<Form2> reference = w.form.existingForm2();
    QVERIFY(reference && !reference->isVisible());  // made hidden at start-up
    QSignalSpy lastWindowClosed(qApp, &QGuiApplication::lastWindowClosed);

    click(w.form.Label33);
    QVERIFY(!w.form.isVisible() && reference->isVisible());
    duringEventLoop([&] { click(reference->Command1); });
    QVERIFY(w.form.isVisible() && reference && !reference->isVisible());

    click(w.form.Label33);
    QCOMPARE(w.form.existingForm2(), reference.data());
    QVERIFY(!w.form.isVisible() && reference->isVisible());
    duringEventLoop([&] { reference->close(); });
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    QVERIFY(reference.isNull() && w.form.isVisible());
    QCOMPARE(lastWindowClosed.count(), 0);
    QVERIFY(w.session.mainWindowShown() && !w.session.referenceWindowShown());

    click(w.form.Label33);
    QVERIFY(w.form.existingForm2() && w.form.existingForm2()->isVisible());
  }

  // On a screen that holds the window: its classic size, centred, no scroll bars. On a
  // smaller one: the whole window on the free area and every control reachable by scrolling.
  void placement() {
    Window w;
    const QRect available = w.form.screen()->availableGeometry();
    auto* scroll = w.form.findChild<QScrollArea*>();
    QVERIFY(scroll && available.contains(w.form.frameGeometry()));
    QCOMPARE(w.form.client()->size(), w.form.size().expandedTo(QSize(1676, 1003)));
    if (available.width() >= 1680 && available.height() >= 1007) {
      QCOMPARE(w.form.frameGeometry().size(), QSize(1680, 1007));
      QVERIFY(!scroll->horizontalScrollBar()->isVisible() && !scroll->verticalScrollBar()->isVisible());
      return;
    }
    QVERIFY(w.form.frameGeometry().height() < 1007 && scroll->verticalScrollBar()->isVisible());
    for (QWidget* control : std::initializer_list<QWidget*>{w.form.Command4, w.form.Label24, w.form.Picture1}) {
      scroll->ensureWidgetVisible(control, 0, 0);
      const QRect shown(control->mapTo(&w.form, QPoint(0, 0)), control->size());
      QVERIFY2(scroll->viewport()->geometry().intersects(shown), qPrintable(control->objectName()));
    }
  }

  // Return presses the focused button, F5 draws, Ctrl+O opens; a file named on the command
  // line or dropped onto the window goes to the open command's question.
  void keyboardAndDrops() {
    Window w;
    const auto messages = [&w] { return w.platform.messages.size(); };
    w.form.activateWindow();
    w.form.Command4->setFocus();
    QTest::keyClick(w.form.Command4, Qt::Key_Return);
    QCOMPARE(messages(), std::size_t(1));  // the date is missing
    QTest::keyClick(w.form.Picture1, Qt::Key_F5);
    QCOMPARE(messages(), std::size_t(2));
    QTest::keyClick(w.form.Picture1, Qt::Key_O, Qt::ControlModifier);
    QCOMPARE(w.platform.fileDialogs.size(), std::size_t(1));
    QCOMPARE(w.form.Label24->cursor().shape(), Qt::PointingHandCursor);
    // A seven-digit longitude shows whole in its classic 49-pixel cell: the cell looks the
    // same with the cursor at either end (a text that did not fit would scroll).
    QLineEdit* longitude = w.form.TextEQ(6);
    longitude->setText(QStringLiteral("142.686"));
    QCOMPARE(longitude->width(), 49);
    longitude->setCursorPosition(0);
    const QImage start = longitude->grab().toImage();
    longitude->setCursorPosition(7);
    QCOMPARE(longitude->grab().toImage(), start);

    const QString example = QStringLiteral(EQ_SOURCE_DIR "/examples/recent.txt");
    w.platform.messageAnswers = {MessageAnswer::Yes};
    w.form.offerFile(example);
    QCOMPARE(w.form.TextEQ(1)->text(), QStringLiteral("草津白根山"));
    QVERIFY(w.platform.messages.back().text.startsWith(QStringLiteral("現在表示データを") + example));

    QMimeData data;
    data.setUrls({QUrl::fromLocalFile(example)});
    QDragEnterEvent enter(QPoint(10, 10), Qt::CopyAction, &data, Qt::LeftButton, {});
    QCoreApplication::sendEvent(&w.form, &enter);
    QVERIFY(enter.isAccepted());
    QDropEvent drop(QPointF(10, 10), Qt::CopyAction, &data, Qt::LeftButton, {});
    QCoreApplication::sendEvent(&w.form, &drop);
    QCoreApplication::processEvents();
    QVERIFY(w.platform.messages.back().text.startsWith(QStringLiteral("現在表示データを") + example));
    QCOMPARE(messages(), std::size_t(4));
  }

  // The sheet fitted to the portrait page read first (16668.4 x 11848.2 twips), drawn from
  // the corner of a landscape A4 page: the middle of the sheet at (8334.2, 5924.1) twips.
  void printsOnLandscapeA4() {
    QTemporaryDir dir;
    const QString pdf = dir.filePath(QStringLiteral("printed.pdf"));
    Window w;
    w.platform.printerFactory = [&] { return makeCupsPrinterDevice(QString(), QPageSize(QPageSize::A4), pdf); };
    w.session.surface().setFillStyle(0);
    w.session.surface().circle(9000, 6400, 300, Qt::red);  // a black disc
    click(w.form.Command3);
    QVERIFY(w.platform.messages.empty());
    const QImage page = rasterisePdf(pdf, 72);  // one pixel per 20 twips
    QVERIFY2(std::abs(page.width() - 842) <= 1 && std::abs(page.height() - 595) <= 1,
             qPrintable(QStringLiteral("%1x%2").arg(page.width()).arg(page.height())));
    QCOMPARE(qGray(page.pixel(417, 296)), 0);  // the disc, 13.9 pixels wide
    QVERIFY(qGray(page.pixel(417, 330)) == 255 && qGray(page.pixel(450, 296)) == 255);
  }
};

QTEST_MAIN(TestWindows)
#include "tst_windows.moc"
