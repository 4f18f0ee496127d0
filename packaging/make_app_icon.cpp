// Renders the scalable program icon to a square PNG for the icon theme's fixed sizes.
//
//   make_app_icon <eqcircle.svg> <size> <eqcircle.png>

#include <QImage>
#include <QPainter>
#include <QString>
#include <QSvgRenderer>
#include <cstdio>

int main(int argc, char** argv) {
  if (argc != 4) {
    std::fputs("usage: make_app_icon <icon.svg> <size> <icon.png>\n", stderr);
    return 2;
  }
  const QString svgPath = QString::fromLocal8Bit(argv[1]);
  const QString pngPath = QString::fromLocal8Bit(argv[3]);
  bool ok = false;
  const int size = QString::fromLocal8Bit(argv[2]).toInt(&ok);
  if (!ok || size < 16 || size > 1024) {
    std::fprintf(stderr, "make_app_icon: bad size %s\n", argv[2]);
    return 2;
  }

  QSvgRenderer renderer(svgPath);
  if (!renderer.isValid()) {
    std::fprintf(stderr, "make_app_icon: cannot read %s\n", qPrintable(svgPath));
    return 1;
  }
  QImage image(size, size, QImage::Format_ARGB32_Premultiplied);
  image.fill(Qt::transparent);
  {
    QPainter painter(&image);
    renderer.render(&painter);
  }
  if (!image.save(pngPath, "PNG")) {
    std::fprintf(stderr, "make_app_icon: cannot write %s\n", qPrintable(pngPath));
    return 1;
  }
  return 0;
}
