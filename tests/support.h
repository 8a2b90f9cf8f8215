// support.h -- what the tests share: captured log lines, a running engine on the dummy
// drivers, pushed SDL input, canvas read-back and child processes.
#pragma once

#include "vel.h"

#include <algorithm>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

// Collects every SDL_Log line while it exists.
class LogCapture {
public:
  LogCapture();
  ~LogCapture() { SDL_LogSetOutputFunction(nullptr, nullptr); }
  LogCapture(const LogCapture &) = delete;
  LogCapture &operator=(const LogCapture &) = delete;
  const std::vector<std::string> &lines() const { return captured; }
  // True when some captured line equals text exactly.
  bool has(const std::string &text) const { return count(text) > 0; }
  int count(const std::string &text) const {
    return static_cast<int>(std::count(captured.begin(), captured.end(), text));
  }
  void clear() { captured.clear(); }

private:
  std::vector<std::string> captured;
};

// The shipped configuration with pacing off, so tests run as fast as the renderer allows.
VEL_Config test_config();

// Starts the engine for the scope of a test (failing the test if it cannot) and quits it.
class Engine {
public:
  explicit Engine(const VEL_Config &config = test_config());
  ~Engine() { VEL_Quit(); }
  Engine(const Engine &) = delete;
  Engine &operator=(const Engine &) = delete;
  bool ok() const { return started; }

private:
  bool started;
};

// The engine's window and renderer (found through SDL, not through the engine).
SDL_Window *test_window();
SDL_Renderer *test_renderer();

struct Rgba {
  uint8_t r, g, b, a;
  bool operator==(const Rgba &) const = default;
};
// Reads one pixel of the renderer's current target (the canvas inside a frame, the window
// after VEL_DrawEnd).
Rgba read_pixel(int x, int y);

// Pushes input the way SDL would deliver it. SDL ends each poll cycle with a hidden marker:
// after a VEL_PollEvent that returned true, poll until it returns false (VEL_CycleEvents)
// before pushing more, or the new events wait behind the marker.
void push_quit();
void push_key(SDL_Scancode scancode, bool down, bool repeat = false);
void push_mouse_motion(int x, int y);
void push_mouse_button(uint8_t button, bool down, int x, int y);

// Writes a 32-bit BMP with alpha whose pixel (x, y) is pixel(x, y).
bool write_bmp(const std::string &path, int w, int h, const std::function<Rgba(int, int)> &pixel);
// Writes a mono 16-bit 44100 Hz PCM WAV.
bool write_wav(const std::string &path, const std::vector<int16_t> &samples);
bool write_file(const std::string &path, const std::string &bytes);
// The whole file, or "" when it cannot be read.
std::string read_file(const std::string &path);
// The absolute path as a path relative to the executable's directory, as the engine takes it.
std::string relative_to_exe(const std::string &absolute);

// Directory of the running test executable, with a trailing slash (where res/ lives).
std::string exe_dir();
// A fresh empty directory under the system's temporary directory, with a trailing slash.
std::string make_temp_dir();

struct ProcessResult {
  int exit_code;      // -1 when the process died of a signal
  int signal;         // the signal that ended it, or 0
  std::string output; // standard output and standard error together
};
// Runs argv[0] with extra environment entries ("NAME=value"); after delay_ms (if not
// negative) sends it `signal`; kills it after timeout_ms.
ProcessResult run_process(const std::vector<std::string> &argv,
                          const std::vector<std::string> &env = {}, int delay_ms = -1,
                          int signal = 0, int timeout_ms = 20000);
