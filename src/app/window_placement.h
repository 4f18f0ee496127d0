#pragma once
// Centring a window on its screen, as the main window does at start-up and the
// reference window each time it opens: from the window's outer size, in twips at
// single precision, applied as it comes out, also when negative (a screen smaller
// than the window leaves part of it off-screen).

#include <QPointF>
#include <QSizeF>

class QWidget;

namespace eq {

// Left and Top (twips) of a window of outer size `window` centred on a screen of size `screen`.
QPointF centredTopLeftTwips(QSizeF screen, QSizeF window);

// Moves the window (its outer frame) to the centre of its screen.
void centreOnScreen(QWidget& window);

// A window manager frames a window only once it is mapped, and the outer size that
// centring needs includes that frame: right after show(), wait for it (briefly,
// never for long).
void waitUntilFramed(QWidget& window);

}  // namespace eq
