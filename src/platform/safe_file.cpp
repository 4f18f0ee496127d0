#include "platform/safe_file.h"

#include "platform/regular_file.h"

#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <cerrno>
#include <cstring>

#ifdef Q_OS_UNIX
#include <sys/stat.h>
#include <unistd.h>
#endif

namespace eq {
namespace {

QString systemText(int error) { return QString::fromLocal8Bit(std::strerror(error)); }

// What went wrong, then the temporary file is dropped. `error` is the errno of the
// call that failed (0 when there was none): the system's text in the user's language,
// where Qt would give some errors in English only. Otherwise QSaveFile's reason, taken
// first: it forgets it, and would say "Unknown error" afterwards.
QString abandon(QSaveFile& file, int error) {
  QString reason = error != 0                           ? systemText(error)
                   : file.error() == QFileDevice::NoError ? QString()
                                                          : file.errorString();
  file.cancelWriting();
  if (reason.isEmpty()) reason = QStringLiteral("書き込みを最後まで終えられませんでした");
  return reason;
}

}  // namespace

std::optional<QString> checkWritable(const QString& path) {
  // QSaveFile follows a chain of links itself and writes beside the last one's target,
  // so each link of the chain is looked at here as the kernel would.
  QString target = path;
#ifdef Q_OS_UNIX
  for (int links = 0; links < 40; ++links) {
    struct stat link {};
    if (::lstat(QFile::encodeName(target).constData(), &link) != 0 || !S_ISLNK(link.st_mode)) break;
    const QFileInfo info(target);
    struct stat folder {};
    const bool shared = ::stat(QFile::encodeName(info.absolutePath()).constData(), &folder) == 0 &&
                        (folder.st_mode & S_ISVTX) && (folder.st_mode & S_IWOTH);
    if (shared && link.st_uid != ::geteuid() && link.st_uid != folder.st_uid) {
      const QString planted = QStringLiteral("共有フォルダにある他のユーザーのシンボリックリンクには書き込みません");
      return target == path ? planted : QStringLiteral("%1: %2").arg(planted, target);
    }
    target = info.symLinkTarget();
  }
#endif
  // QSaveFile would put a regular file in the place of a device or a FIFO.
  if (QFileInfo::exists(target)) {
    if (auto problem = checkRegularFile(target)) return problem;
  }
#ifdef Q_OS_UNIX
  // The temporary file is made in the target's folder, also beside an existing file.
  if (::access(QFile::encodeName(QFileInfo(target).absolutePath()).constData(), W_OK | X_OK) != 0) {
    return systemText(errno);
  }
#endif
  return std::nullopt;
}

std::optional<QString> writeFileAtomically(const QString& path, const QByteArray& bytes) {
  if (auto problem = checkWritable(path)) return problem;

  // errno is cleared before each step, so that a failure without a system error
  // shows as none.
  QSaveFile file(path);
  // Unbuffered: a small buffered write that fails only when flushed at commit() would
  // go unnoticed, and an empty file would take the old one's place.
  errno = 0;
  if (!file.open(QIODevice::WriteOnly | QIODevice::Unbuffered)) return abandon(file, errno);
  // On an almost full disk a write takes only part of the bytes, without an error; the
  // next write then fails and tells why.
  for (qint64 written = 0; written < bytes.size();) {
    errno = 0;
    const qint64 n = file.write(bytes.constData() + written, bytes.size() - written);
    if (n <= 0) return abandon(file, errno);
    written += n;
  }
  errno = 0;
  if (!file.flush() || file.error() != QFileDevice::NoError) return abandon(file, errno);
#ifdef Q_OS_UNIX
  // Some file systems report a full disk only here; commit() would ignore it.
  if (::fsync(file.handle()) != 0 && errno != EINVAL) return abandon(file, errno);
#endif
  errno = 0;
  if (!file.commit()) return abandon(file, errno);
  return std::nullopt;
}

}  // namespace eq
