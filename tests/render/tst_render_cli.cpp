// `eqcircle` as a separate process: start-up options that end before any window; `render` against
// the golden image and hand-worked JSON and stdout lines, its options and failures, a run where any
// widget or QApplication aborts it; with --from --to, frames equal to single renders, the animated
// WebP read back with libwebp's demuxer, bad ranges and a frame that cannot be written.

#include "common/files.h"
#include "common/process.h"

#include <QtTest>
#include <webp/demux.h>

using namespace eq::test;

namespace {

const QString kSample = QStringLiteral(EQ_SOURCE_DIR "/tests/data/render_sample.txt");

// The sample file (rows 1 ... 4 named, row 4 after the date) drawn for 1 May 2024.
Run render(const QString& out, const QStringList& more = {}, const QStringList& environment = {}) {
  return runEqcircle(QStringList{"render", kSample, "--date", "2024-5-1", "--out", out} + more, environment);
}
const QStringList kFixed{"--no-background", "--title", "試験用の地震サークル", "--created", "2026-12-6"};

QJsonObject readJson(const QString& path) { return QJsonDocument::fromJson(readFile(path)).object(); }
// An item or a crossing as "x y", to two decimals.
QString at(const QJsonObject& o) {
  return QStringLiteral("%1 %2").arg(o.value("x").toDouble(), 0, 'f', 2).arg(o.value("y").toDouble(), 0, 'f', 2);
}

// Five eruptions of 1 Jan 2024 drawn for 1 May 2024: four mean months (122.36 days) give
// circles of 591.651 km (1774.954 map units). Rows 1 and 2 at 35 N 120 and 122 E cross each other only, at x = 9000 - 14 x
// cos 35 deg x 40075 / 360 x 3 = 5170.12. Rows 3 to 5 at 54 N 134, 135 and 136 E cross
// pairwise within 8 km of the third circle (support 3), half of it above the sheet. Row 1's
// name holds a TAB and a backslash (UTF-8, so the backslash is one).
const QByteArray kCrossingData =
    "\xEF\xBB\xBF" "1,\"a\tb\\d\",2024,1,1,35,120\r\n2,\"b\",2024,1,1,35,122\r\n3,\"c\",2024,1,1,54,134\r\n"
    "4,\"d\",2024,1,1,54,135\r\n5,\"e\",2024,1,1,54,136\r\n";

const QString kData = QStringLiteral(EQ_SOURCE_DIR "/examples/recent.txt");
const QString kQuakes = QStringLiteral(EQ_SOURCE_DIR "/examples/quakes-sample.csv");

Run renderSeries(const QStringList& args, const QString& folder = {}) {
  return runEqcircle(QStringList{QStringLiteral("render"), kData} + args, {}, folder);
}

// The pixels per metre a PNG file states in its pHYs chunk; 0 when it states none.
int pngDotsPerMeter(const QString& path) {
  const QByteArray bytes = readFile(path);
  const qsizetype at = bytes.indexOf("pHYs");
  if (at < 0 || bytes.size() < at + 13 || bytes[at + 12] != 1) return 0;  // unit 1: the metre
  const auto x = qFromBigEndian<quint32>(bytes.constData() + at + 4);
  return x == qFromBigEndian<quint32>(bytes.constData() + at + 8) ? static_cast<int>(x) : -1;
}

QStringList filesIn(const QString& folder) { return QDir(folder).entryList(QDir::Files, QDir::Name); }

struct Animation {
  int frames = 0, width = 0, height = 0, loops = -1;
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

class TestRenderCli : public QObject {
  Q_OBJECT
 private slots:
  // The same sheet as it was always rendered, pixel for pixel (the fonts are the ones
  // the set-up installs).
  void goldenSheet() {
    const QString out = dir.filePath(QStringLiteral("sheet.png"));
    const Run run = render(out, kFixed);
    QVERIFY2(run.exitCode == 0, qPrintable(run.err));
    const QString mismatch = eq::test::goldenMismatch(QImage(out), QStringLiteral("golden_sheet.png"), 0, 0);
    QVERIFY2(mismatch.isEmpty(), qPrintable(mismatch));
    QCOMPARE(pngDotsPerMeter(out), 3780);  // 96 dpi: 1200 pixels print 12.5 inches, the sheet's 18000 twips
    QVERIFY(render(out, kFixed + QStringList{"--scale", "0.5"}).exitCode == 0);
    QCOMPARE(QImage(out).size(), QSize(600, 427));
    QCOMPARE(pngDotsPerMeter(out), 1890);
  }

