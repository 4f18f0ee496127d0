#include "map/sheet_commands.h"

#include "app/eruption_table.h"
#include "app/form1.h"
#include "app/messages.h"
#include "app/platform.h"
#include "map/picture_box.h"
#include "map/print_fit.h"
#include "map/sheet_renderer.h"

namespace eq {
namespace {


// Sends the sheet to the printer: the fitted size is read from the page as the
// printer has it, then the paper is set to landscape A4 and the sheet is drawn
// 1.4 times that size from the page's origin, by the renderer at the printer's own
// resolution. False when the printer could not take the job.
bool printOnPage(PrinterDevice& printer, const Sheet& sheet, PictureSize picture) {
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
void confirmBackgroundMap(Form1& form, QPushButton* button, int16_t wanted, const QString& question) {
  form.ShowBackgroundMap = wanted;
  if (!askYesNo(form.platform(), confirmationText({question})))
    form.ShowBackgroundMap = static_cast<int16_t>(wanted == 0 ? 1 : 0);
  button->setVisible(false);
  form.Label32->setVisible(true);
}

}  // namespace

void printSheet(Form1& form) {
  Platform& platform = form.platform();
  platform.clearClipboard();
  form.Picture1->setAutoRedraw(true);
  // The clipboard gets the sheet as it is on screen; if the clipboard is not
  // available the sheet is still printed.
  const QImage image = form.Picture1->image();
  const bool copied = platform.setClipboardImage(image);
  const PictureSize picture = pictureSizeOfBitmap(image.width(), image.height());

  const std::unique_ptr<PrinterDevice> printer = platform.defaultPrinter();
  if (!printer) {
    QString text = QStringLiteral("印刷できるプリンタがありません。");
    if (copied) text += QStringLiteral("\n描画はクリップボードにコピーしました。");
    warnUser(platform, text);
    return;
  }
  if (!printOnPage(*printer, form.Picture1->sheet(), picture)) {
    const QString name = printer->name();
    warnUser(platform, QStringLiteral("印刷できませんでした。\nプリンタ%1の状態と設定を確認してください。")
                   .arg(name.isEmpty() ? QString() : QStringLiteral("「%1」").arg(name)));
  }
}

void clearDrawing(Form1& form) {
  makeAllRowsUsable(form);
  form.Label20->setVisible(false);
  form.Label21->setVisible(false);
  form.Picture1->removePicture();
}

void showBackgroundMap(Form1& form) {
  confirmBackgroundMap(form, form.Command7, 1, QStringLiteral("背景地図を表示します"));
}

void hideBackgroundMap(Form1& form) {
  confirmBackgroundMap(form, form.Command8, 0, QStringLiteral("背景地図を表示しません"));
}

void enterTitleComment(Form1& form) {
  // Cancel and an empty OK both leave no title.
  const std::optional<QString> typed =
      form.platform().inputBox(QStringLiteral("入力してください\r\n(不要ならキャンセル)"), QString());
  form.TitleComment = typed.value_or(QString());
  form.Label37->setText(form.TitleComment);
}

}  // namespace eq
