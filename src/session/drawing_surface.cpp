#include "session/drawing_surface.h"

namespace eq {

void DrawingSurface::clear() {
  inputs_ = DrawInputs();
  drawing_ = DrawResult();
  background_ = QImage();
  ++revision_;
}

void DrawingSurface::show(DrawInputs inputs, DrawResult drawing, QImage background) {
  inputs_ = std::move(inputs);
  drawing_ = std::move(drawing);
  background_ = std::move(background);
  ++revision_;
}

void DrawingSurface::setCrossingMarks(bool on) {
  if (on) {
    addCrossingMarks(drawing_);
  } else {
    removeCrossingMarks(drawing_);
  }
  ++revision_;
}

}  // namespace eq
