// The commands on the sheet, driven by clicks on an offscreen main window with a
// scripted desktop: print (clipboard and printer, also into a real PDF file),
// clear drawing, background map on and off, title comment.

#include "app/qt_platform.h"
#include "common/form_fixture.h"
#include "map/picture_box.h"

#include <QPainter>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QtTest>

using namespace eq;
using namespace eq::test;

namespace {

// The scripted desktop, noting in one log the clipboard and printer calls in their order.
class LoggingPlatform : public ScriptedPlatform {
 public:
  QStringList log;
  std::function<std::unique_ptr<PrinterDevice>()> printer;  // none: no printer
  std::unique_ptr<PrinterDevice> defaultPrinter() override {
    log << QStringLiteral("defaultPrinter");
    return printer ? printer() : nullptr;
  }
  bool clearClipboard() override {
    log << QStringLiteral("clearClipboard");
    return ScriptedPlatform::clearClipboard();
  }
  bool setClipboardImage(const QImage& image) override {
    log << QStringLiteral("setClipboardImage");
    return ScriptedPlatform::setClipboardImage(image);
  }
};
using Window = BasicFormFixture<LoggingPlatform>;

// A printer that notes what it is asked and fails where it is told to.
class RecordingPrinter : public PrinterDevice {
 public:
  enum Failure { None, Draw, EndPage, EndDocument };
  RecordingPrinter(QStringList& log, QSizeF page, Failure failure = None) : log_(log), page_(page), failure_(failure) {}

  QString name() const override { return QStringLiteral("recording"); }
  QSizeF pageSizeTwips() const override {
    log_ << QStringLiteral("pageSize");
    return page_;
  }
  void setPaperSizeA4() override { log_ << QStringLiteral("A4"); }
  void setOrientationLandscape() override { log_ << QStringLiteral("landscape"); }
  bool drawPicture(const QRectF& twips, const std::function<void(QPainter&, const QRectF&)>& paint) override {
    log_ << QStringLiteral("draw %1,%2 %3x%4").arg(twips.x()).arg(twips.y()).arg(twips.width()).arg(twips.height());
    if (failure_ == Draw) return false;
    QImage page(QSize(900, 900), QImage::Format_RGB32);  // one device pixel per 20 twips
    page.fill(Qt::white);
    QPainter painter(&page);
    paint(painter, QRectF(twips.x() / 20, twips.y() / 20, twips.width() / 20, twips.height() / 20));
    return true;
  }
  bool endPage() override {
    log_ << QStringLiteral("endPage");
    return failure_ != EndPage;
  }
  bool endDocument() override {
    log_ << QStringLiteral("endDocument");
    return failure_ != EndDocument;
  }

 private:
  QStringList& log_;
  QSizeF page_;
  Failure failure_;
};

const QSizeF kPortraitA4(11906, 16838);

// What the user typed and chose: the flag, the title, the prediction date, the table's texts and ticks.
QStringList entries(const Form1& form) {
  QStringList out{QString::number(form.ShowBackgroundMap), form.TitleComment, form.Label37->text()};
  for (int i = 1; i <= 63; ++i) out << form.TextEQ(i)->text();
  for (bool tick : ticks(form)) out << QString::number(tick);
  return out;
}
// What the print command must leave alone: the entries, the rows' looks, the items drawn, the status labels.
QStringList session(const Form1& form) {
  return entries(form) + rowLooks(form) << QString::number(form.Picture1->sheet().items().size())
                                        << QString::number(form.Label20->isVisible())
                                        << QString::number(form.Label21->isVisible());
}

// Red discs near the four corners and the middle, and one open circle round the middle.
const QPointF kDiscs[] = {{1500, 1500}, {16500, 1500}, {1500, 11300}, {16500, 11300}, {9000, 6400}};
constexpr float kDiscRadius = 150;
constexpr float kRingRadius = 4000;

void drawSampleSheet(PictureBox& surface) {
  surface.setFillStyle(0);
  surface.setFillColor(Qt::red);
  for (const QPointF& c : kDiscs) surface.circle(float(c.x()), float(c.y()), kDiscRadius, Qt::red);
  surface.setFillStyle(1);
  surface.circle(9000, 6400, kRingRadius, Qt::red);
  surface.line(500, 800, 3500, 800, Qt::black);
  surface.setCurrentX(3300);
  surface.setCurrentY(480);
  surface.print(QStringLiteral("1000 km"));
}

// A session in progress: some text, ticks, excluded rows, a title, a drawn sheet.
void fillSession(Form1& form) {
  fillRow(form, 1, {"桜島", "2020"});
  form.TextEQ(61)->setText(QStringLiteral("2025"));
  form.CheckEQ(1)->setChecked(true);
  form.CheckEQ(3)->setChecked(true);
  excludeRow(form, 3);
  excludeRow(form, 7);
  form.Label20->setVisible(true);
  form.Label21->setVisible(true);
  form.TitleComment = QStringLiteral("試し");
  form.Label37->setText(form.TitleComment);
  drawSampleSheet(*form.Picture1);
  form.Picture1->setScaleMode(PictureBox::ScaleMode::Characters);
}

bool isRed(QRgb pixel) { return qRed(pixel) > 200 && qGreen(pixel) < 90 && qBlue(pixel) < 90; }

QString runTool(const char* name, const QStringList& args) {
  const QString path = QStandardPaths::findExecutable(QString::fromLatin1(name));
  if (path.isEmpty()) qFatal("%s (poppler-utils) is needed", name);
  QProcess process;
  process.start(path, args);
  process.waitForFinished(60000);
  return QString::fromUtf8(process.readAllStandardOutput());
}

}  // namespace