  // The same sheet gives the same PDF in any time zone and at any time: its creation date
  // is --created's (or SOURCE_DATE_EPOCH's) midnight, its identifier comes from its bytes.
  // qpdf finds the cross-references right after the date took the place of Qt's.
  void pdfIsReproducible_data() {
    QTest::addColumn<QStringList>("options");
    QTest::addColumn<QString>("environment");
    QTest::newRow("in Japan") << kFixed << "TZ=JST-9";
    QTest::newRow("SOURCE_DATE_EPOCH at noon of that day") << kFixed.mid(0, 3) << "SOURCE_DATE_EPOCH=1796558400";
  }
  void pdfIsReproducible() {
    QFETCH(QStringList, options);
    QFETCH(QString, environment);
    const QString first = dir.filePath(QStringLiteral("first.pdf")), second = dir.filePath(QStringLiteral("second.pdf"));
    QCOMPARE(render(first, kFixed, {"TZ=UTC"}).exitCode, 0);
    QCOMPARE(render(second, options, {environment}).exitCode, 0);
    QCOMPARE(readFile(second), readFile(first));
    QVERIFY(readFile(first).contains("/CreationDate (D:20261206000000Z)"));
    QVERIFY(readFile(first).contains("/ID [<"));
    QProcess qpdf;
    qpdf.start(QStringLiteral("qpdf"), {"--check", second});
    QVERIFY(qpdf.waitForFinished() && qpdf.exitCode() == 0);
  }

  // Below scale 1 too, every dot of the graticule keeps its ink: the pixel under its middle
  // (a dot covers 15 map units) is not white.
  void graticuleAtEveryScale() {
    const Run json = render(dir.filePath(QStringLiteral("dots.json")), kFixed);
    QVERIFY2(json.exitCode == 0, qPrintable(json.err));
    QList<QPointF> dots;
    for (const auto& v : readJson(dir.filePath(QStringLiteral("dots.json"))).value("items").toArray()) {
      const QJsonObject o = v.toObject();
      if (o.value("type") == "point") dots << QPointF(o.value("x").toDouble() + 7.5, o.value("y").toDouble() + 7.5);
    }
    QCOMPARE(dots.size(), 3804);
    for (const double scale : {0.1, 0.25, 0.5, 0.75, 1.0, 1.5, 4.0}) {
      const QString out = dir.filePath(QStringLiteral("scaled.png"));
      QVERIFY(render(out, kFixed + QStringList{"--scale", QString::number(scale)}).exitCode == 0);
      const QImage image(out);
      int lost = 0;
      for (const QPointF& dot : dots) lost += image.pixel(static_cast<int>(dot.x() * scale / 15), static_cast<int>(dot.y() * scale / 15)) == qRgb(255, 255, 255);
      QVERIFY2(lost == 0, qPrintable(QStringLiteral("scale %1: %2 dots lost").arg(scale).arg(lost)));
    }
  }

