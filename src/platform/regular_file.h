#pragma once
// Only regular files are data: a FIFO without a writer would keep the reader waiting
// for ever, and a device or a socket holds no file to read.

#include <QByteArray>
#include <QString>
#include <optional>

namespace eq {

// Nothing when `path` names a regular file (through symbolic links); otherwise at once
// the reason, ready to follow "理由: ": the system's text when there is nothing there
// ("No such file or directory"), or a Japanese sentence naming what is there instead.
std::optional<QString> checkRegularFile(const QString& path);

// The first `maxBytes` bytes of the regular file at `path` (all of a smaller one), or
// the reason as above. Never waits: whatever is put in the file's place after a check,
// opening does not block, and what was opened is checked again.
struct FileBytes {
  std::optional<QByteArray> bytes;
  QString reason;  // when there are no bytes
};
FileBytes readRegularFile(const QString& path, qint64 maxBytes);

}  // namespace eq
