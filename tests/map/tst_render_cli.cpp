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

// The sample file drawn for 1 May 2024 into `out`, with these further options.
QStringList sampleArgs(const QString& out, const QStringList& more = {}) {
  return QStringList{kSample, "--date", "2024-5-1", "--out", out} + more;
}

QJsonObject readJson(const QString& path) {
  QFile file(path);
  if (!file.open(QIODevice::ReadOnly)) return {};
  return QJsonDocument::fromJson(file.readAll()).object();
}

QStringList filesIn(const QTemporaryDir& dir) { return QDir(dir.path()).entryList(QDir::Files | QDir::NoDotAndDotDot); }

}  // namespace

class TestRenderCli : public QObject {
  Q_OBJECT
 private slots:
  void pngSize_data();
  void pngSize();
  void vectorFormats_data();
  void vectorFormats();
  void jsonSheet();
  void rowsOption_data();
  void rowsOption();
  void stdoutLines();
  void backgroundBesideTheProgram();
  void badArguments_data();
  void badArguments();
  void cannotReadOrWrite_data();
  void cannotReadOrWrite();

 private:
  QTemporaryDir dir;
};

void TestRenderCli::pngSize_data() {
  QTest::addColumn<QStringList>("scale");
  QTest::addColumn<QSize>("size");
  QTest::newRow("default") << QStringList() << QSize(1200, 853);
  QTest::newRow("2") << QStringList{"--scale", "2"} << QSize(2400, 1707);
  QTest::newRow("0.5") << QStringList{"--scale", "0.5"} << QSize(600, 427);
}

void TestRenderCli::pngSize() {
  QFETCH(QStringList, scale);
  QFETCH(QSize, size);
  const QString out = dir.filePath(QStringLiteral("size.png"));
  const Run run = render(sampleArgs(out, QStringList{"--no-background"} + scale));
  QVERIFY2(run.exitCode == 0, qPrintable(run.err));
  QCOMPARE(QImage(out).size(), size);
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
  const Run run = render(sampleArgs(out));
  QVERIFY2(run.exitCode == 0, qPrintable(run.err));
  QFile file(out);
  QVERIFY(file.open(QIODevice::ReadOnly));
  QCOMPARE(file.read(start.size()), start);
}

void TestRenderCli::jsonSheet() {
  const QString out = dir.filePath(QStringLiteral("sheet.json"));
  const Run run = render(sampleArgs(out, {"--no-background", "--title", "試験の題", "--created", "2026-12-6"}));
  QVERIFY2(run.exitCode == 0, qPrintable(run.err));
  const QJsonObject root = readJson(out);
  QCOMPARE(root.value("width").toInt(), 18000);
  QCOMPARE(root.value("height").toInt(), 12800);
  QVERIFY(root.value("background").isNull());
  QCOMPARE(root.value("countLabel").toString(), QStringLiteral("描画データ数  =  3"));
  QCOMPARE(root.value("warningVisible").toBool(), true);

  const QJsonArray rows = root.value("rows").toArray();
  QCOMPARE(rows.size(), 10);
  QStringList states;
  for (int i = 0; i < 10; ++i) {
    const QJsonObject row = rows[i].toObject();
    QCOMPARE(row.value("row").toInt(), i + 1);
    states << row.value("state").toString();
    QCOMPARE(row.value("radiusKm").isNull(), i >= 3);
  }
  QCOMPARE(states.join(' '), QStringLiteral("drawn drawn drawn excluded unticked unticked unticked unticked unticked "
                                            "unticked"));
  QVERIFY(rows[2].toObject().value("radiusKm").toDouble() < 0);  // 24 years: no circle

  QMap<QString, int> counts;
  QStringList texts;
  for (const auto& v : root.value("items").toArray()) {
    const QJsonObject o = v.toObject();
    const QString type = o.value("type").toString();
    ++counts[type == "circle" ? (o.value("fill").isNull() ? "ring" : "marker") : type];
    if (type == "text") texts << o.value("text").toString();
  }
  QCOMPARE(counts.value("point"), 3804);
  QCOMPARE(counts.value("line"), 12);
  QCOMPARE(counts.value("marker"), 3);
  QCOMPARE(counts.value("ring"), 2);
  for (const char* text : {"試験の題", "2026年 12月 6日", " 2024年 5月 1日", " 1=桜島"})
    QVERIFY2(texts.contains(QString::fromUtf8(text)), text);
}

