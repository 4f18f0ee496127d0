// The commands on a session with a scripted desktop, questions and messages included: Draw
// (places worked out by hand from x = (lon - 135) * cos(lat) * 40075 / 360 * 3 + 9000, y = (54 - lat)
// / 10 * 1111 * 3), crossings and saves of the sheet, print, the table, help and background commands,
// and open and save in a temporary current folder.

#include "common/files.h"
#include "common/session_fixture.h"
#include "platform/data_paths.h"
#include "session/analysis_commands.h"
#include "session/help_commands.h"
#include "session/open_command.h"
#include "session/quake_commands.h"
#include "session/save_command.h"
#include "session/sheet_commands.h"

#include <QPainter>
#include <QtTest>
#include <sys/stat.h>

using namespace eq;
using namespace eq::test;

namespace {
const QStringList kSakurajima{"桜島", "2020", "1", "1", "31.6", "130.7"};
const QString kCount = QStringLiteral("描画データ数  = ");
// Whether a text lies at (column, line) of the 120 x 240 text cells, in this colour.
bool inCell(const Sheet& sheet, const QString& text, double column, double line, Rgb color) {
  const auto t = findText(sheet, text);
  return t && near(t->x, column * 120) && near(t->y, line * 240) && t->color == color;
}

// Two eruptions of 1 Jan 2024 at 54 N, 134 and 136 E, drawn for 1 May 2024: four mean months
// (122.36 days) give (3.129 - ln(122.36 / 365.25)) / 0.007137 = 591.651 km = 1774.954 map
// units each. The centres lie 196.296 map units either side of x = 9000 on y = 0 (cos 54 deg
// x 40075 / 360 x 3 per degree), so the circles cross at x = 9000, y = +-sqrt(1774.954^2 -
// 196.296^2) = +-1764.066: 48.7073 N on the sheet and 59.2927 N above it.
struct Crossed : SessionFixture {
  explicit Crossed(const QString& nameA = "東山", const QString& nameB = "西山") {
    fillRow(1, {nameA, "2024", "1", "1", "54", "134"});
    fillRow(2, {nameB, "2024", "1", "1", "54", "136"});
  }
};

const QString kMark = QStringLiteral("9000.00 1764.07 60.00 #0000ff none");

int polylines(const Sheet& sheet, int* shortest = nullptr) {
  int count = 0;
  for (const auto& item : sheet.items) {
    if (const auto* p = std::get_if<SheetPolyline>(&item)) {
      ++count;
      const bool closed = p->points.front().x == p->points.back().x && p->points.front().y == p->points.back().y;
      if (shortest) *shortest = std::min(*shortest, closed ? int(p->points.size()) : 0);
    }
  }
  return count;
}

// A printer that logs what it is asked, paints its page into an image (one pixel per
// 20 twips) and fails at the step named `failing` ("draw", "endPage" or "endDocument").
struct RecordingPrinter : PrinterDevice {
  RecordingPrinter(QStringList& log, QImage& page, QSizeF size, QString failing)
      : log_(log), page_(page), size_(size), failing_(std::move(failing)) {}
  QString name() const override { return QStringLiteral("試験機"); }
  QSizeF pageSizeTwips() const override { return size_; }
  void setPaperSizeA4() override { log_ << QStringLiteral("A4"); }
  void setOrientationLandscape() override { log_ << QStringLiteral("landscape"); }
  bool drawPicture(const QRectF& twips, const std::function<void(QPainter&, const QRectF&)>& paint) override {
    log_ << QStringLiteral("draw %1,%2 %3x%4").arg(twips.x()).arg(twips.y()).arg(twips.width()).arg(twips.height());
    page_ = QImage(1200, 1200, QImage::Format_RGB32);
    page_.fill(Qt::white);
    QPainter painter(&page_);
    paint(painter, QRectF(twips.topLeft() / 20, twips.size() / 20));
    return failing_ != "draw";
  }
  bool endPage() override { return step("endPage"); }
  bool endDocument() override { return step("endDocument"); }
  bool step(const QString& name) {
    log_ << name;
    return failing_ != name;
  }
  QStringList& log_;
  QImage& page_;
  QSizeF size_;
  QString failing_;
};

const QSizeF kPortraitA4(11906, 16838);

// A red disc in the middle of the sheet, as if drawn.
void showDisc(Session& session) {
  DrawResult drawing;
  drawing.sheet.items.push_back(SheetCircle{9000, 6400, 300, kRed, kRed});
  session.surface().show({}, std::move(drawing), QImage());
}

// A session in progress: text, ticks, an excluded row, a title, a sheet with a red disc in the middle.
struct Fixture : SessionFixture {
  QStringList log;
  QImage page;
  Fixture() {
    session.setText(1, QStringLiteral("桜島"));
    session.setText(61, QStringLiteral("2025"));
    session.setTicked(3, true);
    excludeRow(session, 3);
    session.setVisible(Control::Label20, true);
    session.setVisible(Control::Label21, true);
    session.TitleComment = QStringLiteral("試し");
    showDisc(session);
  }
  void usePrinter(QSizeF size, const QString& failing) {
    platform.printerFactory = [this, size, failing] {
      // What the clipboard got before the printer was asked for.
      log << QStringLiteral("cleared %1, copied %2").arg(platform.clipboardClears).arg(platform.clipboardImages.size());
      return std::make_unique<RecordingPrinter>(log, page, size, failing);
    };
  }
  // What the user entered (flag, title, texts, ticks), then what Draw left (labels, sheet, greyed rows).
  QStringList snapshot() const {
    QStringList out{QString::number(session.ShowBackgroundMap), session.TitleComment};
    for (int i = 1; i <= kBoxCount; ++i) out << session.text(i);
    for (int row = 1; row <= kRowCount; ++row) out << QString::number(session.ticked(row));
    out << QStringLiteral("Label20 %1, Label21 %2, %3 items")
               .arg(session.visible(Control::Label20)).arg(session.visible(Control::Label21))
               .arg(session.surface().sheet().items.size());
    for (int row = 1; row <= kRowCount; ++row) out << QString::number(int(session.rowLook(row)));
    return out;
  }
};
constexpr int kEntries = 2 + kBoxCount + kRowCount;

const QString kSaved = QStringLiteral("無題.txt");
// Row r of the full file: "a" ... "j", 2000 + r, r, r, 30.5 + r, 129.5 + r.
QStringList fullRow(int r) {
  return {QString(QChar('a' + r - 1)), QString::number(2000 + r), QString::number(r), QString::number(r),
          QString::number(30.5 + r), QString::number(129.5 + r)};
}
QByteArray fullFile(int rows = kRowCount) {
  QString out;
  for (int r = 1; r <= rows; ++r)
    out += QStringLiteral("%1,\"%2\",%3\r\n").arg(r).arg(fullRow(r)[0], fullRow(r).mid(1).join(','));
  return out.toLatin1();
}
QByteArray emptyLine(int row) { return QByteArray::number(row) + ",\"\",0,0,0,0,0\r\n"; }
QString savedPath() { return QDir::toNativeSeparators(QDir::current().absoluteFilePath(kSaved)); }
QStringList filesHere() { return QDir::current().entryList(QDir::Files | QDir::Hidden); }

struct FileFixture : SessionFixture {
  // Chooses `path` in the dialog and answers the question.
  void open(const QString& path, MessageAnswer answer = MessageAnswer::Yes) {
    platform.fileDialogAnswers.push_back(path);
    platform.messageAnswers.push_back(answer);
    openEruptionDataFile(session);
  }
  void save(MessageAnswer answer = MessageAnswer::Yes) {
    platform.messageAnswers.push_back(answer);
    saveEruptionData(session);
  }
  // Text in every cell, every row ticked, row 4 excluded, a file name shown; the table as one list.
  QStringList markEverything() {
    for (int row = 1; row <= kRowCount; ++row) fillRow(row, {"x", "1", "2", "3", "4", QString::number(row)});
    excludeRow(session, 4);
    session.setCaption(Control::Label23, QStringLiteral("before"));
    return table();
  }
  QStringList table() const {
    QStringList out{label(Control::Label23)};
    for (int row = 1; row <= kRowCount; ++row)
      out << rowTexts(row) << QString::number(ticks()[row - 1] + 2 * excludedRows()[row - 1]);
    return out;
  }
  QString lastMessage() const { return platform.messages.empty() ? QString() : shown(platform.messages.back()); }
};

}  // namespace

