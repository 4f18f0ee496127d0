#include "session/table_commands.h"

#include "session/session.h"

namespace eq {

void makeAllRowsUsable(Session& session) {
  for (int row = 1; row <= kRowCount; ++row) session.setRowLook(row, RowLook::Usable);
}

void excludeRow(Session& session, int row) { session.setRowLook(row, RowLook::Excluded); }

void clearEruptionData(Session& session) {
  makeAllRowsUsable(session);
  for (int row = 1; row <= kRowCount; ++row) {
    session.setTicked(row, false);
    for (int k = 0; k < kFieldsPerRow; ++k) session.setText(RowBaseIndex(row) + k, QString());
  }
}

void selectAllRows(Session& session) {
  for (int row = 1; row <= kRowCount; ++row) {
    if (session.rowLook(row) == RowLook::Usable) session.setTicked(row, true);
  }
}

}  // namespace eq
