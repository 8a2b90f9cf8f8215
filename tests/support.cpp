#include "support.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <csignal>
#include <cstdlib>
#include <fcntl.h>
#include <fstream>
#include <spawn.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

extern char **environ;

namespace {

std::vector<std::string> captured;

void capture_line(void *, int, SDL_LogPriority, const char *message) {
  captured.emplace_back(message);
}

} // namespace

LogCapture::LogCapture() {
  captured.clear();
  SDL_LogSetOutputFunction(capture_line, nullptr);
}

LogCapture::~LogCapture() {
  SDL_LogSetOutputFunction(nullptr, nullptr);
}

const std::vector<std::string> &LogCapture::lines() const {
  return captured;
}

bool LogCapture::has(const std::string &text) const {
  return count(text) > 0;
}

int LogCapture::count(const std::string &text) const {
  return static_cast<int>(std::count(captured.begin(), captured.end(), text));
}

void LogCapture::clear() {
  captured.clear();
}

VEL_Config test_config() {
  return VEL_Config{640, 480, 0, 16, "pordeck", 0.0, true, true};
}

Engine::Engine(const VEL_Config &config) : started(VEL_Init(&config) == 0) {
  EXPECT_TRUE(started) << "the engine did not start: " << SDL_GetError();
}

Engine::~Engine() {
  VEL_Quit();
}

SDL_Window *test_window() {
  for (Uint32 id = 1; id < 4096; ++id) {
    if (SDL_Window *window = SDL_GetWindowFromID(id); window && SDL_GetRenderer(window)) {
      return window;
    }
  }
  return nullptr;
}

SDL_Renderer *test_renderer() {
  SDL_Window *window = test_window();
  return window ? SDL_GetRenderer(window) : nullptr;
}

Rgba read_pixel(int x, int y) {
  Uint32 pixel = 0;
  SDL_Rect rect{x, y, 1, 1};
  EXPECT_EQ(SDL_RenderReadPixels(test_renderer(), &rect, SDL_PIXELFORMAT_ARGB8888, &pixel, 4), 0)
      << SDL_GetError();
  return Rgba{static_cast<uint8_t>(pixel >> 16), static_cast<uint8_t>(pixel >> 8),
              static_cast<uint8_t>(pixel), static_cast<uint8_t>(pixel >> 24)};
}

void drain_events() {
  SDL_Event event;
  while (SDL_PollEvent(&event)) {
  }
}

namespace {

void push(SDL_Event &event) {
  event.common.timestamp = SDL_GetTicks();
  ASSERT_EQ(SDL_PushEvent(&event), 1) << SDL_GetError();
}

} // namespace

void push_quit() {
  SDL_Event event{};
  event.type = SDL_QUIT;
  push(event);
}

void push_key(SDL_Scancode scancode, bool down, bool repeat) {
  SDL_Event event{};
  event.type = down ? SDL_KEYDOWN : SDL_KEYUP;
  event.key.state = down ? SDL_PRESSED : SDL_RELEASED;
  event.key.repeat = repeat ? 1 : 0;
  event.key.keysym.scancode = scancode;
  event.key.keysym.sym = SDL_GetKeyFromScancode(scancode);
  push(event);
}

void push_mouse_motion(int x, int y) {
  SDL_Event event{};
  event.type = SDL_MOUSEMOTION;
  event.motion.x = x;
  event.motion.y = y;
  push(event);
}

void push_mouse_button(uint8_t button, bool down, int x, int y) {
  SDL_Event event{};
  event.type = down ? SDL_MOUSEBUTTONDOWN : SDL_MOUSEBUTTONUP;
  event.button.button = button;
  event.button.state = down ? SDL_PRESSED : SDL_RELEASED;
  event.button.clicks = 1;
  event.button.x = x;
  event.button.y = y;
  push(event);
}

bool write_bmp(const std::string &path, int w, int h, const std::function<Rgba(int, int)> &pixel) {
  SDL_Surface *surface = SDL_CreateRGBSurfaceWithFormat(0, w, h, 32, SDL_PIXELFORMAT_ARGB8888);
  if (!surface) {
    return false;
  }
  for (int y = 0; y < h; ++y) {
    auto *row =
        reinterpret_cast<Uint32 *>(static_cast<Uint8 *>(surface->pixels) + y * surface->pitch);
    for (int x = 0; x < w; ++x) {
      Rgba c = pixel(x, y);
      row[x] = SDL_MapRGBA(surface->format, c.r, c.g, c.b, c.a);
    }
  }
  bool saved = SDL_SaveBMP(surface, path.c_str()) == 0;
  SDL_FreeSurface(surface);
  return saved;
}

