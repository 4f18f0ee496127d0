// The commands on the sheet, driven by clicks on an offscreen main window with a
// scripted desktop: print (clipboard and printer, also into a real PDF file),
// clear drawing, background map on and off, title comment.

#include "app/eruption_table.h"
#include "app/form1.h"
#include "app/qt_platform.h"
#include "app/scripted_platform.h"
#include "map/picture_box.h"

#include <QPainter>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QtTest>
#include <memory>

using namespace eq;

namespace {

const QString kCaption = QStringLiteral("メッセージ");
const QColor kRed(255, 0, 0);

// The scripted desktop, also noting the order of the clipboard and printer calls.
class LoggingPlatform : public ScriptedPlatform {
 public:
  QStringList calls;
  std::unique_ptr<PrinterDevice> defaultPrinter() override {
    calls << QStringLiteral("defaultPrinter");
    return ScriptedPlatform::defaultPrinter();
  }
  bool clearClipboard() override {
    calls << QStringLiteral("clearClipboard");
    return ScriptedPlatform::clearClipboard();
  }
  bool setClipboardImage(const QImage& image) override {
    calls << QStringLiteral("setClipboardImage");
    return ScriptedPlatform::setClipboardImage(image);
  }
};

// A printer that notes what it is asked and fails where it is told to.
class RecordingPrinter : public PrinterDevice {
 public:
  enum Failure { None, Draw, EndPage, EndDocument };
  RecordingPrinter(QStringList& log, QSizeF page, Failure failure = None)
      : log_(log), page_(page), failure_(failure) {}

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
    // One device pixel per 20 twips.
    QImage page(QSize(900, 900), QImage::Format_RGB32);
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

// What the sheet commands must leave alone when they do not own it.
struct Snapshot {
  int16_t showBackgroundMap;
  QString title;
  QString label37;
  std::size_t sheetItems;
  bool label20, label21;
  QStringList texts;
  QList<bool> ticks, enabled;

