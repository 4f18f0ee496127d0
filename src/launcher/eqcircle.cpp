// eqcircle: starts the window program, or the render program for `eqcircle render ...`
// and `eqcircle hindcast ...`.
// Both live beside this one in a build and in <prefix>/lib/eqcircle once installed. A
// program that only renders then loads none of the window toolkit, the printing
// libraries and their dependencies, which take a third of a rendering process's time.
// This launcher uses the C library only and replaces itself with the chosen program.

#include <unistd.h>

#include <cerrno>
#include <climits>
#include <cstdio>
#include <cstring>

int main(int argc, char** argv) {
  const bool render = argc >= 2 && (std::strcmp(argv[1], "render") == 0 || std::strcmp(argv[1], "hindcast") == 0);
  const char* program = render ? "eqcircle-render" : "eqcircle-window";

  // The folder this program lives in ("." when the system does not say).
  char folder[PATH_MAX] = ".";
  const ssize_t length = readlink("/proc/self/exe", folder, sizeof folder - 1);
  if (length > 0) {
    folder[length] = '\0';
    char* slash = std::strrchr(folder, '/');
    if (slash && slash != folder) *slash = '\0';
    else if (slash) slash[1] = '\0';
  } else {
    std::strcpy(folder, ".");
  }
  int reason = ENOENT;
  static const char* const kPlaces[] = {"%s/%s", "%s/../lib/eqcircle/%s"};
  for (const char* pattern : kPlaces) {
    char place[PATH_MAX + 64];
    if (std::snprintf(place, sizeof place, pattern, folder, program) >= static_cast<int>(sizeof place)) continue;
    execv(place, argv);  // returns only when it failed
    if (errno != ENOENT) reason = errno;
  }
  std::fprintf(stderr, "eqcircle: %s を起動できません (%s)。インストールを確かめてください。\n", program,
               std::strerror(reason));
  return 127;
}
