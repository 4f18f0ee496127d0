#include "map/draw_command.h"

#include "app/form1.h"

namespace eq {

void DrawCommand::run() {}

}  // namespace eq
