#include "sheet/series_writer.h"

#include "platform/safe_file.h"
#include "sheet/png_frame_encoder.h"
#include "sheet/sheet_renderer.h"
#include "sheet/webp_writer.h"

#include <QFileInfo>
#include <condition_variable>
#include <deque>
#include <map>
#include <mutex>
#include <system_error>
#include <thread>
#include <utility>

namespace eq {
namespace {

const QString kDatePlaceholder = QStringLiteral("{date}");
const QString kNumberPlaceholder = QStringLiteral("{n}");

// Frames waiting for each stage; the one before waits beyond this.
constexpr std::size_t kQueueDepth = 2;

QString cannotMake(const QString& path, const QString& why) {
  return QStringLiteral("出力ファイルを作れません: %1 (%2)").arg(path, why);
}
QString cannotWrite(const QString& path, const QString& why) {
  return QStringLiteral("出力ファイルを書けません: %1 (%2)").arg(path, why);
}

// A queue between two threads that holds at most `depth` items: push waits while it
// is full, pop while it is empty. close() lets the taker drain what is left; stop()
// drops it and releases both sides at once.
template <typename T>
class Channel {
 public:
  explicit Channel(std::size_t depth) : depth_(depth) {}

  bool push(T item) {
    std::unique_lock<std::mutex> lock(mutex_);
    changed_.wait(lock, [this] { return stopped_ || items_.size() < depth_; });
    if (stopped_ || closed_) return false;
    items_.push_back(std::move(item));
    changed_.notify_all();
    return true;
  }
  std::optional<T> pop() {
    std::unique_lock<std::mutex> lock(mutex_);
    changed_.wait(lock, [this] { return stopped_ || closed_ || !items_.empty(); });
    if (stopped_ || items_.empty()) return std::nullopt;
    T item = std::move(items_.front());
    items_.pop_front();
    changed_.notify_all();
    return item;
  }
  void close() {
    std::lock_guard<std::mutex> lock(mutex_);
    closed_ = true;
    changed_.notify_all();
  }
  void stop() {
    std::lock_guard<std::mutex> lock(mutex_);
    stopped_ = true;
    items_.clear();
    changed_.notify_all();
  }
  bool stopped() {
    std::lock_guard<std::mutex> lock(mutex_);
    return stopped_;
  }

 private:
  std::mutex mutex_;
  std::condition_variable changed_;
  std::deque<T> items_;
  std::size_t depth_;
  bool closed_ = false;
  bool stopped_ = false;
};

}  // namespace

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

// Three stages: the caller's thread draws and paints, encoder threads make the files'
// bytes, a writer thread writes them in order (writing through a temporary file waits
// for the disk, which costs as much as encoding). Encoding a PNG takes about three
// times as long as drawing it, so two encoders share the frames of a file series;
// an animation is one stream and has one. Painted images go back to the caller as
// spare buffers for later frames.
struct SeriesWriter::Worker {
  static constexpr int kFileEncoders = 2;

  struct Frame {
    qint64 number = 0;  // from 0, in the order added
    QDate date;
    QString path;
    QImage image;      // PNG frames and the animation
    QByteArray bytes;  // the other formats, made by the caller
  };
  struct File {
    qint64 number = 0;
    QString path;
    QByteArray bytes;
    std::vector<WrittenFrame> frames;  // one, or every frame of the animation
  };

  QString out;
  double scale = 1;
  int fps = 10;
  QDate created;
  bool animation = false;
  std::optional<SheetFormat> format;
  qint64 added = 0;  // the caller's thread only

  Channel<Frame> frames{kQueueDepth};
  Channel<File> files{kQueueDepth};
  std::vector<std::thread> encoders;
  std::thread writer;

  std::mutex mutex;  // guards what follows
  std::vector<QImage> spare;
  std::vector<WrittenFrame> written;
  QString error;
  bool failed = false;
  int encoding = 0;  // encoders still running

