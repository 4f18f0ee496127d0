#include "map/render_cli.h"

#include <cstring>

namespace eq {

bool isRenderCommand(int argc, char** argv) { return argc >= 2 && std::strcmp(argv[1], "render") == 0; }

int runRenderCommand(int, char**) { return 2; }

}  // namespace eq
