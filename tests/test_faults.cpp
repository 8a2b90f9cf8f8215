// The real program on a hostile machine: no sound card, no display, or a copy of its
// directory whose res/ is damaged. Every fault ends in one exact log line (and a sound effect
// that does not load in a second, naming it as part of the game's data) and an exit status
// (a game that keeps running is interrupted and exits 0), never in a crash.
#include "support.h"

#include <SDL_mixer.h>

#include <cstdlib>
#include <filesystem>

namespace fs = std::filesystem;

namespace {

// What goes wrong: an environment entry ("NAME=value"), or a shell line that damages res/ in
// a copy of the game's directory; the asset the line names (res/alarm.wav is the music); the
// exit status (0: the game runs on until it is interrupted).
const std::tuple<const char *, std::string, std::string, int> kFaults[] = {
    {"", "SDL_AUDIODRIVER=no-such-driver", "", 0}, // plays without sound
    {"", "SDL_VIDEODRIVER=x11", "", 1},            // no X display
    {"", "SDL_VIDEODRIVER=no-such-driver", "", 1},
    {"rm -r res && mkdir res", "", "res/piou.wav", 1},
    {"rm -r res", "", "res/alarm.wav", 1},
    {"rm res/box1.wav", "", "res/box1.wav", 1},
    {"rm res/glass.wav && mkdir res/glass.wav", "", "res/glass.wav", 1}, // unreadable even for root
    {"truncate -s 100 res/box.bmp", "", "res/box.bmp", 0},
    {"echo text >res/box0.wav", "", "res/box0.wav", 1},
    {"echo text >res/alarm.wav", "", "res/alarm.wav", 0},
};

// A copy of the game's directory damaged by the shell line; its path, with a trailing slash.
std::string damaged_copy(const std::string &damage) {
  const std::string dir = fs::canonical(make_temp_dir()).string() + "/";
  fs::copy(exe_dir() + "pordeck", dir + "pordeck"), fs::copy(exe_dir() + "res", dir + "res");
  EXPECT_EQ(run_shell("cd \"$0\" && " + (damage.empty() ? "true" : damage), dir).exit_code, 0);
  return dir;
}

// The line the engine logs: SDL's account of the same step, taken here (with a running engine
// for a load), after the asset's path as the game names it.
std::string expected_line(const std::string &env, const std::string &path, const std::string &dir) {
  if (path.empty()) { // a driver that does not start
    const char *driver = env.c_str() + env.find('=') + 1;
    const bool audio = env.starts_with("SDL_AUDIO");
    const std::string error =
        (audio ? SDL_AudioInit(driver) : SDL_VideoInit(driver)) < 0 ? SDL_GetError() : "?";
    return audio ? "No audio device (" + error + "): playing without sound" : error;
  }
  Engine engine;
  SDL_RWops *rw = SDL_RWFromFile((dir + path).c_str(), "rb");
  // Closed here: the mixer loses the stream of a file it cannot read when asked to close it.
  const bool failed = !rw || (path.ends_with(".bmp")    ? !SDL_LoadBMP_RW(rw, 0)
                              : path == "res/alarm.wav" ? !Mix_LoadMUS_RW(rw, 0)
                                                        : !Mix_LoadWAV_RW(rw, 0));
  const std::string line = path + ": " + (failed ? SDL_GetError() : "?"); // "?": it loaded here
  if (rw)
    SDL_RWclose(rw);
  return line;
}

TEST(Faults, EachEndsInItsLineAndStatus) {
  unsetenv("DISPLAY");
  for (const auto &[damage, env, path, status] : kFaults) {
    SCOPED_TRACE(damage + env);
    const std::string dir = damaged_copy(damage);
    const std::string line = expected_line(env, path, dir);
    // A game that runs on is interrupted.
    const std::string timeout = (env.empty() ? "" : "env " + env + " ") +
                                "timeout --preserve-status " + (status == 0 ? "-s INT 2" : "20");
    const ProcessResult run = run_shell(timeout + " \"$0\"", dir + "pordeck");
    // A sanitizer's report (a leak leaves a failing game's status as it was) counts as -1.
    EXPECT_EQ(run.output.find("Sanitizer") == std::string::npos ? run.exit_code : -1, status);
    // An effect that does not load stops the game, which says so: the first of them when
    // res/ is gone.
    const std::string effect = path == "res/alarm.wav" ? "res/piou.wav" : path;
    const std::string stop = "The game's data is incomplete: " + dir + effect + " cannot be loaded";
    for (const std::string &expected : {line, status == 1 && !path.empty() ? stop : line})
      EXPECT_NE(("\n" + run.output).find("\nINFO: " + expected + "\n"), std::string::npos)
          << expected << "\n is not in:\n"
          << run.output;
  }
}

// The standard streams are safe to log to: closed ones get /dev/null before anything the game
// opens can take their numbers; and a log whose reader has gone (a closed pipe) does not end a
// game that logs a line, which runs on until it is interrupted and exits 0. --version, and a
// command line the game does not take, end at once with their line and status.
TEST(Faults, StandardStreamsAreSafeToLogToAndCommandLinesEndAtOnce) {
  // A shell line that runs the game ("$0"), and what it prints.
  const std::pair<std::string, std::string> cases[] = {
      {"exec 2>&-; \"$0\" >&- & for i in {1..200}; do [ -e /proc/$!/fd/2 ] && break; "
       "sleep 0.05; done; readlink /proc/$!/fd/1 /proc/$!/fd/2; kill -KILL $!",
       "/dev/null\n/dev/null\n"},
      {"{ sleep 0.5; exec env SDL_AUDIODRIVER=no-such-driver timeout --preserve-status -s INT 2 "
       "\"$0\"; } 2>&1 | true; echo ${PIPESTATUS[0]}",
       "0\n"},
      {"\"$0\" --version; echo $?", "pordeck " PORDECK_VERSION "\n0\n"},
      {"\"$0\" --level map --sound; echo $?", "pordeck: unknown option '--sound'\nUsage: pordeck "
                                              "[--help | --version | --level FILE]\n2\n"}};
  for (const auto &[line, printed] : cases)
    EXPECT_EQ(run_shell(line, exe_dir() + "pordeck").output, printed) << line;
}

} // namespace