void TestRenderCli::rowsOption_data() {
  QTest::addColumn<QString>("rows");
  QTest::addColumn<QString>("states");
  QTest::newRow("1,4") << "1,4" << "drawn unticked unticked excluded unticked";
  QTest::newRow("all: the row without a year is skipped") << "all" << "drawn drawn drawn excluded skipped";
}

void TestRenderCli::rowsOption() {
  QFETCH(QString, rows);
  QFETCH(QString, states);
  const QString out = dir.filePath(QStringLiteral("rows.json"));
  const Run run = render(sampleArgs(out, {"--no-background", "--rows", rows}));
  QVERIFY2(run.exitCode == 0, qPrintable(run.err));
  const QJsonArray got = readJson(out).value("rows").toArray();
  QStringList first;
  for (int i = 0; i < 5; ++i) first << got[i].toObject().value("state").toString();
  QCOMPARE(first.join(' '), states);
}

void TestRenderCli::stdoutLines() {
  const Run run = render(sampleArgs(dir.filePath(QStringLiteral("lines.json")), {"--no-background"}));
  QVERIFY2(run.exitCode == 0, qPrintable(run.err));
  const QStringList lines = run.out.split('\n', Qt::SkipEmptyParts);
  QCOMPARE(lines.size(), 10);
  const QStringList first = lines[0].split('\t');
  QCOMPARE(first.mid(0, 3), (QStringList{"1", "桜島", "drawn"}));
  QCOMPARE(first.size(), 4);
  QVERIFY(first[3].toDouble() > 200 && first[3].toDouble() < 250);
  QCOMPARE(lines[3].split('\t').value(2), QStringLiteral("excluded"));
}

void TestRenderCli::backgroundBesideTheProgram() {
  if (!QFile::exists(QFileInfo(kProgram).dir().filePath(QStringLiteral("JapanMap3.bmp")))) {
    QSKIP("no JapanMap3.bmp beside the program");
  }
  const QString out = dir.filePath(QStringLiteral("background.json"));
  const Run run = render(sampleArgs(out));
  QVERIFY2(run.exitCode == 0, qPrintable(run.err));
  QCOMPARE(readJson(out).value("background").toString(), QStringLiteral("JapanMap3.bmp"));
}

void TestRenderCli::badArguments_data() {
  QTest::addColumn<QStringList>("args");
  const QString out = QStringLiteral("bad.png");
  const QStringList date{kSample, "--date", "2024-5-1"};
  QTest::newRow("no date") << QStringList{kSample, "--out", out};
  QTest::newRow("date without day") << QStringList{kSample, "--date", "2024-5", "--out", out};
  QTest::newRow("date with letters") << QStringList{kSample, "--date", "2024-May-1", "--out", out};
  QTest::newRow("date with an empty part") << QStringList{kSample, "--date", "2024--1", "--out", out};
  QTest::newRow("row 0") << date + QStringList{"--rows", "0", "--out", out};
  QTest::newRow("row 11") << date + QStringList{"--rows", "1,11", "--out", out};
  QTest::newRow("rows not numbers") << date + QStringList{"--rows", "one", "--out", out};
  QTest::newRow("unknown option") << date + QStringList{"--colour", "--out", out};
  QTest::newRow("no output") << date;
  QTest::newRow("output without value") << date + QStringList{"--out"};
  QTest::newRow("unknown extension") << date + QStringList{"--out", "bad.bmp"};
  QTest::newRow("scale 0") << date + QStringList{"--scale", "0", "--out", out};
  QTest::newRow("scale too large") << date + QStringList{"--scale", "50", "--out", out};
  QTest::newRow("scale not a number") << date + QStringList{"--scale", "x", "--out", out};
  QTest::newRow("no such created date") << date + QStringList{"--created", "2026-2-30", "--out", out};
  QTest::newRow("two data files") << QStringList{kSample} + date + QStringList{"--out", out};
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
  const Run run = render({dataPath, "--date", "2024-5-1", "--out", here.filePath(out)});
  QCOMPARE(run.exitCode, 1);
  QVERIFY2(run.err.contains(here.filePath(named)), qPrintable(run.err));
  QVERIFY(run.out.isEmpty());
  QCOMPARE(filesIn(here), QStringList());
}

QTEST_GUILESS_MAIN(TestRenderCli)
#include "tst_render_cli.moc"
