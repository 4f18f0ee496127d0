#include "session/session.h"

#include "draw/main_window_layout.h"

#include <stdexcept>
#include <string_view>
#include <iterator>
#include <utility>

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
  // The controls a command may show, by the names the layout table gives them.
  static constexpr std::pair<const char*, Control> kNamed[] = {
      {"Label20", Control::Label20}, {"Label21", Control::Label21}, {"Label23", Control::Label23},
      {"Label25", Control::Label25}, {"Label26", Control::Label26}, {"Label27", Control::Label27},
      {"Label28", Control::Label28}, {"Label29", Control::Label29}, {"Label30", Control::Label30},
      {"Label31", Control::Label31}, {"Label32", Control::Label32}, {"Label37", Control::Label37},
      {"Command7", Control::Command7}, {"Command8", Control::Command8}};
  static_assert(std::size(kNamed) == kControlCount);
  for (const char* hidden : kHiddenAtStart) {
    for (const auto& [name, control] : kNamed) {
      if (std::string_view(name) == hidden) setVisible(control, false);
    }
  }
  setCaption(Control::Label23, QString());
}

}  // namespace eq
