#include "platform/safe_file.h"

#include <QSaveFile>

namespace eq {

std::optional<QString> writeFileAtomically(const QString& path, const QByteArray& bytes) {
  QSaveFile file(path);
  if (!file.open(QIODevice::WriteOnly | QIODevice::Unbuffered)) return file.errorString();
  if (file.write(bytes) != bytes.size() || file.error() != QFileDevice::NoError) {
    const QString why = file.errorString();
    file.cancelWriting();
    return why;
  }
  if (!file.commit()) return file.errorString();
  return std::nullopt;
}

}  // namespace eq
