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
// This file answers --help and --version, reads the map of --level FILE, brings the engine
// up, builds the scene, loads the sounds and runs the frame loop until the window is closed;
// deinit, run at exit, takes it all down again. A start that fails logs why and, on a
// desktop, says it in a message box.
#include "game.h"
#include "kinds.h"
#include "map.h"
#include "platform.h"
#include "settings.h"
#include "sounds.h"
#include "vel.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace {

constexpr char USAGE[] = "Usage: pordeck [--help | --version | --level FILE]\n";
constexpr char HELP[] =
    "Smash every crate and window while the alarm rings, then silence the clock.\n"
    "Mouse: move the crosshair. Left button: smash. F11: window or full screen.\n"
    "Keys: the arrows move the crosshair, X smashes, C aims at the next thing to smash;\n"
    "M switches the alarm off and on, N the other sounds. A gamepad plays as well.\n"
    "\n"
    "  --help        print this help and exit\n"
    "  --version     print the version and exit\n"
    "  --level FILE  play the map FILE, as the Tiled map editor saves it, in place of the\n"
    "                game's own level; F5 reads it again\n";

Game *game = nullptr;

// The map file of `--level FILE`, or null for the game's own level.
const char *level_option(int argc, char **argv) {
  return argc == 3 && std::strcmp(argv[1], "--level") == 0 ? argv[2] : nullptr;
}

// Any other command line: --help or --version; anything else is refused before a window
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
  if (argc == 2 && std::strcmp(argv[1], "--level") == 0) {
    std::fprintf(stderr, "pordeck: option '--level' needs a FILE\n%s", USAGE);
    return 2;
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

// The last line logged, kept for a start that fails; in a fixed buffer, as a broken image
// logs a line every frame.
char last_line[512];
SDL_LogOutputFunction log_output;
void *log_output_data;

void remember_line(void *, int category, SDL_LogPriority priority, const char *message) {
  SDL_strlcpy(last_line, message, sizeof last_line);
  log_output(log_output_data, category, priority, message);
}

// The game cannot start, and the line just logged says why: a player who started it from a
// desktop, with no terminal, sees that line in a message box too. Headless runs (SDL's dummy
// video driver) show none.
int cannot_start() {
  const char *video = SDL_GetHint(SDL_HINT_VIDEODRIVER);
  if (!video || SDL_strcasecmp(video, "dummy") != 0) {
    SDL_ShowSimpleMessageBox(SDL_MESSAGEBOX_ERROR, "pordeck cannot start", last_line, nullptr);
  }
  return 1;
}

void deinit() {
  if (game) {
    std::free(game);
  }
  VEL_Quit();
}

} // namespace

int main(int argc, char **argv) {
  platform_guard_standard_streams();
  const char *level = level_option(argc, argv);
  if (argc > 1 && !level) {
    return command_line(argc, argv);
  }
  // A map of the player's own is read before a window opens: refused, its lines say why.
  if (level && map_load_file(level) != 0) {
    return 2;
  }
  SDL_LogGetOutputFunction(&log_output, &log_output_data);
  SDL_LogSetOutputFunction(remember_line, nullptr);
  kinds_register();
  if (VEL_Init(&GAME_CONFIG) != 0) {
    VEL_Quit();
    return cannot_start();
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
  settings_start();                  // before the scene starts the alarm
  game_init(game);
  const char *failed = nullptr;
  if (sounds_load(&failed) < 0) {
    report_incomplete_data(failed);
    return cannot_start();
  }
  while (!VEL_ShouldQuit()) {
    game_frame(game);
    settings_frame();
  }
  return 0;
}
