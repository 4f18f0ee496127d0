// Draws the reference figure of the reference window (664 x 377 pixels): the
// fitted curve ln y = a + b x of years from eruption to earthquake (y) against
// distance to the epicentre (x km), on a dotted grid, with the fit's figures at
// its right. The radius law of the program is this curve solved for x.
//
//   make_reference_figure resources/reference_figure.png
//
// Needs a Japanese font (IPA Pゴシック on Debian); runs on the offscreen platform.

#include <QFont>
#include <QFontMetricsF>
#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <QPainterPath>
#include <QStringList>
#include <cmath>
#include <cstdio>

namespace {

constexpr int kWidth = 664;
constexpr int kHeight = 377;

// The fit shown by the figure.
constexpr double kA = 3.12917314;
constexpr double kB = -7.13683123e-03;
const char* const kFitLines[] = {"ln y=a + b x", "a=3.12917314e+00", "b=-7.13683123e-03", "5.02798991e-01",
                                 "|r|=8.66209819e-01"};

// Axes: x 0 ... 500 km, y -5 ... 20 years.
constexpr double kXMin = 0, kXMax = 500, kXStep = 100;
constexpr double kYMin = -5, kYMax = 20, kYStep = 5;
// The plot area in pixels.
const QRectF kPlot(QPointF(74, 14), QPointF(472, 289));

QFont japaneseFont(int pixelSize) {
  QFont font;
  font.setFamilies({QStringLiteral("IPAPGothic"), QStringLiteral("IPA Pゴシック"), QStringLiteral("IPAGothic"),
                    QStringLiteral("Noto Sans CJK JP")});
  font.setPixelSize(pixelSize);
  font.setHintingPreference(QFont::PreferFullHinting);
  return font;
}

QPointF toPixel(double x, double y) {
  return {kPlot.left() + (x - kXMin) / (kXMax - kXMin) * kPlot.width(),
          kPlot.bottom() - (y - kYMin) / (kYMax - kYMin) * kPlot.height()};
}

void drawGrid(QPainter& p) {
  QPen dotted(QColor(128, 128, 128), 1, Qt::DotLine);
  p.setPen(dotted);
  for (double x = kXMin + kXStep; x < kXMax; x += kXStep) {
    const double px = std::round(toPixel(x, 0).x()) + 0.5;
    p.drawLine(QPointF(px, kPlot.top()), QPointF(px, kPlot.bottom()));
  }
  for (double y = kYMin + kYStep; y < kYMax; y += kYStep) {
    const double py = std::round(toPixel(0, y).y()) + 0.5;
    p.drawLine(QPointF(kPlot.left(), py), QPointF(kPlot.right(), py));
  }
  p.setPen(QPen(Qt::black, 1));
  p.drawRect(QRectF(kPlot.left() + 0.5, kPlot.top() + 0.5, kPlot.width(), kPlot.height()));
}

void drawTicks(QPainter& p) {
  const QFont font = japaneseFont(12);
  const QFontMetricsF metrics(font);
  p.setFont(font);
  p.setPen(Qt::black);
  for (double x = kXMin; x <= kXMax; x += kXStep) {
    const double px = std::round(toPixel(x, 0).x()) + 0.5;
    p.drawLine(QPointF(px, kPlot.bottom() + 0.5), QPointF(px, kPlot.bottom() + 4.5));
    const QString label = QString::number(x);
    p.drawText(QPointF(px - metrics.horizontalAdvance(label) / 2, kPlot.bottom() + 6 + metrics.ascent()), label);
  }
  for (double y = kYMin; y <= kYMax; y += kYStep) {
    const double py = std::round(toPixel(0, y).y()) + 0.5;
    p.drawLine(QPointF(kPlot.left() - 3.5, py), QPointF(kPlot.left() + 0.5, py));
    const QString label = QString::number(y);
    p.drawText(QPointF(kPlot.left() - 7 - metrics.horizontalAdvance(label),
                       py + (metrics.ascent() - metrics.descent()) / 2),
               label);
  }
}

// The vertical axis title, one character under the other; brackets turn with the line.
void drawVerticalTitle(QPainter& p, const QString& title, double centreX, double centreY) {
  const QFont font = japaneseFont(13);
  const QFontMetricsF metrics(font);
  p.setFont(font);
  // Kanji and kana take a full cell; a bracket turned on its side only its own width.
  const auto cellOf = [&](QChar c) {
    const bool turned = c == QLatin1Char('(') || c == QLatin1Char(')');
    return turned ? metrics.horizontalAdvance(QString(c)) + 2 : 14.0;
  };
  double height = 0;
  for (const QChar c : title) height += cellOf(c);
  double top = centreY - height / 2;
  for (const QChar c : title) {
    const QString s(c);
    const double w = metrics.horizontalAdvance(s);
    const double cell = cellOf(c);
    if (c == QLatin1Char('(') || c == QLatin1Char(')')) {
      p.save();
      p.translate(centreX, top + cell / 2);
      p.rotate(90);
      p.drawText(QPointF(-w / 2, (metrics.ascent() - metrics.descent()) / 2), s);
      p.restore();
    } else {
      p.drawText(QPointF(centreX - w / 2, top + (cell + metrics.ascent() - metrics.descent()) / 2), s);
    }
    top += cell;
  }
}

void drawCurve(QPainter& p) {
  QPainterPath path;
  for (int i = 0; i <= 500; ++i) {
    const double x = kXMin + (kXMax - kXMin) * i / 500;
    const QPointF point = toPixel(x, std::exp(kA + kB * x));
    if (i == 0) path.moveTo(point); else path.lineTo(point);
  }
  p.save();
  p.setClipRect(kPlot.adjusted(1, 1, 0, 0));
  p.setPen(QPen(QColor(0, 0, 160), 1.6, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
  p.drawPath(path);
  p.restore();
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: %s output.png\n", argv[0]);
    return 2;
  }
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  QGuiApplication app(argc, argv);

  QImage image(kWidth, kHeight, QImage::Format_RGB32);
  image.fill(Qt::white);
  QPainter p(&image);
  p.setRenderHint(QPainter::TextAntialiasing, true);

  drawGrid(p);
  p.setRenderHint(QPainter::Antialiasing, true);
  drawCurve(p);
  p.setRenderHint(QPainter::Antialiasing, false);
  drawTicks(p);
  drawVerticalTitle(p, QStringLiteral("噴火から地震発生までの年数(Y)"), 18, kPlot.center().y());

  const QFont titleFont = japaneseFont(13);
  p.setFont(titleFont);
  const QString xTitle = QStringLiteral("震源までの距離(km)");
  const QFontMetricsF titleMetrics(titleFont);
  p.drawText(QPointF(kPlot.center().x() - titleMetrics.horizontalAdvance(xTitle) / 2, 328), xTitle);

  const QFont textFont = japaneseFont(12);
  const QFontMetricsF textMetrics(textFont);
  p.setFont(textFont);
  double y = 92;
  for (const char* line : kFitLines) {
    p.drawText(QPointF(486, y), QString::fromLatin1(line));
    y += 19;
  }
  p.drawText(QPointF(100, 361),
             QStringLiteral("曲線は、このプログラムが地震サークルの半径を求めるのに用いている回帰曲線です。"));
  p.end();

  if (!image.save(QString::fromLocal8Bit(argv[1]))) {
    std::fprintf(stderr, "cannot write %s\n", argv[1]);
    return 1;
  }
  return 0;
}
