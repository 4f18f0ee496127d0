#include "session/sheet_commands.h"

#include "map/print_fit.h"
#include "platform/platform.h"
#include "session/messages.h"
#include "session/session.h"
#include "session/table_commands.h"
#include "sheet/sheet_renderer.h"

namespace eq {
namespace {


// Sends the sheet to the printer: the fitted size is read from the page as the
// printer has it, then the paper is set to landscape A4 and the sheet is drawn
// 1.4 times that size from the page's origin, by the renderer at the printer's own
// resolution. False when the printer could not take the job.
bool printOnPage(PrinterDevice& printer, const SheetPicture& sheet, PictureSize picture) {
  const QSizeF page = printer.pageSizeTwips();
  const auto fit = fitPictureToPage(page.width(), page.height(), picture);
  if (!fit) return false;
  printer.setPaperSizeA4();
  printer.setOrientationLandscape();
  const QRectF target(0, 0, static_cast<float>(fit->drawWidth), static_cast<float>(fit->drawHeight));
  const bool drawn = printer.drawPicture(
      target, [&sheet](QPainter& painter, const QRectF& device) { paintSheet(painter, sheet, device); });
  return drawn && printer.endPage() && printer.endDocument();
}

// Command7 and Command8: the flag is set first, a No puts it back; the button
// hides itself and the marker Label32 returns.
void confirmBackgroundMap(Session& session, Control button, bool wanted) {
  session.ShowBackgroundMap = wanted;
  if (!askYesNo(session, messageText(text::backgroundQuestion(wanted)))) session.ShowBackgroundMap = !wanted;
  session.setVisible(button, false);
  session.setVisible(Control::Label32, true);
}

}  // namespace

void printSheet(Session& session) {
  Platform& platform = session.platform();
  platform.clearClipboard();
  // The clipboard gets the sheet as it is on screen; if the clipboard is not
  // available the sheet is still printed.
  const QImage image = session.surface().image();
  const bool copied = platform.setClipboardImage(image);
  const PictureSize picture = pictureSizeOfBitmap(image.width(), image.height());

  const std::unique_ptr<PrinterDevice> printer = platform.defaultPrinter();
  if (!printer) {
    QString text = QStringLiteral("印刷できるプリンタがありません。");
    if (copied) text += QStringLiteral("\n描画はクリップボードにコピーしました。");
    warnUser(session, text);
    return;
  }
  // The queue lists the job under the title comment, or the program's name.
  printer->setDocumentName(session.TitleComment.isEmpty() ? QStringLiteral("地震サークル") : session.TitleComment);
  if (!printOnPage(*printer, session.surface().picture(), picture)) {
    const QString name = printer->name();
    const QString why = printer->errorString();
    warnUser(session, QStringLiteral("印刷できませんでした。\nプリンタ%1の状態と設定を確認してください。%2")
                          .arg(name.isEmpty() ? QString() : QStringLiteral("「%1」").arg(name),
                               why.isEmpty() ? QString() : QStringLiteral("\n理由: ") + why));
  }
}

void clearDrawing(Session& session) {
  makeAllRowsUsable(session);
  session.setVisible(Control::Label20, false);
  session.setVisible(Control::Label21, false);
  session.surface().clear();
}

void showBackgroundMap(Session& session) {
  confirmBackgroundMap(session, Control::Command7, true);
}

void hideBackgroundMap(Session& session) {
  confirmBackgroundMap(session, Control::Command8, false);
}

void enterTitleComment(Session& session) {
  // Cancel and an empty OK both leave no title.
  session.refreshView();
  const std::optional<QString> typed =
      session.platform().inputBox(QString::fromUtf8(text::kTitlePrompt), QString());
  session.TitleComment = typed.value_or(QString());
  session.setCaption(Control::Label37, session.TitleComment);
}

}  // namespace eq
