#include "platform/scripted_platform.h"

namespace eq {
namespace {
// The next scripted answer, or the cautious one when the script has run out.
std::optional<QString> takeNext(std::deque<std::optional<QString>>& answers) {
  if (answers.empty()) return std::nullopt;
  const bool cancelled = !answers.front().has_value();
  const QString text = answers.front().value_or(QString());
  answers.pop_front();
  if (cancelled) return std::nullopt;
  return text;
}
}  // namespace

MessageAnswer ScriptedPlatform::messageBox(const QString& text, const QString& caption, MessageButtons buttons,
                                           MessageIcon icon) {
  messages.push_back({text, caption, buttons, icon});
  if (buttons == MessageButtons::Ok) {
    if (!messageAnswers.empty() && messageAnswers.front() == MessageAnswer::Ok) messageAnswers.pop_front();
    return MessageAnswer::Ok;
  }
  if (messageAnswers.empty()) return MessageAnswer::No;
  const MessageAnswer answer = messageAnswers.front();
  messageAnswers.pop_front();
  return answer;
}

std::optional<QString> ScriptedPlatform::inputBox(const QString& prompt, const QString& caption) {
  inputs.push_back({prompt, caption});
  return takeNext(inputAnswers);
}

std::optional<QString> ScriptedPlatform::openFileDialog(const FileDialogRequest& request) {
  fileDialogs.push_back(request);
  return takeNext(fileDialogAnswers);
}

std::optional<QString> ScriptedPlatform::saveFileDialog(const FileDialogRequest& request) {
  saveDialogs.push_back(request);
  return takeNext(saveDialogAnswers);
}

bool ScriptedPlatform::setClipboardText(const QString& text) {
  if (!clipboardWorks) return false;
  clipboardTexts.push_back(text);
  return true;
}

bool ScriptedPlatform::startEditor(const QString& path) {
  editorPaths.push_back(path);
  return editorStarts;
}

std::unique_ptr<PrinterDevice> ScriptedPlatform::defaultPrinter() {
  ++printerRequests;
  return printerFactory ? printerFactory() : nullptr;
}

bool ScriptedPlatform::clearClipboard() {
  ++clipboardClears;
  return clipboardWorks;
}

bool ScriptedPlatform::setClipboardImage(const QImage& image) {
  if (!clipboardWorks) return false;
  clipboardImages.push_back(image);
  return true;
}

}  // namespace eq
