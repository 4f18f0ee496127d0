#pragma once
// What the tests of the commands share: a started session on a scripted desktop,
// rows typed into the table, the Draw command on a fixed day, and a message as one
// comparable line.

#include "common/sheet_items.h"
#include "platform/scripted_platform.h"
#include "session/draw_command.h"
#include "session/session.h"
#include "session/table_commands.h"

#include <QStringList>

namespace eq::test {

struct SessionFixture {
  ScriptedPlatform platform;
  Session session{platform};
  SessionFixture() { session.startUp(); }

  // Row r's six cells: name, year, month, day, latitude, longitude.
  void fillRow(int row, const QStringList& fields, bool tick = true) {
    for (int f = 1; f <= 6; ++f) session.setText(fieldIndex(row, f), fields.value(f - 1));
    session.setTicked(row, tick);
  }
  QStringList rowTexts(int row) const {
    QStringList out;
    for (int f = 1; f <= 6; ++f) out << session.text(fieldIndex(row, f));
    return out;
  }
  QList<bool> ticks() const {
    QList<bool> out;
    for (int row = 1; row <= kRowCount; ++row) out << session.ticked(row);
    return out;
  }
  QList<bool> excludedRows() const {
    QList<bool> out;
    for (int row = 1; row <= kRowCount; ++row) out << (session.rowLook(row) == RowLook::Excluded);
    return out;
  }
  DrawReport draw(const QStringList& date = {"2024", "5", "1"}) {
    for (int k = 0; k < 3; ++k) session.setText(61 + k, date.value(k));
    return DrawCommand(session).setToday(QDate(2026, 12, 6)).run();
  }
  const Sheet& sheet() const { return session.surface().sheet(); }
  QString label(Control control) const { return session.caption(control).value_or(QString()); }
};

// A message box as one line: caption, buttons, icon, text.
inline QString shown(const ScriptedPlatform::Message& m) {
  return QStringLiteral("%1 [%2 %3] %4").arg(m.caption).arg(int(m.buttons)).arg(int(m.icon)).arg(m.text);
}
inline QString question(const QString& text) {
  return shown({text, QStringLiteral("メッセージ"), MessageButtons::YesNo, MessageIcon::Information});
}
inline QString notice(const QString& text) {
  return shown({text, QStringLiteral("メッセージ"), MessageButtons::Ok, MessageIcon::Exclamation});
}

}  // namespace eq::test
