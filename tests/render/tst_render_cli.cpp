// `eqcircle render` as a separate process: the sheet against the golden image, the
// JSON sheet and the lines on stdout against hand-worked values, the options, the
// failures that must end with a message and no file, and a run in a process where
// constructing any widget or QApplication aborts it.

#include "common/golden.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QTemporaryDir>
#include <QtTest>

namespace {

const QString kProgram = QStringLiteral(EQ_EQCIRCLE);
const QString kSample = QStringLiteral(EQ_SOURCE_DIR "/tests/data/render_sample.txt");

struct Run {
  bool crashed = false;
  int exitCode = -1;
  QString out;
  QString err;
};

Run eqcircle(const QStringList& args, const QStringList& environment = {}) {
  QProcess process;
  QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
  env.remove(QStringLiteral("QT_QPA_PLATFORM"));  // the render command chooses the offscreen platform itself
  for (const QString& setting : environment) env.insert(setting.section('=', 0, 0), setting.section('=', 1));
  process.setProcessEnvironment(env);
  process.start(kProgram, args);
  Run run;
  if (!process.waitForFinished(60000)) {
    process.kill();
    process.waitForFinished();
    return run;
  }
  run.crashed = process.exitStatus() != QProcess::NormalExit;
  run.exitCode = process.exitCode();
  run.out = QString::fromUtf8(process.readAllStandardOutput());
  run.err = QString::fromUtf8(process.readAllStandardError());
  return run;
}

// The sample file (rows 1 ... 4 named, row 4 after the date) drawn for 1 May 2024.
Run render(const QString& out, const QStringList& more = {}, const QStringList& environment = {}) {
  return eqcircle(QStringList{"render", kSample, "--date", "2024-5-1", "--out", out} + more, environment);
}
const QStringList kFixed{"--no-background", "--title", "試験用の地震サークル", "--created", "2026-12-6"};

QJsonObject readJson(const QString& path) {
  QFile file(path);
  return file.open(QIODevice::ReadOnly) ? QJsonDocument::fromJson(file.readAll()).object() : QJsonObject();
}

QStringList filesIn(const QTemporaryDir& dir) { return QDir(dir.path()).entryList(QDir::Files); }

}  // namespace

class TestRenderCli : public QObject {
  Q_OBJECT
 private slots:
  void goldenSheet();
  void jsonSheetAndLines();
  void rowsAndBackground_data();
  void rowsAndBackground();
  void badArguments_data();
  void badArguments();
  void cannotReadOrWrite_data();
  void cannotReadOrWrite();
  void noWidgetIsEverMade();

 private:
  QTemporaryDir dir;
};

// The same sheet as it was always rendered, pixel for pixel (the fonts are the ones
// the set-up installs).
void TestRenderCli::goldenSheet() {
  const QString out = dir.filePath(QStringLiteral("sheet.png"));
  const Run run = render(out, kFixed);
  QVERIFY2(run.exitCode == 0, qPrintable(run.err));
  const QString mismatch = eq::test::goldenMismatch(QImage(out), QStringLiteral("golden_sheet.png"), 0, 0);
  QVERIFY2(mismatch.isEmpty(), qPrintable(mismatch));
  QVERIFY(render(out, kFixed + QStringList{"--scale", "0.5"}).exitCode == 0);
  QCOMPARE(QImage(out).size(), QSize(600, 427));
}