  // Radii from the day numbers: (3.129 - ln(days / 365.25)) / 0.007137 km; the marker of
  // 31.58 N 130.66 E and the title of ten characters at column 73.1 - 5, line 51.
  void jsonSheetAndLines() {
    const QString out = dir.filePath(QStringLiteral("sheet.json"));
    const Run run = render(out, kFixed);
    QVERIFY2(run.exitCode == 0, qPrintable(run.err));
    QStringList lines = run.out.split('\n');
    QCOMPARE(lines.takeLast(), QString());
    QCOMPARE(lines.mid(0, 5), (QStringList{"1\t桜島\tdrawn\t228.35", "2\t浅間山\tdrawn\t21.04", "3\t有珠山\tdrawn\t-",
                                            "4\t未来山\texcluded\t-", "5\t\tunticked\t-"}));
    QCOMPARE(lines.size(), 10);

    const QJsonObject root = readJson(out);
    QVERIFY(root.value("background").isNull());
    QCOMPARE(root.value("countLabel").toString(), QStringLiteral("描画データ数  =  3"));
    QVERIFY(root.value("warningVisible").toBool());
    const QJsonArray rows = root.value("rows").toArray();
    QVERIFY(rows.size() == 10 && rows[3].toObject().value("state") == "excluded");
    QVERIFY(rows[0]["circle"].toBool() && !rows[2]["circle"].toBool() && rows[2]["radiusKm"].isNull());

    QMap<QString, QList<QJsonObject>> byType;
    for (const auto& v : root.value("items").toArray()) {
      const QJsonObject o = v.toObject();
      byType[o.value("type").toString() + (o.value("fill").isString() ? "+" : "")] << o;
    }
    QCOMPARE(byType.value("point").size(), 3804);
    QCOMPARE(byType.value("line").size(), 12);
    QCOMPARE(byType.value("circle+").size(), 3);  // markers
    QCOMPARE(byType.value("circle").size(), 2);   // 24 years ago: no circle for 有珠山
    const auto item = [](const QJsonObject& o) {
      return at(o) + QStringLiteral(" %1 %2").arg(o.value("r").toDouble(), 0, 'f', 2)
                         .arg(o.value("color").toString() + o.value("text").toString());
    };
    QCOMPARE(item(byType.value("circle+")[0]), QStringLiteral("7765.26 7472.59 20.00 #ff0000"));
    QCOMPARE(item(byType.value("circle")[0]), QStringLiteral("7765.26 7472.59 685.06 #ff0000"));
    QCOMPARE(item(byType.value("text").last()), QStringLiteral("8172.00 12240.00 0.00 #ff0000試験用の地震サークル"));
  }

  // The sample's quakes over the sheet of 1 March 2011 (all of them with --quake-days 0,
  // Tohoku's ten days on with 10): listed with their numbers, drawn as discs of their own
  // colour; and the hindcast's reports, the same for the same seed.
  void quakesOverTheSheetAndTheHindcast() {
    const QString out = dir.filePath(QStringLiteral("quakes.json"));
    const QStringList args{"render", EQ_SOURCE_DIR "/examples/all-ten.txt", "--date", "2011-3-1", "--quakes", kQuakes, "--out", out};
    for (const auto& [days, count] : {std::pair{"0", 9}, std::pair{"10", 1}}) {
      const Run run = runEqcircle(args + QStringList{"--quake-days", days});
      QVERIFY2(run.exitCode == 0, qPrintable(run.err));
      const QJsonArray quakes = readJson(out).value("quakes").toArray();
      QCOMPARE(quakes.size(), count);
      const QJsonObject q = quakes.last().toObject();
      QCOMPARE(q.value("date").toString(), count == 1 ? QStringLiteral("2011-03-11") : QStringLiteral("2000-10-06"));
      QVERIFY(q.value("onSheet").toBool() && q.value("nearestCircleKm").toDouble() > 0 && q.contains("support"));
    }
    QStringList reports;
    for (const QString name : {"h.json", "again.json", "h.csv", "h.png", "h.svg"}) {
      const QString report = dir.filePath(name);
      const Run run = runEqcircle({"hindcast", EQ_SOURCE_DIR "/examples/all-ten.txt", "--quakes", kQuakes,
                                   "--permutations", "200", "--seed", "7", "--out", report});
      QVERIFY2(run.exitCode == 0 && run.out.contains("p = "), qPrintable(run.err));
      reports << report;
    }
    QCOMPARE(readFile(reports[0]), readFile(reports[1]));
    const QJsonObject root = readJson(reports[0]);
    QCOMPARE(root.value("quakes").toArray().size(), 9);
    QCOMPARE(root.value("molchan").toArray().size(), 30);
    QCOMPARE(root.value("seed").toInt(), 7);
    QCOMPARE(QString(readFile(reports[2])).count("\r\n"), 10);
    QCOMPARE(QImage(reports[3]).size(), QSize(1200, 853));
    QVERIFY(readFile(reports[4]).contains("</svg>"));
  }

