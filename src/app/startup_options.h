#pragma once
// What the program settles before any application object or window exists:
// `--help` and `--version`, and whether there is a display to open the window on.

#include <optional>

namespace eq {

// The exit status when the process ends here (help or version printed; no display
// for the window, said in Japanese on stderr); none when start-up goes on. The
// render command passes untouched: it needs no display and has its own --help.
std::optional<int> handleStartupOptions(int argc, char** argv);

}  // namespace eq
