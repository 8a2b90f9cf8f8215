// pordeck -- smash every box and window while the alarm rings, then silence the clock.
//
// The one idea to hold on to: everything that acts in the game is an Entity in one fixed
// pool of 512 slots, and the slot order decides everything. The level's objects spawn into
// slots 0, 1, 2, ... in the order the map lists them. Every frame updates and then draws the
// live slots in increasing order, so a later slot is drawn on top of an earlier one; a click
// searches the pool from the highest slot down, so it hits what the player sees on top. The
// cursor is the level's last object, so it is updated after every prop and drawn over all.
//
// Kinds (window, player, box, alarm) are plain records with three function pointers --
// update, draw, smash -- registered in a fixed order before the scene is built, which gives
// their type ids. Nothing allocates while the game runs: the pool, the engine's image and
// sound tables and the level records are fixed in size, and each draw finds its image again
// by path in the engine's small registry.
//
// This file answers --help and --version, brings the engine up, builds the scene, loads the
// sounds and runs the frame loop until the window is closed; deinit, run at exit, takes it
// all down again.
#include "game.h"
#include "kinds.h"
#include "sounds.h"
#include "vel.h"

#include <cerrno>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <unistd.h>

namespace {

constexpr char USAGE[] = "Usage: pordeck [--help | --version]\n";
constexpr char HELP[] =
    "Smash every crate and window while the alarm rings, then silence the clock.\n"
    "Mouse: move the crosshair. Left button: smash. F11: window or full screen.\n"
    "\n"
    "  --help     print this help and exit\n"
    "  --version  print the version and exit\n";

Game *game = nullptr;

// The game takes no argument but one of these two; anything else is refused before a window
// opens.
int command_line(int argc, char **argv) {
  if (argc == 2 && std::strcmp(argv[1], "--help") == 0) {
    std::printf("%s%s", USAGE, HELP);
    return 0;
  }
  if (argc == 2 && std::strcmp(argv[1], "--version") == 0) {
    std::printf("pordeck %s\n", PORDECK_VERSION);
    return 0;
  }
  std::fprintf(stderr, "pordeck: unknown option '%s'\n%s", argv[argc - 1], USAGE);
  return 2;
}

// One line for the player beside the engine's: which file failed, and what that means.
void report_incomplete_data(const char *path) {
  char *full = VEL_PathPrefix(path);
  SDL_Log("The game's data is incomplete: %s cannot be loaded", full ? full : path);
  std::free(full);
}

// The log goes to standard error: a closed standard descriptor gets /dev/null, so that no
// socket or file the libraries open later takes its number and the log lines with it; and a
// log whose reader has gone (a closed pipe) must not end the game with SIGPIPE.
void guard_standard_streams() {
  for (int fd = STDIN_FILENO; fd <= STDERR_FILENO; ++fd) {
    // open takes the lowest free number, which is fd: those below it are open.
    if (fcntl(fd, F_GETFD) < 0 && errno == EBADF) {
      open("/dev/null", O_RDWR);
    }
  }
  std::signal(SIGPIPE, SIG_IGN);
}

void deinit() {
  if (game) {
    std::free(game);
  }
  VEL_Quit();
}

} // namespace

int main(int argc, char **argv) {
  guard_standard_streams();
  if (argc > 1) {
    return command_line(argc, argv);
  }
  kinds_register();
  if (VEL_Init(&GAME_CONFIG) != 0) {
    VEL_Quit();
    return 1;
  }
  if (std::atexit(deinit) != 0) {
    std::perror("main:atexit");
    deinit();
    return 1;
  }
  game = static_cast<Game *>(std::malloc(sizeof(Game)));
  if (!game) {
    std::perror("main:malloc");
    return 1;
  }
  VEL_SetWindowIcon("res/icon.bmp"); // without it the window looks plain, nothing more
  game_init(game);
  const char *failed = nullptr;
  if (sounds_load(&failed) < 0) {
    report_incomplete_data(failed);
    return 1;
  }
  while (!VEL_ShouldQuit()) {
    game_frame(game);
  }
  return 0;
}