class TestCommands : public QObject {
  Q_OBJECT
  std::unique_ptr<QTemporaryDir> dir_;  // the current folder of each test
  QString previous_;

 private slots:
  // An empty year, month or day, after a Draw that excluded row 1: the message, a blank
  // sheet, usable rows, the count as it was.
  void emptyPredictionField() {
    for (const QStringList& date : {QStringList{"", "5", "1"}, {"2024", "", "1"}, {"2024", "5", ""}}) {
      SessionFixture fx;
      fx.fillRow(1, {"未来山", "2030", "1", "1", "35", "135"});
      fx.fillRow(2, kSakurajima);
      fx.draw();
      QVERIFY(fx.session.visible(Control::Label20) && fx.excludedRows()[0]);
      fx.draw(date);
      QCOMPARE(fx.platform.messages.size(), std::size_t(1));
      QCOMPARE(shown(fx.platform.messages[0]), notice(QStringLiteral("予測年データが未入力です")));
      QVERIFY(fx.sheet().empty() && !fx.session.visible(Control::Label20));
      QCOMPARE(fx.label(Control::Label21), kCount + " 1");
      QCOMPARE(fx.excludedRows(), QList<bool>(kRowCount, false));
    }
  }

  // Rows 1, 2, ... as given (a seventh field "-" leaves the row unticked), the prediction
  // date, and what becomes of them.
  void rowOutcomes_data() {
    QTest::addColumn<QList<QStringList>>("rows");
    QTest::addColumn<QStringList>("date");
    QTest::addColumn<QString>("states");
    QTest::addColumn<int>("rings");
    const QStringList may1{"2024", "5", "1"};
    const QStringList asama{"浅間山", "2004", "9", "1", "36.4", "138.5"};
    const auto add = [](const char* name, QList<QStringList> rows, QStringList date, const char* states, int rings) {
      QTest::newRow(name) << rows << date << states << rings;
    };
    add("a year of letters is year 0: all excluded", {kSakurajima, asama}, {"ねん", "5", "1"}, "excluded excluded", 0);
    add("a year of blanks reads as 0 too, without a message", {kSakurajima}, {" ", "5", "1"}, "excluded", 0);
    add("an eruption a day later is excluded", {kSakurajima, {"未来山", "2024", "5", "2", "35", "135"}}, may1,
        "drawn excluded", 1);
    add("a ticked row without a year is skipped",
        {kSakurajima, {"年なし", "", "1", "1", "35", "135"}, {"印なし", "2020", "1", "1", "35", "135", "-"}}, may1,
        "drawn skipped unticked", 1);
    // Blanks are not empty: the year keeps its value from start-up, 0, some 2024 years ago.
    add("a year of blanks is drawn with the year it had", {{"空白年", "  ", "1", "1", "35", "135"}}, may1, "drawn", 0);
    add("on the prediction day: a marker, but no circle of the row before",
        {{"桜島", "2023", "5", "1", "31.6", "130.7"}, {"当日山", "2024", "5", "1", "35", "135"}}, may1, "drawn drawn", 1);
    add("30 years: a negative radius, no circle", {{"古い山", "1994", "5", "1", "35", "135"}}, may1, "drawn", 0);
    add("nothing ticked", {kSakurajima + QStringList{"-"}}, may1, "unticked", 0);
    add("month 0 is July: excluded on 30 June", {{"七月山", "2024", "0", "1", "35", "135"}}, {"2024", "6", "30"},
        "excluded", 0);
    add("month 0 is July: drawn on 1 July", {{"七月山", "2024", "0", "1", "35", "135"}}, {"2024", "7", "1"}, "drawn", 0);
  }
  void rowOutcomes() {
    QFETCH(QList<QStringList>, rows);
    QFETCH(QStringList, date);
    QFETCH(QString, states);
    QFETCH(int, rings);
    SessionFixture fx;
    for (int r = 1; r <= rows.size(); ++r) fx.fillRow(r, rows[r - 1], rows[r - 1].value(6) != "-");
    const DrawResult& report = fx.draw(date);
    QStringList got;
    for (int r = 1; r <= rows.size(); ++r) {
      const RowState state = report.rows[std::size_t(r)].state;
      got << QString::fromLatin1(rowStateName(state));
      QCOMPARE(findText(fx.sheet(), QStringLiteral(" %1 ").arg(r)).has_value(), state == RowState::Drawn);
      // An excluded row is greyed but keeps its tick and its text.
      QCOMPARE(fx.session.rowLook(r), state == RowState::Excluded ? RowLook::Excluded : RowLook::Usable);
      QCOMPARE(fx.rowTexts(r), rows[r - 1].mid(0, 6));
      QCOMPARE(fx.session.ticked(r), rows[r - 1].value(6) != "-");
    }
    QCOMPARE(got.join(' '), states);
    const int drawn = int(states.count(QStringLiteral("drawn")));
    QCOMPARE(fx.label(Control::Label21), kCount + " " + QString::number(drawn));
    QVERIFY(fx.session.visible(Control::Label21));
    QCOMPARE(int(circles(fx.sheet()).filter(" #ff0000 #ff0000").size()), drawn);  // the markers
    QCOMPARE(int(circles(fx.sheet()).filter(" none").size()), rings);
    QCOMPARE(fx.session.visible(Control::Label20), states.contains("excluded"));
    QVERIFY(findText(fx.sheet(), QStringLiteral("160°")) && findText(fx.sheet(), QStringLiteral("作成日")));
    QVERIFY(fx.platform.messages.empty());
  }

