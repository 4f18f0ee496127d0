#pragma once
// An image against a golden PNG committed under tests/data/, compared fuzzily: a
// pixel differs when one of its channels is off by more than `tolerance`, and at
// most `allowed` pixels may differ.
//
// To regenerate the goldens, run the tests with EQ_UPDATE_GOLDEN=1 in the
// environment: each comparison then writes its image over the golden and passes.
// Look at the new PNGs before committing them.

#include <QDir>
#include <QImage>

#include <algorithm>
#include <cstdlib>

namespace eq::test {

// Empty when the image matches; otherwise what differs. A mismatching image is
// kept in the current folder as NAME.actual.png for a look.
inline QString goldenMismatch(const QImage& actual, const QString& name, int tolerance, int allowed) {
  const QString path = QStringLiteral(EQ_SOURCE_DIR "/tests/data/") + name;
  const QImage image = actual.convertToFormat(QImage::Format_RGB32);
  if (qEnvironmentVariableIsSet("EQ_UPDATE_GOLDEN")) {
    return image.save(path) ? QString() : QStringLiteral("cannot write ") + path;
  }
  const QImage golden = QImage(path).convertToFormat(QImage::Format_RGB32);
  QString why;
  if (golden.size() != image.size()) {
    why = QStringLiteral("%1: %2x%3, the golden is %4x%5")
              .arg(name).arg(image.width()).arg(image.height()).arg(golden.width()).arg(golden.height());
  } else {
    int differing = 0;
    QRect where;
    for (int y = 0; y < image.height(); ++y) {
      for (int x = 0; x < image.width(); ++x) {
        const QRgb a = image.pixel(x, y), b = golden.pixel(x, y);
        if (std::max({std::abs(qRed(a) - qRed(b)), std::abs(qGreen(a) - qGreen(b)), std::abs(qBlue(a) - qBlue(b))}) >
            tolerance) {
          ++differing;
          where |= QRect(x, y, 1, 1);
        }
      }
    }
    if (differing > allowed) {
      why = QStringLiteral("%1: %2 pixels differ within x %3-%4, y %5-%6")
                .arg(name).arg(differing).arg(where.left()).arg(where.right()).arg(where.top()).arg(where.bottom());
    }
  }
  if (!why.isEmpty()) image.save(QDir::current().filePath(name + QStringLiteral(".actual.png")));
  return why;
}

}  // namespace eq::test
