#pragma once
// The program's own icon: a volcano in red earthquake circles on a pale map. The same
// drawing the desktop shows in its menus (packaging/eqcircle.svg), compiled in.

#include <QIcon>

namespace eq {

// Scalable; sharp at every size the window system asks for.
QIcon applicationIcon();

}  // namespace eq