  // Blue rings on the crossings on the sheet, the crossings best supported first, and the
  // row lines with the name's own TAB and backslash escaped.
  void crossingsAndEscapes() {
    const QString data = writeFile(dir.filePath(QStringLiteral("crossing.txt")), kCrossingData);
    const QString out = dir.filePath(QStringLiteral("crossings.json"));
    const Run run = runEqcircle({"render", data, "--date", "2024-5-1", "--crossings", "--out", out});
    QVERIFY2(run.exitCode == 0, qPrintable(run.err));
    QCOMPARE(run.out.section('\n', 0, 0), QStringLiteral("1\ta\\tb\\\\d\tdrawn\t591.65"));

    const QJsonObject root = readJson(out);
    QCOMPARE(root.value("circleMode").toString(), QStringLiteral("classic"));
    QStringList pairs, onSheet, rings;
    for (const auto& v : root.value("crossings").toArray()) {
      const QJsonObject c = v.toObject();
      const QJsonArray rows = c.value("rows").toArray();
      pairs << QStringLiteral("%1-%2:%3").arg(rows[0].toInt()).arg(rows[1].toInt()).arg(c.value("support").toInt());
      if (c.value("onSheet").toBool()) onSheet << at(c);
      QVERIFY(c.value("lat").isDouble() && c.value("lon").isDouble());
    }
    QCOMPARE(pairs.join(' '), QStringLiteral("3-4:3 3-4:3 3-5:3 3-5:3 4-5:3 4-5:3 1-2:2 1-2:2"));
    QCOMPARE(onSheet.size(), 5);
    QVERIFY(onSheet.last().startsWith(QLatin1String("5170.12 ")));
    for (const auto& v : root.value("items").toArray()) {
      const QJsonObject o = v.toObject();
      if (o.value("color") != "#0000ff" || o.value("type") != "circle") continue;
      QVERIFY(o.value("r").toDouble() == 60 && !o.value("fill").isString());
      rings << at(o);
    }
    QCOMPARE(rings, onSheet);
  }

  // Map data from a file with LF line ends: a circle across the antimeridian is split,
  // one that cannot be written is left out and named, a row without a circle says so.
  void mapDataOnTheGlobe() {
    const QString data = writeFile(dir.filePath(QStringLiteral("globe.txt")),
                                   "1,\"Little Sitkin\",2024,1,1,51.95,178.54\n2,\"far\",2024,1,1,0,-80\n"
                                   "3,\"today\",2024,5,1,35,135\n");
    const QString out = dir.filePath(QStringLiteral("globe.geojson"));
    const Run run = runEqcircle({"render", data, "--date", "2024-5-1", "--out", out});
    QVERIFY2(run.exitCode == 0, qPrintable(run.err));
    QCOMPARE(run.out.split('\n').mid(0, 3), (QStringList{"1\tLittle Sitkin\tdrawn\t591.65", "2\tfar\tdrawn\t591.65",
                                                         "3\ttoday\tdrawn\t-"}));
    QVERIFY2(run.err.contains(QStringLiteral("2行目の円は")), qPrintable(run.err));
    const QJsonArray features = readJson(out).value("features").toArray();
    QStringList kinds;
    for (const QJsonValue f : features) kinds << f["geometry"]["type"].toString() + " " + f["properties"]["kind"].toString();
    QCOMPARE(kinds.mid(0, 4), QStringList({"Point volcano", "Point volcano", "Point volcano", "MultiPolygon circle"}));
    QVERIFY(features[2]["properties"]["radiusKm"].isNull() && !features[2]["properties"]["circle"].toBool());
  }

  // The true-distance circles as closed lines, and the map data files.
  void circleModesAndMapData_data() {
    QTest::addColumn<QStringList>("options");
    QTest::addColumn<QString>("out");
    QTest::addColumn<QString>("starts");  // how the file begins
    QTest::newRow("geodesic") << QStringList{"--circles", "geodesic"} << "g.json" << "{";
    QTest::newRow("GeoJSON") << QStringList{"--tolerance", "10"} << "m.geojson" << "{\"type\":\"FeatureCollection\"";
    QTest::newRow("KML") << QStringList() << "m.kml" << "<?xml";
  }
  void circleModesAndMapData() {
    QFETCH(QStringList, options);
    QFETCH(QString, out);
    QFETCH(QString, starts);
    const Run run = render(dir.filePath(out), options);
    QVERIFY2(run.exitCode == 0, qPrintable(run.err));
    const QByteArray bytes = readFile(dir.filePath(out));
    QVERIFY2(bytes.startsWith(starts.toUtf8()), bytes.left(80).constData());
    if (!out.endsWith(".json")) return;
    const QJsonObject root = QJsonDocument::fromJson(bytes).object();
    QCOMPARE(root.value("circleMode").toString(), QStringLiteral("geodesic"));
    int polylines = 0, circles = 0;
    for (const auto& v : root.value("items").toArray()) {
      polylines += v.toObject().value("type") == "polyline";
      circles += v.toObject().value("type") == "circle";
    }
    QCOMPARE(polylines, 2);  // no circle for 有珠山
    QCOMPARE(circles, 3);    // the markers
  }

