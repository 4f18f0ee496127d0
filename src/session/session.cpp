#include "session/session.h"

#include <stdexcept>

namespace eq {

int Session::checkedBox(int index) {
  if (index < 1 || index > kBoxCount) throw std::out_of_range("TextEQ index");
  return index;
}

int Session::checkedRow(int row) {
  if (row < 1 || row > kRowCount) throw std::out_of_range("CheckEQ index");
  return row;
}

void Session::startUp() {
  ShowBackgroundMap = true;
  for (const Control hidden : {Control::Label20, Control::Label21, Control::Label25, Control::Label31,
                               Control::Label26, Control::Label27, Control::Label28, Control::Label29,
                               Control::Command7, Control::Command8}) {
    setVisible(hidden, false);
  }
  setCaption(Control::Label23, QString());
}

}  // namespace eq
