#include "sheet/background_bitmap.h"

#include <QImageReader>

namespace eq {

QImage loadBackgroundBitmap(const QString& path) {
  QImageReader reader(path, "bmp");
  reader.setAutoDetectImageFormat(false);
  return reader.read();
}

}  // namespace eq
