#pragma once
// Whether the desktop will show a text file to the user. xdg-open hands a file to
// the program registered for its type; with none registered it falls back to a web
// browser, on a bare system a text-mode one such as lynx with no window to show in,
// or it fails, and either way the user sees nothing.

namespace eq {

// True when xdg-mime names a registered program for text files that shows a window:
// one that is not a terminal program, or a terminal program with a terminal emulator
// to run it in. True also when the desktop cannot be asked (no xdg-mime), so that
// opening is at least tried.
bool desktopHasTextEditor();

}  // namespace eq