  // One year (365.25 days): 3.129 / 0.007137 = 438.4195 km, 1315.26 map units; at 36.4 N
  // 138.5 E, with cos 36.4 deg = 0.804894, x = 3.5 * 0.804894 * 40075 / 360 * 3 + 9000 and
  // y = 17.6 / 10 * 3333. A field that is not a number keeps the place read before; right
  // after start-up, empty places are 0 N 0 E.
  void markersAndCircles() {
    SessionFixture fx;
    fx.fillRow(1, {"浅間山", "2023", "4", "15", "36.4", "138.5"});
    const DrawResult& report = fx.draw({"2024", "4", "15"});
    QVERIFY(report.rows[1].radiusKm && near(*report.rows[1].radiusKm, 438.4195, 1e-4) && report.rows[1].circleDrawn);
    QCOMPARE(circles(fx.sheet()), (QStringList{"9940.80 5866.08 20.00 #ff0000 #ff0000",
                                               "9940.80 5866.08 1315.26 #ff0000 none"}));
    const QStringList first = circles(fx.sheet());
    fx.session.setText(fieldIndex(1, 5), QStringLiteral("北"));
    fx.session.setText(fieldIndex(1, 6), QString());
    fx.draw({"2024", "4", "15"});
    QCOMPARE(circles(fx.sheet()), first);
    SessionFixture fresh;
    fresh.fillRow(1, {"位置なし", "2020", "1", "1", "", ""});
    fresh.draw();
    QCOMPARE(circles(fresh.sheet()).value(0).section(' ', 0, 1), QStringLiteral("-36084.38 17998.20"));
  }

  // A bitmap of three pixels beside the program: loaded unscaled while the flag is on;
  // without it, only the background is left out.
  void backgroundFlag() {
    QImage bitmap(3, 1, QImage::Format_RGB32);
    for (int x = 0; x < 3; ++x) bitmap.setPixel(x, 0, qRgb(10 + 100 * x, 120, 250 - 100 * x));
    QVERIFY(bitmap.save(backgroundMapPath(), "BMP"));
    SessionFixture fx;
    fx.fillRow(1, kSakurajima);
    const auto drawWith = [&fx](int flag) {
      fx.session.ShowBackgroundMap = flag;
      fx.draw();
      return fx.session.surface().image().pixel(1, 0);
    };
    QCOMPARE(drawWith(1), qRgb(110, 120, 150));
    QCOMPARE(fx.sheet().background, "JapanMap3.bmp");
    QCOMPARE(drawWith(0), qRgb(255, 255, 255));
    QVERIFY(QFile::remove(backgroundMapPath()));
    QCOMPARE(drawWith(1), qRgb(255, 255, 255));
    QVERIFY(fx.sheet().background.empty() && circles(fx.sheet()).size() == 2);
    QVERIFY(fx.platform.messages.empty());
  }

