#pragma once
// A desktop that answers from a script and records what it was asked: tests drive
// every command through it, and the headless renderer uses it so that nothing can
// wait for a person. An answer that was not scripted is the cautious one (No, Cancel).

#include "platform/platform.h"

#include <QList>
#include <deque>
#include <vector>

namespace eq {

class ScriptedPlatform : public Platform {
 public:
  struct Message {
    QString text;
    QString caption;
    MessageButtons buttons;
    MessageIcon icon;
  };
  struct Input {
    QString prompt;
    QString caption;
  };

  // Scripted answers, used front to back.
  std::deque<MessageAnswer> messageAnswers;
  std::deque<std::optional<QString>> inputAnswers;
  std::deque<std::optional<QString>> fileDialogAnswers;
  std::deque<std::optional<QString>> saveDialogAnswers;
  bool editorStarts = true;
  bool clipboardWorks = true;
  // The printer handed out by defaultPrinter(); none when empty. Tests put a PDF
  // printer or a failing one here.
  std::function<std::unique_ptr<PrinterDevice>()> printerFactory;

  // What the commands asked for.
  std::vector<Message> messages;
  std::vector<Input> inputs;
  std::vector<FileDialogRequest> fileDialogs;
  std::vector<FileDialogRequest> saveDialogs;
  std::vector<QString> clipboardTexts;
  std::vector<QString> editorPaths;
  int clipboardClears = 0;
  std::vector<QImage> clipboardImages;
  int printerRequests = 0;

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
};

}  // namespace eq
