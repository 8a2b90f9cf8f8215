// The real program on a hostile machine: no sound card, no display, or a copy of its
// directory whose res/ is damaged. Every fault ends in one exact log line and an exit status
// (a game that keeps running is interrupted and exits 0), never in a crash. Also a flood of
// queued input, taken in by one pass.
#include "game.h"
#include "support.h"

#include <SDL_mixer.h>
#include <gtest/gtest.h>

#include <csignal>
#include <cstdlib>
#include <cstring>
#include <filesystem>

namespace fs = std::filesystem;

namespace {

enum Damage { NONE, EMPTY, MISSING, REMOVED, DIRECTORY, TRUNCATED, TEXT };
// What the program is starting or loading when the fault strikes.
enum Stage { AUDIO, VIDEO, IMAGE, EFFECT, MUSIC };

struct Fault {
  const char *what;
  std::vector<std::string> env; // extra "NAME=value" entries
  Damage damage;                // done to `path` (or to the whole res/) of the copy
  const char *path;             // the asset the line names
  Stage stage;
  int status; // 0: the game runs on until it is interrupted
};

const Fault kFaults[] = {
    {"no audio device", {"SDL_AUDIODRIVER=no-such-driver"}, NONE, "", AUDIO, 1},
    {"no X display", {"SDL_VIDEODRIVER=x11"}, NONE, "", VIDEO, 1},
    {"no video driver", {"SDL_VIDEODRIVER=no-such-driver"}, NONE, "", VIDEO, 1},
    {"an empty res/", {}, EMPTY, "res/piou.wav", EFFECT, 1},
    {"no res/", {}, MISSING, "res/alarm.wav", MUSIC, 1},
    {"the fourth effect missing", {}, REMOVED, "res/box1.wav", EFFECT, 1},
    {"a directory for an effect", {}, DIRECTORY, "res/glass.wav", EFFECT, 1},
    {"a corrupt image", {}, TRUNCATED, "res/box.bmp", IMAGE, 0},
    {"a text file for an effect", {}, TEXT, "res/box0.wav", EFFECT, 1},
    {"a text file for the music", {}, TEXT, "res/alarm.wav", MUSIC, 0},
};

void damage(Damage how, const std::string &dir, const std::string &file) {
  switch (how) {
  case EMPTY:
    for (const auto &entry : fs::directory_iterator(dir + "res")) {
      fs::remove(entry.path());
    }
    break;
  case MISSING:
    fs::remove_all(dir + "res");
    break;
  case REMOVED:
    fs::remove(file);
    break;
  case DIRECTORY: // unreadable even for root, whom permissions do not stop
    fs::remove(file);
    fs::create_directory(file);
    break;
  case TRUNCATED:
    fs::resize_file(file, 100);
    break;
  case TEXT:
    ASSERT_TRUE(write_file(file, "This is a text file, not a sound.\n"));
    break;
  case NONE:
    break;
  }
}

// SDL's own account of a call that failed.
std::string sdl_error(bool failed) {
  return failed ? SDL_GetError() : "(the call worked)";
}

// The line the engine logs: SDL's account of the same step, taken here (with a running engine
// for a load), after the asset's path as the game names it.
std::string expected_line(const Fault &fault, const std::string &dir) {
  if (fault.stage == AUDIO || fault.stage == VIDEO) {
    const char *driver = std::strchr(fault.env[0].c_str(), '=') + 1;
    return sdl_error((fault.stage == AUDIO ? SDL_AudioInit(driver) : SDL_VideoInit(driver)) < 0);
  }
  Engine engine;
  const std::string file = dir + fault.path;
  SDL_RWops *rw = SDL_RWFromFile(file.c_str(), "rb");
  const bool failed = !rw || (fault.stage == IMAGE    ? !SDL_LoadBMP_RW(rw, 1)
                              : fault.stage == EFFECT ? !Mix_LoadWAV_RW(rw, 1)
                                                      : !Mix_LoadMUS_RW(rw, 1));
  return fault.path + (": " + sdl_error(failed));
}

TEST(Faults, EachEndsInItsLineAndStatus) {
  // The child inherits this, and a shell that starts the tests in the background ignores it.
  std::signal(SIGINT, SIG_DFL);
  unsetenv("DISPLAY");
  for (const Fault &fault : kFaults) {
    SCOPED_TRACE(fault.what);
    const std::string dir = fs::canonical(make_temp_dir()).string() + "/";
    fs::copy(exe_dir() + "pordeck", dir + "pordeck");
    fs::copy(exe_dir() + "res", dir + "res");
    damage(fault.damage, dir, dir + fault.path);
    const std::string line = expected_line(fault, dir);
    const ProcessResult run =
        run_process({dir + "pordeck"}, fault.env, fault.status == 0 ? 2000 : -1, SIGINT);
    EXPECT_EQ(run.signal, 0);
    EXPECT_EQ(run.exit_code, fault.status);
    EXPECT_NE(("\n" + run.output).find("\nINFO: " + line + "\n"), std::string::npos)
        << "no line \"" << line << "\" in:\n"
        << run.output;
    fs::remove_all(dir);
  }
}

// SDL's queue holds 65,535 events: one pass takes in a flood nearly that long, and the quit
// request that waits behind it.
TEST(Faults, OnePassTakesInAFloodOfInput) {
  Engine engine;
  constexpr int kFlood = 60000;
  const auto at = [](int i) { return SDL_Point{i % GAME_WIDTH, i / GAME_WIDTH % GAME_HEIGHT}; };
  for (int i = 0; i < kFlood; ++i) { // moves, and presses and releases of the left button
    i % 2 == 0 ? push_mouse_motion(at(i).x, at(i).y)
               : push_mouse_button(SDL_BUTTON_LEFT, i / 2 % 2 == 1, at(i).x, at(i).y);
  }
  push_quit();
  VEL_CycleEvents();
  EXPECT_TRUE(VEL_ShouldQuit());
  EXPECT_EQ(VEL_ButtonDown(VEL_BUTTON_MOUSE_L), (kFlood - 1) / 2 % 2 == 1);
  int x = -1, y = -1;
  VEL_MousePosition(&x, &y);
  EXPECT_EQ(x, at(kFlood - 1).x);
  EXPECT_EQ(y, at(kFlood - 1).y);
  EXPECT_EQ(SDL_PeepEvents(nullptr, 0, SDL_PEEKEVENT, SDL_FIRSTEVENT, SDL_LASTEVENT), 0);
}

} // namespace