  void rowsAndBackground_data() {
    QTest::addColumn<QStringList>("options");
    QTest::addColumn<QString>("states");  // rows 1 ... 5
    QTest::addColumn<bool>("background");
    QTest::newRow("rows 1 and 4") << QStringList{"--rows", "1,4", "--no-background"}
                                  << "drawn unticked unticked excluded unticked" << false;
    QTest::newRow("all: the row without a year is skipped") << QStringList{"--rows", "all", "--no-background"}
                                                            << "drawn drawn drawn excluded skipped" << false;
    QTest::newRow("the map beside the program") << QStringList() << "drawn drawn drawn excluded unticked" << true;
  }
  void rowsAndBackground() {
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

  // Bad arguments end with status 2 and the usage; a data file that cannot be read or an
  // output that cannot be written with 1. A message names what is wrong; nothing is printed
  // on stdout and no file is left behind.
  void failures_data() {
    QTest::addColumn<QStringList>("args");  // "@" stands for a fresh folder
    QTest::addColumn<int>("status");
    QTest::addColumn<QString>("named");
    const QStringList date{kSample, "--date", "2024-5-1", "--out"};
    QTest::newRow("no date") << QStringList{kSample, "--out", "@/a.png"} << 2 << "--date";
    QTest::newRow("date with letters") << QStringList{kSample, "--date", "2024-May-1", "--out", "@/a.png"} << 2
                                       << "2024-May-1";
    QTest::newRow("row 11") << date + QStringList{"@/a.png", "--rows", "1,11"} << 2 << "1,11";
    QTest::newRow("unknown extension") << date + QStringList{"@/a.bmp"} << 2 << "@/a.bmp";
    QTest::newRow("no such circle mode") << date + QStringList{"@/a.png", "--circles", "round"} << 2 << "round";
    QTest::newRow("negative tolerance") << date + QStringList{"@/a.png", "--tolerance", "-5"} << 2 << "-5";
    QTest::newRow("scale too large") << date + QStringList{"@/a.png", "--scale", "50"} << 2 << "50";
    QTest::newRow("no such created date") << date + QStringList{"@/a.png", "--created", "2026-2-30"} << 2
                                          << "2026-2-30";
    QTest::newRow("two data files") << QStringList{kSample} + date + QStringList{"@/a.png"} << 2 << kSample;
    QTest::newRow("missing data file") << QStringList{"@/ない.txt", "--date", "2024-5-1", "--out", "@/a.png"} << 1
                                       << "@/ない.txt";
    const QStringList notData{"--date", "2024-5-1", "--out", "@/a.png"};
    QTest::newRow("a picture") << QStringList{EQ_SOURCE_DIR "/docs/sheet.png"} + notData << 1 << "噴火データファイルではない";
    QTest::newRow("a text") << QStringList{EQ_SOURCE_DIR "/README.md"} + notData << 1 << EQ_SOURCE_DIR "/README.md";
    QTest::newRow("missing output folder") << date + QStringList{"@/no/a.png"} << 1 << "@/no/a.png";
    QTest::newRow("a folder in the output's place") << date + QStringList{"@/taken.pdf"} << 1 << "@/taken.pdf";
    // A century of frames would take hours to encode before the write failed.
    QTest::newRow("animation into a missing folder")
        << QStringList{kSample, "--from", "2000-1-1", "--to", "2099-12-31", "--out", "@/no/a.webp"} << 1 << "@/no/a.webp";
    QTest::newRow("missing catalogue") << date + QStringList{"@/a.png", "--quakes", "@/ない.csv"} << 1 << "@/ない.csv";
    QTest::newRow("eruption data as a catalogue") << date + QStringList{"@/a.png", "--quakes", kSample} << 1 << "USGS";
    QTest::newRow("magnitude without catalogue") << date + QStringList{"@/a.png", "--min-mag", "7"} << 2 << "--min-mag";
    QTest::newRow("magnitude beyond 10") << date + QStringList{"@/a.png", "--quakes", kQuakes, "--min-mag", "11"} << 2
                                         << "11";
    const QStringList hindcast{"hindcast", kSample, "--quakes", kQuakes, "--out"};
    QTest::newRow("hindcast without catalogue") << QStringList{"hindcast", kSample, "--out", "@/a.json"} << 2 << "--quakes";
    QTest::newRow("hindcast to a PDF") << hindcast + QStringList{"@/a.pdf"} << 2 << "@/a.pdf";
    QTest::newRow("hindcast with a date") << hindcast + QStringList{"@/a.json", "--date", "2024-5-1"} << 2 << "--date";
    QTest::newRow("no permutation") << hindcast + QStringList{"@/a.json", "--permutations", "0"} << 2 << "--permutations";
    QTest::newRow("seed below 0") << hindcast + QStringList{"@/a.json", "--seed", "-1"} << 2 << "--seed";
    QTest::newRow("report into a missing folder") << hindcast + QStringList{"@/no/a.csv"} << 1 << "@/no/a.csv";
  }
  void failures() {
    QFETCH(QStringList, args);
    QFETCH(int, status);
    QFETCH(QString, named);
    QTemporaryDir here;
    QVERIFY(QDir(here.path()).mkdir(QStringLiteral("taken.pdf")));
    const bool hindcast = args.value(0) == QLatin1String("hindcast");
    const Run run = runEqcircle((hindcast ? QStringList{} : QStringList{"render"}) + args.replaceInStrings("@", here.path()));
    QCOMPARE(run.exitCode, status);
    QVERIFY2(run.err.startsWith(hindcast ? "eqcircle hindcast: " : "eqcircle render: ") && run.err.contains(named.replace("@", here.path())) &&
                 run.err.contains("使い方") == (status == 2),
             qPrintable(run.err));
    QVERIFY(run.out.isEmpty());
    QCOMPARE(QDir(here.path()).entryList(QDir::Files), QStringList());
  }

  // With the shim preloaded the render command still writes its sheet, while the window
  // mode of the same program aborts at once: the shim bites, and rendering needs no widget.
  void noWidgetIsEverMade() {
    const QString preload = QStringLiteral("LD_PRELOAD=" EQ_NO_WIDGETS_SHIM);
    const QString out = dir.filePath(QStringLiteral("shim.png"));
    const Run rendered = render(out, {"--no-background"}, {preload});
    QVERIFY2(!rendered.crashed && rendered.exitCode == 0, qPrintable(rendered.err));
    QCOMPARE(QImage(out).size(), QSize(1200, 853));

    const Run window = runEqcircle({}, {preload, QStringLiteral("QT_QPA_PLATFORM=offscreen")});
    QVERIFY(window.crashed);
  }

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
    QTemporaryDir folder;
    const QStringList fixed = options + QStringList{"--created", "2026-12-6"};
    const Run run = renderSeries(fixed + QStringList{"--from", "2024-12-30", "--to", "2025-1-4", "--step", "2", "--out",
                                               folder.filePath(pattern)});
    QVERIFY2(run.exitCode == 0, qPrintable(run.err));
    QCOMPARE(filesIn(folder.path()), names);

    const QStringList dates = {"2024-12-30", "2025-1-1", "2025-1-3"};
    const QStringList isoDates = {"2024-12-30", "2025-01-01", "2025-01-03"};
    QStringList lines;
    for (int i = 0; i < 3; ++i) lines << isoDates[i] + '\t' + folder.filePath(names[i]);
    QCOMPARE(run.out, lines.join('\n') + '\n');

    for (int i = 0; i < 3; ++i) {
      const QString single = folder.filePath(QStringLiteral("single.") + QFileInfo(names[i]).suffix());
      const Run one = renderSeries(fixed + QStringList{"--date", dates[i], "--out", single});
      QVERIFY2(one.exitCode == 0, qPrintable(one.err));
      const QString frame = folder.filePath(names[i]);
      if (frame.endsWith(QLatin1String(".json"))) {
        QCOMPARE(readFile(frame), readFile(single));
      } else {
        const QImage expected = QImage(single).convertToFormat(QImage::Format_RGB32);
        QVERIFY(!expected.isNull());
        QCOMPARE(QImage(frame).convertToFormat(QImage::Format_RGB32), expected);
        QCOMPARE(pngDotsPerMeter(frame), expected.width() == 600 ? 1890 : 3780);
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
    QTemporaryDir folder;
    const QString out = folder.filePath(QStringLiteral("sheets.webp"));
    // 28 February to 3 March 2024: a leap day among the five frames.
    const Run run = renderSeries(options + QStringList{"--from", "2024-2-28", "--to", "2024-3-3", "--out", out});
    QVERIFY2(run.exitCode == 0, qPrintable(run.err));
    QCOMPARE(run.out.count(QStringLiteral("\t") + out + '\n'), 5);
    QVERIFY(run.out.startsWith(QLatin1String("2024-02-28\t")));
    QVERIFY(run.out.contains(QLatin1String("2024-02-29\t")));
    QCOMPARE(filesIn(folder.path()), QStringList{"sheets.webp"});
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
    QTemporaryDir folder;
    const Run run = renderSeries(args, folder.path());
    QCOMPARE(run.exitCode, 2);
    QVERIFY2(run.err.section('\n', 0, 0).contains(message), qPrintable(run.err));
    QCOMPARE(filesIn(folder.path()), QStringList());
  }

  // The second of three frames goes to a folder that is not there: the first stays
  // complete, nothing else is written, and the command fails with the path.
  void failedFrame() {
    QTemporaryDir folder;
    QVERIFY(QDir(folder.path()).mkdir(QStringLiteral("2025-01-01")));
    const QString pattern = folder.filePath(QStringLiteral("{date}/sheet.png"));
    const Run run = renderSeries({"--from", "2025-1-1", "--to", "2025-1-3", "--out", pattern});
    QCOMPARE(run.exitCode, 1);
    QVERIFY2(run.err.contains(folder.filePath(QStringLiteral("2025-01-02/sheet.png"))), qPrintable(run.err));
    QCOMPARE(run.out, "2025-01-01\t" + folder.filePath(QStringLiteral("2025-01-01/sheet.png")) + '\n');
    QCOMPARE(QDir(folder.path()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot), QStringList{"2025-01-01"});
    QCOMPARE(filesIn(folder.filePath(QStringLiteral("2025-01-01"))), QStringList{"sheet.png"});
    QCOMPARE(QImage(folder.filePath(QStringLiteral("2025-01-01/sheet.png"))).size(), QSize(1200, 853));
  }

  // A frame's line is on its way once its file is complete: a run stopped by SIGTERM,
  // which flushes nothing, has delivered the first frame's line by its tenth file.
  void linesArriveAsFramesComplete() {
    QTemporaryDir folder;
    QProcess process;
    process.start(QStringLiteral(EQ_EQCIRCLE), {"render", kData, "--from", "2000-1-1", "--to", "2099-12-31", "--out",
                                                folder.filePath(QStringLiteral("{n}.json"))});
    QVERIFY(QTest::qWaitFor([&] { return QFile::exists(folder.filePath(QStringLiteral("0010.json"))); }, 60000));
    process.terminate();
    QVERIFY(process.waitForFinished());
    const QString out = QString::fromUtf8(process.readAllStandardOutput());
    QVERIFY2(out.startsWith("2000-01-01\t" + folder.filePath(QStringLiteral("0001.json")) + '\n'), qPrintable(out));
  }

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
    const Run run = runEqcircle(args, env, {}, false);  // nothing inherited, no display
    QCOMPARE(run.exitCode, exitCode);
    QCOMPARE(run.out.isEmpty(), out.isEmpty());
    QCOMPARE(run.err.isEmpty(), err.isEmpty());
    for (const QString& text : out) QVERIFY2(run.out.contains(text), qPrintable(run.out));
    for (const QString& text : err) QVERIFY2(run.err.contains(text), qPrintable(run.err));
  }

 private:
  QTemporaryDir dir;
};

QTEST_GUILESS_MAIN(TestRenderCli)
#include "tst_render_cli.moc"