  // With no row drawn: the stamps of the values as read (month 0 included), the creation
  // date on line 10, the title of ten characters centred on column 73.1.
  void stampsTitleAndSurface() {
    SessionFixture fx;
    fx.session.TitleComment = QStringLiteral("桜島と浅間山の関係図");
    fx.draw({"2024.5", "0", "1"});
    QVERIFY(inCell(fx.sheet(), QStringLiteral("発震予測年月日"), 131.3, 5, kRed));
    QVERIFY(inCell(fx.sheet(), QStringLiteral(" 2024.5年 0月 1日"), 131, 6, kRed));
    QVERIFY(inCell(fx.sheet(), QStringLiteral("2026年 12月 6日"), 131.3, 10, kBlue));
    QVERIFY(inCell(fx.sheet(), fx.session.TitleComment, 73.1 - 5, 51, kRed));
    // A second Draw starts afresh.
    const std::size_t count = fx.sheet().items.size();
    fx.session.TitleComment.clear();  // an empty title prints nothing
    fx.draw();
    QCOMPARE(fx.sheet().items.size(), count - 1);
  }

  void crossingMarks() {
    Crossed fx;
    fx.draw();
    const auto crossings = fx.session.surface().drawing().crossings;
    QCOMPARE(int(crossings.size()), 2);
    for (const Crossing& c : crossings) {
      QVERIFY(near(c.x, 9000, 0.01) && near(std::fabs(c.y), 1764.07, 0.01) && c.onSheet == (c.y > 0));
    }
    const QStringList drawn = circles(fx.sheet());
    const size_t items = fx.sheet().items.size();

    // Only the crossing on the sheet gets a ring, once, after everything else.
    for (int twice = 0; twice < 2; ++twice) setCrossingMarks(fx.session, true);
    QCOMPARE(circles(fx.sheet()), drawn + QStringList{kMark});
    QVERIFY(std::holds_alternative<SheetCircle>(fx.sheet().items.back()));
    setCrossingMarks(fx.session, false);
    QCOMPARE(fx.sheet().items.size(), items);
    QCOMPARE(circles(fx.sheet()), drawn);

    setCrossingMarks(fx.session, true);  // back on the same sheet
    QCOMPARE(circles(fx.sheet()), drawn + QStringList{kMark});
    fx.draw();
    QCOMPARE(fx.sheet().items.size(), items + 1);
    QCOMPARE(circles(fx.sheet()).last(), kMark);

    eq::clearDrawing(fx.session);
    QVERIFY(!fx.session.surface().drawing().crossingMarksFrom && crossingList(fx.session).empty());
    setCrossingMarks(fx.session, true);
    QVERIFY(fx.sheet().items.empty());
  }

  void geodesicCircles() {
    Crossed fx;
    setGeodesicCircles(fx.session, true);
    fx.draw();
    int shortest = 1 << 30;
    QCOMPARE(polylines(fx.sheet(), &shortest), 2);
    QVERIFY(shortest >= 361);  // closed rings of at least 360 sides
    const QString marker = QStringLiteral("#ff0000 #ff0000");
    for (const QString& c : circles(fx.sheet())) QVERIFY2(c.endsWith(marker), qPrintable(c));
    QCOMPARE(circles(fx.sheet()).size(), 2);

    setGeodesicCircles(fx.session, false);
    fx.draw();
    QCOMPARE(polylines(fx.sheet()), 0);
    QCOMPARE(circles(fx.sheet()).size(), 4);
  }

  // A catalogue laid over the sheet shows at once and in every later Draw until it is
  // switched off; a file that is no catalogue is a message and changes nothing; the
  // hindcast reads the table as the Draw does and its report goes where the user says.
  void quakeOverlayAndReport() {
    SessionFixture fx;
    fx.fillRow(1, {"十勝岳", "1988", "12", "16", "43.418", "142.686"});
    fx.fillRow(2, {"有珠山", "2000", "3", "31", "42.544", "140.839"});
    fx.draw({"2011", "3", "1"});
    const QString sample = QStringLiteral(EQ_SOURCE_DIR "/examples/quakes-sample.csv");
    QVERIFY(overlayQuakes(fx.session, sample, 6.0, 0));
    QCOMPARE(int(fx.session.surface().drawing().quakes.size()), 9);
    QVERIFY(fx.platform.messages.empty());
    fx.draw({"2011", "3", "1"});
    QCOMPARE(int(fx.session.surface().drawing().quakes.size()), 9);
    QVERIFY(!overlayQuakes(fx.session, QStringLiteral(EQ_SOURCE_DIR "/examples/recent.txt"), 7.0, 10));
    QVERIFY(fx.platform.messages.back().text.contains("地震カタログを読み込めません"));
    QCOMPARE(fx.session.analysis.quakes.minMagnitude, 6.0);
    removeQuakeOverlay(fx.session);
    QVERIFY(!fx.session.surface().drawing().quakesOverlaid && fx.session.analysis.quakeCatalogueFile.isEmpty());

    HindcastOptions options;
    options.permutations = 20;
    const auto report = runHindcast(hindcastInputs(fx.session), loadQuakeCatalogue(sample).catalogue->quakes, options);
    QVERIFY(report && report->quakes.size() == 9);
    QTemporaryDir dir;
    fx.platform.saveDialogAnswers = {dir.filePath("r.csv"), dir.filePath("r.txt")};
    saveHindcastReport(fx.session, *report);
    QVERIFY(readFile(dir.filePath("r.csv")).startsWith("id,date,lat,lon,mag,"));
    const int messages = int(fx.platform.messages.size());
    saveHindcastReport(fx.session, *report);
    QCOMPARE(int(fx.platform.messages.size()), messages + 1);
    QVERIFY(!QFile::exists(dir.filePath("r.txt")));
  }

