#pragma once
// Sheets through time written to files: one file per date (PNG, PDF, SVG or JSON,
// named by a pattern) or one animated WebP of every frame. The caller paints or
// serialises each frame; encoding and writing run on worker threads, so the next
// frame is drawn while the last one is written.

#include "sheet/sheet_export.h"
#include "sheet/webp_writer.h"

#include <QDate>
#include <QString>
#include <memory>
#include <optional>
#include <vector>

namespace eq {

// Output names: a pattern holds "{date}" (YYYY-MM-DD) or "{n}" (the frame number from
// 1, four digits); a name ending in .webp is one animation of every frame.
bool hasFramePlaceholder(const QString& pattern);
QString framePath(const QString& pattern, const QDate& date, qint64 number);
bool isAnimationPath(const QString& path);

struct WrittenFrame {
  QDate date;
  QString path;
};

// Writes the frames of a series in the order they are added. Every file is written
// in full or not at all; an animation only when finish() succeeds.
class SeriesWriter {
 public:
  // `out`: a pattern or a .webp name; `scale` multiplies PNG, SVG and WebP pixels;
  // `framesPerSecond` is the animation's rate; `created` the PDFs' creation date (see
  // sheetFileBytes).
  explicit SeriesWriter(const QString& out, double scale = 1, int framesPerSecond = kDefaultFrameRate,
                        const QDate& created = {});
  // Stops at once: the file being written is completed, frames not yet written are
  // dropped, an unfinished animation is not written.
  ~SeriesWriter();
  SeriesWriter(const SeriesWriter&) = delete;
  SeriesWriter& operator=(const SeriesWriter&) = delete;

  // Takes what the Draw of `date` gave, with its background bitmap: paints or
  // serialises it here, then hands it to the worker. Waits while the worker is two frames behind. False, with the
  // reason in error(), once a frame failed; the first frame fails at once when its
  // file (or the animation) could not be written (see checkWritable).
  bool add(const DrawResult& drawing, const QImage& background, const QDate& date);
  // Waits until every frame is written (for an animation: assembled and written).
  // Nothing when all went well, otherwise the reason.
  std::optional<QString> finish();
  // Frames whose files are complete since the last call, in order.
  std::vector<WrittenFrame> takeWritten();
  QString error() const;

 private:
  struct Worker;
  std::unique_ptr<Worker> worker_;
};

}  // namespace eq
