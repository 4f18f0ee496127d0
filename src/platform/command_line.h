#pragma once
// `eqcircle render ...` is the render command: the launcher starts the render program
// for it, and the window program refuses it.

#include <cstring>

namespace eq {

inline bool isRenderCommand(int argc, char** argv) { return argc >= 2 && std::strcmp(argv[1], "render") == 0; }

}  // namespace eq
