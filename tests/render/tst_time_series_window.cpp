// The time-series window offscreen: its default dates, the slider and setDate
// redrawing its own copy of the sheet (the stamp shows the date) while the main
// session stays untouched, the export of frames, cancelling an export, and Form1
// opening the window.

#include "app/form1.h"
#include "app/time_series_window.h"
#include "common/session_fixture.h"

#include <QDateEdit>
#include <QLabel>
#include <QProgressDialog>
#include <QPushButton>
#include <QSlider>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QtTest>

using namespace eq;

namespace {

// The main window's session: 御嶽山 (2014-9-27) and 阿蘇山 (2021-10-20) ticked, 西之島
// (2013-11-20, earlier) not, predicting 1 January 2025.
struct Main : eq::test::SessionFixture {
  explicit Main(bool tick = true, const QStringList& prediction = {"2025", "1", "1"}) {
    session.ShowBackgroundMap = 0;  // no bitmap beside the test
    fillRow(1, {"御嶽山", "2014", "9", "27", "35.893", "137.48"}, tick);
    fillRow(2, {"西之島", "2013", "11", "20", "27.247", "140.874"}, false);
    fillRow(3, {"阿蘇山", "2021", "10", "20", "32.884", "131.104"}, tick);
    for (int k = 0; k < 3; ++k) session.setText(61 + k, prediction.value(k));
  }
};

// The prediction-date stamp on the window's sheet: the text under its heading.
QString sheetStamp(const TimeSeriesWindow& window) {
  bool heading = false;
  for (const auto& item : window.session().surface().sheet().items()) {
    const auto* text = std::get_if<SheetText>(&item);
    if (!text) continue;
    if (heading) return text->text;
    heading = text->text == QStringLiteral("発震予測年月日");
  }
  return {};
}

}  // namespace

class TestTimeSeriesWindow : public QObject {
  Q_OBJECT
 private slots:
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
    // The window drew its own copy; the main session has no sheet and its boxes as they were.
    QVERIFY(main.session.surface().sheet().isEmpty());
    QCOMPARE(main.session.text(61), prediction[0]);
    QCOMPARE(main.session.DrawnCount, 0);
  }

  void showsTheChosenDate_data() {
    QTest::addColumn<int>("step");
    QTest::addColumn<int>("sliderValue");  // -1: set the date instead
    QTest::addColumn<QDate>("wanted");
    QTest::addColumn<QDate>("shown");
    QTest::addColumn<QString>("caption");
    QTest::addColumn<QString>("stamp");
    QTest::newRow("setDate") << 1 << -1 << QDate(2030, 6, 15) << QDate(2030, 6, 15) << "2030年6月15日"
                             << " 2030年 6月 15日";
    // From 1 January 2025 in weeks: the 10th is 9 days on, nearer the 8th than the 15th.
    QTest::newRow("setDate between weeks") << 7 << -1 << QDate(2025, 1, 10) << QDate(2025, 1, 8) << "2025年1月8日"
                                           << " 2025年 1月 8日";
    // 59 days after 1 January 2025 (31 of January, 28 of February).
    QTest::newRow("slider") << 1 << 59 << QDate() << QDate(2025, 3, 1) << "2025年3月1日" << " 2025年 3月 1日";
  }

  void showsTheChosenDate() {
    QFETCH(int, step);
    QFETCH(int, sliderValue);
    QFETCH(QDate, wanted);
    QFETCH(QDate, shown);
    QFETCH(QString, caption);
    QFETCH(QString, stamp);
    Main main;
    TimeSeriesWindow window(main.session, main.platform);
    window.setRange({QDate(2025, 1, 1), QDate(2040, 1, 1), step});
    if (sliderValue >= 0) {
      window.slider->setValue(sliderValue);
    } else {
      window.setDate(wanted);
    }
    QCOMPARE(window.date(), shown);
    QCOMPARE(window.dateLabel->text(), caption);
    QCOMPARE(sheetStamp(window), stamp);
    QVERIFY(main.session.surface().sheet().isEmpty());
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
    // Afterwards the window shows its slider's date again.
    QCOMPARE(sheetStamp(window), QStringLiteral(" 2025年 1月 3日"));
    QVERIFY(main.platform.messages.empty());
  }

  void cancelLeavesCompleteFiles() {
    Main main;
    TimeSeriesWindow window(main.session, main.platform);
    window.setRange({QDate(2025, 1, 1), QDate(2025, 12, 31), 1});
    QTemporaryDir dir;
    QSignalSpy finished(&window, &TimeSeriesWindow::exportFinished);
    window.exportTo(dir.filePath(QStringLiteral("{n}.png")));
    for (int i = 0; i < 5; ++i) QCoreApplication::processEvents();
    auto* progress = window.findChild<QProgressDialog*>();
    QVERIFY(progress);
    auto* cancel = progress->findChild<QPushButton*>();
    QVERIFY(cancel);
    cancel->click();
    QCOMPARE(finished.size(), 1);
    QCOMPARE(finished.first().first().toBool(), false);
    QVERIFY(!window.exporting());
    const QStringList files = QDir(dir.path()).entryList(QDir::Files, QDir::Name);
    QVERIFY(files.size() < 365);
    for (int i = 0; i < files.size(); ++i) {
      QCOMPARE(files[i], QStringLiteral("%1.png").arg(i + 1, 4, 10, QLatin1Char('0')));
      QCOMPARE(QImage(dir.filePath(files[i])).size(), QSize(1200, 853));
    }
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
    QCOMPARE(window->session().text(fieldIndex(1, 1)), QStringLiteral("御嶽"));
  }
};

QTEST_MAIN(TestTimeSeriesWindow)
#include "tst_time_series_window.moc"
