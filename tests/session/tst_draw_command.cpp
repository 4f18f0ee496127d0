// The Draw command on a session: the date check and its message, what becomes of
// each row, markers and circles at their places, the background flag, and the
// frame and annotations it leaves on the sheet. Places are worked out by hand from
// x = (lon - 135) * cos(lat) * 40075 / 360 * 3 + 9000, y = (54 - lat) / 10 * 1111 * 3.

#include "common/session_fixture.h"
#include "platform/data_paths.h"
#include "session/sheet_frame.h"

#include <QtTest>

using namespace eq;
using namespace eq::test;

namespace {
const QStringList kSakurajima{"桜島", "2020", "1", "1", "31.6", "130.7"};
const QString kCount = QStringLiteral("描画データ数  = ");
constexpr QRgb kBlue = qRgb(0, 0, 255);
constexpr QRgb kRed = qRgb(255, 0, 0);

// Whether a text lies at (column, line) of the 120 x 240 text cells, in this colour.
bool inCell(const Sheet& sheet, const QString& text, double column, double line, QRgb color) {
  const auto t = findText(sheet, text);
  return t && near(t->x, column * 120) && near(t->y, line * 240) && t->color == color;
}
}  // namespace

class TestDrawCommand : public QObject {
  Q_OBJECT
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
      QVERIFY(fx.draw(date).predictionDateMissing);
      QCOMPARE(fx.platform.messages.size(), std::size_t(1));
      QCOMPARE(shown(fx.platform.messages[0]), notice(QStringLiteral("予測年データが未入力です")));
      QVERIFY(fx.sheet().isEmpty() && !fx.session.visible(Control::Label20));
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
    const DrawReport report = fx.draw(date);
    QStringList got;
    for (int r = 1; r <= rows.size(); ++r) {
      const RowState state = report.rows[std::size_t(r)].state;
      got << QString::fromLatin1(rowStateName(state));
      QCOMPARE(fx.session.RowDrawn[r], int16_t(state == RowState::Drawn));
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
    const DrawReport report = fx.draw({"2024", "4", "15"});
    QVERIFY(report.rows[1].radiusKm && near(*report.rows[1].radiusKm, 438.4195, 1e-4) && report.rows[1].circleDrawn);
    QCOMPARE(circles(fx.sheet()), (QStringList{"9940.80 5866.08 20.00 #ff0000 #ff0000",
                                               "9940.80 5866.08 1315.26 #ff0000 none"}));
    QVERIFY(near(fx.session.RowMapX[1], 9940.80));
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
      fx.session.ShowBackgroundMap = int16_t(flag);
      fx.draw();
      return fx.session.surface().image().pixel(1, 0);
    };
    QCOMPARE(drawWith(1), qRgb(110, 120, 150));
    QCOMPARE(fx.sheet().backgroundName(), QStringLiteral("JapanMap3.bmp"));
    QCOMPARE(drawWith(0), qRgb(255, 255, 255));
    QVERIFY(QFile::remove(backgroundMapPath()));
    QCOMPARE(drawWith(1), qRgb(255, 255, 255));
    QVERIFY(fx.sheet().backgroundName().isEmpty() && circles(fx.sheet()).size() == 2);
    QVERIFY(fx.platform.messages.empty());
  }

  // The legend packs the drawn rows from line 8, row 10 a little further left; the creation
  // stamp follows after one empty line; each drawn row's number goes under its volcano, at
  // 120/121 of its x, on line 49.
  void legendAndMarks() {
    for (const QList<int>& drawn : {QList<int>{2, 7}, QList<int>{1, 2, 3, 4, 5, 6, 7, 8, 9, 10}}) {
      DrawingSurface picture;
      FormVariables vars;
      for (int row = 1; row <= kRowCount; ++row) {
        vars.VolcanoName[row] = QStringLiteral("火山%1").arg(row);
        vars.RowMapX[row] = 1000.0 * row;
      }
      for (int row : drawn) vars.RowDrawn[row] = 1;
      drawSheetAnnotations(picture, vars, QDate(2026, 12, 6));
      const Sheet& sheet = picture.sheet();
      for (int i = 0; i < drawn.size(); ++i) {
        const int row = drawn[i];
        QVERIFY(inCell(sheet, QStringLiteral(" %1=火山%1").arg(row), row == 10 ? 130.3 : 131, 8 + i, kBlue));
        QVERIFY(inCell(sheet, QStringLiteral(" %1 ").arg(row), 1000.0 * row / 121, 49, kBlue));
      }
      QVERIFY(inCell(sheet, QStringLiteral("作成日"), 131.3, 9 + int(drawn.size()), kBlue));
      QVERIFY(inCell(sheet, QStringLiteral("2026年 12月 6日"), 131.3, 10 + int(drawn.size()), kBlue));
    }
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
    QCOMPARE(creationDateText(QDate(2024, 1, 5)), QStringLiteral("2024年 1月 5日"));
    // Draw ends in text cells with a black foreground; a second Draw starts afresh.
    QVERIFY(fx.session.surface().scaleMode() == DrawingSurface::ScaleMode::Characters &&
            fx.session.surface().foreColor() == Qt::black);
    const std::size_t count = fx.sheet().items().size();
    fx.session.TitleComment.clear();  // an empty title prints nothing
    fx.draw();
    QCOMPARE(fx.sheet().items().size(), count - 1);
  }
};

QTEST_MAIN(TestDrawCommand)
#include "tst_draw_command.moc"
