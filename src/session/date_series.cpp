#include "session/date_series.h"

#include "session/session.h"

namespace eq {

qint64 frameCount(const DateRange& range) {
  if (!range.from.isValid() || !range.to.isValid() || range.stepDays < 1 || range.to < range.from) return 0;
  return range.from.daysTo(range.to) / range.stepDays + 1;
}

QDate frameDate(const DateRange& range, qint64 index) { return range.from.addDays(index * range.stepDays); }

std::optional<QString> rangeProblem(const DateRange& range) {
  if (!range.from.isValid() || !range.to.isValid()) return QStringLiteral("日付の範囲が暦にある日付ではありません");
  const QString from = range.from.toString(Qt::ISODate);
  const QString to = range.to.toString(Qt::ISODate);
  if (range.to < range.from) return QStringLiteral("終わりの日付 %1 が始めの日付 %2 より前です").arg(to, from);
  if (range.stepDays < 1) return QStringLiteral("間隔は 1 日以上にしてください: %1").arg(range.stepDays);
  const qint64 count = frameCount(range);
  if (count > kMostFrames) {
    return QStringLiteral("コマが多すぎます: %1 から %2 まで %3 日おきで %4 コマ (最大 %5 コマ)")
        .arg(from, to)
        .arg(range.stepDays)
        .arg(count)
        .arg(kMostFrames);
  }
  return std::nullopt;
}

QStringList dateBoxTexts(const QDate& date) {
  return {QString::number(date.year()), QString::number(date.month()), QString::number(date.day())};
}

DrawReport drawForDate(Session& session, const QStringList& dateParts, const QDate& today) {
  for (int k = 0; k < 3; ++k) session.setText(61 + k, dateParts.value(k));
  DrawCommand draw(session);
  if (today.isValid()) draw.setToday(today);
  return draw.run();
}

SheetDumpExtras dumpExtras(const Session& session, const DrawReport& report) {
  SheetDumpExtras extras;
  for (int row = 1; row <= kRowCount; ++row) {
    const RowOutcome& outcome = report.rows[row];
    extras.rows.push_back({row, QString::fromLatin1(rowStateName(outcome.state)), outcome.radiusKm, outcome.circleDrawn});
  }
  extras.countLabel = session.caption(Control::Label21).value_or(QString());
  extras.warningVisible = session.visible(Control::Label20);
  extras.circleMode = session.analysis.circleMode;
  extras.crossings = report.crossings;
  return extras;
}

void copyTable(const Session& from, Session& to) {
  static_cast<FormVariables&>(to) = static_cast<const FormVariables&>(from);
  for (int index = 1; index <= Session::kBoxCount; ++index) to.setText(index, from.text(index));
  for (int row = 1; row <= kRowCount; ++row) to.setTicked(row, from.ticked(row));
  if (const auto& title = from.caption(Control::Label37)) to.setCaption(Control::Label37, *title);
  to.analysis = from.analysis;
}

FrameDrawer::FrameDrawer(Session& session, const QDate& today)
    : session_(session), start_(session), today_(today.isValid() ? today : QDate::currentDate()) {}

DrawReport FrameDrawer::draw(const QDate& date) {
  static_cast<FormVariables&>(session_) = start_;
  return drawForDate(session_, dateBoxTexts(date), today_);
}

std::optional<QString> renderDateSeries(Session& session, const DateRange& range, const QDate& today,
                                        SeriesWriter& writer,
                                        const std::function<void(const WrittenFrame&)>& written) {
  FrameDrawer drawer(session, today);
  const qint64 count = frameCount(range);
  for (qint64 i = 0; i < count; ++i) {
    const QDate date = frameDate(range, i);
    const DrawReport report = drawer.draw(date);
    SheetDumpExtras extras = dumpExtras(session, report);
    extras.created = today;
    if (!writer.add(session.surface().sheet(), extras, date)) break;
    for (const WrittenFrame& frame : writer.takeWritten()) written(frame);
  }
  const std::optional<QString> failed = writer.finish();
  for (const WrittenFrame& frame : writer.takeWritten()) written(frame);
  return failed;
}

}  // namespace eq
