#include "sheet/sheet.h"

namespace eq {

void Sheet::clear() {
  background_ = QImage();
  backgroundName_.clear();
  items_.clear();
}

void Sheet::setBackground(const QImage& image, const QString& fileName) {
  background_ = image;
  backgroundName_ = fileName;
}

}  // namespace eq