  // Tabs and line breaks stay in the list's names but not in the clipboard's cells.
  void crossingListAndClipboard() {
    Crossed fx("東\t山", "西\n山");
    fx.draw();
    QStringList lines;
    for (const CrossingLine& line : crossingList(fx.session)) lines << line.cells.join('|');
    lines.sort();
    QCOMPARE(lines, (QStringList{"1|東\t山|2|西\n山|48.7073|135.0000|2|○", "1|東\t山|2|西\n山|59.2927|135.0000|2|図の外"}));

    copyCrossingList(fx.session);
    QCOMPARE(int(fx.platform.clipboardTexts.size()), 1);
    QStringList copied = fx.platform.clipboardTexts.back().split('\n');
    QCOMPARE(copied.takeLast(), QString());
    QCOMPARE(copied.takeFirst(), QStringLiteral("行\t火山名\t行\t火山名\t北緯\t東経\t支持数\t図の上"));
    copied.sort();
    QCOMPARE(copied.first(), QStringLiteral("1\t東 山\t2\t西 山\t48.7073\t135.0000\t2\t○"));
    QCOMPARE(copied.size(), 2);
  }

  void saves_data() {
    QTest::addColumn<bool>("mapData");
    QTest::addColumn<bool>("drawn");
    QTest::addColumn<QString>("answer");   // the file name chosen; empty: cancelled
    QTest::addColumn<QString>("written");  // what the file reads as; empty: no file
    QTest::addColumn<QString>("message");  // part of the one message; "@" stands for the folder
    QTest::addColumn<bool>("far");         // a third volcano at 80 W, off the sheet's projection
    QTest::newRow("PNG") << false << true << "s.png" << "png" << "" << false;
    QTest::newRow("picture, wrong extension") << false << true << "s.bmp" << "" << "@/s.bmp" << false;
    QTest::newRow("picture, cancelled") << false << true << "" << "" << "" << false;
    QTest::newRow("GeoJSON") << true << true << "m.geojson" << "json" << "" << false;
    QTest::newRow("KML") << true << true << "m.kml" << "xml" << "" << false;
    QTest::newRow("map data, wrong extension") << true << true << "m.json" << "" << "@/m.json" << false;
    QTest::newRow("map data, cancelled") << true << true << "" << "" << "" << false;
    QTest::newRow("map data, no drawing") << true << false << "m.kml" << "" << "先に描画してください" << false;
    QTest::newRow("map data, a circle it cannot hold") << true << true << "m.kml" << "xml" << "3行目の円は" << true;
  }
  void saves() {
    QFETCH(bool, mapData);
    QFETCH(bool, drawn);
    QFETCH(QString, answer);
    QFETCH(QString, written);
    QFETCH(QString, message);
    QFETCH(bool, far);
    QTemporaryDir dir;
    Crossed fx;
    if (far) fx.fillRow(3, {"遠", "2024", "1", "1", "0", "-80"});
    if (drawn) fx.draw();
    const QString path = dir.filePath(answer);
    fx.platform.saveDialogAnswers.push_back(answer.isEmpty() ? std::nullopt : std::optional<QString>(path));
    mapData ? saveMapData(fx.session) : saveSheetImage(fx.session);

    QCOMPARE(int(fx.platform.saveDialogs.size()), int(drawn));
    QCOMPARE(int(fx.platform.messages.size()), int(!message.isEmpty()));
    if (!message.isEmpty()) QVERIFY(fx.platform.messages[0].text.contains(message.replace("@", dir.path())));
    QCOMPARE(QDir(dir.path()).entryList(QDir::Files), written.isEmpty() ? QStringList() : QStringList{answer});
    QFile file(path);
    if (written == "png") QCOMPARE(QImage(path).size(), QSize(1200, 853));
    if (written == "json") QVERIFY(file.open(QIODevice::ReadOnly) && QJsonDocument::fromJson(file.readAll()).isObject());
    if (written == "xml") {
      QVERIFY(file.open(QIODevice::ReadOnly));
      QXmlStreamReader xml(&file);
      while (!xml.atEnd()) xml.readNext();
      QVERIFY2(!xml.hasError(), qPrintable(xml.errorString()));
    }
  }

  // Each kind of save opens its dialog where it last wrote; a cancel changes nothing.
  void saveFoldersPerKind() {
    QTemporaryDir pictures, maps;
    Crossed fx;
    fx.draw();
    fx.platform.saveDialogAnswers = {pictures.filePath("s.png"), maps.filePath("m.kml"), std::nullopt, std::nullopt};
    for (int k = 0; k < 4; ++k) k % 2 ? saveMapData(fx.session) : saveSheetImage(fx.session);
    QStringList starts;
    for (const FileDialogRequest& request : fx.platform.saveDialogs) starts << request.initialPath;
    QCOMPARE(starts, (QStringList{"", "", pictures.path(), maps.path()}));
  }

