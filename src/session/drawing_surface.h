#pragma once
// The drawing surface Picture1 without its widget: the operations the commands draw
// with (remove the picture, load a background, points, lines, circles, text at a
// current position in a foreground colour, two coordinate modes) and the state they
// keep between calls. Everything drawn goes into the retained sheet; the window's
// widget and every export only paint that sheet.

#include "sheet/sheet.h"

#include <QColor>
#include <QDateTime>

namespace eq {

// The number of characters (code points) of `text`.
qsizetype characterCount(const QString& text);
// `count` characters of `text` from character `first` on (fewer at its end).
QString characters(const QString& text, qsizetype first, qsizetype count);

class DrawingSurface {
 public:
  // Map units (twips), or text cells of 120 x 240 map units.
  enum class ScaleMode { Twips, Characters };
  static constexpr double kColumnWidth = 120;
  static constexpr double kLineHeight = 240;

  // Removes the background picture and everything drawn on the surface.
  void removePicture();
  // Loads a bitmap (BMP) as the background picture; false (and nothing changes) when
  // the file is missing or unreadable. The decoded bitmap is kept, so loading the same
  // unchanged file again (same path, size and modification time) costs no decoding.
  bool loadPicture(const QString& path);

  void setAutoRedraw(bool on) { autoRedraw_ = on; }
  bool autoRedraw() const { return autoRedraw_; }
  void setScaleMode(ScaleMode mode) { scaleMode_ = mode; }
  ScaleMode scaleMode() const { return scaleMode_; }

  void setFillStyle(int style) { fillStyle_ = style; }  // 0 solid, 1 transparent
  int fillStyle() const { return fillStyle_; }
  void setFillColor(QColor color) { fillColor_ = color; }
  void setForeColor(QColor color) { foreColor_ = color; }
  QColor foreColor() const { return foreColor_; }
  // The current text position, in the current scale mode, at single precision.
  void setCurrentX(float x) { currentX_ = x; }
  void setCurrentY(float y) { currentY_ = y; }
  float currentX() const { return currentX_; }
  float currentY() const { return currentY_; }

  // Drawing in the current scale mode; coordinates arrive at single precision.
  void pSet(float x, float y, QColor color);
  void line(float x1, float y1, float x2, float y2, QColor color);
  // A circle with the current fill style and fill colour. A negative radius draws nothing and fails.
  bool circle(float x, float y, float radius, QColor color);
  // A closed polyline through points given in map units (whatever the scale mode).
  void polyline(std::vector<QPointF> points, QColor color);
  // Prints text with its top-left corner at the current position, in the foreground
  // colour. An empty text shows nothing and is not recorded. Of a longer text than
  // kLongestText characters, that many are recorded.
  void print(const QString& text);
  // The sheet is 150 text cells wide, so no text shows more than a few hundred of its
  // characters there. A text is cut far beyond that, so that a name of millions of
  // characters is painted in the usual time and memory.
  static constexpr qsizetype kLongestText = 1000;

  // Removes what was drawn from item `first` on.
  void removeFrom(std::size_t first) {
    sheet_.removeFrom(first);
    ++revision_;
  }

  const Sheet& sheet() const { return sheet_; }
  // Counts every change, so that a view knows when to repaint.
  unsigned revision() const { return revision_; }
  // The persistent image as a bitmap of 1200 x 853 pixels, as on screen.
  QImage image() const;

 private:
  double toMapX(double x) const { return scaleMode_ == ScaleMode::Characters ? x * kColumnWidth : x; }
  double toMapY(double y) const { return scaleMode_ == ScaleMode::Characters ? y * kLineHeight : y; }

  // The last bitmap decoded, and what identified its file then.
  struct DecodedPicture {
    QString path;
    qint64 size = -1;
    QDateTime modified;
    QImage image;
  };

  Sheet sheet_;
  DecodedPicture decoded_;
  unsigned revision_ = 0;
  bool autoRedraw_ = false;
  ScaleMode scaleMode_ = ScaleMode::Twips;
  int fillStyle_ = 1;
  QColor fillColor_ = Qt::black;
  QColor foreColor_ = Qt::black;
  float currentX_ = 0;
  float currentY_ = 0;
};

}  // namespace eq
