#include "platform/data_paths.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>

namespace eq {

QString backgroundMapPath() { return backgroundMapPath(QCoreApplication::applicationDirPath()); }

QString backgroundMapPath(const QString& programDir) {
  const QString name = QStringLiteral("JapanMap3.bmp");
  const QDir dir(programDir);
  const QString candidates[] = {
      dir.filePath(name),
      QDir::cleanPath(dir.filePath(QStringLiteral("../share/eqcircle/") + name)),
      // The programs behind the launcher live in <prefix>/lib/eqcircle.
      QDir::cleanPath(dir.filePath(QStringLiteral("../../share/eqcircle/") + name)),
  };
  for (const QString& candidate : candidates) {
    if (QFileInfo(candidate).isFile()) return candidate;
  }
  return candidates[0];
}

}  // namespace eq
