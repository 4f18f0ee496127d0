// `eqcircle render` run as a separate process: PNG sizes, the JSON sheet, PDF and
// SVG files, the per-row lines on stdout, and bad arguments, unreadable data files
// and unwritable outputs, which must end with a message and no file.

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
  int exitCode = -1;
  QString out;
  QString err;
};

Run render(const QStringList& args) {
  QProcess process;
  QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
  env.remove(QStringLiteral("QT_QPA_PLATFORM"));  // the command chooses the offscreen platform itself
  process.setProcessEnvironment(env);
  process.start(kProgram, QStringList{QStringLiteral("render")} + args);
  Run run;
  if (!process.waitForFinished(30000) || process.exitStatus() != QProcess::NormalExit) return run;
  run.exitCode = process.exitCode();
  run.out = QString::fromUtf8(process.readAllStandardOutput());
  run.err = QString::fromUtf8(process.readAllStandardError());
  return run;
}

QJsonObject readJson(const QString& path) {
  QFile file(path);
  if (!file.open(QIODevice::ReadOnly)) return {};
  return QJsonDocument::fromJson(file.readAll()).object();
}

}  // namespace

class TestRenderCli : public QObject {
  Q_OBJECT
 private slots:
  void pngSize_data();
  void pngSize();
  void jsonSheet();
  void rowsOption_data();
  void rowsOption();
  void stdoutLines();
  void backgroundBesideTheProgram();
  void vectorFormats_data();
  void vectorFormats();
  void badArguments_data();
  void badArguments();
  void unreadableDataFile();
  void unwritableOutput();

 private:
  QTemporaryDir dir;
};

void TestRenderCli::pngSize_data() {
  QTest::addColumn<QString>("scale");
  QTest::addColumn<QSize>("size");
  QTest::newRow("default") << QString() << QSize(1200, 853);
  QTest::newRow("2") << "2" << QSize(2400, 1707);
  QTest::newRow("0.5") << "0.5" << QSize(600, 427);
}

void TestRenderCli::pngSize() {
  QFETCH(QString, scale);
  QFETCH(QSize, size);
  const QString out = dir.filePath(QStringLiteral("size.png"));
  QStringList args{kSample, "--date", "2024-5-1", "--no-background", "--out", out};
  if (!scale.isEmpty()) args << "--scale" << scale;
  const Run run = render(args);
  QVERIFY2(run.exitCode == 0, qPrintable(run.err));
  QCOMPARE(QImage(out).size(), size);
}

void TestRenderCli::jsonSheet() {
  const QString out = dir.filePath(QStringLiteral("sheet.json"));
  const Run run = render({kSample, "--date", "2024-5-1", "--no-background", "--title", "試験の題", "--created",
                          "2026-12-6", "--out", out});
  QVERIFY2(run.exitCode == 0, qPrintable(run.err));
  const QJsonObject root = readJson(out);
  QCOMPARE(root.value("width").toInt(), 18000);
  QCOMPARE(root.value("height").toInt(), 12800);
  QVERIFY(root.value("background").isNull());
  QCOMPARE(root.value("countLabel").toString(), QStringLiteral("描画データ数  =  3"));
  QCOMPARE(root.value("warningVisible").toBool(), true);

  const QJsonArray rows = root.value("rows").toArray();
  QCOMPARE(rows.size(), 10);
  const QStringList states = {"drawn", "drawn", "drawn", "excluded", "unticked",
                              "unticked", "unticked", "unticked", "unticked", "unticked"};
  for (int i = 0; i < 10; ++i) {
    const QJsonObject row = rows[i].toObject();
    QCOMPARE(row.value("row").toInt(), i + 1);
    QCOMPARE(row.value("state").toString(), states[i]);
    QCOMPARE(row.value("radiusKm").isNull(), i >= 3);
  }
  QVERIFY(rows[2].toObject().value("radiusKm").toDouble() < 0);  // 24 years: no circle

  const QJsonArray items = root.value("items").toArray();
  int points = 0, lines = 0, markers = 0, circles = 0;
  QStringList texts;
  for (const auto& v : items) {
    const QJsonObject o = v.toObject();
    const QString type = o.value("type").toString();
    points += type == "point";
    lines += type == "line";
    markers += type == "circle" && !o.value("fill").isNull();
    circles += type == "circle" && o.value("fill").isNull();
    if (type == "text") texts << o.value("text").toString();
  }
  QCOMPARE(points, 3804);
  QCOMPARE(lines, 12);
  QCOMPARE(markers, 3);
  QCOMPARE(circles, 2);
  QVERIFY(texts.contains(QStringLiteral("試験の題")));
  QVERIFY(texts.contains(QStringLiteral("2026年 12月 6日")));
  QVERIFY(texts.contains(QStringLiteral(" 2024年 5月 1日")));
  QVERIFY(texts.contains(QStringLiteral(" 1=桜島")));
  QCOMPARE(items.first().toObject().value("color").toString(), QStringLiteral("#000000"));
}

