#include "app/qt_platform.h"

#include "app/file_dialogs.h"
#include "platform/cups_printer.h"
#include "platform/print_job.h"
#include "platform/text_editor.h"

#include <QApplication>
#include <QClipboard>
#include <QDesktopServices>
#include <QInputDialog>
#include <QMessageBox>
#include <QPushButton>
#include <QPrinterInfo>
#include <QUrl>

namespace eq {

MessageAnswer QtPlatform::messageBox(const QString& text, const QString& caption, MessageButtons buttons,
                                     MessageIcon icon) {
  QMessageBox box(parent_);
  box.setWindowTitle(caption);
  // The questions break their lines with LF then CR; on screen that pair is one
  // line break, not a blank line.
  QString shown = text;
  shown.replace(QStringLiteral("\n\r"), QStringLiteral("\n"));
  box.setText(shown);
  switch (icon) {
    case MessageIcon::Information: box.setIcon(QMessageBox::Information); break;
    case MessageIcon::Exclamation: box.setIcon(QMessageBox::Warning); break;
  }
  if (buttons == MessageButtons::YesNo) {
    box.setStandardButtons(QMessageBox::Yes | QMessageBox::No);
    box.setDefaultButton(QMessageBox::Yes);
    box.button(QMessageBox::Yes)->setText(QStringLiteral("はい(&Y)"));
    box.button(QMessageBox::No)->setText(QStringLiteral("いいえ(&N)"));
    // Closing the question (Escape or the title-bar button) answers No, the safe choice.
    box.setEscapeButton(box.button(QMessageBox::No));
    return box.exec() == QMessageBox::No ? MessageAnswer::No : MessageAnswer::Yes;
  }
  box.setStandardButtons(QMessageBox::Ok);
  box.exec();
  return MessageAnswer::Ok;
}

std::optional<QString> QtPlatform::inputBox(const QString& prompt, const QString& caption) {
  QInputDialog dialog(parent_);
  // Without a caption of its own the box shows the program's name.
  dialog.setWindowTitle(caption.isEmpty() ? QStringLiteral("地震サークル") : caption);
  dialog.setLabelText(prompt);
  dialog.setOkButtonText(QStringLiteral("OK"));
  dialog.setCancelButtonText(QStringLiteral("キャンセル"));
  if (dialog.exec() != QDialog::Accepted) return std::nullopt;
  return dialog.textValue();
}

std::optional<QString> QtPlatform::openFileDialog(const FileDialogRequest& request) {
  // "description|pattern" becomes Qt's "description (pattern)"; *.* means any file here.
  const QString description = request.filter.section(QLatin1Char('|'), 0, 0);
  QString pattern = request.filter.section(QLatin1Char('|'), 1, 1);
  if (pattern == QStringLiteral("*.*")) pattern = QStringLiteral("*");
  return askOpenFileName(parent_, request.title, request.initialPath,
                         description + QStringLiteral(" (") + pattern + QLatin1Char(')'));
}

std::optional<QString> QtPlatform::saveFileDialog(const FileDialogRequest& request) {
  // "description|pattern||description|pattern" becomes Qt's "description (pattern)", one a type.
  QStringList filters;
  for (const QString& entry : request.filter.split(QStringLiteral("||"))) {
    filters << entry.section(QLatin1Char('|'), 0, 0) + QStringLiteral(" (") + entry.section(QLatin1Char('|'), 1, 1) +
                   QLatin1Char(')');
  }
  return askSaveFileName(parent_, request.title, request.initialPath, filters);
}

bool QtPlatform::setClipboardText(const QString& text) {
  QClipboard* clipboard = QGuiApplication::clipboard();
  if (!clipboard) return false;
  clipboard->setText(text);
  return true;
}

bool QtPlatform::startEditor(const QString& path) {
  // Where no editor would show the file, the user is told where it is instead.
  return desktopHasTextEditor() && QDesktopServices::openUrl(QUrl::fromLocalFile(path));
}

std::unique_ptr<PrinterDevice> QtPlatform::defaultPrinter() {
  // Jobs go to CUPS as PDF, so that a queue that refuses them is known and reported.
  const std::optional<QString> queue = defaultQueue();
  if (!queue) return nullptr;
  const QPrinterInfo info = QPrinterInfo::printerInfo(*queue);
  const QPageSize paper = info.isNull() || !info.defaultPageSize().isValid() ? QPageSize(QPageSize::A4)
                                                                            : info.defaultPageSize();
  return makeCupsPrinterDevice(*queue, paper);
}

bool QtPlatform::clearClipboard() {
  QClipboard* clipboard = QGuiApplication::clipboard();
  if (!clipboard) return false;
  clipboard->clear();
  return true;
}

bool QtPlatform::setClipboardImage(const QImage& image) {
  QClipboard* clipboard = QGuiApplication::clipboard();
  if (!clipboard || image.isNull()) return false;
  clipboard->setImage(image);
  return true;
}

}  // namespace eq
