#pragma once
// The real desktop: Qt's message and input boxes, file dialog, clipboard, printer,
// and the desktop's handler for text files (NOTEPAD on Windows).

#include "platform/platform.h"

class QWidget;

namespace eq {

class QtPlatform : public Platform {
 public:
  explicit QtPlatform(QWidget* parent = nullptr) : parent_(parent) {}
  void setParentWidget(QWidget* parent) { parent_ = parent; }

  MessageAnswer messageBox(const QString& text, const QString& caption, MessageButtons buttons,
                           MessageIcon icon) override;
  std::optional<QString> inputBox(const QString& prompt, const QString& caption) override;
  std::optional<QString> openFileDialog(const FileDialogRequest& request) override;
  std::optional<QString> saveFileDialog(const FileDialogRequest& request) override;
  bool startEditor(const QString& path) override;
  std::unique_ptr<PrinterDevice> defaultPrinter() override;
  bool clearClipboard() override;
  bool setClipboardImage(const QImage& image) override;
  bool setClipboardText(const QString& text) override;

 private:
  QWidget* parent_;
};


}  // namespace eq