  static Snapshot of(const Form1& form) {
    Snapshot s{form.ShowBackgroundMap, form.TitleComment, form.Label37->text(), form.Picture1->sheet().items().size(),
               form.Label20->isVisible(), form.Label21->isVisible(), {}, {}, {}};
    for (int i = 1; i <= 63; ++i) {
      s.texts << form.TextEQ(i)->text();
      s.enabled << form.TextEQ(i)->isEnabled();
    }
    for (int r = 1; r <= kRowCount; ++r) {
      s.ticks << form.CheckEQ(r)->isChecked();
      s.enabled << form.CheckEQ(r)->isEnabled();
    }
    return s;
  }
  bool operator==(const Snapshot& o) const {
    return showBackgroundMap == o.showBackgroundMap && title == o.title && label37 == o.label37 &&
           sheetItems == o.sheetItems && label20 == o.label20 && label21 == o.label21 && texts == o.texts &&
           ticks == o.ticks && enabled == o.enabled;
  }
};

// Red discs near the four corners and the middle, and one open circle round the middle.
const QPointF kDiscs[] = {{1500, 1500}, {16500, 1500}, {1500, 11300}, {16500, 11300}, {9000, 6400}};
constexpr float kDiscRadius = 150;
constexpr float kRingRadius = 4000;

void drawSampleSheet(PictureBox& surface) {
  surface.setFillStyle(0);
  surface.setFillColor(kRed);
  for (const QPointF& c : kDiscs) surface.circle(float(c.x()), float(c.y()), kDiscRadius, kRed);
  surface.setFillStyle(1);
  surface.circle(9000, 6400, kRingRadius, kRed);
  surface.line(500, 800, 3500, 800, Qt::black);
  surface.setCurrentX(3300);
  surface.setCurrentY(480);
  surface.print(QStringLiteral("1000 km"));
}

// A session in progress: some text, ticks, an excluded row, a title, a drawn sheet.
void fillSession(Form1& form) {
  form.TextEQ(1)->setText(QStringLiteral("桜島"));
  form.TextEQ(2)->setText(QStringLiteral("2020"));
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

std::unique_ptr<Form1> startForm(Platform& platform) {
  auto form = std::make_unique<Form1>(platform);
  form->Form_Load();
  return form;
}

void click(QWidget* widget) { QTest::mouseClick(widget, Qt::LeftButton, {}, widget->rect().center()); }

bool isRed(QRgb pixel) { return qRed(pixel) > 200 && qGreen(pixel) < 90 && qBlue(pixel) < 90; }

QString tool(const char* name) { return QStandardPaths::findExecutable(QString::fromLatin1(name)); }

}  // namespace

class TestSheetCommands : public QObject {
  Q_OBJECT
 private slots:
  void printRunsInOrder_data();
  void printRunsInOrder();
  void printFailureIsReported_data();
  void printFailureIsReported();
  void printWithoutClipboard();
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
  QTest::addColumn<QString>("drawn");
  QTest::newRow("portrait A4") << QSizeF(11906, 16838) << QStringLiteral("draw 0,0 16668.4x11848.2");
  // A printer that kept the landscape of an earlier job: the height decides (16749 x 11906).
  QTest::newRow("landscape A4") << QSizeF(16838, 11906) << QStringLiteral("draw 0,0 23448.6x16668.4");
}

void TestSheetCommands::printRunsInOrder() {
  QFETCH(QSizeF, page);
  QFETCH(QString, drawn);
  LoggingPlatform platform;
  QStringList printerLog;
  platform.printerFactory = [&] { return std::make_unique<RecordingPrinter>(printerLog, page); };
  auto form = startForm(platform);
  fillSession(*form);
  const Snapshot before = Snapshot::of(*form);
  QVERIFY(!form->Picture1->autoRedraw());

  click(form->Command3);

  QCOMPARE(platform.calls, (QStringList{"clearClipboard", "setClipboardImage", "defaultPrinter"}));
  QCOMPARE(printerLog, (QStringList{"pageSize", "A4", "landscape", drawn, "endPage", "endDocument"}));
  QCOMPARE(platform.clipboardImages.size(), std::size_t(1));
  const QImage& copied = platform.clipboardImages.front();
  QCOMPARE(copied.size(), QSize(1200, 853));
  QCOMPARE(copied, form->Picture1->image());
  QVERIFY(isRed(copied.pixel(600, 427)));  // the middle disc is on it
  QVERIFY(form->Picture1->autoRedraw());
  QVERIFY(platform.messages.empty());
  QVERIFY(Snapshot::of(*form) == before);
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
  QTest::newRow("page cannot be drawn") << true << QSizeF(11906, 16838) << int(RecordingPrinter::Draw) << failed;
  QTest::newRow("page does not end") << true << QSizeF(11906, 16838) << int(RecordingPrinter::EndPage) << failed;
  QTest::newRow("job does not end") << true << QSizeF(11906, 16838) << int(RecordingPrinter::EndDocument) << failed;
}

void TestSheetCommands::printFailureIsReported() {
  QFETCH(bool, hasPrinter);
  QFETCH(QSizeF, page);
  QFETCH(int, failure);
  QFETCH(QString, firstLine);
  LoggingPlatform platform;
  QStringList printerLog;
  if (hasPrinter) {
    platform.printerFactory = [&] {
      return std::make_unique<RecordingPrinter>(printerLog, page, RecordingPrinter::Failure(failure));
    };
  }
  auto form = startForm(platform);
  fillSession(*form);
  const Snapshot before = Snapshot::of(*form);

  click(form->Command3);

  QCOMPARE(platform.messages.size(), std::size_t(1));
  const auto& message = platform.messages.front();
  QCOMPARE(message.caption, kCaption);
  QCOMPARE(message.buttons, MessageButtons::Ok);
  QCOMPARE(message.icon, MessageIcon::Exclamation);
  QCOMPARE(message.text.section(QLatin1Char('\n'), 0, 0), firstLine);
  // The clipboard still holds the sheet; the session is as it was.
  QCOMPARE(platform.clipboardImages.size(), std::size_t(1));
  QVERIFY(Snapshot::of(*form) == before);
  // Nothing is drawn after a failed step.
  if (failure == RecordingPrinter::Draw) QVERIFY(!printerLog.contains(QStringLiteral("endPage")));
}

void TestSheetCommands::printWithoutClipboard() {
  LoggingPlatform platform;
  platform.clipboardWorks = false;
  QStringList printerLog;
  platform.printerFactory = [&] { return std::make_unique<RecordingPrinter>(printerLog, QSizeF(11906, 16838)); };
  auto form = startForm(platform);
  drawSampleSheet(*form->Picture1);

  click(form->Command3);

  QVERIFY(platform.clipboardImages.empty());
  QCOMPARE(printerLog.last(), QStringLiteral("endDocument"));
  QVERIFY(printerLog.contains(QStringLiteral("draw 0,0 16668.4x11848.2")));
  QVERIFY(platform.messages.empty());
}

void TestSheetCommands::printIntoPdf() {
  const QString pdftoppm = tool("pdftoppm");
  const QString pdfinfo = tool("pdfinfo");
  if (pdftoppm.isEmpty() || pdfinfo.isEmpty()) QFAIL("pdftoppm and pdfinfo (poppler-utils) are needed");
  QTemporaryDir dir;
  QVERIFY(dir.isValid());
  const QString pdf = dir.filePath(QStringLiteral("sheet.pdf"));
  ScriptedPlatform platform;
  platform.printerFactory = [&] { return makeQtPrinterDevice(QString(), pdf); };
  auto form = startForm(platform);
  drawSampleSheet(*form->Picture1);

  click(form->Command3);
  QVERIFY2(platform.messages.empty(), platform.messages.empty() ? "" : qPrintable(platform.messages[0].text));

  // One landscape A4 page.
  QProcess info;
  info.start(pdfinfo, {pdf});
  QVERIFY(info.waitForFinished());
  const QString details = QString::fromUtf8(info.readAllStandardOutput());
  QVERIFY2(details.contains(QRegularExpression(QStringLiteral("Pages:\\s+1\\n"))), qPrintable(details));
  QVERIFY2(details.contains(QRegularExpression(QStringLiteral("Page size:\\s+(841\\.89|842) x 595(\\.\\d+)? pts \\(A4\\)"))),
           qPrintable(details));
  // Drawn as lines and text at the printer's resolution, not as a bitmap.
  QFile file(pdf);
  QVERIFY(file.open(QIODevice::ReadOnly));
  QVERIFY(!file.readAll().contains("/Subtype /Image"));

  // The sheet, 16668.4 x 11848.2 twips from the page's top-left corner.
  constexpr int kDpi = 100;
  QProcess raster;
  raster.start(pdftoppm, {QStringLiteral("-r"), QString::number(kDpi), QStringLiteral("-png"),
                          QStringLiteral("-singlefile"), pdf, dir.filePath(QStringLiteral("page"))});
  QVERIFY(raster.waitForFinished(60000));
  const QImage page(dir.filePath(QStringLiteral("page.png")));
  QVERIFY(!page.isNull());
  QVERIFY(std::abs(page.width() - 1169) <= 1 && std::abs(page.height() - 827) <= 1);
  const double perTwip = kDpi / 1440.0;
  const double sx = 16668.4 / 18000 * perTwip, sy = 11848.2 / 12800 * perTwip;  // pixels per map unit
  for (const QPointF& c : kDiscs) {
    const QPoint at(int(c.x() * sx), int(c.y() * sy));
    QVERIFY2(isRed(page.pixel(at)), qPrintable(QStringLiteral("no disc at %1,%2").arg(at.x()).arg(at.y())));
  }
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
  QVERIFY(isRed(page.pixel(int((9000 - kRingRadius) * sx), row)) ||
          isRed(page.pixel(int((9000 - kRingRadius) * sx) + 1, row)));
  QVERIFY(!isRed(page.pixel(int((9000 - kRingRadius / 2) * sx), row)));
}

void TestSheetCommands::printIntoUnwritableFile() {
  ScriptedPlatform platform;
  platform.printerFactory = [] { return makeQtPrinterDevice(QString(), QStringLiteral("/nonexistent/dir/sheet.pdf")); };
  auto form = startForm(platform);
  drawSampleSheet(*form->Picture1);
  QTest::ignoreMessage(QtWarningMsg, QRegularExpression(QStringLiteral(".*")));

  click(form->Command3);

  QCOMPARE(platform.messages.size(), std::size_t(1));
  QVERIFY(platform.messages.front().text.startsWith(QStringLiteral("印刷できませんでした。")));
}

void TestSheetCommands::clearDrawing() {
  ScriptedPlatform platform;
  auto form = startForm(platform);
  fillSession(*form);
  form->ShowBackgroundMap = 0;
  Snapshot before = Snapshot::of(*form);

  click(form->Command6);

  for (int r = 1; r <= kRowCount; ++r) {
    QVERIFY(form->CheckEQ(r)->isEnabled());
    QCOMPARE(backColor(form->CheckEQ(r)), kUsableBack);
    for (int f = 1; f <= 6; ++f) {
      QVERIFY(form->TextEQ(fieldIndex(r, f))->isEnabled());
      QCOMPARE(backColor(form->TextEQ(fieldIndex(r, f))), kUsableBack);
    }
  }
  QVERIFY(!form->Label20->isVisible());
  QVERIFY(!form->Label21->isVisible());
  QVERIFY(form->Picture1->sheet().isEmpty());
  QCOMPARE(form->Picture1->image().pixel(600, 427), qRgb(255, 255, 255));
  QCOMPARE(form->Picture1->scaleMode(), PictureBox::ScaleMode::Characters);
  // The texts, ticks, title and flag stay.
  const Snapshot after = Snapshot::of(*form);
  QCOMPARE(after.texts, before.texts);
  QCOMPARE(after.ticks, before.ticks);
  QCOMPARE(after.title, before.title);
  QCOMPARE(after.label37, before.label37);
  QCOMPARE(after.showBackgroundMap, before.showBackgroundMap);
  QVERIFY(platform.messages.empty() && platform.inputs.empty());
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

void TestSheetCommands::backgroundMapButtons() {
  QFETCH(int, flag);
  QFETCH(int, answer);
  QFETCH(QString, question);
  QFETCH(int, flagAfter);
  ScriptedPlatform platform;
  platform.messageAnswers.push_back(MessageAnswer(answer));
  auto form = startForm(platform);
  fillSession(*form);
  form->ShowBackgroundMap = int16_t(flag);
  const std::size_t items = form->Picture1->sheet().items().size();

  click(form->Label32);
  QPushButton* const offered = flag ? form->Command8 : form->Command7;
  QPushButton* const other = flag ? form->Command7 : form->Command8;
  QVERIFY(offered->isVisible());
  QVERIFY(!other->isVisible());
  click(offered);

  QCOMPARE(platform.messages.size(), std::size_t(1));
  QCOMPARE(platform.messages[0].text, question);
  QCOMPARE(platform.messages[0].caption, kCaption);
  QCOMPARE(platform.messages[0].buttons, MessageButtons::YesNo);
  QCOMPARE(platform.messages[0].icon, MessageIcon::Information);
  QCOMPARE(int(form->ShowBackgroundMap), flagAfter);
  QVERIFY(!form->Command7->isVisible());
  QVERIFY(!form->Command8->isVisible());
  QVERIFY(form->Label32->isVisible());
  QCOMPARE(form->Picture1->sheet().items().size(), items);  // the sheet waits for the next Draw
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
  ScriptedPlatform platform;
  platform.inputAnswers.push_back(cancelled ? std::nullopt : std::optional<QString>(typed));
  auto form = startForm(platform);
  form->TitleComment = QStringLiteral("前の題");
  form->Label37->setText(form->TitleComment);

  click(form->Command9);

  QCOMPARE(platform.inputs.size(), std::size_t(1));
  QCOMPARE(platform.inputs[0].prompt, QStringLiteral("入力してください\r\n(不要ならキャンセル)"));
  QVERIFY(platform.inputs[0].caption.isEmpty());
  QCOMPARE(form->TitleComment, title);
  QCOMPARE(form->Label37->text(), title);
  QVERIFY(platform.messages.empty());
}

QTEST_MAIN(TestSheetCommands)
#include "tst_sheet_commands.moc"
