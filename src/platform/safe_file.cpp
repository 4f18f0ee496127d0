#include "platform/safe_file.h"

#include "platform/regular_file.h"

#include <QFileInfo>
#include <QSaveFile>

#ifdef Q_OS_UNIX
#include <cerrno>
#include <cstring>
#include <unistd.h>
#endif

namespace eq {
namespace {

// What went wrong, then the temporary file is dropped. The reason is taken first:
// QSaveFile forgets it, and would say "Unknown error" afterwards.
QString abandon(QSaveFile& file) {
  QString reason = file.error() == QFileDevice::NoError ? QString() : file.errorString();
  file.cancelWriting();
  if (reason.isEmpty()) reason = QStringLiteral("書き込みを最後まで終えられませんでした");
  return reason;
}

}  // namespace

std::optional<QString> writeFileAtomically(const QString& path, const QByteArray& bytes) {
  // QSaveFile would put a regular file in the place of a device or a FIFO.
  if (QFileInfo::exists(path)) {
    if (auto problem = checkRegularFile(path)) return problem;
  }

  QSaveFile file(path);
  // Unbuffered: a small buffered write that fails only when flushed at commit() would
  // go unnoticed, and an empty file would take the old one's place.
  if (!file.open(QIODevice::WriteOnly | QIODevice::Unbuffered)) return abandon(file);
  // On an almost full disk a write takes only part of the bytes, without an error; the
  // next write then fails and tells why.
  for (qint64 written = 0; written < bytes.size();) {
    const qint64 n = file.write(bytes.constData() + written, bytes.size() - written);
    if (n <= 0) return abandon(file);
    written += n;
  }
  if (!file.flush() || file.error() != QFileDevice::NoError) return abandon(file);
#ifdef Q_OS_UNIX
  // Some file systems report a full disk only here; commit() would ignore it.
  if (::fsync(file.handle()) != 0 && errno != EINVAL) {
    const QString reason = QString::fromLocal8Bit(std::strerror(errno));
    file.cancelWriting();
    return reason;
  }
#endif
  if (!file.commit()) return abandon(file);
  return std::nullopt;
}

}  // namespace eq