class TestSheetCommands : public QObject {
  Q_OBJECT
 private slots:
  void printRunsInOrder_data();
  void printRunsInOrder();
  void printFailureIsReported_data();
  void printFailureIsReported();
  void printIntoPdf();
  void printIntoUnwritableFile();
  void clearDrawing();
  void backgroundMapButtons_data();
  void backgroundMapButtons();
  void titleComment_data();
  void titleComment();
};

void TestSheetCommands::printRunsInOrder_data() {
  QTest::addColumn<QSizeF>("page");
  QTest::addColumn<bool>("clipboardWorks");
  QTest::addColumn<QString>("drawn");
  QTest::newRow("portrait A4") << kPortraitA4 << true << QStringLiteral("draw 0,0 16668.4x11848.2");
  // A printer that kept the landscape of an earlier job: the height decides (16749 x 11906).
  QTest::newRow("landscape A4") << kPortraitA4.transposed() << true << QStringLiteral("draw 0,0 23448.6x16668.4");
  // Without a clipboard the sheet is still printed, and nobody is told.
  QTest::newRow("no clipboard") << kPortraitA4 << false << QStringLiteral("draw 0,0 16668.4x11848.2");
}

void TestSheetCommands::printRunsInOrder() {
  QFETCH(QSizeF, page);
  QFETCH(bool, clipboardWorks);
  QFETCH(QString, drawn);
  Window w;
  w.platform.clipboardWorks = clipboardWorks;
  w.platform.printer = [&] { return std::make_unique<RecordingPrinter>(w.platform.log, page); };
  fillSession(w.form);
  const QStringList before = session(w.form);
  QVERIFY(!w.form.Picture1->autoRedraw());

  click(w.form.Command3);

  QCOMPARE(w.platform.log, (QStringList{"clearClipboard", "setClipboardImage", "defaultPrinter", "pageSize", "A4",
                                        "landscape", drawn, "endPage", "endDocument"}));
  QVERIFY(w.platform.messages.empty());
  QCOMPARE(session(w.form), before);
  QVERIFY(w.form.Picture1->autoRedraw());
  QCOMPARE(w.platform.clipboardImages.size(), std::size_t(clipboardWorks));
  if (!clipboardWorks) return;
  const QImage& copied = w.platform.clipboardImages.front();
  QCOMPARE(copied.size(), QSize(1200, 853));
  QCOMPARE(copied, w.form.Picture1->image());
  QVERIFY(isRed(copied.pixel(600, 427)));  // the middle disc is on it
}

void TestSheetCommands::printFailureIsReported_data() {
  QTest::addColumn<bool>("hasPrinter");
  QTest::addColumn<QSizeF>("page");
  QTest::addColumn<int>("failure");
  QTest::addColumn<QString>("firstLine");
  const QString noPrinter = QStringLiteral("印刷できるプリンタがありません。");
  const QString failed = QStringLiteral("印刷できませんでした。");
  QTest::newRow("no printer") << false << QSizeF() << int(RecordingPrinter::None) << noPrinter;
  QTest::newRow("page of no size") << true << QSizeF(0, 0) << int(RecordingPrinter::None) << failed;
  QTest::newRow("page cannot be drawn") << true << kPortraitA4 << int(RecordingPrinter::Draw) << failed;
  QTest::newRow("page does not end") << true << kPortraitA4 << int(RecordingPrinter::EndPage) << failed;
  QTest::newRow("job does not end") << true << kPortraitA4 << int(RecordingPrinter::EndDocument) << failed;
}

