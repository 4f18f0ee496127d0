#include "help/form2.h"

#include "platform/fonts.h"
#include "platform/twips.h"

#include <QCloseEvent>
#include <QPainter>

// The resources live in a static library: they are registered on first use.
static void registerResources() {
  static const bool registered = [] {
    Q_INIT_RESOURCE(resources);
    return true;
  }();
  (void)registered;
}

namespace eq {

Form2::Form2(std::function<void()> leave) : QWidget(nullptr), leave_(std::move(leave)), picture_(referenceFigure()) {
  setAttribute(Qt::WA_DeleteOnClose);
  setAttribute(Qt::WA_OpaquePaintEvent);
  setWindowTitle(QStringLiteral("引用文献"));
  setFont(uiFont());
  resize(twipsToPixels(10200), twipsToPixels(5730));
  Command1 = new QPushButton(QStringLiteral("MENU"), this);
  Command1->setToolTip(QStringLiteral("メイン画面に戻ります"));
  Command1->setGeometry(twipsRect(240, 5160, 975, 375));
  // MENU hides the window (it stays for the next time); the main window comes back.
  connect(Command1, &QPushButton::clicked, this, [this] { leave_(); });
}

QImage Form2::referenceFigure() {
  registerResources();
  return QImage(QStringLiteral(":/reference_figure.png"));
}

void Form2::paintEvent(QPaintEvent*) {
  // White ground, the figure unscaled at the top-left corner.
  QPainter painter(this);
  painter.fillRect(rect(), Qt::white);
  painter.drawImage(QPoint(0, 0), picture_);
}

void Form2::closeEvent(QCloseEvent* event) {
  // The window goes (it deletes itself on close); the main window comes back.
  event->accept();
  leave_();
}

}  // namespace eq
