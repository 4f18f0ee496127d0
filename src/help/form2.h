#pragma once
// Form2, the reference window "引用文献": the figure behind the radius law and a
// MENU button back to the main window.

#include <QPushButton>
#include <QWidget>

namespace eq {

class Form1;

class Form2 : public QWidget {
  Q_OBJECT
 public:
  explicit Form2(Form1& form1);

  QPushButton* Command1{};

 private:
  Form1& form1_;
};

}  // namespace eq
