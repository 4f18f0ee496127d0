#pragma once
// The items of a sheet picked out by kind, for the tests of what was drawn.

#include "sheet/sheet.h"

#include <QColor>
#include <QStringList>
#include <cmath>
#include <optional>

namespace eq::test {

template <typename Item>
std::vector<Item> itemsOf(const Sheet& sheet) {
  std::vector<Item> out;
  for (const auto& item : sheet.items()) {
    if (const auto* i = std::get_if<Item>(&item)) out.push_back(*i);
  }
  return out;
}

inline std::optional<SheetText> findText(const Sheet& sheet, const QString& text) {
  for (const auto& t : itemsOf<SheetText>(sheet)) {
    if (t.text == text) return t;
  }
  return std::nullopt;
}

// Each circle as "x y r colour fill", to two decimals.
inline QStringList circles(const Sheet& sheet) {
  QStringList out;
  for (const auto& c : itemsOf<SheetCircle>(sheet)) {
    out << QStringLiteral("%1 %2 %3 %4 %5").arg(c.x, 0, 'f', 2).arg(c.y, 0, 'f', 2).arg(c.r, 0, 'f', 2)
               .arg(QColor(c.color).name(), c.fill ? QColor(*c.fill).name() : QStringLiteral("none"));
  }
  return out;
}

inline bool near(double a, double b, double tolerance = 0.05) { return std::fabs(a - b) <= tolerance; }

}  // namespace eq::test
