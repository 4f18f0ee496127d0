#include "platform/text_editor.h"

#include <QFile>
#include <QProcess>
#include <QStandardPaths>

namespace eq {
namespace {

// The value of `key` in the [Desktop Entry] group of a desktop file.
QByteArray desktopEntryValue(const QString& path, const QByteArray& key) {
  QFile file(path);
  if (!file.open(QIODevice::ReadOnly)) return {};
  bool inEntry = false;
  while (!file.atEnd()) {
    const QByteArray line = file.readLine().trimmed();
    if (line.startsWith('[')) inEntry = line == "[Desktop Entry]";
    if (inEntry && line.startsWith(key + '=')) return line.mid(key.size() + 1).trimmed();
  }
  return {};
}

}  // namespace

bool desktopHasTextEditor() {
  QProcess query;
  query.start(QStringLiteral("xdg-mime"), {QStringLiteral("query"), QStringLiteral("default"), QStringLiteral("text/plain")});
  if (!query.waitForStarted()) return true;
  if (!query.waitForFinished(5000)) {
    query.kill();
    query.waitForFinished();
    return true;
  }
  const QString id = QString::fromUtf8(query.readAllStandardOutput()).trimmed();
  if (id.isEmpty()) return false;
  const QString entry = QStandardPaths::locate(QStandardPaths::ApplicationsLocation, id);
  if (entry.isEmpty()) return false;
  // xdg-open runs a terminal program in the terminal emulator that $TERMINAL or Debian's alternative names.
  if (desktopEntryValue(entry, "Terminal") != "true") return true;
  return !qEnvironmentVariableIsEmpty("TERMINAL") ||
         !QStandardPaths::findExecutable(QStringLiteral("x-terminal-emulator")).isEmpty();
}

}  // namespace eq
