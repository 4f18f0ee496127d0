// The session's own commands and procedures: the two table commands, the help
// labels as state machines, and JulianDay, PlotRadius and PlotXY with what they
// write back and what they keep when they fail.

#include "common/session_fixture.h"
#include "session/help_commands.h"

#include <QtTest>
#include <limits>

using namespace eq;
using namespace eq::test;

class TestSession : public QObject {
  Q_OBJECT
 private slots:
  // Every row usable, unticked and empty; the date, the labels, the per-row arrays and the sheet stay.
  void clearEruptionData() {
    SessionFixture fx;
    Session& s = fx.session;
    for (int row = 1; row <= kRowCount; ++row) fx.fillRow(row, {"山", "2000", "1", "2", "35", "139"}, row % 2 == 0);
    s.setText(61, QStringLiteral("2024"));
    excludeRow(s, 7);
    s.setVisible(Control::Label20, true);
    s.EruptionYear[3] = 1914;
    s.surface().circle(9000, 6400, 500, Qt::red);
    eq::clearEruptionData(s);
    for (int row = 1; row <= kRowCount; ++row) QCOMPARE(fx.rowTexts(row), QStringList(6, QString()));
    QCOMPARE(fx.ticks() + fx.excludedRows(), QList<bool>(2 * kRowCount, false));
    QCOMPARE(s.RowBaseIndex, int16_t{61});
    QVERIFY(s.text(61) == "2024" && s.visible(Control::Label20) && s.EruptionYear[3] == 1914);
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

  // The panel under 使い方 (Label24): closed, the description (Label25) or the four steps.
  void helpLabels() {
    SessionFixture fx;
    Session& s = fx.session;
    const auto panel = [&s] {
      QString out = s.visible(Control::Label25) ? "description" : "";
      for (Control step : {Control::Label26, Control::Label27, Control::Label28, Control::Label29})
        out += s.visible(step) ? "+" : "";
      return out;
    };
    QCOMPARE(panel(), QString());
    const std::pair<void (*)(Session&), const char*> clicks[] = {
        {showUsageDescription, "description"}, {showUsageDescription, "description"}, {showUsageSteps, "++++"},
        {showUsageDescription, "description"}, {showUsageSteps, "++++"}, {closeUsagePanel, ""}};
    for (const auto& [click, state] : clicks) {
      click(s);
      QCOMPARE(panel(), QString(state));
    }
    showResolutionNote(s);
    QVERIFY(!s.visible(Control::Label30) && s.visible(Control::Label31));
    hideResolutionNote(s);
    QVERIFY(s.visible(Control::Label30) && !s.visible(Control::Label31));
    // The marker offers the button that switches the current setting (on after start-up).
    revealBackgroundMapButton(s);
    QVERIFY(s.visible(Control::Command8) && !s.visible(Control::Command7) && !s.visible(Control::Label32));
    s.ShowBackgroundMap = 0;
    revealBackgroundMapButton(s);
    QVERIFY(s.visible(Control::Command7));
  }

  // 2000-M-1: (M - 2) * 30.59 + 2000 * 365.25 + 1 - 678914, worked out by hand.
  void julianDay_data() {
    QTest::addColumn<double>("month");
    QTest::addColumn<double>("dayNumber");
    QTest::addColumn<double>("monthAfter");
    QTest::newRow("month 0 counts as July and is written back") << 0.0 << 51739.95 << 7.0;
    QTest::newRow("a negative month goes through") << -1.0 << 51495.23 << -1.0;
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
    QVERIFY(s.PlotXY() && s.MapX == 9000 && s.MapY == 0);
    s.Latitude = std::numeric_limits<float>::infinity();
    QVERIFY(!s.PlotXY() && s.MapX == 9000);
  }
};

QTEST_MAIN(TestSession)
#include "tst_session.moc"
