// `eqcircle render --from --to` as a separate process: each frame is the sheet a
// single render of its date gives, the stdout lines, the animated WebP read back
// with libwebp's demuxer, bad ranges and patterns, and a frame that cannot be written.

#include "common/files.h"
#include "common/process.h"

#include <webp/demux.h>

#include <QTemporaryDir>
#include <QtTest>

using namespace eq::test;

namespace {

const QString kData = QStringLiteral(EQ_SOURCE_DIR "/examples/recent.txt");

Run render(const QStringList& args, const QString& folder = {}) {
  return runEqcircle(QStringList{QStringLiteral("render"), kData} + args, {}, folder);
}

QStringList filesIn(const QString& folder) { return QDir(folder).entryList(QDir::Files, QDir::Name); }

struct Animation {
  int frames = 0;
  int width = 0;
  int height = 0;
  int loops = -1;
  QList<int> durations;
};

Animation readWebp(const QString& path) {
  const QByteArray bytes = readFile(path);
  WebPData data{reinterpret_cast<const uint8_t*>(bytes.constData()), static_cast<size_t>(bytes.size())};
  Animation a;
  WebPDemuxer* demux = WebPDemux(&data);
  if (!demux) return a;
  a.frames = static_cast<int>(WebPDemuxGetI(demux, WEBP_FF_FRAME_COUNT));
  a.width = static_cast<int>(WebPDemuxGetI(demux, WEBP_FF_CANVAS_WIDTH));
  a.height = static_cast<int>(WebPDemuxGetI(demux, WEBP_FF_CANVAS_HEIGHT));
  a.loops = static_cast<int>(WebPDemuxGetI(demux, WEBP_FF_LOOP_COUNT));
  WebPIterator it;
  if (WebPDemuxGetFrame(demux, 1, &it)) {
    do {
      a.durations << it.duration;
    } while (WebPDemuxNextFrame(&it));
    WebPDemuxReleaseIterator(&it);
  }
  WebPDemuxDelete(demux);
  return a;
}

}  // namespace

class TestDateSeries : public QObject {
  Q_OBJECT
 private slots:
  void framesAreSingleRenders_data() {
    QTest::addColumn<QString>("pattern");
    QTest::addColumn<QStringList>("options");
    QTest::addColumn<QStringList>("names");
    // 30 December 2024 every 2 days up to 3 January 2025: across the year's end.
    QTest::newRow("png by date") << "sheet-{date}.png" << QStringList()
                                 << QStringList{"sheet-2024-12-30.png", "sheet-2025-01-01.png", "sheet-2025-01-03.png"};
    QTest::newRow("json by number") << "{n}.json" << QStringList{"--title", "試験"}
                                    << QStringList{"0001.json", "0002.json", "0003.json"};
    QTest::newRow("png without background, scaled") << "{n}.png" << QStringList{"--no-background", "--scale", "0.5"}
                                                    << QStringList{"0001.png", "0002.png", "0003.png"};
  }

  void framesAreSingleRenders() {
    QFETCH(QString, pattern);
    QFETCH(QStringList, options);
    QFETCH(QStringList, names);
    QTemporaryDir dir;
    const QStringList fixed = options + QStringList{"--created", "2026-12-6"};
    const Run run = render(fixed + QStringList{"--from", "2024-12-30", "--to", "2025-1-4", "--step", "2", "--out",
                                               dir.filePath(pattern)});
    QVERIFY2(run.exitCode == 0, qPrintable(run.err));
    QCOMPARE(filesIn(dir.path()), names);

    const QStringList dates = {"2024-12-30", "2025-1-1", "2025-1-3"};
    const QStringList isoDates = {"2024-12-30", "2025-01-01", "2025-01-03"};
    QStringList lines;
    for (int i = 0; i < 3; ++i) lines << isoDates[i] + '\t' + dir.filePath(names[i]);
    QCOMPARE(run.out, lines.join('\n') + '\n');

    for (int i = 0; i < 3; ++i) {
      const QString single = dir.filePath(QStringLiteral("single.") + QFileInfo(names[i]).suffix());
      const Run one = render(fixed + QStringList{"--date", dates[i], "--out", single});
      QVERIFY2(one.exitCode == 0, qPrintable(one.err));
      const QString frame = dir.filePath(names[i]);
      if (frame.endsWith(QLatin1String(".json"))) {
        QCOMPARE(readFile(frame), readFile(single));
      } else {
        const QImage expected = QImage(single).convertToFormat(QImage::Format_RGB32);
        QVERIFY(!expected.isNull());
        QCOMPARE(QImage(frame).convertToFormat(QImage::Format_RGB32), expected);
      }
    }
  }

  void animation_data() {
    QTest::addColumn<QStringList>("options");
    QTest::addColumn<QSize>("size");
    QTest::addColumn<int>("duration");
    QTest::newRow("default rate") << QStringList() << QSize(1200, 853) << 100;
    QTest::newRow("4 a second, half size") << QStringList{"--fps", "4", "--scale", "0.5"} << QSize(600, 427) << 250;
  }