  // The clipboard first, then the printer in its order; a failure is told and changes
  // nothing else. 11906 / 31750 < 16838 / 22569: the width decides, 11906 x 8463 twips, times
  // 1.4; a printer that kept an earlier landscape gives 16749 x 11906.
  void print_data() {
    QTest::addColumn<int>("desk");  // 0: no printer, 1: a printer, 2: a printer but no clipboard
    QTest::addColumn<QSizeF>("page");
    QTest::addColumn<QString>("failing");
    QTest::addColumn<QString>("log");
    QTest::addColumn<QString>("message");
    const QString drawn = "cleared 1, copied 1 A4 landscape draw 0,0 16668.4x11848.2";
    const QString failed = "印刷できませんでした。\nプリンタ「試験機」の状態と設定を確認してください。";
    QTest::newRow("portrait A4") << 1 << kPortraitA4 << "" << drawn + " endPage endDocument" << "";
    QTest::newRow("landscape A4") << 1 << kPortraitA4.transposed() << ""
                                  << "cleared 1, copied 1 A4 landscape draw 0,0 23448.6x16668.4 endPage endDocument"
                                  << "";
    QTest::newRow("no printer") << 0 << QSizeF() << "" << ""
                                << "印刷できるプリンタがありません。\n描画はクリップボードにコピーしました。";
    QTest::newRow("page of no size") << 1 << QSizeF(0, 0) << "" << "cleared 1, copied 1" << failed;
    QTest::newRow("page cannot be drawn") << 1 << kPortraitA4 << "draw" << drawn << failed;
    QTest::newRow("page does not end") << 1 << kPortraitA4 << "endPage" << drawn + " endPage" << failed;
    QTest::newRow("no clipboard: printed all the same") << 2 << kPortraitA4 << ""
        << "cleared 1, copied 0 A4 landscape draw 0,0 16668.4x11848.2 endPage endDocument" << "";
    QTest::newRow("job does not end") << 1 << kPortraitA4 << "endDocument" << drawn + " endPage endDocument"
                                      << failed;
  }
  void print() {
    QFETCH(int, desk);
    QFETCH(QSizeF, page);
    QFETCH(QString, failing);
    QFETCH(QString, log);
    QFETCH(QString, message);
    Fixture fx;
    if (desk > 0) fx.usePrinter(page, failing);
    fx.platform.clipboardWorks = desk < 2;
    const QStringList before = fx.snapshot();
    printSheet(fx.session);
    QCOMPARE(fx.log.join(' '), log);
    QCOMPARE(fx.snapshot(), before);
    QCOMPARE(fx.platform.messages.size(), std::size_t(!message.isEmpty()));
    if (!message.isEmpty()) QCOMPARE(shown(fx.platform.messages[0]), notice(message));
    QCOMPARE(fx.platform.clipboardImages.size(), std::size_t(desk < 2));
    if (desk < 2) QVERIFY(isRed(fx.platform.clipboardImages[0].pixel(600, 427)));  // the sheet as on screen
    const QRegularExpressionMatch drawn = QRegularExpression("draw 0,0 ([\\d.]+)x([\\d.]+)").match(log);
    if (drawn.hasMatch()) {  // the page shows the sheet: the disc in the middle of the drawn rectangle
      const QPoint middle(int(drawn.captured(1).toDouble() / 40), int(drawn.captured(2).toDouble() / 40));
      QVERIFY(isRed(fx.page.pixel(middle)) && !isRed(fx.page.pixel(middle.x() / 2, middle.y())));
    }
  }

  // Labels hidden, no sheet, every row usable; the entries and the text-cell mode stay.
  void clearDrawing() {
    Fixture fx;
    const QStringList before = fx.snapshot();
    eq::clearDrawing(fx.session);
    QCOMPARE(fx.snapshot().mid(0, kEntries), before.mid(0, kEntries));
    QCOMPARE(fx.snapshot().mid(kEntries),
             QStringList{QStringLiteral("Label20 0, Label21 0, 0 items")} + QStringList(kRowCount, "0"));
    QVERIFY(fx.session.surface().sheet().empty());
    QVERIFY(fx.platform.messages.empty());
  }

  // The button asks, sets the flag (Yes switches it, No keeps it), hides itself and brings
  // the marker back; the sheet waits for the next Draw.
  void backgroundMapButtons() {
    for (const int flag : {0, 1}) {
      for (const MessageAnswer answer : {MessageAnswer::Yes, MessageAnswer::No}) {
        Fixture fx;
        fx.platform.messageAnswers.push_back(answer);
        fx.session.ShowBackgroundMap = flag;
        const Control button = flag ? Control::Command8 : Control::Command7;
        fx.session.setVisible(button, true);
        fx.session.setVisible(Control::Label32, false);
        QStringList expected = fx.snapshot();
        expected[0] = QString::number(answer == MessageAnswer::Yes ? 1 - flag : flag);
        (flag ? hideBackgroundMap : showBackgroundMap)(fx.session);
        QCOMPARE(fx.snapshot(), expected);
        QCOMPARE(fx.platform.messages.size(), std::size_t(1));
        QCOMPARE(shown(fx.platform.messages[0]), question(flag ? "背景地図を表示しません\n\rいいですか" : "背景地図を表示します\n\rいいですか"));
        QVERIFY(!fx.session.visible(button) && fx.session.visible(Control::Label32));
      }
    }
  }

  // OK with text (blanks kept), OK with nothing, Cancel.
  void titleComment() {
    for (const auto& [typed, title] : {std::pair{std::optional<QString>(" 九州の火山　2025年 "), " 九州の火山　2025年 "},
                                       {std::optional<QString>(QString()), ""}, {std::nullopt, ""}}) {
      Fixture fx;
      fx.platform.inputAnswers.push_back(typed);
      enterTitleComment(fx.session);
      QCOMPARE(fx.platform.inputs.size(), std::size_t(1));
      QCOMPARE(fx.platform.inputs[0].prompt, QStringLiteral("入力してください\r\n(不要ならキャンセル)"));
      QVERIFY(fx.platform.inputs[0].caption.isEmpty());
      QCOMPARE(fx.session.TitleComment, QString(title));
      QCOMPARE(fx.session.caption(Control::Label37), std::optional<QString>(title));
    }
  }

