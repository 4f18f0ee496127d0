// eqcircle: starts the window program, or the render program for `eqcircle render ...`.
// Both live beside this one in a build and in <prefix>/lib/eqcircle once installed. A
// program that only renders then loads none of the window toolkit, the printing
// libraries and their dependencies, which take a third of a rendering process's time.
// This launcher uses the C library only and replaces itself with the chosen program.

#include <unistd.h>

#include <cerrno>
#include <climits>
#include <cstdio>
#include <cstring>
#include <string>

int main(int argc, char** argv) {
  const bool render = argc >= 2 && std::strcmp(argv[1], "render") == 0;
  const char* program = render ? "eqcircle-render" : "eqcircle-window";

  char self[PATH_MAX];
  const ssize_t length = readlink("/proc/self/exe", self, sizeof self - 1);
  std::string folder = ".";
  if (length > 0) {
    self[length] = '\0';
    folder = self;
    folder.erase(folder.rfind('/') == std::string::npos ? 0 : folder.rfind('/'));
  }
  int reason = ENOENT;
  for (const std::string& place : {folder + "/" + program, folder + "/../lib/eqcircle/" + program}) {
    execv(place.c_str(), argv);  // returns only when it failed
    if (errno != ENOENT) reason = errno;
  }
  std::fprintf(stderr, "eqcircle: %s を起動できません (%s)。インストールを確かめてください。\n", program,
               std::strerror(reason));
  return 127;
}
