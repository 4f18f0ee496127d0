#include "help/form2.h"

#include "app/form1.h"
#include "app/twips.h"

namespace eq {

Form2::Form2(Form1& form1) : QWidget(nullptr), form1_(form1) {
  setAttribute(Qt::WA_DeleteOnClose);
  setWindowTitle(QStringLiteral("引用文献"));
  resize(twipsToPixels(10200), twipsToPixels(5730));
  Command1 = new QPushButton(QStringLiteral("MENU"), this);
  Command1->setGeometry(twipsRect(240, 5160, 975, 375));
}

}  // namespace eq