void TestSheetCommands::printFailureIsReported() {
  QFETCH(bool, hasPrinter);
  QFETCH(QSizeF, page);
  QFETCH(int, failure);
  QFETCH(QString, firstLine);
  Window w;
  if (hasPrinter) {
    w.platform.printer = [&] {
      return std::make_unique<RecordingPrinter>(w.platform.log, page, RecordingPrinter::Failure(failure));
    };
  }
  fillSession(w.form);
  const QStringList before = session(w.form);

  click(w.form.Command3);

  QCOMPARE(w.platform.messages.size(), std::size_t(1));
  const auto& message = w.platform.messages.front();
  QCOMPARE(shown(message), shown(message.text, MessageButtons::Ok, MessageIcon::Exclamation));
  QCOMPARE(message.text.section(QLatin1Char('\n'), 0, 0), firstLine);
  // The clipboard still holds the sheet; the session is as it was.
  QCOMPARE(w.platform.clipboardImages.size(), std::size_t(1));
  QCOMPARE(session(w.form), before);
  // Nothing is drawn after a failed step.
  if (failure == RecordingPrinter::Draw) QVERIFY(!w.platform.log.contains(QStringLiteral("endPage")));
}

void TestSheetCommands::printIntoPdf() {
  QTemporaryDir dir;
  QVERIFY(dir.isValid());
  const QString pdf = dir.filePath(QStringLiteral("sheet.pdf"));
  FormFixture fx;
  fx.platform.printerFactory = [&] { return makeQtPrinterDevice(QString(), pdf); };
  drawSampleSheet(*fx.form.Picture1);

  click(fx.form.Command3);
  QVERIFY2(fx.platform.messages.empty(), fx.platform.messages.empty() ? "" : qPrintable(fx.platform.messages[0].text));

  // One landscape A4 page, drawn as lines and text at the printer's resolution, not as a bitmap.
  const QString details = runTool("pdfinfo", {pdf});
  QVERIFY2(details.contains(QRegularExpression(QStringLiteral("Pages:\\s+1\\n"))), qPrintable(details));
  QVERIFY2(details.contains(QRegularExpression(QStringLiteral("Page size:\\s+(841\\.89|842) x 595(\\.\\d+)? pts \\(A4\\)"))),
           qPrintable(details));
  QVERIFY(!readFile(pdf).contains("/Subtype /Image"));

  // The sheet, 16668.4 x 11848.2 twips from the page's top-left corner.
  constexpr int kDpi = 100;
  runTool("pdftoppm", {"-r", QString::number(kDpi), "-png", "-singlefile", pdf, dir.filePath(QStringLiteral("page"))});
  const QImage page(dir.filePath(QStringLiteral("page.png")));
  QVERIFY(std::abs(page.width() - 1169) <= 1 && std::abs(page.height() - 827) <= 1);
  const double sx = 16668.4 / 18000 * kDpi / 1440.0, sy = 11848.2 / 12800 * kDpi / 1440.0;  // pixels per map unit
  for (const QPointF& c : kDiscs) QVERIFY(isRed(page.pixel(int(c.x() * sx), int(c.y() * sy))));
  // The red ink's extent is that of the outer discs.
  QRect ink;
  for (int y = 0; y < page.height(); ++y)
    for (int x = 0; x < page.width(); ++x)
      if (isRed(page.pixel(x, y))) ink |= QRect(x, y, 1, 1);
  const QRectF expected(QPointF((1500 - kDiscRadius) * sx, (1500 - kDiscRadius) * sy),
                        QPointF((16500 + kDiscRadius) * sx, (11300 + kDiscRadius) * sy));
  QVERIFY2(std::abs(ink.left() - expected.left()) <= 2 && std::abs(ink.right() + 1 - expected.right()) <= 2 &&
               std::abs(ink.top() - expected.top()) <= 2 && std::abs(ink.bottom() + 1 - expected.bottom()) <= 2,
           qPrintable(QStringLiteral("red ink %1,%2 - %3,%4").arg(ink.left()).arg(ink.top()).arg(ink.right())
                          .arg(ink.bottom())));
  // The open circle crosses the middle row at its radius.
  const int row = int(6400 * sy);
  const int edge = int((9000 - kRingRadius) * sx);
  QVERIFY(isRed(page.pixel(edge, row)) || isRed(page.pixel(edge + 1, row)));
  QVERIFY(!isRed(page.pixel(int((9000 - kRingRadius / 2) * sx), row)));
}

