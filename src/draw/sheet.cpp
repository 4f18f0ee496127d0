#include "draw/sheet.h"

#include "datafile/utf8.h"

namespace eq {

void addText(Sheet& sheet, float x, float y, Rgb color, std::string_view text) {
  if (text.empty()) return;
  sheet.items.push_back(SheetText{x, y, color, std::string(characters(text, 0, kLongestText))});
}

}  // namespace eq