void TestRenderCli::rowsOption_data() {
  QTest::addColumn<QString>("rows");
  QTest::addColumn<QStringList>("states");
  QTest::newRow("1,4") << "1,4" << QStringList{"drawn", "unticked", "unticked", "excluded", "unticked"};
  QTest::newRow("all: the row without a year is skipped")
      << "all" << QStringList{"drawn", "drawn", "drawn", "excluded", "skipped"};
}

void TestRenderCli::rowsOption() {
  QFETCH(QString, rows);
  QFETCH(QStringList, states);
  const QString out = dir.filePath(QStringLiteral("rows.json"));
  const Run run = render({kSample, "--date", "2024-5-1", "--no-background", "--rows", rows, "--out", out});
  QVERIFY2(run.exitCode == 0, qPrintable(run.err));
  const QJsonArray got = readJson(out).value("rows").toArray();
  for (int i = 0; i < states.size(); ++i) QCOMPARE(got[i].toObject().value("state").toString(), states[i]);
}

void TestRenderCli::stdoutLines() {
  const Run run = render({kSample, "--date", "2024-5-1", "--no-background", "--out",
                          dir.filePath(QStringLiteral("lines.json"))});
  QVERIFY2(run.exitCode == 0, qPrintable(run.err));
  const QStringList lines = run.out.split('\n', Qt::SkipEmptyParts);
  QCOMPARE(lines.size(), 10);
  const QStringList first = lines[0].split('\t');
  QCOMPARE(first.size(), 4);
  QCOMPARE(first[0], QStringLiteral("1"));
  QCOMPARE(first[1], QStringLiteral("桜島"));
  QCOMPARE(first[2], QStringLiteral("drawn"));
  QVERIFY(first[3].toDouble() > 200 && first[3].toDouble() < 250);
  QCOMPARE(lines[3].split('\t').value(2), QStringLiteral("excluded"));
}

void TestRenderCli::backgroundBesideTheProgram() {
  if (!QFile::exists(QFileInfo(kProgram).dir().filePath(QStringLiteral("JapanMap3.bmp")))) {
    QSKIP("no JapanMap3.bmp beside the program");
  }
  const QString out = dir.filePath(QStringLiteral("background.json"));
  const Run run = render({kSample, "--date", "2024-5-1", "--out", out});
  QVERIFY2(run.exitCode == 0, qPrintable(run.err));
  QCOMPARE(readJson(out).value("background").toString(), QStringLiteral("JapanMap3.bmp"));
}

void TestRenderCli::vectorFormats_data() {
  QTest::addColumn<QString>("name");
  QTest::addColumn<QByteArray>("start");
  QTest::newRow("pdf") << "sheet.pdf" << QByteArray("%PDF-");
  QTest::newRow("svg") << "sheet.svg" << QByteArray("<?xml");
}

void TestRenderCli::vectorFormats() {
  QFETCH(QString, name);
  QFETCH(QByteArray, start);
  const QString out = dir.filePath(name);
  const Run run = render({kSample, "--date", "2024-5-1", "--out", out});
  QVERIFY2(run.exitCode == 0, qPrintable(run.err));
  QFile file(out);
  QVERIFY(file.open(QIODevice::ReadOnly));
  QVERIFY(file.read(start.size()) == start);
}