// Radii from the day numbers: (3.129 - ln(days / 365.25)) / 0.007137 km; the marker of
// 31.58 N 130.66 E and the title of ten characters at column 73.1 - 5, line 51.
void TestRenderCli::jsonSheetAndLines() {
  const QString out = dir.filePath(QStringLiteral("sheet.json"));
  const Run run = render(out, kFixed);
  QVERIFY2(run.exitCode == 0, qPrintable(run.err));
  QStringList lines = run.out.split('\n');
  QCOMPARE(lines.takeLast(), QString());
  QCOMPARE(lines.mid(0, 5), (QStringList{"1\t桜島\tdrawn\t228.35", "2\t浅間山\tdrawn\t21.04", "3\t有珠山\tdrawn\t-7.37",
                                          "4\t未来山\texcluded\t-", "5\t\tunticked\t-"}));
  QCOMPARE(lines.size(), 10);

  const QJsonObject root = readJson(out);
  QCOMPARE(root.value("width").toInt(), 18000);
  QVERIFY(root.value("background").isNull());
  QCOMPARE(root.value("countLabel").toString(), QStringLiteral("描画データ数  =  3"));
  QVERIFY(root.value("warningVisible").toBool());
  const QJsonArray rows = root.value("rows").toArray();
  QCOMPARE(rows.size(), 10);
  QVERIFY(std::fabs(rows[0].toObject().value("radiusKm").toDouble() - 228.352) < 1e-3);
  QCOMPARE(rows[3].toObject().value("state").toString(), QStringLiteral("excluded"));
  QVERIFY(rows[3].toObject().value("radiusKm").isNull());

  QMap<QString, QList<QJsonObject>> byType;
  for (const auto& v : root.value("items").toArray()) {
    const QJsonObject o = v.toObject();
    const QString type = o.value("type").toString();
    byType[type == "circle" ? (o.value("fill").isNull() ? "ring" : "marker") : type] << o;
  }
  QCOMPARE(byType.value("point").size(), 3804);
  QCOMPARE(byType.value("line").size(), 12);
  QCOMPARE(byType.value("marker").size(), 3);
  QCOMPARE(byType.value("ring").size(), 2);  // 24 years ago: no circle for 有珠山
  const QJsonObject marker = byType.value("marker")[0];
  QVERIFY(std::fabs(marker.value("x").toDouble() - 7765.26) < 0.05 && std::fabs(marker.value("y").toDouble() - 7472.59) < 0.05);
  QCOMPARE(marker.value("fill").toString(), QStringLiteral("#ff0000"));
  QVERIFY(std::fabs(byType.value("ring")[0].value("r").toDouble() - 3 * 228.352) < 0.01);
  const QJsonObject title = byType.value("text").last();
  QCOMPARE(title.value("text").toString(), QStringLiteral("試験用の地震サークル"));
  QVERIFY(std::fabs(title.value("x").toDouble() - 8172) < 0.05 && title.value("y").toDouble() == 12240);
  QCOMPARE(title.value("color").toString(), QStringLiteral("#ff0000"));
}

void TestRenderCli::rowsAndBackground_data() {
  QTest::addColumn<QStringList>("options");
  QTest::addColumn<QString>("states");  // rows 1 ... 5
  QTest::addColumn<bool>("background");
  QTest::newRow("rows 1 and 4") << QStringList{"--rows", "1,4", "--no-background"}
                                << "drawn unticked unticked excluded unticked" << false;
  QTest::newRow("all: the row without a year is skipped") << QStringList{"--rows", "all", "--no-background"}
                                                          << "drawn drawn drawn excluded skipped" << false;
  QTest::newRow("the map beside the program") << QStringList() << "drawn drawn drawn excluded unticked" << true;
}

void TestRenderCli::rowsAndBackground() {
  QFETCH(QStringList, options);
  QFETCH(QString, states);
  QFETCH(bool, background);
  const QString out = dir.filePath(QStringLiteral("rows.json"));
  const Run run = render(out, options);
  QVERIFY2(run.exitCode == 0, qPrintable(run.err));
  const QJsonObject root = readJson(out);
  QStringList got;
  for (int i = 0; i < 5; ++i) got << root.value("rows").toArray()[i].toObject().value("state").toString();
  QCOMPARE(got.join(' '), states);
  QCOMPARE(root.value("background").toString(), background ? QStringLiteral("JapanMap3.bmp") : QString());
}

