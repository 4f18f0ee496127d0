#include "app/window_placement.h"

#include "platform/twips.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QScreen>
#include <QWidget>
#include <QWindow>

namespace eq {

QPointF centredTopLeftTwips(QSizeF screen, QSizeF window) {
  const float left = (static_cast<float>(screen.width()) - static_cast<float>(window.width())) / 2;
  const float top = (static_cast<float>(screen.height()) - static_cast<float>(window.height())) / 2;
  return {left, top};
}

void centreOnScreen(QWidget& window) {
  const QScreen* screen = window.screen();
  if (!screen) return;
  const QRect area = screen->geometry();
  const QPointF topLeft =
      centredTopLeftTwips(QSizeF(pixelsToTwips(area.width()), pixelsToTwips(area.height())),
                          QSizeF(pixelsToTwips(window.frameGeometry().width()),
                                 pixelsToTwips(window.frameGeometry().height())));
  window.move(area.left() + twipsToPixels(topLeft.x()), area.top() + twipsToPixels(topLeft.y()));
}

void waitUntilFramed(QWidget& window) {
  QElapsedTimer timer;
  timer.start();
  while (window.windowHandle() && !window.windowHandle()->isExposed() && timer.elapsed() < 500)
    QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
  QCoreApplication::processEvents();
}

}  // namespace eq
