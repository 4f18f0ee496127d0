#pragma once
// The background map bitmap, JapanMap3.bmp: always a BMP, read without guessing the
// format from the name or the bytes.

#include <QImage>
#include <QString>

namespace eq {

// The bitmap, or a null image when the file is missing or cannot be read.
QImage loadBackgroundBitmap(const QString& path);

}  // namespace eq
