#pragma once
// Where the program finds the files it ships: beside the executable in a build tree,
// in <prefix>/share/eqcircle once installed (<prefix>/bin/eqcircle).

#include <QString>

namespace eq {

// The background map JapanMap3.bmp of the running program: the first of
// `<program folder>/JapanMap3.bmp`, `<program folder>/../share/eqcircle/JapanMap3.bmp` and
// `<program folder>/../../share/eqcircle/JapanMap3.bmp` (from <prefix>/lib/eqcircle) that
// exists, else the first (so a message names the place a build looks first).
QString backgroundMapPath();

// The same lookup for a program in `programDir`.
QString backgroundMapPath(const QString& programDir);

}  // namespace eq
