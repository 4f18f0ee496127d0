#pragma once
// Files for the tests: whole files written and read, and a PDF page rasterised by
// poppler's pdftoppm (an independent reader of what was written).

#include <QFile>
#include <QImage>
#include <QProcess>
#include <QStandardPaths>

namespace eq::test {

inline QString writeFile(const QString& path, const QByteArray& bytes) {
  QFile file(path);
  if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size()) qFatal("cannot write %s", qPrintable(path));
  return path;
}

inline QByteArray readFile(const QString& path) {
  QFile file(path);
  return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// The first page at `dpi` dots per inch; a null image when it cannot be made.
inline QImage rasterisePdf(const QString& pdf, int dpi) {
  const QString tool = QStandardPaths::findExecutable(QStringLiteral("pdftoppm"));
  if (tool.isEmpty()) qFatal("pdftoppm (poppler-utils) is needed");
  const QString stem = pdf + QStringLiteral(".page");
  QProcess::execute(tool, {"-r", QString::number(dpi), "-png", "-singlefile", pdf, stem});
  return QImage(stem + QStringLiteral(".png")).convertToFormat(QImage::Format_RGB32);
}

inline bool isRed(QRgb pixel) { return qRed(pixel) > 200 && qGreen(pixel) < 90 && qBlue(pixel) < 90; }

}  // namespace eq::test
