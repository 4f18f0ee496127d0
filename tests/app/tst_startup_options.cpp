// eqcircle started as a separate process with a cleared environment: --help and
// --version answer without a window or a display; without a display the window is
// refused in Japanese, and the render command is left to itself.

#include <QProcess>
#include <QtTest>

class TestStartupOptions : public QObject {
  Q_OBJECT
 private slots:
  void endsBeforeTheWindow_data() {
    QTest::addColumn<QStringList>("args");
    QTest::addColumn<QStringList>("env");
    QTest::addColumn<int>("exitCode");
    QTest::addColumn<QStringList>("out");  // texts stdout must hold; none: empty
    QTest::addColumn<QStringList>("err");  // the same for stderr

    const QStringList refusal{"ウィンドウを開けません", "グラフィカルな環境", "eqcircle render"};
    QTest::newRow("no display") << QStringList() << QStringList() << 1 << QStringList() << refusal;
    QTest::newRow("empty DISPLAY") << QStringList() << QStringList{"DISPLAY="} << 1 << QStringList() << refusal;
    QTest::newRow("xcb without DISPLAY") << QStringList() << QStringList{"QT_QPA_PLATFORM=xcb"} << 1 << QStringList()
                                         << refusal;
    QTest::newRow("--help") << QStringList{"--help"} << QStringList() << 0
                            << QStringList{"使い方: eqcircle", "render --help"} << QStringList();
    QTest::newRow("-h after another option") << QStringList{"-reverse", "-h"} << QStringList() << 0
                                             << QStringList{"使い方: eqcircle"} << QStringList();
    QTest::newRow("--version") << QStringList{"--version"} << QStringList() << 0
                               << QStringList{QStringLiteral("eqcircle " EQ_PROJECT_VERSION "\n")} << QStringList();
    QTest::newRow("render has its own help") << QStringList{"render", "--help"} << QStringList() << 0
                                             << QStringList{"使い方: eqcircle render DATAFILE"} << QStringList();
  }

  void endsBeforeTheWindow() {
    QFETCH(QStringList, args);
    QFETCH(QStringList, env);
    QFETCH(int, exitCode);
    QFETCH(QStringList, out);
    QFETCH(QStringList, err);

    QProcessEnvironment environment;  // empty: nothing inherited, no display
    for (const QString& entry : env) environment.insert(entry.section('=', 0, 0), entry.section('=', 1));
    QProcess process;
    process.setProcessEnvironment(environment);
    process.start(QStringLiteral(EQ_EQCIRCLE), args);
    QVERIFY(process.waitForFinished(30000));
    QCOMPARE(process.exitStatus(), QProcess::NormalExit);
    QCOMPARE(process.exitCode(), exitCode);

    const QString stdoutText = QString::fromUtf8(process.readAllStandardOutput());
    const QString stderrText = QString::fromUtf8(process.readAllStandardError());
    QCOMPARE(stdoutText.isEmpty(), out.isEmpty());
    QCOMPARE(stderrText.isEmpty(), err.isEmpty());
    for (const QString& text : out) QVERIFY2(stdoutText.contains(text), qPrintable(stdoutText));
    for (const QString& text : err) QVERIFY2(stderrText.contains(text), qPrintable(stderrText));
  }
};

QTEST_GUILESS_MAIN(TestStartupOptions)
#include "tst_startup_options.moc"
