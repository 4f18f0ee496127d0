// What only the windows do: Form1 against golden images; typing, ticking and 描画する through the
// widgets, the reference window's cycle, printing into a print job's PDF; the time-series window's
// dates, its own copy of the sheet, exporting frames and cancelling.

#include "app/file_dialogs.h"
#include "app/form1.h"
#include "app/picture_box.h"
#include "app/time_series_window.h"
#include "common/files.h"
#include "common/session_fixture.h"
#include "platform/cups_printer.h"
#include "platform/scripted_platform.h"

#include <QAbstractProxyModel>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QFileSystemModel>
#include <QFileDialog>
#include <QLabel>
#include <QMessageBox>
#include <QProgressBar>
#include <QProgressDialog>
#include <QPushButton>
#include <QScrollArea>
#include <QScrollBar>
#include <QSlider>
#include <QSpinBox>
#include <QTreeView>
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

// The main window's session: 御嶽山 (2014-9-27) and 阿蘇山 (2021-10-20) ticked, 西之島
// (2013-11-20, earlier) not, predicting 1 January 2025.
struct Main : eq::test::SessionFixture {
  explicit Main(bool tick = true, const QStringList& prediction = {"2025", "1", "1"}) {
    session.ShowBackgroundMap = false;  // no bitmap beside the test
    fillRow(1, {"御嶽山", "2014", "9", "27", "35.893", "137.48"}, tick);
    fillRow(2, {"西之島", "2013", "11", "20", "27.247", "140.874"}, false);
    fillRow(3, {"阿蘇山", "2021", "10", "20", "32.884", "131.104"}, tick);
    for (int k = 0; k < 3; ++k) session.setText(61 + k, prediction.value(k));
  }
};