  // Every row usable, unticked and empty; the date, the labels, the last good values and the sheet stay.
  void clearEruptionData() {
    SessionFixture fx;
    Session& s = fx.session;
    for (int row = 1; row <= kRowCount; ++row) fx.fillRow(row, {"山", "2000", "1", "2", "35", "139"}, row % 2 == 0);
    s.setText(61, QStringLiteral("2024"));
    excludeRow(s, 7);
    s.setVisible(Control::Label20, true);
    s.lastGood.rows[3].numbers[0] = 1914;
    showDisc(s);
    eq::clearEruptionData(s);
    for (int row = 1; row <= kRowCount; ++row) QCOMPARE(fx.rowTexts(row), QStringList(6, QString()));
    QCOMPARE(fx.ticks() + fx.excludedRows(), QList<bool>(2 * kRowCount, false));
    QVERIFY(s.text(61) == "2024" && s.visible(Control::Label20) && s.lastGood.rows[3].numbers[0] == 1914);
    QCOMPARE(fx.sheet().items.size(), std::size_t(1));
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
    s.ShowBackgroundMap = false;
    revealBackgroundMapButton(s);
    QVERIFY(s.visible(Control::Command7));
  }

  void init() {
    previous_ = QDir::currentPath();
    dir_ = std::make_unique<QTemporaryDir>();
    QVERIFY(dir_->isValid() && QDir::setCurrent(dir_->path()));
  }
  void cleanup() {
    QDir::setCurrent(previous_);
    dir_.reset();
  }

  // The dialog, then the question; Cancel or No change nothing. The dialog offers the path
  // of its last use again, also after a No.
  void openAsks() {
    FileFixture fx;
    const QStringList before = fx.markEverything();
    fx.platform.fileDialogAnswers.push_back(std::nullopt);
    openEruptionDataFile(fx.session);
    QVERIFY(fx.platform.messages.empty());
    const QString path = writeFile(QDir::current().absoluteFilePath("a.txt"), fullFile());
    fx.open(path, MessageAnswer::No);
    QCOMPARE(fx.lastMessage(), question("現在表示データを" + path + "データに置き換えます\n\rいいですか"));
    QCOMPARE(fx.table(), before);
    const FileDialogRequest& request = fx.platform.fileDialogs.at(0);
    QCOMPARE(request.title, QStringLiteral("噴火データファイルを選択してください"));
    QCOMPARE(request.filter, QStringLiteral("すべてのファイル(*.*)|*.*"));
    QVERIFY(request.initialPath.isEmpty());
    fx.open(path);
    QCOMPARE(fx.platform.fileDialogs.at(2).initialPath, path);
    QCOMPARE(fx.session.CommonDialog1.fileTitle, QStringLiteral("a.txt"));
  }

  void openFillsRowsAndUnticks() {
    FileFixture fx;
    fx.markEverything();
    fx.open(writeFile("full.txt", fullFile()));
    QCOMPARE(fx.rowTexts(1), fullRow(1));
    QCOMPARE(fx.rowTexts(10), fullRow(10));
    QCOMPARE(fx.ticks(), QList<bool>(kRowCount, false));
    QCOMPARE(fx.excludedRows(), QList<bool>(kRowCount, false));
    QCOMPARE(fx.label(Control::Label23), QStringLiteral("full.txt"));
    QCOMPARE(fx.platform.messages.size(), std::size_t(1));  // the question only
    // Rows after a shorter file's last line keep their text, but not their tick.
    fx.fillRow(4, {"x", "1", "2", "3", "4", "5"});
    fx.open(writeFile("three.txt", fullFile(3)));
    QCOMPARE(fx.rowTexts(4), (QStringList{"x", "1", "2", "3", "4", "5"}));
    QCOMPARE(fx.ticks(), QList<bool>(kRowCount, false));
    // A line far longer than one read.
    const QByteArray line = "1,\"" + QByteArray(3 * 1024 * 1024, 'x') + "\",1,2,3,4,5\r\n2,\"b\",1,1,1,1,1";
    QVERIFY(loadEruptionDataFile(fx.session, writeFile("long.txt", line)).ok);
    QCOMPARE(fx.rowTexts(1).mid(1), (QStringList{"1", "2", "3", "4", "5"}));
    QCOMPARE(fx.rowTexts(2)[0], QStringLiteral("b"));
  }

  // Each file after the full one, whose values the per-row arrays then hold: rows 1 and 2.
  void openEdgeCases() {
    const std::pair<QByteArray, QStringList> cases[] = {
        {"1,\"z\",0,-1,0,-12.25,123.456789\r\n", QStringList{"z", "", "-1", "", "-12.25", "123.4568"} + fullRow(2)},
        {"1,\"0\",1,2,3,4,5\r\n", QStringList{"", "1", "2", "3", "4", "5"} + fullRow(2)},  // name 0 is none
        {"\r\n2,\"t\",x,,2,1e39,-1e39\r\n3,\"c\",1,1,1,,\r\n",  // one record line, the third, makes it data
         fullRow(1) + QStringList{"t", "2002", "2", "2", "32.5", "131.5"}},
        {"1,\",9,9,9,9,9\r\n", QStringList{"a", "9", "9", "9", "9", "9"} + fullRow(2)},  // a lone quote keeps the name
    };
    for (const auto& [file, rows] : cases) {
      FileFixture fx;
      fx.open(writeFile("full.txt", fullFile()));
      fx.open(writeFile("表ソ.txt", file));
      QCOMPARE(fx.rowTexts(1) + fx.rowTexts(2), rows);
      QCOMPARE(fx.label(Control::Label23), QStringLiteral("表ソ.txt"));
    }
  }

