// support.h -- what the tests share: captured log lines, a running engine on the dummy
// drivers, pushed SDL input, canvas read-back, files, and child processes.
#pragma once

#include "game.h"
#include "vel.h"

#include <gtest/gtest.h>

#include <fstream>
#include <string>
#include <vector>

using Lines = std::vector<std::string>;

// Collects every SDL_Log line while it exists, then gives SDL's output back as it was.
class LogCapture {
public:
  LogCapture() {
    SDL_LogGetOutputFunction(&before, &before_data);
    SDL_LogSetOutputFunction(keep, &captured);
  }
  ~LogCapture() { SDL_LogSetOutputFunction(before, before_data); }
  LogCapture(const LogCapture &) = delete;
  const Lines &lines() const { return captured; }

private:
  static void keep(void *lines, int, SDL_LogPriority, const char *message) {
    static_cast<Lines *>(lines)->emplace_back(message);
  }
  Lines captured;
  SDL_LogOutputFunction before = nullptr;
  void *before_data = nullptr;
};

// The shipped configuration with pacing off, so tests run as fast as the renderer allows.
constexpr VEL_Config test_config = game_config_unpaced();

// Starts the engine for the scope of a test (failing the test if it cannot) and quits it.
struct Engine {
  explicit Engine(const VEL_Config &config = test_config) {
    EXPECT_EQ(VEL_Init(&config), 0) << "the engine did not start: " << SDL_GetError();
  }
  ~Engine() { VEL_Quit(); }
  Engine(const Engine &) = delete;
};

// The engine's window: each start of SDL numbers its windows from 1, the engine's first.
inline SDL_Window *test_window() {
  return SDL_GetWindowFromID(1);
}

struct Rgba {
  uint8_t r, g, b, a;
  bool operator==(const Rgba &) const = default;
};
// The pixels of a rectangle of the renderer's current target (the canvas inside a frame, the
// window after VEL_DrawEnd), row by row; by default the whole 640 x 480.
std::vector<Rgba> read_canvas(SDL_Rect rect = {0, 0, 640, 480});
inline Rgba read_pixel(int x, int y) {
  return read_canvas({x, y, 1, 1})[0];
}

// An image as SDL reads it from a file beside the executable.
struct Picture {
  int w = 0, h = 0;
  std::vector<Rgba> pixels;
  Rgba at(int x, int y) const { return pixels[y * w + x]; }
};
Picture load_picture(const std::string &path);

// Pushes input the way SDL would deliver it. SDL ends each poll cycle with a hidden marker:
// after a VEL_PollEvent that returned true, poll until it returns false (VEL_CycleEvents)
// before pushing more, or the new events wait behind the marker.
void push_key(SDL_Scancode scancode, bool down, bool repeat = false);
// The mouse moved to (x, y), or with a button (SDL_BUTTON_LEFT, ...) pressed or released there.
void push_mouse(int x, int y, uint8_t button = 0, bool down = false);

// Writes a 32-bit BMP with alpha whose pixel (x, y) is pixel(x, y).
bool write_bmp(const std::string &path, int w, int h, Rgba (*pixel)(int x, int y));
inline bool write_file(const std::string &path, const std::string &bytes) {
  return static_cast<bool>(std::ofstream(path, std::ios::binary) << bytes);
}
// The whole file, or "" when it cannot be read.
inline std::string read_file(const std::string &path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), {});
}

// SDL's own function of that name, from the SDL library, for a test that interposes it: the
// engine's calls reach the test's function of the same name, which passes them on.
void *sdl_function(const char *name);
template <typename F> F *sdl_function(F *, const char *name) { // of the stand-in's type
  return reinterpret_cast<F *>(sdl_function(name));
}

// Directory of the running test executable, with a trailing slash (where res/ lives).
std::string exe_dir();
// A fresh empty directory beside the executable, with a trailing slash, removed when the test
// process ends; and a path in it as the engine takes paths: relative to the executable's
// directory (beside it, a relative path reaches it on any system, across Wine's drives too).
std::string make_temp_dir();
std::string relative_to_exe(const std::string &absolute);

struct ProcessResult {
  int exit_code;      // 128 + the signal when a signal ended the process, as a shell reports
  std::string output; // standard output and standard error together
};
// Runs a bash command line ($0 is `arg`) to its end, and what it printed. Not on Windows.
ProcessResult run_shell(const std::string &command, const std::string &arg = "");
