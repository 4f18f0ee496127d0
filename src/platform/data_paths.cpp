#include "platform/data_paths.h"

#include <QCoreApplication>

namespace eq {

QString backgroundMapPath() { return QCoreApplication::applicationDirPath() + QStringLiteral("/JapanMap3.bmp"); }

}  // namespace eq
