#pragma once
// Form2, the reference window "引用文献": the figure behind the radius law on a
// white ground and a MENU button back to the main window. Closing it destroys it;
// the main window makes a fresh one when it is asked for again.

#include <QImage>
#include <QPushButton>
#include <QWidget>
#include <functional>

namespace eq {

class Form2 : public QWidget {
  Q_OBJECT
 public:
  // `leave` runs when the user leaves the window, by MENU or by closing it.
  explicit Form2(std::function<void()> leave);

  QPushButton* Command1{};

  // The reference figure as shipped (664 x 377 pixels).
  static QImage referenceFigure();

 protected:
  void paintEvent(QPaintEvent* event) override;
  void closeEvent(QCloseEvent* event) override;

 private:
  std::function<void()> leave_;
  QImage picture_;
};

}  // namespace eq
