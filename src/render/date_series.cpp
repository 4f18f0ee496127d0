#include "render/date_series.h"

#include "platform/safe_file.h"
#include "session/session.h"
#include "sheet/png_frame_encoder.h"
#include "sheet/sheet_renderer.h"
#include "sheet/webp_writer.h"

#include <QFileInfo>
#include <condition_variable>
#include <deque>
#include <mutex>
#include <thread>

namespace eq {
namespace {

const QString kDatePlaceholder = QStringLiteral("{date}");
const QString kNumberPlaceholder = QStringLiteral("{n}");

// Frames waiting for the worker; the painter waits beyond this.
constexpr std::size_t kQueueDepth = 2;

QString cannotMake(const QString& path, const QString& why) {
  return QStringLiteral("出力ファイルを作れません: %1 (%2)").arg(path, why);
}
QString cannotWrite(const QString& path, const QString& why) {
  return QStringLiteral("出力ファイルを書けません: %1 (%2)").arg(path, why);
}

}  // namespace

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

bool hasFramePlaceholder(const QString& pattern) {
  return pattern.contains(kDatePlaceholder) || pattern.contains(kNumberPlaceholder);
}

QString framePath(const QString& pattern, const QDate& date, qint64 number) {
  QString path = pattern;
  path.replace(kDatePlaceholder, date.toString(QStringLiteral("yyyy-MM-dd")));
  path.replace(kNumberPlaceholder, QStringLiteral("%1").arg(number, 4, 10, QLatin1Char('0')));
  return path;
}

bool isAnimationPath(const QString& path) {
  return QFileInfo(path).suffix().compare(QLatin1String("webp"), Qt::CaseInsensitive) == 0;
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
    extras.rows.push_back({row, QString::fromLatin1(rowStateName(report.rows[row].state)), report.rows[row].radiusKm});
  }
  extras.countLabel = session.caption(Control::Label21).value_or(QString());
  extras.warningVisible = session.visible(Control::Label20);
  return extras;
}

void copyTable(const Session& from, Session& to) {
  static_cast<FormVariables&>(to) = static_cast<const FormVariables&>(from);
  for (int index = 1; index <= Session::kBoxCount; ++index) to.setText(index, from.text(index));
  for (int row = 1; row <= kRowCount; ++row) to.setTicked(row, from.ticked(row));
  if (const auto& title = from.caption(Control::Label37)) to.setCaption(Control::Label37, *title);
}

FrameDrawer::FrameDrawer(Session& session, const QDate& today)
    : session_(session), start_(session), today_(today.isValid() ? today : QDate::currentDate()) {}

DrawReport FrameDrawer::draw(const QDate& date) {
  static_cast<FormVariables&>(session_) = start_;
  return drawForDate(session_, dateBoxTexts(date), today_);
}

// The worker thread and what it shares with the painting thread. Painted images go to
// the worker and come back as spare buffers for later frames.
struct SeriesWriter::Worker {
  struct Job {
    QDate date;
    QString path;
    QImage image;      // PNG frames and the animation
    QByteArray bytes;  // the other formats, made by the painting thread
  };

  QString out;
  double scale = 1;
  int fps = 10;
  bool animation = false;
  std::optional<SheetFormat> format;
  qint64 added = 0;

  std::mutex mutex;
  std::condition_variable changed;
  std::deque<Job> queue;
  std::vector<QImage> spare;
  std::vector<WrittenFrame> written;
  QString error;
  bool failed = false;
  bool closing = false;   // no more frames come: finish the file
  bool stopping = false;  // give up: drop what waits
  std::thread thread;

  // Used by the worker thread only.
  PngFrameEncoder png;
  std::unique_ptr<WebpAnimationWriter> webp;
  std::vector<WrittenFrame> inAnimation;

  void run();
  // Encodes and writes one frame; the reason when it failed.
  std::optional<QString> process(const Job& job);
  std::optional<QString> writeAnimation();
};

void SeriesWriter::Worker::run() {
  for (;;) {
    Job job;
    {
      std::unique_lock<std::mutex> lock(mutex);
      changed.wait(lock, [this] { return stopping || closing || !queue.empty(); });
      if (stopping || (queue.empty() && failed)) return;
      if (queue.empty()) break;
      job = std::move(queue.front());
      queue.pop_front();
    }
    changed.notify_all();
    const std::optional<QString> problem = process(job);
    {
      std::lock_guard<std::mutex> lock(mutex);
      if (!job.image.isNull()) spare.push_back(std::move(job.image));
      if (problem) {
        failed = true;
        error = *problem;
        queue.clear();
      } else if (!animation) {
        written.push_back({job.date, job.path});
      }
    }
    changed.notify_all();
  }
  if (!animation) return;
  const std::optional<QString> problem = writeAnimation();
  std::lock_guard<std::mutex> lock(mutex);
  if (problem) {
    failed = true;
    error = *problem;
  } else {
    written.insert(written.end(), inAnimation.begin(), inAnimation.end());
  }
}

