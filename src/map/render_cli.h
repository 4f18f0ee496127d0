#pragma once
// `eqcircle render ...`: renders a sheet without a display.

namespace eq {

// True when the arguments ask for the render command (argv[1] == "render").
bool isRenderCommand(int argc, char** argv);

// Runs it; the application object already exists (on the offscreen platform).
int runRenderCommand(int argc, char** argv);

}  // namespace eq
