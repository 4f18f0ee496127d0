#include "session/drawing_surface.h"

#include "sheet/sheet_renderer.h"

#include <QFileInfo>
#include <QImageReader>

namespace eq {

namespace {

// Where the character after the one at `at` starts: a surrogate pair is one character.
qsizetype nextCharacter(const QString& text, qsizetype at) {
  return at + (text[at].isHighSurrogate() && at + 1 < text.size() && text[at + 1].isLowSurrogate() ? 2 : 1);
}

}  // namespace

qsizetype characterCount(const QString& text) {
  qsizetype count = 0;
  for (qsizetype at = 0; at < text.size(); at = nextCharacter(text, at)) ++count;
  return count;
}

QString characters(const QString& text, qsizetype first, qsizetype count) {
  if (first == 0 && text.size() <= count) return text;
  qsizetype begin = 0;
  for (qsizetype n = 0; n < first && begin < text.size(); ++n) begin = nextCharacter(text, begin);
  qsizetype end = begin;
  for (qsizetype n = 0; n < count && end < text.size(); ++n) end = nextCharacter(text, end);
  return text.mid(begin, end - begin);
}

void DrawingSurface::removePicture() {
  sheet_.clear();
  ++revision_;
}

bool DrawingSurface::loadPicture(const QString& path) {
  const QFileInfo file(path);
  const qint64 size = file.exists() ? file.size() : -1;
  const QDateTime modified = file.lastModified();
  if (decoded_.image.isNull() || decoded_.path != path || decoded_.size != size || decoded_.modified != modified ||
      !file.isReadable()) {
    // The background is always a BMP: no guessing of the format from the name or the bytes.
    QImageReader reader(path, "bmp");
    reader.setAutoDetectImageFormat(false);
    QImage image = reader.read();
    if (image.isNull()) return false;
    decoded_ = {path, size, modified, image};
  }
  sheet_.setBackground(decoded_.image, file.fileName());
  ++revision_;
  return true;
}

void DrawingSurface::pSet(float x, float y, QColor color) {
  sheet_.add(SheetPoint{static_cast<float>(toMapX(x)), static_cast<float>(toMapY(y)), color.rgb()});
  ++revision_;
}

void DrawingSurface::line(float x1, float y1, float x2, float y2, QColor color) {
  sheet_.add(SheetLine{static_cast<float>(toMapX(x1)), static_cast<float>(toMapY(y1)),
                       static_cast<float>(toMapX(x2)), static_cast<float>(toMapY(y2)), color.rgb()});
  ++revision_;
}

bool DrawingSurface::circle(float x, float y, float radius, QColor color) {
  if (!(radius >= 0)) return false;
  const double scale = scaleMode_ == ScaleMode::Characters ? kColumnWidth : 1.0;
  std::optional<QRgb> fill;
  if (fillStyle_ == 0) fill = fillColor_.rgb();
  sheet_.add(SheetCircle{static_cast<float>(toMapX(x)), static_cast<float>(toMapY(y)),
                         static_cast<float>(radius * scale), color.rgb(), fill});
  ++revision_;
  return true;
}

void DrawingSurface::polyline(std::vector<QPointF> points, QColor color) {
  sheet_.add(SheetPolyline{std::move(points), color.rgb()});
  ++revision_;
}

void DrawingSurface::print(const QString& text) {
  if (text.isEmpty()) return;  // shows nothing
  sheet_.add(SheetText{static_cast<float>(toMapX(currentX_)), static_cast<float>(toMapY(currentY_)),
                       foreColor_.rgb(), characters(text, 0, kLongestText)});
  ++revision_;
}

QImage DrawingSurface::image() const { return renderSheetImage(sheet_); }

}  // namespace eq