std::optional<QString> SeriesWriter::Worker::process(const Job& job) {
  QString why;
  if (animation) {
    if (!webp) webp = std::make_unique<WebpAnimationWriter>(job.image.size(), fps);
    if (!webp->addFrame(job.image, &why)) return cannotMake(out, why);
    inAnimation.push_back({job.date, job.path});
    return std::nullopt;
  }
  QByteArray encoded;
  if (!job.image.isNull()) {
    std::optional<QByteArray> made = png.encode(job.image, &why);
    if (!made) return cannotMake(job.path, why);
    encoded = std::move(*made);
  }
  if (const auto failedWrite = writeFileAtomically(job.path, job.image.isNull() ? job.bytes : encoded)) {
    return cannotWrite(job.path, *failedWrite);
  }
  return std::nullopt;
}

std::optional<QString> SeriesWriter::Worker::writeAnimation() {
  if (!webp) return cannotMake(out, QStringLiteral("コマがありません"));
  QString why;
  const std::optional<QByteArray> bytes = webp->finish(&why);
  if (!bytes) return cannotMake(out, why);
  if (const auto failedWrite = writeFileAtomically(out, *bytes)) return cannotWrite(out, *failedWrite);
  return std::nullopt;
}

SeriesWriter::SeriesWriter(const QString& out, double scale, int framesPerSecond)
    : worker_(std::make_unique<Worker>()) {
  Worker& w = *worker_;
  w.out = out;
  w.scale = scale;
  w.fps = framesPerSecond;
  w.animation = isAnimationPath(out);
  if (!w.animation) {
    w.format = sheetFormatForPath(out);
    if (!w.format) {
      w.failed = true;
      w.error = cannotMake(out, QStringLiteral("拡張子は .png .pdf .svg .json .webp のいずれかにしてください"));
      return;
    }
  }
  w.thread = std::thread([&w] { w.run(); });
}

SeriesWriter::~SeriesWriter() {
  Worker& w = *worker_;
  {
    std::lock_guard<std::mutex> lock(w.mutex);
    w.stopping = true;
    w.queue.clear();
  }
  w.changed.notify_all();
  if (w.thread.joinable()) w.thread.join();
}

bool SeriesWriter::add(const Sheet& sheet, const SheetDumpExtras& extras, const QDate& date) {
  Worker& w = *worker_;
  Worker::Job job;
  {
    std::lock_guard<std::mutex> lock(w.mutex);
    if (w.failed || w.closing || !w.thread.joinable()) return false;
    if (!w.spare.empty()) {
      job.image = std::move(w.spare.back());
      w.spare.pop_back();
    }
  }
  job.date = date;
  job.path = w.animation ? w.out : framePath(w.out, date, w.added + 1);
  const bool painted = w.animation || w.format == SheetFormat::Png;
  QString why;
  const auto fail = [&w](const QString& message) {
    std::lock_guard<std::mutex> lock(w.mutex);
    w.failed = true;
    w.error = message;
    return false;
  };
  if (painted) {
    if (!renderSheetImage(sheet, w.scale, job.image)) return fail(cannotMake(job.path, QStringLiteral("この倍率では画像を作れません")));
  } else {
    std::optional<QByteArray> bytes = sheetFileBytes(sheet, *w.format, w.scale, extras, &why);
    if (!bytes) return fail(cannotMake(job.path, why));
    job.bytes = std::move(*bytes);
  }
  {
    std::unique_lock<std::mutex> lock(w.mutex);
    w.changed.wait(lock, [&w] { return w.failed || w.queue.size() < kQueueDepth; });
    if (w.failed) return false;
    w.queue.push_back(std::move(job));
    ++w.added;
  }
  w.changed.notify_all();
  return true;
}

std::optional<QString> SeriesWriter::finish() {
  Worker& w = *worker_;
  {
    std::lock_guard<std::mutex> lock(w.mutex);
    w.closing = true;
  }
  w.changed.notify_all();
  if (w.thread.joinable()) w.thread.join();
  std::lock_guard<std::mutex> lock(w.mutex);
  if (w.failed) return w.error;
  return std::nullopt;
}

std::vector<WrittenFrame> SeriesWriter::takeWritten() {
  std::lock_guard<std::mutex> lock(worker_->mutex);
  return std::exchange(worker_->written, {});
}

QString SeriesWriter::error() const {
  std::lock_guard<std::mutex> lock(worker_->mutex);
  return worker_->error;
}

std::optional<QString> renderDateSeries(Session& session, const DateRange& range, const QDate& today,
                                        SeriesWriter& writer,
                                        const std::function<void(const WrittenFrame&)>& written) {
  FrameDrawer drawer(session, today);
  const qint64 count = frameCount(range);
  for (qint64 i = 0; i < count; ++i) {
    const QDate date = frameDate(range, i);
    const DrawReport report = drawer.draw(date);
    if (!writer.add(session.surface().sheet(), dumpExtras(session, report), date)) break;
    for (const WrittenFrame& frame : writer.takeWritten()) written(frame);
  }
  const std::optional<QString> failed = writer.finish();
  for (const WrittenFrame& frame : writer.takeWritten()) written(frame);
  return failed;
}

}  // namespace eq
