#pragma once
// What the tests of the commands share: a started session on a scripted desktop,
// rows typed into the table, the Draw command on a fixed day, a message as one
// comparable line, and the sheet's items picked out by kind.

#include "draw/sheet_json.h"
#include "platform/scripted_platform.h"
#include "session/draw_command.h"
#include "session/session.h"
#include "session/table_commands.h"

#include <QColor>
#include <QStringList>
#include <cmath>
#include <optional>

namespace eq::test {

inline std::optional<SheetText> findText(const Sheet& sheet, const QString& text) {
  for (const auto& item : sheet.items) {
    if (const auto* t = std::get_if<SheetText>(&item); t && QString::fromStdString(t->text) == text) return *t;
  }
  return std::nullopt;
}

// Each circle as "x y r colour fill", to two decimals.
inline QStringList circles(const Sheet& sheet) {
  QStringList out;
  for (const auto& item : sheet.items) {
    if (const auto* c = std::get_if<SheetCircle>(&item))
      out << QStringLiteral("%1 %2 %3 %4 %5").arg(c->x, 0, 'f', 2).arg(c->y, 0, 'f', 2).arg(c->r, 0, 'f', 2)
                 .arg(QString::fromStdString(colorText(c->color)),
                      c->fill ? QString::fromStdString(colorText(*c->fill)) : QStringLiteral("none"));
  }
  return out;
}

inline bool near(double a, double b, double tolerance = 0.05) { return std::fabs(a - b) <= tolerance; }

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
  QList<bool> ticks() const { return perRow([this](int row) { return session.ticked(row); }); }
  QList<bool> excludedRows() const {
    return perRow([this](int row) { return session.rowLook(row) == RowLook::Excluded; });
  }
  template <typename Of>
  static QList<bool> perRow(Of of) {
    QList<bool> out;
    for (int row = 1; row <= kRowCount; ++row) out << of(row);
    return out;
  }
  // The Draw on 6 December 2026; what it gave (nothing after the date's message).
  const DrawResult& draw(const QStringList& date = {"2024", "5", "1"}) {
    for (int k = 0; k < 3; ++k) session.setText(kPredictionYearBox + k, date.value(k));
    runDrawCommand(session, QDate(2026, 12, 6));
    return session.surface().drawing();
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