bool write_wav(const std::string &path, const std::vector<int16_t> &samples) {
  const uint32_t data_size = static_cast<uint32_t>(samples.size() * 2);
  std::string bytes;
  auto put = [&bytes](uint32_t value, int size) {
    for (int i = 0; i < size; ++i) {
      bytes.push_back(static_cast<char>(value >> (8 * i)));
    }
  };
  bytes += "RIFF";
  put(36 + data_size, 4);
  bytes += "WAVEfmt ";
  put(16, 4);
  put(1, 2);         // PCM
  put(1, 2);         // mono
  put(44100, 4);     // samples per second
  put(44100 * 2, 4); // bytes per second
  put(2, 2);         // bytes per frame
  put(16, 2);        // bits per sample
  bytes += "data";
  put(data_size, 4);
  for (int16_t sample : samples) {
    put(static_cast<uint16_t>(sample), 2);
  }
  return write_file(path, bytes);
}

bool write_file(const std::string &path, const std::string &bytes) {
  std::ofstream out(path, std::ios::binary);
  out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
  return static_cast<bool>(out);
}

std::string relative_to_exe(const std::string &absolute) {
  std::string up;
  const std::string base = exe_dir();
  for (size_t i = 1; i < base.size(); ++i) {
    if (base[i] == '/') {
      up += "../";
    }
  }
  return up + absolute.substr(1);
}

std::string exe_dir() {
  char *base = SDL_GetBasePath();
  std::string dir = base ? base : "./";
  SDL_free(base);
  return dir;
}

std::string make_temp_dir() {
  const char *tmp = std::getenv("TMPDIR");
  std::string pattern = std::string(tmp && *tmp ? tmp : "/tmp") + "/pordeck-test-XXXXXX";
  std::vector<char> buffer(pattern.begin(), pattern.end());
  buffer.push_back('\0');
  const char *made = mkdtemp(buffer.data());
  EXPECT_NE(made, nullptr);
  return made ? std::string(made) + "/" : std::string();
}

ProcessResult run_process(const std::vector<std::string> &argv, const std::vector<std::string> &env,
                          int delay_ms, int signal, int timeout_ms) {
  std::vector<std::string> environment(env);
  for (char **entry = environ; *entry; ++entry) {
    environment.emplace_back(*entry);
  }
  auto pointers = [](std::vector<std::string> &strings) {
    std::vector<char *> result;
    for (std::string &s : strings) {
      result.push_back(s.data());
    }
    result.push_back(nullptr);
    return result;
  };
  std::vector<std::string> args(argv);
  std::vector<char *> arg_ptrs = pointers(args);
  std::vector<char *> env_ptrs = pointers(environment);

  int out[2];
  EXPECT_EQ(pipe(out), 0);
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_adddup2(&actions, out[1], STDOUT_FILENO);
  posix_spawn_file_actions_adddup2(&actions, out[1], STDERR_FILENO);
  posix_spawn_file_actions_addclose(&actions, out[0]);
  pid_t pid = -1;
  int spawned = posix_spawn(&pid, arg_ptrs[0], &actions, nullptr, arg_ptrs.data(), env_ptrs.data());
  posix_spawn_file_actions_destroy(&actions);
  close(out[1]);
  ProcessResult result{-1, 0, {}};
  if (spawned != 0) {
    close(out[0]);
    ADD_FAILURE() << "cannot start " << argv[0];
    return result;
  }
  fcntl(out[0], F_SETFL, O_NONBLOCK);

  auto start = std::chrono::steady_clock::now();
  bool signalled = false;
  int status = 0;
  for (;;) {
    char chunk[4096];
    ssize_t n;
    while ((n = read(out[0], chunk, sizeof chunk)) > 0) {
      result.output.append(chunk, static_cast<size_t>(n));
    }
    if (waitpid(pid, &status, WNOHANG) == pid) {
      break;
    }
    auto elapsed = std::chrono::duration_cast<std::chrono::milliseconds>(
                       std::chrono::steady_clock::now() - start)
                       .count();
    if (!signalled && delay_ms >= 0 && elapsed >= delay_ms) {
      kill(pid, signal);
      signalled = true;
    }
    if (elapsed >= timeout_ms) {
      ADD_FAILURE() << argv[0] << " did not end within " << timeout_ms << " ms";
      kill(pid, SIGKILL);
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(5));
  }
  char chunk[4096];
  ssize_t n;
  while ((n = read(out[0], chunk, sizeof chunk)) > 0) {
    result.output.append(chunk, static_cast<size_t>(n));
  }
  close(out[0]);
  if (WIFEXITED(status)) {
    result.exit_code = WEXITSTATUS(status);
  } else if (WIFSIGNALED(status)) {
    result.signal = WTERMSIG(status);
  }
  return result;
}