  void animation() {
    QFETCH(QStringList, options);
    QFETCH(QSize, size);
    QFETCH(int, duration);
    QTemporaryDir dir;
    const QString out = dir.filePath(QStringLiteral("sheets.webp"));
    // 28 February to 3 March 2024: a leap day among the five frames.
    const Run run = render(options + QStringList{"--from", "2024-2-28", "--to", "2024-3-3", "--out", out});
    QVERIFY2(run.exitCode == 0, qPrintable(run.err));
    QCOMPARE(run.out.count(QStringLiteral("\t") + out + '\n'), 5);
    QVERIFY(run.out.startsWith(QLatin1String("2024-02-28\t")));
    QVERIFY(run.out.contains(QLatin1String("2024-02-29\t")));
    QCOMPARE(filesIn(dir.path()), QStringList{"sheets.webp"});
    const Animation a = readWebp(out);
    QCOMPARE(a.frames, 5);
    QCOMPARE(QSize(a.width, a.height), size);
    QCOMPARE(a.loops, 0);  // for ever
    QCOMPARE(a.durations, QList<int>(5, duration));
  }

  void badArguments_data() {
    QTest::addColumn<QStringList>("args");
    QTest::addColumn<QString>("message");
    const auto range = [](const QString& from, const QString& to) { return QStringList{"--from", from, "--to", to}; };
    QTest::newRow("to before from") << range("2025-1-2", "2025-1-1") + QStringList{"--out", "{n}.png"} << "より前";
    QTest::newRow("step 0") << range("2025-1-1", "2025-1-9") + QStringList{"--step", "0", "--out", "{n}.png"}
                            << "--step";
    QTest::newRow("step not a number") << range("2025-1-1", "2025-1-9") + QStringList{"--step", "x", "--out", "{n}.png"}
                                       << "--step";
    // 1 January 1800 to 1 January 2100 is 109,574 days.
    QTest::newRow("too many frames") << range("1800-1-1", "2100-1-1") + QStringList{"--out", "{n}.png"} << "100000";
    QTest::newRow("no placeholder") << range("2025-1-1", "2025-1-2") + QStringList{"--out", "x.png"} << "{date}";
    QTest::newRow("with --date") << range("2025-1-1", "2025-1-2") + QStringList{"--date", "2025-1-1", "--out", "{n}.png"}
                                 << "--date";
    QTest::newRow("no --to") << QStringList{"--from", "2025-1-1", "--out", "{n}.png"} << "--to";
    QTest::newRow("not a calendar date") << range("2025-2-30", "2025-3-2") + QStringList{"--out", "{n}.png"} << "--from";
    QTest::newRow("placeholder in webp") << range("2025-1-1", "2025-1-2") + QStringList{"--out", "{n}.webp"} << "WebP";
    QTest::newRow("fps for png") << range("2025-1-1", "2025-1-2") + QStringList{"--fps", "5", "--out", "{n}.png"}
                                 << "--fps";
    QTest::newRow("fps 0") << range("2025-1-1", "2025-1-2") + QStringList{"--fps", "0", "--out", "a.webp"} << "--fps";
    QTest::newRow("step without range") << QStringList{"--date", "2025-1-1", "--step", "2", "--out", "a.png"}
                                        << "--step";
  }

  void badArguments() {
    QFETCH(QStringList, args);
    QFETCH(QString, message);
    QTemporaryDir dir;
    const Run run = render(args, dir.path());
    QCOMPARE(run.exitCode, 2);
    QVERIFY2(run.err.section('\n', 0, 0).contains(message), qPrintable(run.err));
    QCOMPARE(filesIn(dir.path()), QStringList());
  }

  // The second of three frames goes to a folder that is not there: the first stays
  // complete, nothing else is written, and the command fails with the path.
  void failedFrame() {
    QTemporaryDir dir;
    QVERIFY(QDir(dir.path()).mkdir(QStringLiteral("2025-01-01")));
    const QString pattern = dir.filePath(QStringLiteral("{date}/sheet.png"));
    const Run run = render({"--from", "2025-1-1", "--to", "2025-1-3", "--out", pattern});
    QCOMPARE(run.exitCode, 1);
    QVERIFY2(run.err.contains(dir.filePath(QStringLiteral("2025-01-02/sheet.png"))), qPrintable(run.err));
    QCOMPARE(run.out, "2025-01-01\t" + dir.filePath(QStringLiteral("2025-01-01/sheet.png")) + '\n');
    QCOMPARE(QDir(dir.path()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot), QStringList{"2025-01-01"});
    QCOMPARE(filesIn(dir.filePath(QStringLiteral("2025-01-01"))), QStringList{"sheet.png"});
    QCOMPARE(QImage(dir.filePath(QStringLiteral("2025-01-01/sheet.png"))).size(), QSize(1200, 853));
  }
};

QTEST_GUILESS_MAIN(TestDateSeries)
#include "tst_date_series.moc"
