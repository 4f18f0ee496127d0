#pragma once
// Files for the tests: whole files written and read, a PDF page rasterised by poppler's
// pdftoppm (a reader independent of the program), and images against golden PNGs
// committed under tests/data/.
//
// To regenerate the goldens, run the tests with EQ_UPDATE_GOLDEN=1 in the environment:
// each comparison then writes its image over the golden and passes. Look at the new PNGs
// before committing them.

#include <QDir>
#include <QFile>
#include <QImage>
#include <QProcess>
#include <cstdlib>

namespace eq::test {

inline QString writeFile(const QString& path, const QByteArray& bytes) {
  QFile file(path);
  if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size())
    qFatal("cannot write %s", qPrintable(path));
  return path;
}

inline QByteArray readFile(const QString& path) {
  QFile file(path);
  return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// The first page at `dpi` dots per inch; a null image when pdftoppm (poppler-utils) fails.
inline QImage rasterisePdf(const QString& pdf, int dpi) {
  QProcess::execute(QStringLiteral("pdftoppm"), {"-r", QString::number(dpi), "-png", "-singlefile", pdf, pdf});
  return QImage(pdf + QStringLiteral(".png")).convertToFormat(QImage::Format_RGB32);
}

inline bool isRed(QRgb pixel) { return qRed(pixel) > 200 && qGreen(pixel) < 90 && qBlue(pixel) < 90; }

// Compared fuzzily: a pixel differs when a channel is off by more than `tolerance`, and at
// most `allowed` pixels may differ. Empty when the image matches, otherwise what differs; a
// mismatching image is kept in the current folder as NAME.actual.png for a look.
inline QString goldenMismatch(const QImage& actual, const QString& name, int tolerance, int allowed) {
  const QString path = QStringLiteral(EQ_SOURCE_DIR "/tests/data/") + name;
  const QImage image = actual.convertToFormat(QImage::Format_RGB32);
  if (qEnvironmentVariableIsSet("EQ_UPDATE_GOLDEN")) return image.save(path) ? QString() : "cannot write " + path;
  const QImage golden = QImage(path).convertToFormat(QImage::Format_RGB32);
  int differing = golden.size() == image.size() ? 0 : image.width() * image.height();
  for (int y = 0; y < image.height() && golden.size() == image.size(); ++y) {
    for (int x = 0; x < image.width(); ++x) {
      const QRgb a = image.pixel(x, y), b = golden.pixel(x, y);
      differing += std::abs(qRed(a) - qRed(b)) > tolerance || std::abs(qGreen(a) - qGreen(b)) > tolerance ||
                   std::abs(qBlue(a) - qBlue(b)) > tolerance;
    }
  }
  if (differing <= allowed) return {};
  image.save(QDir::current().filePath(name + QStringLiteral(".actual.png")));
  return QStringLiteral("%1: %2 pixels differ (see %1.actual.png)").arg(name).arg(differing);
}

}  // namespace eq::test
