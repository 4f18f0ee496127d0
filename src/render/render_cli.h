#pragma once
// `eqcircle render DATAFILE --date Y-M-D [--rows 1,3,7|all] [--title TEXT]
// [--no-background] [--created Y-M-D] [--scale K] --out FILE`: renders a sheet
// without a display. It fills a window-free session through the same reader as the
// open command, ticks the rows, types the prediction date, runs the Draw command and
// writes the sheet as PNG, PDF, SVG or JSON (by FILE's extension).
// Prints one line per table row: row, name, state, radius in km.
// Exit status: 0 done, 1 the data file or the output failed, 2 bad arguments.

namespace eq {

// Runs it; the application object already exists (on the offscreen platform).
int runRenderCommand(int argc, char** argv);

}  // namespace eq
