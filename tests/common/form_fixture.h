#pragma once
// What the tests of the main window share: an offscreen Form1 after start-up on a
// scripted desktop, clicks, the eruption table's rows, a message as one comparable
// line, and files.

#include "app/eruption_table.h"
#include "app/form1.h"
#include "app/scripted_platform.h"

#include <QFile>
#include <QScreen>
#include <QTest>

namespace eq::test {

// The main window after start-up; the desktop may be a ScriptedPlatform that logs more.
template <typename PlatformT = ScriptedPlatform>
struct BasicFormFixture {
  PlatformT platform;
  Form1 form{platform};
  BasicFormFixture() { form.Form_Load(); }
};
using FormFixture = BasicFormFixture<>;

inline void click(QWidget* widget) { QTest::mouseClick(widget, Qt::LeftButton, {}, widget->rect().center()); }

// Row r's six cells: name, year, month, day, latitude, longitude.
inline void fillRow(Form1& form, int row, const QStringList& fields) {
  for (int f = 1; f <= 6; ++f) form.TextEQ(fieldIndex(row, f))->setText(fields.value(f - 1));
}
inline QStringList rowTexts(const Form1& form, int row) {
  QStringList out;
  for (int f = 1; f <= 6; ++f) out << form.TextEQ(fieldIndex(row, f))->text();
  return out;
}
inline void setPredictionDate(Form1& form, const QString& year, const QString& month, const QString& day) {
  form.TextEQ(61)->setText(year);
  form.TextEQ(62)->setText(month);
  form.TextEQ(63)->setText(day);
}
inline QList<bool> ticks(const Form1& form) {
  QList<bool> out;
  for (int row = 1; row <= kRowCount; ++row) out << form.CheckEQ(row)->isChecked();
  return out;
}

// "usable" (all seven controls enabled and white), "excluded" (all disabled and grey) or "mixed".
inline QString rowLook(const Form1& form, int row) {
  QList<const QWidget*> controls{form.CheckEQ(row)};
  for (int f = 1; f <= 6; ++f) controls << form.TextEQ(fieldIndex(row, f));
  bool usable = true, excluded = true;
  for (const QWidget* c : controls) {
    usable = usable && c->isEnabled() && backColor(c) == kUsableBack;
    excluded = excluded && !c->isEnabled() && backColor(c) == kExcludedBack;
  }
  return usable ? QStringLiteral("usable") : excluded ? QStringLiteral("excluded") : QStringLiteral("mixed");
}
inline QStringList rowLooks(const Form1& form) {
  QStringList out;
  for (int row = 1; row <= kRowCount; ++row) out << rowLook(form, row);
  return out;
}

// A message box as one line: caption, buttons, icon, text.
inline QString shown(const ScriptedPlatform::Message& m) {
  return QStringLiteral("%1 [%2 %3] %4").arg(m.caption).arg(int(m.buttons)).arg(int(m.icon)).arg(m.text);
}
inline QString shown(const QString& text, MessageButtons buttons, MessageIcon icon) {
  return shown({text, QStringLiteral("メッセージ"), buttons, icon});
}

// Within a pixel of the middle of its screen.
inline bool isCentred(const QWidget* window) {
  const QRect screen = window->screen()->geometry();
  const QRect frame = window->frameGeometry();
  return std::abs(frame.left() - (screen.left() + (screen.width() - frame.width()) / 2)) <= 1 &&
         std::abs(frame.top() - (screen.top() + (screen.height() - frame.height()) / 2)) <= 1;
}

inline QString writeFile(const QString& path, const QByteArray& bytes) {
  QFile file(path);
  if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size()) qFatal("cannot write %s", qPrintable(path));
  return path;
}
inline QByteArray readFile(const QString& path) {
  QFile file(path);
  return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

}  // namespace eq::test
