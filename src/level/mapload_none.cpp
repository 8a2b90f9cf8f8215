// mapload_none.cpp -- the stand-in for a build that reads no map at run time: the browser's,
// which is given no command line.
// mutate: off (the native build, which the tests run, never builds this stand-in)
#include "map.h"

#include <SDL_log.h>

int map_load_file(const char *path) {
  SDL_Log("%s: this build of the game reads no map file", path);
  return -1;
}

bool map_reload() {
  return false;
}