void TestRenderCli::badArguments_data() {
  QTest::addColumn<QStringList>("args");
  const QStringList date{kSample, "--date", "2024-5-1"};
  QTest::newRow("no date") << QStringList{kSample, "--out", "bad.png"};
  QTest::newRow("date without day") << QStringList{kSample, "--date", "2024-5", "--out", "bad.png"};
  QTest::newRow("date with letters") << QStringList{kSample, "--date", "2024-May-1", "--out", "bad.png"};
  QTest::newRow("row 11") << date + QStringList{"--rows", "1,11", "--out", "bad.png"};
  QTest::newRow("unknown option") << date + QStringList{"--colour", "--out", "bad.png"};
  QTest::newRow("output without value") << date + QStringList{"--out"};
  QTest::newRow("unknown extension") << date + QStringList{"--out", "bad.bmp"};
  QTest::newRow("scale too large") << date + QStringList{"--scale", "50", "--out", "bad.png"};
  QTest::newRow("no such created date") << date + QStringList{"--created", "2026-2-30", "--out", "bad.png"};
  QTest::newRow("two data files") << QStringList{kSample} + date + QStringList{"--out", "bad.png"};
}

void TestRenderCli::badArguments() {
  QFETCH(QStringList, args);
  QTemporaryDir here;
  for (QString& arg : args) {
    if (arg.startsWith(QLatin1String("bad."))) arg = here.filePath(arg);
  }
  const Run run = eqcircle(QStringList{"render"} + args);
  QCOMPARE(run.exitCode, 2);
  QVERIFY(run.err.startsWith(QStringLiteral("eqcircle render: ")) && run.err.contains(QStringLiteral("使い方")));
  QVERIFY(run.out.isEmpty());
  QCOMPARE(filesIn(here), QStringList());
}

// A data file that cannot be read or an output that cannot be written: exit code 1, a
// message naming the file, nothing on stdout and no file left behind.
void TestRenderCli::cannotReadOrWrite_data() {
  QTest::addColumn<QString>("data");
  QTest::addColumn<QString>("out");
  QTest::addColumn<QString>("named");
  QTest::newRow("missing data file") << "ない.txt" << "sheet.png" << "ない.txt";
  QTest::newRow("missing output folder") << kSample << "no-such-folder/sheet.png" << "no-such-folder/sheet.png";
  QTest::newRow("a folder in the output's place") << kSample << "taken.pdf" << "taken.pdf";
}

void TestRenderCli::cannotReadOrWrite() {
  QFETCH(QString, data);
  QFETCH(QString, out);
  QFETCH(QString, named);
  QTemporaryDir here;
  QVERIFY(QDir(here.path()).mkdir(QStringLiteral("taken.pdf")));
  const QString dataPath = QFileInfo(data).isAbsolute() ? data : here.filePath(data);
  const Run run = eqcircle({"render", dataPath, "--date", "2024-5-1", "--out", here.filePath(out)});
  QCOMPARE(run.exitCode, 1);
  QVERIFY2(run.err.contains(here.filePath(named)), qPrintable(run.err));
  QVERIFY(run.out.isEmpty());
  QCOMPARE(filesIn(here), QStringList());
}

// With the shim preloaded the render command still writes its sheet, while the window
// mode of the same program aborts at once: the shim bites, and rendering needs no widget.
void TestRenderCli::noWidgetIsEverMade() {
  const QString preload = QStringLiteral("LD_PRELOAD=" EQ_NO_WIDGETS_SHIM);
  const QString out = dir.filePath(QStringLiteral("shim.png"));
  const Run rendered = render(out, {"--no-background"}, {preload});
  QVERIFY2(!rendered.crashed && rendered.exitCode == 0, qPrintable(rendered.err));
  QCOMPARE(QImage(out).size(), QSize(1200, 853));

  const Run window = eqcircle({}, {preload, QStringLiteral("QT_QPA_PLATFORM=offscreen")});
  QVERIFY(window.crashed);
}

QTEST_GUILESS_MAIN(TestRenderCli)
#include "tst_render_cli.moc"
