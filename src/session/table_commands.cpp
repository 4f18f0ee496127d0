#include "session/table_commands.h"

#include "session/session.h"

namespace eq {

void makeAllRowsUsable(Session& session) {
  session.RowBaseIndex = 1;
  for (int row = 1; row <= kRowCount; ++row) {
    session.setRowLook(row, RowLook::Usable);
    session.RowBaseIndex = static_cast<int16_t>(session.RowBaseIndex + 6);
  }
}

void excludeRow(Session& session, int row) { session.setRowLook(row, RowLook::Excluded); }

void clearEruptionData(Session& session) {
  makeAllRowsUsable(session);
  session.RowBaseIndex = 1;
  for (int row = 1; row <= kRowCount; ++row) {
    session.setTicked(row, false);
    for (int k = 0; k < 6; ++k) session.setText(session.RowBaseIndex + k, QString());
    session.RowBaseIndex = static_cast<int16_t>(session.RowBaseIndex + 6);
  }
}

void selectAllRows(Session& session) {
  for (int row = 1; row <= kRowCount; ++row) {
    if (session.rowLook(row) == RowLook::Usable) session.setTicked(row, true);
  }
}

}  // namespace eq