void TestRenderCli::badArguments_data() {
  QTest::addColumn<QStringList>("args");
  const QString out = QStringLiteral("bad.png");
  QTest::newRow("no date") << QStringList{kSample, "--out", out};
  QTest::newRow("date without day") << QStringList{kSample, "--date", "2024-5", "--out", out};
  QTest::newRow("date with letters") << QStringList{kSample, "--date", "2024-May-1", "--out", out};
  QTest::newRow("date with an empty part") << QStringList{kSample, "--date", "2024--1", "--out", out};
  QTest::newRow("row 0") << QStringList{kSample, "--date", "2024-5-1", "--rows", "0", "--out", out};
  QTest::newRow("row 11") << QStringList{kSample, "--date", "2024-5-1", "--rows", "1,11", "--out", out};
  QTest::newRow("rows not numbers") << QStringList{kSample, "--date", "2024-5-1", "--rows", "one", "--out", out};
  QTest::newRow("unknown option") << QStringList{kSample, "--date", "2024-5-1", "--colour", "--out", out};
  QTest::newRow("no output") << QStringList{kSample, "--date", "2024-5-1"};
  QTest::newRow("output without value") << QStringList{kSample, "--date", "2024-5-1", "--out"};
  QTest::newRow("unknown extension") << QStringList{kSample, "--date", "2024-5-1", "--out", "bad.bmp"};
  QTest::newRow("scale 0") << QStringList{kSample, "--date", "2024-5-1", "--scale", "0", "--out", out};
  QTest::newRow("scale too large") << QStringList{kSample, "--date", "2024-5-1", "--scale", "50", "--out", out};
  QTest::newRow("scale not a number") << QStringList{kSample, "--date", "2024-5-1", "--scale", "x", "--out", out};
  QTest::newRow("no such created date") << QStringList{kSample, "--date", "2024-5-1", "--created", "2026-2-30", "--out", out};
  QTest::newRow("two data files") << QStringList{kSample, kSample, "--date", "2024-5-1", "--out", out};
  QTest::newRow("no data file") << QStringList{"--date", "2024-5-1", "--out", out};
}

void TestRenderCli::badArguments() {
  QFETCH(QStringList, args);
  QTemporaryDir here;
  for (QString& arg : args) {
    if (arg.startsWith(QLatin1String("bad."))) arg = here.filePath(arg);
  }
  const Run run = render(args);
  QCOMPARE(run.exitCode, 2);
  QVERIFY(run.err.contains(QStringLiteral("eqcircle render: ")));
  QVERIFY(run.out.isEmpty());
  QCOMPARE(QDir(here.path()).entryList(QDir::Files | QDir::NoDotAndDotDot).size(), 0);
}

void TestRenderCli::unreadableDataFile() {
  QTemporaryDir here;
  const QString out = here.filePath(QStringLiteral("sheet.png"));
  const QString missing = here.filePath(QStringLiteral("ない.txt"));
  const Run run = render({missing, "--date", "2024-5-1", "--out", out});
  QCOMPARE(run.exitCode, 1);
  QVERIFY2(run.err.contains(missing), qPrintable(run.err));
  QVERIFY(!QFile::exists(out));
}

void TestRenderCli::unwritableOutput() {
  QTemporaryDir here;
  const QString out = here.filePath(QStringLiteral("no-such-folder/sheet.png"));
  Run run = render({kSample, "--date", "2024-5-1", "--out", out});
  QCOMPARE(run.exitCode, 1);
  QVERIFY2(run.err.contains(out), qPrintable(run.err));
  QVERIFY(run.out.isEmpty());
  QVERIFY(!QFile::exists(out));
  // A folder where the file should go stays a folder, and nothing else appears.
  QVERIFY(QDir(here.path()).mkdir(QStringLiteral("taken.pdf")));
  run = render({kSample, "--date", "2024-5-1", "--out", here.filePath(QStringLiteral("taken.pdf"))});
  QCOMPARE(run.exitCode, 1);
  QCOMPARE(QDir(here.path()).entryList(QDir::Files | QDir::NoDotAndDotDot).size(), 0);
}

QTEST_GUILESS_MAIN(TestRenderCli)
#include "tst_render_cli.moc"
