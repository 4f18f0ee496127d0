#include "session/draw_command.h"

#include "platform/data_paths.h"
#include "session/messages.h"
#include "session/session.h"
#include "session/table_commands.h"
#include "sheet/background_bitmap.h"

#include <QFileInfo>

namespace eq {
namespace {

std::string utf8(const QString& text) { return text.toStdString(); }

RowTexts rowTexts(const Session& session, int row) {
  RowTexts texts;
  for (int field = 1; field <= kFieldsPerRow; ++field) texts[field - 1] = utf8(session.text(fieldIndex(row, field)));
  return texts;
}

}  // namespace

DrawSetUp drawSetUp(const Session& session, LastGoodValues& lastGood, const QDate& today) {
  DrawSetUp setUp;
  DrawInputs& in = setUp.inputs;
  // All ten rows, ticked or not, one field at a time.
  for (int row = 1; row <= kRowCount; ++row) {
    lastGood.rows[row] = readRow(lastGood.rows[row], rowTexts(session, row));
    in.rows[row] = {lastGood.rows[row], session.ticked(row), session.text(fieldIndex(row, 2)).isEmpty()};
  }
  in.prediction = lastGood.prediction;
  in.title = utf8(session.TitleComment);
  const QDate day = today.isValid() ? today : QDate::currentDate();
  in.today = {day.year(), day.month(), day.day()};
  in.circleMode = session.analysis.circleMode;
  in.toleranceKm = session.analysis.toleranceKm;
  in.crossingMarks = session.analysis.showCrossings;
  in.quakes = session.analysis.quakes;
  // A missing or unreadable bitmap only leaves the background out.
  if (session.ShowBackgroundMap) {
    const QString path = backgroundMapPath();
    setUp.background = loadBackgroundBitmap(path);
    if (!setUp.background.isNull()) in.background = utf8(QFileInfo(path).fileName());
  }
  return setUp;
}

TableDate predictionOf(const QDate& date) {
  return {static_cast<float>(date.year()), static_cast<float>(date.month()), static_cast<float>(date.day())};
}

bool runDrawCommand(Session& session, const QDate& today) {
  session.surface().clear();
  session.setVisible(Control::Label20, false);
  makeAllRowsUsable(session);

  // Only exactly empty text stops the command; anything else reads leniently.
  DateTexts date;
  for (int k = 0; k < 3; ++k) date[k] = utf8(session.text(kPredictionYearBox + k));
  if (!readPredictionDate(session.lastGood.prediction, date)) {
    warnUser(session, QString::fromUtf8(text::kNoPredictionDate));
    return false;
  }

  DrawSetUp setUp = drawSetUp(session, session.lastGood, today);
  DrawResult drawing = draw(setUp.inputs);
  for (int row = 1; row <= kRowCount; ++row) {
    if (drawing.rows[row].state == RowState::Excluded) excludeRow(session, row);
  }
  session.setVisible(Control::Label20, drawing.exclusionWarning);
  session.setVisible(Control::Label21, true);
  session.setCaption(Control::Label21, QString::fromStdString(drawing.countLabel));
  session.surface().show(std::move(setUp.inputs), std::move(drawing), std::move(setUp.background));
  return true;
}

}  // namespace eq
