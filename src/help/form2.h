#pragma once
// Form2, the reference window "引用文献": the figure behind the radius law on a
// white ground and a MENU button back to the main window. Closing it destroys it;
// the main window makes a fresh one when it is asked for again.

#include <QImage>
#include <QPushButton>
#include <QWidget>

namespace eq {

class Form1;

class Form2 : public QWidget {
  Q_OBJECT
 public:
  explicit Form2(Form1& form1);

  QPushButton* Command1{};

  // The reference figure as shipped (664 x 377 pixels).
  static QImage referenceFigure();

  void Command1_Click();

 protected:
  void paintEvent(QPaintEvent* event) override;
  void closeEvent(QCloseEvent* event) override;

 private:
  Form1& form1_;
  QImage picture_;
};

}  // namespace eq
