// The commands on the finished sheet, on a session with a scripted desktop: print
// (clipboard, then the printer in its order, and every failure reported), clear
// drawing, background map on and off, title comment.

#include "common/files.h"
#include "common/session_fixture.h"
#include "session/sheet_commands.h"

#include <QPainter>
#include <QtTest>

using namespace eq;
using namespace eq::test;

namespace {

// A printer that logs what it is asked into the desktop's log, paints its page into an
// image (one pixel per 20 twips) and fails where it is told to.
class RecordingPrinter : public PrinterDevice {
 public:
  enum Failure { None, Draw, EndPage, EndDocument };
  RecordingPrinter(QStringList& log, QImage& page, QSizeF size, Failure failure)
      : log_(log), page_(page), size_(size), failure_(failure) {}
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
    return failure_ != Draw;
  }
  bool endPage() override { return step("endPage", EndPage); }
  bool endDocument() override { return step("endDocument", EndDocument); }

 private:
  bool step(const char* name, Failure failing) {
    log_ << QString::fromLatin1(name);
    return failure_ != failing;
  }
  QStringList& log_;
  QImage& page_;
  QSizeF size_;
  Failure failure_;
};

// The scripted desktop with the clipboard calls in the printer's log.
struct LoggingPlatform : ScriptedPlatform {
  QStringList log;
  bool clearClipboard() override {
    log << QStringLiteral("clearClipboard");
    return ScriptedPlatform::clearClipboard();
  }
  bool setClipboardImage(const QImage& image) override {
    log << QStringLiteral("setClipboardImage");
    return ScriptedPlatform::setClipboardImage(image);
  }
};

const QSizeF kPortraitA4(11906, 16838);

// A session in progress: text, ticks, an excluded row, a title, a sheet with a red disc in the middle.
struct Fixture {
  LoggingPlatform desktop;
  Session session{desktop};
  QImage page;
  Fixture() {
    session.startUp();
    session.setText(1, QStringLiteral("桜島"));
    session.setText(61, QStringLiteral("2025"));
    session.setTicked(3, true);
    excludeRow(session, 3);
    session.setVisible(Control::Label20, true);
    session.setVisible(Control::Label21, true);
    session.TitleComment = QStringLiteral("試し");
    session.surface().setFillStyle(0);
    session.surface().setFillColor(Qt::red);
    session.surface().circle(9000, 6400, 300, Qt::red);
    session.surface().setScaleMode(DrawingSurface::ScaleMode::Characters);
  }
  void usePrinter(QSizeF size, int failure = RecordingPrinter::None) {
    desktop.printerFactory = [this, size, failure] {
      return std::make_unique<RecordingPrinter>(desktop.log, page, size, RecordingPrinter::Failure(failure));
    };
  }
  // What the user entered (flag, title, texts, ticks), then what Draw left (labels, sheet, greyed rows).
  QStringList snapshot() const {
    QStringList out{QString::number(session.ShowBackgroundMap), session.TitleComment};
    for (int i = 1; i <= Session::kBoxCount; ++i) out << session.text(i);
    for (int row = 1; row <= kRowCount; ++row) out << QString::number(session.ticked(row));
    out << QStringLiteral("Label20 %1, Label21 %2, %3 items")
               .arg(session.visible(Control::Label20)).arg(session.visible(Control::Label21))
               .arg(session.surface().sheet().items().size());
    for (int row = 1; row <= kRowCount; ++row) out << QString::number(int(session.rowLook(row)));
    return out;
  }
};
constexpr int kEntries = 2 + Session::kBoxCount + kRowCount;

}  // namespace

Q_DECLARE_METATYPE(std::optional<QString>)

class TestSheetCommands : public QObject {
  Q_OBJECT
 private slots:
  void print_data() {
    QTest::addColumn<QSizeF>("page");
    QTest::addColumn<bool>("clipboardWorks");
    QTest::addColumn<QSizeF>("drawn");
    // 11906 / 31750 < 16838 / 22569: the width decides, 11906 x 8463 twips, times 1.4.
    QTest::newRow("portrait A4") << kPortraitA4 << true << QSizeF(16668.4, 11848.2);
    // A printer that kept an earlier landscape: the height decides, 16749 x 11906 twips.
    QTest::newRow("landscape A4") << kPortraitA4.transposed() << true << QSizeF(23448.6, 16668.4);
    QTest::newRow("no clipboard: printed all the same") << kPortraitA4 << false << QSizeF(16668.4, 11848.2);
  }
  void print() {
    QFETCH(QSizeF, page);
    QFETCH(bool, clipboardWorks);
    QFETCH(QSizeF, drawn);
    Fixture fx;
    fx.desktop.clipboardWorks = clipboardWorks;
    fx.usePrinter(page);
    const QStringList before = fx.snapshot();
    printSheet(fx.session);
    const QString draw = QStringLiteral("draw 0,0 %1x%2").arg(drawn.width()).arg(drawn.height());
    QCOMPARE(fx.desktop.log,
             (QStringList{"clearClipboard", "setClipboardImage", "A4", "landscape", draw, "endPage", "endDocument"}));
    QVERIFY(fx.desktop.messages.empty());
    QCOMPARE(fx.snapshot(), before);
    QVERIFY(fx.session.surface().autoRedraw());
    // The page shows the sheet: the disc in the middle of the drawn rectangle.
    const QPointF middle = QPointF(drawn.width(), drawn.height()) / 40;
    QVERIFY(isRed(fx.page.pixel(middle.toPoint())) && !isRed(fx.page.pixel(int(middle.x() / 2), int(middle.y()))));
    QCOMPARE(fx.desktop.clipboardImages.size(), std::size_t(clipboardWorks));
    if (clipboardWorks) QVERIFY(isRed(fx.desktop.clipboardImages[0].pixel(600, 427)));
  }

