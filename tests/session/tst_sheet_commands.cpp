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

// A printer that logs what it is asked, paints its page into an image (one pixel per
// 20 twips) and fails where it is told to.
struct RecordingPrinter : PrinterDevice {
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
  bool step(const char* name, Failure failing) {
    log_ << QString::fromLatin1(name);
    return failure_ != failing;
  }
  QStringList& log_;
  QImage& page_;
  QSizeF size_;
  Failure failure_;
};

const QSizeF kPortraitA4(11906, 16838);

// A session in progress: text, ticks, an excluded row, a title, a sheet with a red disc in the middle.
struct Fixture {
  ScriptedPlatform desktop;
  Session session{desktop};
  QStringList log;
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
      // What the clipboard got before the printer was asked for.
      log << QStringLiteral("cleared %1, copied %2").arg(desktop.clipboardClears).arg(desktop.clipboardImages.size());
      return std::make_unique<RecordingPrinter>(log, page, size, RecordingPrinter::Failure(failure));
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

class TestSheetCommands : public QObject {
  Q_OBJECT
 private slots:
  // The clipboard first, then the printer in its order; a failure is told and changes
  // nothing else. 11906 / 31750 < 16838 / 22569: the width decides, 11906 x 8463 twips, times
  // 1.4; a printer that kept an earlier landscape gives 16749 x 11906.
  void print_data() {
    QTest::addColumn<int>("desk");  // 0: no printer, 1: a printer, 2: a printer but no clipboard
    QTest::addColumn<QSizeF>("page");
    QTest::addColumn<int>("failure");
    QTest::addColumn<QString>("log");
    QTest::addColumn<QString>("message");
    const QString drawn = "cleared 1, copied 1 A4 landscape draw 0,0 16668.4x11848.2";
    const QString failed = "印刷できませんでした。\nプリンタ「試験機」の状態と設定を確認してください。";
    QTest::newRow("portrait A4") << 1 << kPortraitA4 << 0 << drawn + " endPage endDocument" << "";
    QTest::newRow("landscape A4") << 1 << kPortraitA4.transposed() << 0
                                  << "cleared 1, copied 1 A4 landscape draw 0,0 23448.6x16668.4 endPage endDocument"
                                  << "";
    QTest::newRow("no printer") << 0 << QSizeF() << 0 << ""
                                << "印刷できるプリンタがありません。\n描画はクリップボードにコピーしました。";
    QTest::newRow("page of no size") << 1 << QSizeF(0, 0) << 0 << "cleared 1, copied 1" << failed;
    QTest::newRow("page cannot be drawn") << 1 << kPortraitA4 << int(RecordingPrinter::Draw) << drawn << failed;
    QTest::newRow("page does not end") << 1 << kPortraitA4 << int(RecordingPrinter::EndPage) << drawn + " endPage"
                                       << failed;
    QTest::newRow("no clipboard: printed all the same") << 2 << kPortraitA4 << 0
        << "cleared 1, copied 0 A4 landscape draw 0,0 16668.4x11848.2 endPage endDocument" << "";
    QTest::newRow("job does not end") << 1 << kPortraitA4 << int(RecordingPrinter::EndDocument)
                                      << drawn + " endPage endDocument" << failed;
  }
  void print() {
    QFETCH(int, desk);
    QFETCH(QSizeF, page);
    QFETCH(int, failure);
    QFETCH(QString, log);
    QFETCH(QString, message);
    Fixture fx;
    if (desk > 0) fx.usePrinter(page, failure);
    fx.desktop.clipboardWorks = desk < 2;
    const QStringList before = fx.snapshot();
    printSheet(fx.session);
    QCOMPARE(fx.log.join(' '), log);
    QCOMPARE(fx.snapshot(), before);
    QVERIFY(fx.session.surface().autoRedraw());
    QCOMPARE(fx.desktop.messages.size(), std::size_t(!message.isEmpty()));
    if (!message.isEmpty()) QCOMPARE(shown(fx.desktop.messages[0]), notice(message));
    QCOMPARE(fx.desktop.clipboardImages.size(), std::size_t(desk < 2));
    if (desk < 2) QVERIFY(isRed(fx.desktop.clipboardImages[0].pixel(600, 427)));  // the sheet as on screen
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
    QVERIFY(fx.session.surface().sheet().isEmpty());
    QCOMPARE(fx.session.surface().scaleMode(), DrawingSurface::ScaleMode::Characters);
    QVERIFY(fx.desktop.messages.empty());
  }

  // The button asks, sets the flag (Yes switches it, No keeps it), hides itself and brings
  // the marker back; the sheet waits for the next Draw.
  void backgroundMapButtons() {
    for (const int flag : {0, 1}) {
      for (const MessageAnswer answer : {MessageAnswer::Yes, MessageAnswer::No}) {
        Fixture fx;
        fx.desktop.messageAnswers.push_back(answer);
        fx.session.ShowBackgroundMap = int16_t(flag);
        const Control button = flag ? Control::Command8 : Control::Command7;
        fx.session.setVisible(button, true);
        fx.session.setVisible(Control::Label32, false);
        QStringList expected = fx.snapshot();
        expected[0] = QString::number(answer == MessageAnswer::Yes ? 1 - flag : flag);
        (flag ? hideBackgroundMap : showBackgroundMap)(fx.session);
        QCOMPARE(fx.snapshot(), expected);
        QCOMPARE(fx.desktop.messages.size(), std::size_t(1));
        QCOMPARE(shown(fx.desktop.messages[0]), question(flag ? "背景地図を表示しません\n\rいいですか" : "背景地図を表示します\n\rいいですか"));
        QVERIFY(!fx.session.visible(button) && fx.session.visible(Control::Label32));
      }
    }
  }

  // OK with text (blanks kept), OK with nothing, Cancel.
  void titleComment() {
    for (const auto& [typed, title] : {std::pair{std::optional<QString>(" 九州の火山　2025年 "), " 九州の火山　2025年 "},
                                       {std::optional<QString>(QString()), ""}, {std::nullopt, ""}}) {
      Fixture fx;
      fx.desktop.inputAnswers.push_back(typed);
      enterTitleComment(fx.session);
      QCOMPARE(fx.desktop.inputs.size(), std::size_t(1));
      QCOMPARE(fx.desktop.inputs[0].prompt, QStringLiteral("入力してください\r\n(不要ならキャンセル)"));
      QVERIFY(fx.desktop.inputs[0].caption.isEmpty());
      QCOMPARE(fx.session.TitleComment, QString(title));
      QCOMPARE(fx.session.caption(Control::Label37), std::optional<QString>(title));
    }
  }
};

QTEST_MAIN(TestSheetCommands)
#include "tst_sheet_commands.moc"
