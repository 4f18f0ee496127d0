#include "app/eruption_table.h"

#include "app/form1.h"

#include <QPalette>

namespace eq {
namespace {
QPalette::ColorRole backRole(const QWidget* control) {
  return qobject_cast<const QLineEdit*>(control) ? QPalette::Base : QPalette::Window;
}
}  // namespace

void setBackColor(QWidget* control, const QColor& colour) {
  QPalette palette = control->palette();
  const auto role = backRole(control);
  for (auto group : {QPalette::Active, QPalette::Inactive, QPalette::Disabled}) palette.setColor(group, role, colour);
  control->setPalette(palette);
}

QColor backColor(const QWidget* control) { return control->palette().color(QPalette::Active, backRole(control)); }

void makeAllRowsUsable(Form1& form) {
  form.RowBaseIndex = 1;
  for (int row = 1; row <= kRowCount; ++row) {
    for (int k = 0; k < 6; ++k) form.TextEQ(form.RowBaseIndex + k)->setEnabled(true);
    form.CheckEQ(row)->setEnabled(true);
    for (int k = 0; k < 6; ++k) setBackColor(form.TextEQ(form.RowBaseIndex + k), kUsableBack);
    setBackColor(form.CheckEQ(row), kUsableBack);
    form.RowBaseIndex = static_cast<int16_t>(form.RowBaseIndex + 6);
  }
}

void excludeRow(Form1& form, int row) {
  const int base = fieldIndex(row, 1);
  form.TextEQ(base)->setEnabled(false);
  form.CheckEQ(row)->setEnabled(false);
  for (int k = 1; k < 6; ++k) form.TextEQ(base + k)->setEnabled(false);
  for (int k = 0; k < 6; ++k) setBackColor(form.TextEQ(base + k), kExcludedBack);
  setBackColor(form.CheckEQ(row), kExcludedBack);
}

void clearEruptionData(Form1& form) {
  makeAllRowsUsable(form);
  form.RowBaseIndex = 1;
  for (int row = 1; row <= kRowCount; ++row) {
    form.CheckEQ(row)->setChecked(false);
    for (int k = 0; k < 6; ++k) form.TextEQ(form.RowBaseIndex + k)->setText(QString());
    form.RowBaseIndex = static_cast<int16_t>(form.RowBaseIndex + 6);
  }
}

void selectAllRows(Form1& form) {
  for (int row = 1; row <= kRowCount; ++row) {
    if (form.CheckEQ(row)->isEnabledTo(&form)) form.CheckEQ(row)->setChecked(true);
  }
}

}  // namespace eq