  void printFailureIsReported_data() {
    QTest::addColumn<bool>("hasPrinter");
    QTest::addColumn<QSizeF>("page");
    QTest::addColumn<int>("failure");
    QTest::addColumn<QString>("message");
    const QString failed = QStringLiteral("印刷できませんでした。\nプリンタ「試験機」の状態と設定を確認してください。");
    QTest::newRow("no printer") << false << QSizeF() << 0
                                << "印刷できるプリンタがありません。\n描画はクリップボードにコピーしました。";
    QTest::newRow("page of no size") << true << QSizeF(0, 0) << 0 << failed;
    QTest::newRow("page cannot be drawn") << true << kPortraitA4 << int(RecordingPrinter::Draw) << failed;
    QTest::newRow("page does not end") << true << kPortraitA4 << int(RecordingPrinter::EndPage) << failed;
    QTest::newRow("job does not end") << true << kPortraitA4 << int(RecordingPrinter::EndDocument) << failed;
  }
  void printFailureIsReported() {
    QFETCH(bool, hasPrinter);
    QFETCH(QSizeF, page);
    QFETCH(int, failure);
    QFETCH(QString, message);
    Fixture fx;
    if (hasPrinter) fx.usePrinter(page, failure);
    const QStringList before = fx.snapshot();
    printSheet(fx.session);
    QCOMPARE(fx.desktop.messages.size(), std::size_t(1));
    QCOMPARE(shown(fx.desktop.messages[0]), notice(message));
    QCOMPARE(fx.desktop.clipboardImages.size(), std::size_t(1));
    QCOMPARE(fx.snapshot(), before);
    QCOMPARE(fx.desktop.log.contains("endPage"), failure > RecordingPrinter::Draw);
  }

  // Labels hidden, no sheet, every row usable; the entries and the text-cell mode stay.
  void clearDrawing() {
    Fixture fx;
    const QStringList before = fx.snapshot();
    eq::clearDrawing(fx.session);
    QCOMPARE(fx.snapshot().mid(0, kEntries), before.mid(0, kEntries));
    QCOMPARE(fx.snapshot().mid(kEntries),
             QStringList{QStringLiteral("Label20 0, Label21 0, 0 items")} + QStringList(kRowCount, "0"));
    QVERIFY(fx.session.surface().sheet().isEmpty());
    QCOMPARE(fx.session.surface().scaleMode(), DrawingSurface::ScaleMode::Characters);
    QVERIFY(fx.desktop.messages.empty());
  }

  void backgroundMapButtons_data() {
    QTest::addColumn<int>("flag");
    QTest::addColumn<int>("answer");
    QTest::addColumn<QString>("question");
    QTest::addColumn<int>("flagAfter");
    const QString show = QStringLiteral("背景地図を表示します\n\rいいですか");
    const QString hide = QStringLiteral("背景地図を表示しません\n\rいいですか");
    QTest::newRow("map on, hide it: Yes") << 1 << int(MessageAnswer::Yes) << hide << 0;
    QTest::newRow("map on, hide it: No") << 1 << int(MessageAnswer::No) << hide << 1;
    QTest::newRow("map off, show it: Yes") << 0 << int(MessageAnswer::Yes) << show << 1;
    QTest::newRow("map off, show it: No") << 0 << int(MessageAnswer::No) << show << 0;
  }
  // The button asks, sets the flag, hides itself and brings the marker back; the sheet
  // waits for the next Draw.
  void backgroundMapButtons() {
    QFETCH(int, flag);
    QFETCH(int, answer);
    QFETCH(QString, question);
    QFETCH(int, flagAfter);
    Fixture fx;
    fx.desktop.messageAnswers.push_back(MessageAnswer(answer));
    fx.session.ShowBackgroundMap = int16_t(flag);
    const Control button = flag ? Control::Command8 : Control::Command7;
    fx.session.setVisible(button, true);
    fx.session.setVisible(Control::Label32, false);
    QStringList before = fx.snapshot();
    (flag ? hideBackgroundMap : showBackgroundMap)(fx.session);
    QCOMPARE(fx.desktop.messages.size(), std::size_t(1));
    QCOMPARE(shown(fx.desktop.messages[0]), eq::test::question(question));
    QVERIFY(!fx.session.visible(button) && fx.session.visible(Control::Label32));
    before[0] = QString::number(flagAfter);
    QCOMPARE(fx.snapshot(), before);
  }

  void titleComment_data() {
    QTest::addColumn<std::optional<QString>>("typed");  // nothing: cancelled
    QTest::addColumn<QString>("title");
    QTest::newRow("typed, blanks kept") << std::optional<QString>(" 九州の火山　2025年 ") << " 九州の火山　2025年 ";
    QTest::newRow("empty OK") << std::optional<QString>(QString()) << "";
    QTest::newRow("cancel") << std::optional<QString>() << "";
  }
  void titleComment() {
    QFETCH(std::optional<QString>, typed);
    QFETCH(QString, title);
    Fixture fx;
    fx.desktop.inputAnswers.push_back(typed);
    enterTitleComment(fx.session);
    QCOMPARE(fx.desktop.inputs.size(), std::size_t(1));
    QCOMPARE(fx.desktop.inputs[0].prompt, QStringLiteral("入力してください\r\n(不要ならキャンセル)"));
    QVERIFY(fx.desktop.inputs[0].caption.isEmpty());
    QCOMPARE(fx.session.TitleComment, title);
    QCOMPARE(fx.session.caption(Control::Label37), std::optional<QString>(title));
  }
};

QTEST_MAIN(TestSheetCommands)
#include "tst_sheet_commands.moc"
