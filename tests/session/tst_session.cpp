// The session's own commands and procedures: the two table commands, the help
// labels as state machines, the reference window's state, and JulianDay,
// PlotRadius and PlotXY with what they write back and what they keep.

#include "common/session_fixture.h"
#include "session/help_commands.h"

#include <QtTest>
#include <limits>

using namespace eq;
using namespace eq::test;

class TestSession : public QObject {
  Q_OBJECT
 private slots:
  void clearEruptionDataKeepsTheRest() {
    SessionFixture fx;
    Session& s = fx.session;
    for (int row = 1; row <= kRowCount; ++row) fx.fillRow(row, {"山", "2000", "1", "2", "35", "139"}, row % 2 == 0);
    s.setText(61, QStringLiteral("2024"));
    excludeRow(s, 7);
    s.setVisible(Control::Label20, true);
    s.setCaption(Control::Label23, QStringLiteral("file.txt"));
    s.EruptionYear[3] = 1914;
    s.surface().circle(9000, 6400, 500, Qt::red);

    clearEruptionData(s);

    for (int row = 1; row <= kRowCount; ++row) QCOMPARE(fx.rowTexts(row), QStringList(6, QString()));
    QCOMPARE(fx.ticks(), QList<bool>(kRowCount, false));
    QCOMPARE(fx.excludedRows(), QList<bool>(kRowCount, false));
    QCOMPARE(s.RowBaseIndex, int16_t{61});
    // The prediction date, the labels, the per-row arrays and the sheet stay.
    QCOMPARE(s.text(61), QStringLiteral("2024"));
    QVERIFY(s.visible(Control::Label20));
    QCOMPARE(fx.label(Control::Label23), QStringLiteral("file.txt"));
    QCOMPARE(s.EruptionYear[3], 1914.0f);
    QCOMPARE(fx.sheet().items().size(), std::size_t(1));
  }

  void selectAllSkipsExcludedRows() {
    SessionFixture fx;
    fx.session.setTicked(3, true);
    excludeRow(fx.session, 3);  // excluded and ticked
    excludeRow(fx.session, 5);  // excluded and unticked
    selectAllRows(fx.session);
    selectAllRows(fx.session);  // twice is once
    QList<bool> expected(kRowCount, true);
    expected[4] = false;
    QCOMPARE(fx.ticks(), expected);
    QCOMPARE(fx.excludedRows(), (QList<bool>{false, false, true, false, true, false, false, false, false, false}));
  }

  // The panel under 使い方: closed, the description (Label25) or the four steps (Label26 ... 29).
  void usagePanel_data() {
    QTest::addColumn<QString>("clicks");  // 4: 使い方, 5: the description, 6: a step
    QTest::addColumn<QString>("state");
    QTest::newRow("start-up") << "" << "closed";
    QTest::newRow("使い方") << "4" << "description";
    QTest::newRow("使い方 twice") << "44" << "description";
    QTest::newRow("the description opens the steps") << "45" << "steps";
    QTest::newRow("使い方 from the steps") << "454" << "description";
    QTest::newRow("a step closes the panel") << "456" << "closed";
  }
  void usagePanel() {
    QFETCH(QString, clicks);
    QFETCH(QString, state);
    SessionFixture fx;
    Session& s = fx.session;
    for (const QChar c : clicks) (c == '4' ? showUsageDescription : c == '5' ? showUsageSteps : closeUsagePanel)(s);
    int steps = 0;
    for (Control step : {Control::Label26, Control::Label27, Control::Label28, Control::Label29}) steps += s.visible(step);
    const char* got = s.visible(Control::Label25) ? (steps == 0 ? "description" : "mixed")
                                                  : (steps == 0 ? "closed" : steps == 4 ? "steps" : "mixed");
    QCOMPARE(QString::fromLatin1(got), state);
  }

  void notesAndWindows() {
    SessionFixture fx;
    Session& s = fx.session;
    showResolutionNote(s);
    QVERIFY(!s.visible(Control::Label30) && s.visible(Control::Label31));
    hideResolutionNote(s);
    QVERIFY(s.visible(Control::Label30) && !s.visible(Control::Label31));
    // The marker offers the button that switches the current setting (on after start-up).
    revealBackgroundMapButton(s);
    QVERIFY(s.visible(Control::Command8) && !s.visible(Control::Command7) && !s.visible(Control::Label32));
    s.setVisible(Control::Command8, false);
    s.ShowBackgroundMap = 0;
    revealBackgroundMapButton(s);
    QVERIFY(s.visible(Control::Command7) && !s.visible(Control::Command8));
    openReferenceWindow(s);
    QVERIFY(s.referenceWindowShown() && !s.mainWindowShown());
    leaveReferenceWindow(s);
    QVERIFY(!s.referenceWindowShown() && s.mainWindowShown());
  }

  // 2000-M-1: (M - 2) * 30.59 + 2000 * 365.25 + 1 - 678914, worked out by hand.
  void julianDay_data() {
    QTest::addColumn<double>("month");
    QTest::addColumn<double>("dayNumber");
    QTest::addColumn<double>("monthAfter");
    QTest::newRow("month 0 counts as July and is written back") << 0.0 << 51739.95 << 7.0;
    QTest::newRow("a negative month goes through") << -1.0 << 51495.23 << -1.0;
    QTest::newRow("month 13") << 13.0 << 51923.49 << 13.0;
  }
  void julianDay() {
    QFETCH(double, month);
    QFETCH(double, dayNumber);
    QFETCH(double, monthAfter);
    SessionFixture fx;
    Session& s = fx.session;
    s.CalcYear = 2000;
    s.CalcMonth = month;
    s.CalcDay = 1;
    QVERIFY(s.JulianDay());
    QVERIFY2(std::fabs(s.DayNumber - dayNumber) < 1e-6, qPrintable(QString::number(s.DayNumber, 'f', 6)));
    QCOMPARE(s.CalcMonth, monthAfter);
  }

  void failedProceduresKeepTheirResults() {
    SessionFixture fx;
    Session& s = fx.session;
    s.DayNumber = 123;
    s.CalcYear = std::numeric_limits<double>::max();
    s.CalcMonth = 1;
    QVERIFY(!s.JulianDay());
    QCOMPARE(s.DayNumber, 123.0);

    s.PredictionDayNumber = 60322.41 + 365.25;
    s.EruptionDayNumber = 60322.41;
    QVERIFY(s.PlotRadius());
    QVERIFY(std::fabs(s.RadiusKm - 438.4195) < 1e-4);  // 3.129 / 0.007137
    s.EruptionDayNumber = s.PredictionDayNumber;     // zero elapsed time
    QVERIFY(!s.PlotRadius());
    QVERIFY(std::fabs(s.RadiusKm - 438.4195) < 1e-4);

    s.Latitude = 54;
    s.Longitude = 135;
    QVERIFY(s.PlotXY());
    QVERIFY(s.MapX == 9000 && s.MapY == 0);
    s.Latitude = std::numeric_limits<float>::infinity();
    QVERIFY(!s.PlotXY());
    QCOMPARE(s.MapX, 9000.0);
  }
};

QTEST_MAIN(TestSession)
#include "tst_session.moc"
