#include "platform/regular_file.h"

#include <QFile>
#include <QFileInfo>
#include <algorithm>

#ifdef Q_OS_UNIX
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

namespace eq {
namespace {

#ifdef Q_OS_UNIX
QString systemText(int error) { return QString::fromLocal8Bit(std::strerror(error)); }

// Why a file of this type is no data file; nothing for a regular file.
std::optional<QString> notRegular(mode_t mode) {
  if (S_ISREG(mode)) return std::nullopt;
  const char* what = S_ISDIR(mode)                    ? "フォルダ"
                     : S_ISFIFO(mode)                 ? "名前付きパイプ（FIFO）"
                     : S_ISCHR(mode) || S_ISBLK(mode) ? "装置ファイル"
                     : S_ISSOCK(mode)                 ? "ソケット"
                                                      : "特殊なファイル";
  return QStringLiteral("通常のファイルではなく、%1です").arg(QString::fromUtf8(what));
}

// Closes a descriptor when it goes out of scope.
struct Descriptor {
  int fd;
  ~Descriptor() {
    if (fd >= 0) ::close(fd);
  }
};
#endif

}  // namespace

std::optional<QString> checkRegularFile(const QString& path) {
#ifdef Q_OS_UNIX
  struct stat status {};
  if (::stat(QFile::encodeName(path).constData(), &status) != 0) return systemText(errno);
  return notRegular(status.st_mode);
#else
  const QFileInfo info(path);
  if (!info.exists()) return QStringLiteral("ファイルがありません");
  if (!info.isFile()) return QStringLiteral("通常のファイルではありません");
  return std::nullopt;
#endif
}

FileBytes readRegularFile(const QString& path, qint64 maxBytes) {
#ifdef Q_OS_UNIX
  // O_NONBLOCK: opening a FIFO returns at once instead of waiting for a writer; the type
  // of what was opened decides, so nothing put in the file's place can make this wait.
  const Descriptor file{::open(QFile::encodeName(path).constData(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC)};
  if (file.fd < 0) {
    // A socket cannot be opened at all: say what it is rather than "No such device or address".
    const int error = errno;
    return {std::nullopt, checkRegularFile(path).value_or(systemText(error))};
  }
  struct stat status {};
  if (::fstat(file.fd, &status) != 0) return {std::nullopt, systemText(errno)};
  if (const auto problem = notRegular(status.st_mode)) return {std::nullopt, *problem};
  QByteArray bytes;
  bytes.reserve(static_cast<qsizetype>(std::clamp<qint64>(status.st_size, 0, maxBytes)));  // one allocation for a large file
  char buffer[65536];
  while (bytes.size() < maxBytes) {
    const auto wanted = static_cast<std::size_t>(qMin<qint64>(sizeof buffer, maxBytes - bytes.size()));
    const ssize_t n = ::read(file.fd, buffer, wanted);
    if (n < 0 && errno == EINTR) continue;
    if (n < 0) return {std::nullopt, systemText(errno)};
    if (n == 0) break;
    bytes.append(buffer, static_cast<qsizetype>(n));
  }
  return {bytes, QString()};
#else
  if (const auto problem = checkRegularFile(path)) return {std::nullopt, *problem};
  QFile file(path);
  if (!file.open(QIODevice::ReadOnly)) return {std::nullopt, file.errorString()};
  QByteArray bytes = file.read(maxBytes);
  if (file.error() != QFileDevice::NoError) return {std::nullopt, file.errorString()};
  return {bytes, QString()};
#endif
}

}  // namespace eq
