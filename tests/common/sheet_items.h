#pragma once
// The items of a sheet picked out by kind, for the tests of what was drawn.

#include "map/sheet.h"

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

// Filled circles are the volcano markers, open ones the earthquake circles.
inline std::vector<SheetCircle> circlesOf(const Sheet& sheet, bool filled) {
  std::vector<SheetCircle> out;
  for (const auto& c : itemsOf<SheetCircle>(sheet)) {
    if (c.fill.has_value() == filled) out.push_back(c);
  }
  return out;
}
inline std::vector<SheetCircle> markersOf(const Sheet& sheet) { return circlesOf(sheet, true); }
inline std::vector<SheetCircle> ringsOf(const Sheet& sheet) { return circlesOf(sheet, false); }

// The first text item with this text, if any.
inline std::optional<SheetText> findText(const Sheet& sheet, const QString& text) {
  for (const auto& t : itemsOf<SheetText>(sheet)) {
    if (t.text == text) return t;
  }
  return std::nullopt;
}

inline bool near(double a, double b, double tolerance = 0.05) { return std::fabs(a - b) <= tolerance; }

}  // namespace eq::test
