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

std::optional<QString> renderDateSeries(const Session& session, const DateRange& range, const QDate& today,
                                        SeriesWriter& writer,
                                        const std::function<void(const WrittenFrame&)>& written) {
  LastGoodValues lastGood = session.lastGood;
  DrawSetUp setUp = drawSetUp(session, lastGood, today);
  const qint64 count = frameCount(range);
  for (qint64 i = 0; i < count; ++i) {
    const QDate date = frameDate(range, i);
    setUp.inputs.prediction = predictionOf(date);
    if (!writer.add(draw(setUp.inputs), setUp.background, date)) break;
    for (const WrittenFrame& frame : writer.takeWritten()) written(frame);
  }
  const std::optional<QString> failed = writer.finish();
  for (const WrittenFrame& frame : writer.takeWritten()) written(frame);
  return failed;
}

}  // namespace eq