void TestSheetCommands::printIntoUnwritableFile() {
  FormFixture fx;
  fx.platform.printerFactory = [] { return makeQtPrinterDevice(QString(), QStringLiteral("/nonexistent/dir/sheet.pdf")); };
  drawSampleSheet(*fx.form.Picture1);
  QTest::ignoreMessage(QtWarningMsg, QRegularExpression(QStringLiteral(".*")));

  click(fx.form.Command3);

  QCOMPARE(fx.platform.messages.size(), std::size_t(1));
  QVERIFY(fx.platform.messages.front().text.startsWith(QStringLiteral("印刷できませんでした。")));
}

void TestSheetCommands::clearDrawing() {
  FormFixture fx;
  Form1& form = fx.form;
  fillSession(form);
  form.ShowBackgroundMap = 0;
  const QStringList before = entries(form);

  click(form.Command6);

  QCOMPARE(rowLooks(form), QStringList(kRowCount, "usable"));
  QVERIFY(!form.Label20->isVisible());
  QVERIFY(!form.Label21->isVisible());
  QVERIFY(form.Picture1->sheet().isEmpty());
  QCOMPARE(form.Picture1->image().pixel(600, 427), qRgb(255, 255, 255));
  QCOMPARE(form.Picture1->scaleMode(), PictureBox::ScaleMode::Characters);
  QCOMPARE(entries(form), before);
  QVERIFY(fx.platform.messages.empty() && fx.platform.inputs.empty());
}

void TestSheetCommands::backgroundMapButtons_data() {
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

// The marker Label32 offers the button that changes the flag; the button asks, hides
// itself and brings the marker back.
void TestSheetCommands::backgroundMapButtons() {
  QFETCH(int, flag);
  QFETCH(int, answer);
  QFETCH(QString, question);
  QFETCH(int, flagAfter);
  FormFixture fx;
  Form1& form = fx.form;
  fx.platform.messageAnswers.push_back(MessageAnswer(answer));
  fillSession(form);
  form.ShowBackgroundMap = int16_t(flag);
  const std::size_t items = form.Picture1->sheet().items().size();

  click(form.Label32);
  QPushButton* const offered = flag ? form.Command8 : form.Command7;
  QPushButton* const other = flag ? form.Command7 : form.Command8;
  QVERIFY(offered->isVisible() && !other->isVisible() && !form.Label32->isVisible());
  QVERIFY(fx.platform.messages.empty());
  click(offered);

  QCOMPARE(fx.platform.messages.size(), std::size_t(1));
  QCOMPARE(shown(fx.platform.messages[0]), shown(question, MessageButtons::YesNo, MessageIcon::Information));
  QCOMPARE(int(form.ShowBackgroundMap), flagAfter);
  QVERIFY(!form.Command7->isVisible() && !form.Command8->isVisible() && form.Label32->isVisible());
  QCOMPARE(form.Picture1->sheet().items().size(), items);  // the sheet waits for the next Draw
}

void TestSheetCommands::titleComment_data() {
  QTest::addColumn<bool>("cancelled");
  QTest::addColumn<QString>("typed");
  QTest::addColumn<QString>("title");
  QTest::newRow("typed") << false << QStringLiteral("九州の火山　2025年") << QStringLiteral("九州の火山　2025年");
  QTest::newRow("blanks are kept") << false << QStringLiteral(" 題 ") << QStringLiteral(" 題 ");
  QTest::newRow("empty OK") << false << QString() << QString();
  QTest::newRow("cancel") << true << QStringLiteral("ignored") << QString();
}

void TestSheetCommands::titleComment() {
  QFETCH(bool, cancelled);
  QFETCH(QString, typed);
  QFETCH(QString, title);
  FormFixture fx;
  fx.platform.inputAnswers.push_back(cancelled ? std::nullopt : std::optional<QString>(typed));
  fx.form.TitleComment = QStringLiteral("前の題");
  fx.form.Label37->setText(fx.form.TitleComment);

  click(fx.form.Command9);

  QCOMPARE(fx.platform.inputs.size(), std::size_t(1));
  QCOMPARE(fx.platform.inputs[0].prompt, QStringLiteral("入力してください\r\n(不要ならキャンセル)"));
  QVERIFY(fx.platform.inputs[0].caption.isEmpty());
  QCOMPARE(fx.form.TitleComment, title);
  QCOMPARE(fx.form.Label37->text(), title);
  QVERIFY(fx.platform.messages.empty());
}

QTEST_MAIN(TestSheetCommands)
#include "tst_sheet_commands.moc"