  // A missing file, a folder, a device, a FIFO without a writer (which would block a plain
  // read), a picture, a text without a single record line: at once, before any question, a
  // message naming the path and the reason, nothing changed.
  void openUnreadable() {
    QVERIFY(::mkfifo("fifo", 0600) == 0);
    writeFile("picture.png", QByteArray("\x89PNG\r\n\x1a\n\0\0\0\rIHDR,1,2,3,4,5", 26));
    writeFile("letter.txt", "Dear Sir,\r\nthe dates 2024,1,1 and 2025,2,2,3,4\r\n\r\n");
    const QString unreadable = QStringLiteral("理由: "), notData = QStringLiteral("噴火データファイルではない");
    for (const auto& [path, why] : {std::pair{"missing.txt", unreadable}, {".", unreadable}, {"/dev/zero", unreadable},
                                    {"fifo", unreadable}, {"picture.png", notData}, {"letter.txt", notData}}) {
      FileFixture fx;
      const QStringList before = fx.markEverything();
      fx.open(path);
      QCOMPARE(fx.table(), before);
      QCOMPARE(fx.platform.messages.size(), std::size_t(1));
      const QString text = fx.platform.messages[0].text;
      QCOMPARE(fx.lastMessage(), notice(text));
      QVERIFY2(text.contains("\n" + QString(path) + "\n") && text.contains(why), qPrintable(text));
    }
    QVERIFY(QFile::remove("fifo"));
  }

  void saveWritesTheTable() {
    FileFixture fx;
    fx.fillRow(1, fullRow(1));
    fx.save(MessageAnswer::No);
    QCOMPARE(fx.lastMessage(), question("噴火データを保存します\n\r好みの名前をつけて保存して下さい\n\rいいですか"));
    QVERIFY(filesHere().isEmpty() && fx.platform.editorPaths.empty() && fx.session.lastGood.rows[1].numbers[0] == 0);
    // Values an earlier open, save or Draw left as the last good ones.
    RecordValues* const rows = fx.session.lastGood.rows.data();
    rows[2].numbers[0] = 1990;
    rows[2].numbers[4] = 130.299f;
    rows[3].numbers[1] = 7;
    fx.fillRow(1, {" a b ", "1914", "1", "12", "31.585", "130.657"});
    fx.fillRow(2, {"Unzen", "", "11", "x", " 32.761 ", "1e39"});     // empty and bad cells keep the last good values
    fx.fillRow(3, {"", "2000", "3", "31", "42.544", "140.839"});     // no name: an empty row
    fx.fillRow(4, {"表", "-0.5", "0", "0.001", "1234.5678", "-12"});
    fx.fillRow(5, {"  ", "2000", "3", "31", "42.544", "140.839"});   // a name of blanks is a name
    fx.save();
    QByteArray expected = "1,\" a b \",1914,1,12,31.585,130.657\r\n2,\"Unzen\",1990,11,0,32.761,130.299\r\n" +
                          emptyLine(3) + "4,\"\x95\x5C\",-0.5,0,0.001,1234.568,-12\r\n" +
                          "5,\"  \",2000,3,31,42.544,140.839\r\n";
    for (int row = 6; row <= 10; ++row) expected += emptyLine(row);
    QCOMPARE(readFile(kSaved), expected);
    QCOMPARE(rows[3].numbers[1], 0.0f);
    QCOMPARE(fx.platform.editorPaths, std::vector<QString>{savedPath()});
    QCOMPARE(fx.platform.messages.size(), std::size_t(2));
    QCOMPARE(filesHere(), QStringList{kSaved});  // no temporary left
  }

  // Each reason a name cannot be saved: the message names the row and the name, the old file stays.
  void saveRefusesName() {
    for (const auto& [name, mentioned] : {std::pair{"桜島🌋", "「🌋」"}, {"a\rb", "改行"},
                                          {"譌･", "「譌･」"}, {"¥100", "「¥」"}}) {
      writeFile(kSaved, "earlier save");
      FileFixture fx;
      fx.fillRow(1, {"Sakurajima", "1914", "1", "12", "31.585", "130.657"});  // ASCII: the file could read as UTF-8
      fx.fillRow(3, {name, "1", "1", "1", "1", "1"});
      fx.save();
      QCOMPARE(readFile(kSaved), QByteArray("earlier save"));
      QVERIFY(fx.platform.editorPaths.empty());
      const QString text = fx.platform.messages.at(1).text;
      QCOMPARE(fx.lastMessage(), notice(text));
      QVERIFY2(text.startsWith(QStringLiteral("3行目")) && text.contains(mentioned), qPrintable(text));
      QCOMPARE(filesHere(), QStringList{kSaved});
    }
  }

  void saveCannotWriteOrStartEditor() {
    QVERIFY(QDir::current().mkdir(kSaved));  // a folder in the file's place
    FileFixture fx;
    fx.save();
    QVERIFY(fx.platform.editorPaths.empty() && filesHere().isEmpty());
    QVERIFY2(fx.lastMessage().contains("\n保存先: " + savedPath() + QStringLiteral("\n理由: ")),
             qPrintable(fx.lastMessage()));
    QVERIFY(QDir::current().rmdir(kSaved));
    fx.platform.editorStarts = false;
    fx.save();
    QCOMPARE(readFile(kSaved).count('\n'), 10);
    QCOMPARE(fx.platform.editorPaths, std::vector<QString>{savedPath()});
    QVERIFY2(fx.lastMessage().contains("「無題.txt」に保存しました。\n保存先: " + savedPath() + "\n"),
             qPrintable(fx.lastMessage()));
  }
};

QTEST_MAIN(TestCommands)
#include "tst_commands.moc"