  void fail(const QString& why) {
    {
      std::lock_guard<std::mutex> lock(mutex);
      if (!failed) error = why;
      failed = true;
    }
    frames.stop();
    files.stop();
  }
  void encode();
  void write();
  void join() {
    for (std::thread& encoder : encoders) {
      if (encoder.joinable()) encoder.join();
    }
    if (writer.joinable()) writer.join();
  }
};

void SeriesWriter::Worker::encode() {
  PngFrameEncoder png;
  std::unique_ptr<WebpAnimationWriter> webp;
  std::vector<WrittenFrame> inAnimation;
  QString why;
  while (std::optional<Frame> frame = frames.pop()) {
    File file{frame->number, frame->path, std::move(frame->bytes), {{frame->date, frame->path}}};
    bool ok = true;
    if (animation) {
      if (!webp) webp = std::make_unique<WebpAnimationWriter>(frame->image.size(), fps);
      ok = webp->addFrame(frame->image, &why);
      inAnimation.push_back({frame->date, frame->path});
    } else if (!frame->image.isNull()) {
      std::optional<QByteArray> made = png.encode(frame->image, &why);
      ok = made.has_value();
      if (ok) file.bytes = std::move(*made);
    }
    if (!frame->image.isNull()) {
      std::lock_guard<std::mutex> lock(mutex);
      spare.push_back(std::move(frame->image));
    }
    if (!ok) return fail(cannotMake(frame->path, why));
    if (!animation && !files.push(std::move(file))) return;
  }
  // Stopped rather than closed: given up, so no animation is written.
  if (frames.stopped()) return;
  if (animation) {
    std::optional<QByteArray> bytes = webp ? webp->finish(&why) : std::nullopt;
    if (!webp) why = QStringLiteral("コマがありません");
    if (!bytes) return fail(cannotMake(out, why));
    files.push({0, out, std::move(*bytes), std::move(inAnimation)});
  }
  std::lock_guard<std::mutex> lock(mutex);
  if (--encoding == 0) files.close();
}

// Encoders may finish out of turn; files are written in the order of their frames, so
// that a failure leaves exactly the frames before it.
void SeriesWriter::Worker::write() {
  std::map<qint64, File> early;
  qint64 next = 0;
  while (std::optional<File> arrived = files.pop()) {
    early.emplace(arrived->number, std::move(*arrived));
    for (auto file = early.find(next); file != early.end(); file = early.find(next)) {
      if (const auto failedWrite = writeFileAtomically(file->second.path, file->second.bytes)) {
        return fail(cannotWrite(file->second.path, *failedWrite));
      }
      {
        std::lock_guard<std::mutex> lock(mutex);
        written.insert(written.end(), file->second.frames.begin(), file->second.frames.end());
      }
      early.erase(file);
      ++next;
    }
  }
}

SeriesWriter::SeriesWriter(const QString& out, double scale, int framesPerSecond, const QDate& created)
    : worker_(std::make_unique<Worker>()) {
  Worker& w = *worker_;
  w.out = out;
  w.scale = scale;
  w.created = created;
  w.fps = framesPerSecond;
  w.animation = isAnimationPath(out);
  if (!w.animation) {
    w.format = sheetFormatForPath(out);
    if (!w.format) {
      w.fail(cannotMake(out, QStringLiteral("拡張子は .png .pdf .svg .json .webp のいずれかにしてください")));
      return;
    }
  }
  const int encoders = w.animation ? 1 : Worker::kFileEncoders;
  w.encoding = encoders;
  try {
    for (int k = 0; k < encoders; ++k) w.encoders.emplace_back([&w] { w.encode(); });
    w.writer = std::thread([&w] { w.write(); });
  } catch (const std::system_error& e) {
    // No thread to be had: the series fails here, like a frame that cannot be written.
    w.fail(cannotMake(out, QString::fromLocal8Bit(e.what())));
  }
}

SeriesWriter::~SeriesWriter() {
  Worker& w = *worker_;
  w.frames.stop();
  w.files.stop();
  w.join();
}

bool SeriesWriter::add(const DrawResult& drawing, const QImage& background, const QDate& date) {
  Worker& w = *worker_;
  Worker::Frame frame;
  {
    std::lock_guard<std::mutex> lock(w.mutex);
    if (w.failed) return false;
    if (!w.spare.empty()) {
      frame.image = std::move(w.spare.back());
      w.spare.pop_back();
    }
  }
  frame.number = w.added;
  frame.date = date;
  frame.path = w.animation ? w.out : framePath(w.out, date, w.added + 1);
  // An output that cannot be written is refused before the first frame is made, not
  // after encoding all of an animation's frames.
  if (w.added == 0) {
    if (const auto problem = checkWritable(frame.path)) {
      w.fail(cannotWrite(frame.path, *problem));
      return false;
    }
  }
  if (w.animation || w.format == SheetFormat::Png) {
    if (!renderSheetImage({drawing.sheet, background}, w.scale, frame.image)) {
      w.fail(cannotMake(frame.path, QStringLiteral("この倍率では画像を作れません")));
      return false;
    }
  } else {
    QString why;
    std::optional<QByteArray> bytes = sheetFileBytes(drawing, background, *w.format, w.scale, w.created, &why);
    if (!bytes) {
      w.fail(cannotMake(frame.path, why));
      return false;
    }
    frame.bytes = std::move(*bytes);
  }
  if (!w.frames.push(std::move(frame))) return false;
  ++w.added;
  return true;
}

std::optional<QString> SeriesWriter::finish() {
  Worker& w = *worker_;
  w.frames.close();
  w.join();
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

}  // namespace eq
