#include "platform/app_icon.h"

// The resource lives in a static library: nothing refers to its object file, so the
// linker would drop it unless it is registered by hand (outside any namespace).
static void registerAppIconResource() { Q_INIT_RESOURCE(app_icon); }

namespace eq {

QIcon applicationIcon() {
  static const bool registered = (registerAppIconResource(), true);
  Q_UNUSED(registered);
  return QIcon(QStringLiteral(":/icons/eqcircle.svg"));
}

}  // namespace eq
