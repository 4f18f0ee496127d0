#pragma once
// The drawing surface Picture1 without its widget: the sheet of the last Draw (with
// what that Draw was given and what it said of the rows) and the bitmap its background
// names. The window's widget, the printer, the clipboard and every export paint this
// same sheet.

#include "draw/draw.h"
#include "sheet/sheet_renderer.h"

#include <QImage>

namespace eq {

class DrawingSurface {
 public:
  // Removes the sheet and its background: an empty surface, as after start-up.
  void clear();
  // Shows what a Draw gave.
  void show(DrawInputs inputs, DrawResult drawing, QImage background);

  const DrawInputs& inputs() const { return inputs_; }
  const DrawResult& drawing() const { return drawing_; }
  const Sheet& sheet() const { return drawing_.sheet; }
  const QImage& background() const { return background_; }
  SheetPicture picture() const { return {drawing_.sheet, background_}; }

  // The crossing marks of the last Draw on the sheet, or off it again.
  void setCrossingMarks(bool on);

  // Counts every change, so that a view knows when to repaint.
  unsigned revision() const { return revision_; }
  // The sheet as a bitmap of 1200 x 853 pixels, as on screen.
  QImage image() const { return renderSheetImage(picture()); }

 private:
  DrawInputs inputs_;
  DrawResult drawing_;
  QImage background_;
  unsigned revision_ = 0;
};

}  // namespace eq