// The prediction-date stamp on the window's sheet: the text under its heading.
QString sheetStamp(const TimeSeriesWindow& window) {
  bool heading = false;
  for (const auto& item : window.drawing().sheet.items) {
    const auto* text = std::get_if<SheetText>(&item);
    if (!text) continue;
    if (heading) return QString::fromStdString(text->text);
    heading = text->text == "発震予測年月日";
  }
  return {};
}

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

  // Tab visits the visible controls in the classic order and nothing else; the sheet and a
  // tick box show the focus; each button and clickable label says what it does and its key,
  // and the key does it; a clipped title shows whole as the tooltip.
  void keysAndTips() {
    Window w;
    w.form.activateWindow();
    const QImage unfocused = w.form.CheckEQ(1)->grab().toImage();
    QStringList order;
    do {
      order << QApplication::focusWidget()->objectName();
      QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
    } while (QApplication::focusWidget() != w.form.Picture1 && order.size() < 100);
    QStringList expected{"Picture1", "Command1", "Command2"};
    for (int row = 1; row <= kRowCount; ++row) {
      expected << QStringLiteral("CheckEQ(%1)").arg(row);
      for (int f = 1; f <= 6; ++f) expected << QStringLiteral("TextEQ(%1)").arg(fieldIndex(row, f));
    }
    expected << "TextEQ(61)" << "TextEQ(62)" << "TextEQ(63)" << "Command4" << "Command5" << "Command6" << "Command3"
             << "Command9";
    QCOMPARE(order, expected);
    const QImage framed = w.form.Picture1->grab().toImage();
    w.form.CheckEQ(1)->setFocus();
    const QRgb highlight = w.form.Picture1->palette().color(QPalette::Highlight).rgb();
    QVERIFY(framed.pixel(600, 1) == highlight && w.form.Picture1->grab().toImage().pixel(600, 1) != highlight);
    const QImage focusMark = w.form.CheckEQ(1)->grab().toImage();
    int marked = 0;
    for (int y = 0; y < focusMark.height(); ++y)
      for (int x = 0; x < focusMark.width(); ++x) marked += focusMark.pixel(x, y) != unfocused.pixel(x, y);
    QVERIFY2(marked >= 2 * focusMark.width() + 2 * focusMark.height(), qPrintable(QString::number(marked)));

    for (QWidget* control : w.form.client()->findChildren<QWidget*>()) {
      const bool clickable = control->cursor().shape() == Qt::PointingHandCursor;
      if (qobject_cast<QPushButton*>(control) || clickable) QVERIFY2(!control->toolTip().isEmpty(), qPrintable(control->objectName()));
    }
    QVERIFY(w.form.Command1->toolTip().endsWith("(Ctrl+O)") && w.form.Label36->toolTip().endsWith("(Alt+A)"));
    QTest::keyClick(&w.form, Qt::Key_A, Qt::AltModifier);
    QCOMPARE(w.session.ticked(10), true);
    QTest::keyClick(&w.form, Qt::Key_F1);  // the description, the steps, closed again
    QVERIFY(w.form.Label25->isVisible());
    QTest::keyClick(&w.form, Qt::Key_F1);
    QVERIFY(w.form.Label29->isVisible() && !w.form.Label25->isVisible());
    QTest::keyClick(&w.form, Qt::Key_F1);
    QVERIFY(!w.form.Label29->isVisible());
    QTest::keyClick(&w.form, Qt::Key_2, Qt::AltModifier);
    QVERIFY(w.form.Command8->isVisible() && w.form.Command8->hasFocus());

    w.session.setCaption(Control::Label37, QStringLiteral("短い題"));
    w.form.sync();
    QVERIFY(w.form.Label37->toolTip().isEmpty());
    const QString title = QStringLiteral("とても長いタイトルコメントは、ラベルの幅に収まらないので、ツールチップで全体を見せます");
    w.session.setCaption(Control::Label37, title);
    w.form.sync();
    QCOMPARE(w.form.Label37->toolTip(), title);
  }

  // The sheet fitted to the portrait page read first (16668.4 x 11848.2 twips), drawn from
  // the corner of a landscape A4 page: the middle of the sheet at (8334.2, 5924.1) twips.
  void printsOnLandscapeA4() {
    QTemporaryDir dir;
    const QString pdf = dir.filePath(QStringLiteral("printed.pdf"));
    Window w;
    w.platform.printerFactory = [&] { return makeCupsPrinterDevice(QString(), QPageSize(QPageSize::A4), pdf); };
    DrawResult disc;  // a black disc in the middle of the sheet
    disc.sheet.items.push_back(SheetCircle{9000, 6400, 300, kRed, kBlack});
    w.session.surface().show({}, std::move(disc), QImage());
    click(w.form.Command3);
    QVERIFY(w.platform.messages.empty());
    const QImage page = rasterisePdf(pdf, 72);  // one pixel per 20 twips
    QVERIFY2(std::abs(page.width() - 842) <= 1 && std::abs(page.height() - 595) <= 1,
             qPrintable(QStringLiteral("%1x%2").arg(page.width()).arg(page.height())));
    QCOMPARE(qGray(page.pixel(417, 296)), 0);  // the disc, 13.9 pixels wide
    QVERIFY(qGray(page.pixel(417, 330)) == 255 && qGray(page.pixel(450, 296)) == 255);
  }

  void defaultRange_data() {
    QTest::addColumn<bool>("tick");
    QTest::addColumn<QStringList>("prediction");
    QTest::addColumn<QDate>("from");
    QTest::addColumn<QDate>("to");
    QTest::addColumn<QDate>("shown");
    const QDate today = QDate::currentDate();
    QTest::newRow("earliest ticked eruption") << true << QStringList{"2025", "1", "1"} << QDate(2014, 9, 27)
                                              << QDate(2035, 1, 1) << QDate(2025, 1, 1);
    QTest::newRow("nothing ticked") << false << QStringList{"2025", "1", "1"} << QDate(2025, 1, 1) << QDate(2035, 1, 1)
                                    << QDate(2025, 1, 1);
    QTest::newRow("no prediction date") << true << QStringList{"", "", ""} << QDate(2014, 9, 27) << today.addYears(10)
                                        << today;
  }

  void defaultRange() {
    QFETCH(bool, tick);
    QFETCH(QStringList, prediction);
    QFETCH(QDate, from);
    QFETCH(QDate, to);
    QFETCH(QDate, shown);
    Main main(tick, prediction);
    TimeSeriesWindow window(main.session, main.platform);
    QCOMPARE(window.range().from, from);
    QCOMPARE(window.range().to, to);
    QCOMPARE(window.range().stepDays, 1);
    QCOMPARE(window.date(), shown);
    // The window drew its own copy; the main session has no sheet, its boxes and its last
    // good values (nothing read yet) as they were.
    QVERIFY(main.session.surface().sheet().empty());
    QCOMPARE(main.session.text(61), prediction[0]);
    QCOMPARE(main.session.lastGood.rows[1].numbers[0], 0.0f);
    QCOMPARE(main.session.lastGood.prediction[0], 0.0f);
  }

  void showsTheChosenDate_data() {
    QTest::addColumn<int>("step");
    QTest::addColumn<int>("sliderValue");  // -1: set the date instead
    QTest::addColumn<QDate>("wanted");
    QTest::addColumn<QDate>("shown");
    QTest::addColumn<QString>("caption");
    QTest::addColumn<QString>("stamp");
    QTest::addColumn<int>("newStep");  // 0: the step stays
    QTest::newRow("setDate") << 1 << -1 << QDate(2030, 6, 15) << QDate(2030, 6, 15) << "2030年6月15日"
                             << " 2030年 6月 15日" << 0;
    // From 1 January 2025 in weeks: the 10th is 9 days on, nearer the 8th than the 15th.
    QTest::newRow("setDate between weeks") << 7 << -1 << QDate(2025, 1, 10) << QDate(2025, 1, 8) << "2025年1月8日"
                                           << " 2025年 1月 8日" << 0;
    // 59 days after 1 January 2025 (31 of January, 28 of February).
    QTest::newRow("slider") << 1 << 59 << QDate() << QDate(2025, 3, 1) << "2025年3月1日" << " 2025年 3月 1日" << 0;
    // 1992 days on, 284 weeks and 4 days: the week before, though the next one is nearer.
    QTest::newRow("weeks instead of days") << 1 << -1 << QDate(2030, 6, 16) << QDate(2030, 6, 12) << "2030年6月12日"
                                           << " 2030年 6月 12日" << 7;
  }

  void showsTheChosenDate() {
    QFETCH(int, step);
    QFETCH(int, sliderValue);
    QFETCH(QDate, wanted);
    QFETCH(QDate, shown);
    QFETCH(QString, caption);
    QFETCH(QString, stamp);
    QFETCH(int, newStep);
    Main main;
    TimeSeriesWindow window(main.session, main.platform);
    window.setRange({QDate(2025, 1, 1), QDate(2040, 1, 1), step});
    if (sliderValue >= 0) {
      window.slider->setValue(sliderValue);
    } else {
      window.setDate(wanted);
    }
    if (newStep) window.stepBox->setValue(newStep);
    QCOMPARE(window.date(), shown);
    QCOMPARE(window.dateLabel->text(), caption);
    QCOMPARE(sheetStamp(window), stamp);
  }

  void exportsFrames() {
    Main main;
    TimeSeriesWindow window(main.session, main.platform);
    window.setRange({QDate(2025, 1, 1), QDate(2025, 1, 5), 2});
    window.setDate(QDate(2025, 1, 3));
    QTemporaryDir dir;
    QSignalSpy finished(&window, &TimeSeriesWindow::exportFinished);
    window.exportTo(dir.filePath(QStringLiteral("f.png")));
    QVERIFY(finished.wait(60000));
    QCOMPARE(finished.first().first().toBool(), true);
    const QStringList names = {"f-2025-01-01.png", "f-2025-01-03.png", "f-2025-01-05.png"};
    QCOMPARE(QDir(dir.path()).entryList(QDir::Files, QDir::Name), names);
    for (const QString& name : names) QCOMPARE(QImage(dir.filePath(name)).size(), QSize(1200, 853));
    // Afterwards the window shows its slider's date again, and says what it wrote where.
    QCOMPARE(sheetStamp(window), QStringLiteral(" 2025年 1月 3日"));
    QCOMPARE(main.platform.messages.size(), std::size_t(1));
    QCOMPARE(main.platform.messages[0].text, QStringLiteral("3 コマを書き出しました。\n保存先: ") + dir.path());
  }

  // Cancel, or closing the main window, while the progress is shown (inside its event loop):
  // the files written are complete and counted, and closing asks first (いいえ goes on).
  void interruptedExport_data() {
    QTest::addColumn<int>("how");  // 0 Cancel, 1 closed with はい, 2 closed with いいえ
    QTest::newRow("cancelled") << 0;
    QTest::newRow("main window closed") << 1;
    QTest::newRow("closing declined") << 2;
  }
  void interruptedExport() {
    QFETCH(int, how);
    Main main;
    Form1 form(main.session);
    form.show();
    form.openTimeSeries();
    TimeSeriesWindow& window = *form.existingTimeSeries();
    window.setRange({QDate(2025, 1, 1), QDate(2025, 2, 9), 1});
    QTemporaryDir dir;
    QSignalSpy finished(&window, &TimeSeriesWindow::exportFinished);
    connect(&window, &TimeSeriesWindow::exportFinished, qApp, [] { QCoreApplication::exit(0); });
    main.platform.messageAnswers = {how == 1 ? MessageAnswer::Yes : MessageAnswer::No};
    QTimer::singleShot(0, qApp, [&] {  // the loop ends with the export
      window.exportTo(dir.filePath(QStringLiteral("{n}.png")));
      auto* progress = window.findChild<QProgressDialog*>();
      QMetaObject::invokeMethod(progress, "forceShow");
      QPushButton* cancel = progress->findChild<QPushButton*>();
      auto* bar = progress->findChild<QProgressBar*>();
      connect(bar, &QProgressBar::valueChanged, cancel, [&form, cancel, how, bar] {
        bar->disconnect();
        QMetaObject::invokeMethod(how == 0 ? static_cast<QWidget*>(cancel) : &form, how == 0 ? "click" : "close",
                                  Qt::QueuedConnection);
      }, Qt::DirectConnection);
    });
    QApplication::exec();
    QCOMPARE(finished.size(), 1);
    QCOMPARE(finished.first().first().toBool(), how == 2);
    QVERIFY(!window.exporting());
    QCOMPARE(main.platform.messages.front().buttons, how == 0 ? MessageButtons::Ok : MessageButtons::YesNo);
    QCOMPARE(form.isVisible(), how != 1);
    const QStringList files = QDir(dir.path()).entryList(QDir::Files, QDir::Name);
    QVERIFY(how == 2 ? files.size() == 40 : files.size() < 40);
    for (int i = 0; i < files.size(); ++i) {
      QCOMPARE(files[i], QStringLiteral("%1.png").arg(i + 1, 4, 10, QLatin1Char('0')));
      QCOMPARE(QImage(dir.filePath(files[i])).size(), QSize(1200, 853));
    }
    if (how == 0) QVERIFY(main.platform.messages.back().text.contains(QStringLiteral(" %1 コマ").arg(files.size())));
  }

  // On the real desktop the window's boxes open over it, not over the main window.
  void messagesOverTheWindow() {
    Main main;
    QWidget mainWindow;
    QtPlatform desk(&mainWindow);
    TimeSeriesWindow window(main.session, desk);
    window.setRange({QDate(2025, 1, 2), QDate(2025, 1, 1), 1});  // reversed: a message, no export
    QWidget* over = nullptr;
    QTimer closer;
    connect(&closer, &QTimer::timeout, [&] {
      if (auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget())) {
        over = box->parentWidget();
        box->reject();
      }
    });
    closer.start(10);
    window.exportTo(QStringLiteral("x.png"));
    QCOMPARE(over, &window);
  }

  // The save dialogs add the chosen type's extension to a bare name; the time-series export
  // suggests a file per date for PNG and one without {date} for WebP, and opens where it last wrote.
  void saveDialogs() {
    QTemporaryDir dir;
    const auto inDialog = [](const std::function<void(QFileDialog&)>& act) {
      QTimer::singleShot(0, qApp, [act] {
        auto* dialog = qobject_cast<QFileDialog*>(QApplication::activeModalWidget());
        QVERIFY(dialog);
        act(*dialog);
      });
    };
    const auto pick = [](QFileDialog& dialog, int steps) {  // the type list, as the user moves in it
      for (int i = 0; i < steps; ++i) QTest::keyClick(dialog.findChild<QComboBox*>("fileTypeCombo"), Qt::Key_Down);
    };
    const auto typed = [](QFileDialog& dialog) { return dialog.findChild<QLineEdit*>("fileNameEdit")->text(); };
    inDialog([&](QFileDialog& dialog) {
      pick(dialog, 1);
      dialog.findChild<QLineEdit*>("fileNameEdit")->setText(QStringLiteral("abc"));
      QMetaObject::invokeMethod(&dialog, "accept");
    });
    QCOMPARE(askSaveFileName(nullptr, "t", dir.path(), {"PNG (*.png)", "PDF (*.pdf)"}), dir.filePath("abc.pdf"));

    Main main;
    TimeSeriesWindow window(main.session, main.platform);
    window.setRange({QDate(2025, 1, 1), QDate(2025, 1, 3), 1});
    QString names;
    inDialog([&](QFileDialog& dialog) {
      names = typed(dialog);
      pick(dialog, 1);
      names += ' ' + typed(dialog);
      dialog.setDirectory(dir.path());
      QMetaObject::invokeMethod(&dialog, "accept");
    });
    QSignalSpy finished(&window, &TimeSeriesWindow::exportFinished);
    window.exportFrames();
    QVERIFY(finished.wait(60000));
    QCOMPARE(names, QStringLiteral("sheet-{date}.png sheet.webp"));
    QCOMPARE(QDir(dir.path()).entryList(QDir::Files), QStringList{"sheet.webp"});
    QCOMPARE(main.platform.messages.back().text,
             QStringLiteral("3 コマのアニメーションを書き出しました。\n") + dir.filePath("sheet.webp"));
    inDialog([&](QFileDialog& dialog) {
      names = dialog.directory().path();
      dialog.reject();
    });
    window.exportFrames();
    QCOMPARE(names, dir.path());
  }

  // Qt's file dialog speaks Japanese whatever the system's locale (tst_windows_c_locale runs
  // this with LANG=C.UTF-8): its buttons, and the sizes and dates of its file list.
  void dialogsSpeakJapanese() {
    speakJapanese();
    QTemporaryDir dir;
    const QString path = writeFile(dir.filePath("a.txt"), "12345");
    QString size, modified, button;
    QTimer poll;
    int polls = 0;
    connect(&poll, &QTimer::timeout, [&] {
      auto* dialog = qobject_cast<QFileDialog*>(QApplication::activeModalWidget());
      if (!dialog) return;
      const QAbstractItemModel* shown = dialog->findChild<QTreeView*>()->model();
      QModelIndex file = dialog->findChild<QFileSystemModel*>()->index(path);
      if (const auto* proxy = qobject_cast<const QAbstractProxyModel*>(shown)) file = proxy->mapFromSource(file);
      size = file.siblingAtColumn(1).data().toString();
      modified = file.siblingAtColumn(3).data().toString();
      button = dialog->findChild<QDialogButtonBox*>()->button(QDialogButtonBox::Open)->text();
      if (!size.isEmpty() || ++polls > 500) dialog->reject();
    });
    poll.start(10);
    askOpenFileName(nullptr, "t", dir.path(), "* (*)");
    QCOMPARE(size, QStringLiteral("5 バイト"));
    QCOMPARE(modified, QStringLiteral("%1").arg(QFileInfo(path).lastModified().toString("yyyy/MM/dd H:mm")));
    QCOMPARE(button, QStringLiteral("開く(&O)"));
  }

  void openedFromTheMainWindow() {
    Main main;
    Form1 form(main.session);
    QVERIFY(!form.existingTimeSeries());
    form.openTimeSeries();
    TimeSeriesWindow* window = form.existingTimeSeries();
    QVERIFY(window && window->isVisible());
    QCOMPARE(window->date(), QDate(2025, 1, 1));
    // Opened again, it is the same window with the table as it is now.
    main.session.setText(fieldIndex(1, 1), QStringLiteral("御嶽"));
    form.openTimeSeries();
    QCOMPARE(form.existingTimeSeries(), window);
    QCOMPARE(window->inputs().rows[1].values.name, "御嶽");
  }
};

QTEST_MAIN(TestWindows)
#include "tst_windows.moc"
