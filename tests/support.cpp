#include "support.h"

#include <gtest/gtest.h>

#include <csignal>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <spawn.h>
#include <sys/wait.h>

extern char **environ;

namespace {

void push(SDL_Event event) {
  event.common.timestamp = SDL_GetTicks();
  ASSERT_EQ(SDL_PushEvent(&event), 1) << SDL_GetError();
}

} // namespace

LogCapture::LogCapture() {
  SDL_LogSetOutputFunction(
      [](void *lines, int, SDL_LogPriority, const char *message) {
        static_cast<std::vector<std::string> *>(lines)->emplace_back(message);
      },
      &captured);
}

VEL_Config test_config() {
  return VEL_Config{640, 480, 0, 16, "pordeck", 0.0, true, true};
}

Engine::Engine(const VEL_Config &config) : started(VEL_Init(&config) == 0) {
  EXPECT_TRUE(started) << "the engine did not start: " << SDL_GetError();
}

SDL_Window *test_window() {
  for (Uint32 id = 1; id < 4096; ++id) {
    if (SDL_Window *window = SDL_GetWindowFromID(id); window && SDL_GetRenderer(window))
      return window;
  }
  return nullptr;
}

SDL_Renderer *test_renderer() {
  return SDL_GetRenderer(test_window());
}

Rgba read_pixel(int x, int y) {
  Uint32 p = 0;
  const SDL_Rect rect{x, y, 1, 1};
  EXPECT_EQ(SDL_RenderReadPixels(test_renderer(), &rect, SDL_PIXELFORMAT_ARGB8888, &p, 4), 0);
  return Rgba{uint8_t(p >> 16), uint8_t(p >> 8), uint8_t(p), uint8_t(p >> 24)};
}

void push_quit() {
  push(SDL_Event{SDL_QUIT});
}

void push_key(SDL_Scancode scancode, bool down, bool repeat) {
  const SDL_Keysym key{scancode, SDL_GetKeyFromScancode(scancode), 0, 0};
  push(SDL_Event{.key = {down ? SDL_KEYDOWN : SDL_KEYUP, 0, 0, down, repeat, 0, 0, key}});
}

void push_mouse_motion(int x, int y) {
  push(SDL_Event{.motion = {SDL_MOUSEMOTION, 0, 0, 0, 0, x, y, 0, 0}});
}

void push_mouse_button(uint8_t button, bool down, int x, int y) {
  const Uint32 type = down ? SDL_MOUSEBUTTONDOWN : SDL_MOUSEBUTTONUP;
  push(SDL_Event{.button = {type, 0, 0, 0, button, down, 1, 0, x, y}});
}

bool write_bmp(const std::string &path, int w, int h, const std::function<Rgba(int, int)> &pixel) {
  SDL_Surface *surface = SDL_CreateRGBSurfaceWithFormat(0, w, h, 32, SDL_PIXELFORMAT_ARGB8888);
  for (int i = 0; surface && i < w * h; ++i) {
    const Rgba c = pixel(i % w, i / w);
    static_cast<Uint32 *>(surface->pixels)[i] = Uint32(c.a) << 24 | c.r << 16 | c.g << 8 | c.b;
  }
  const bool saved = surface && SDL_SaveBMP(surface, path.c_str()) == 0;
  SDL_FreeSurface(surface);
  return saved;
}

bool write_wav(const std::string &path, const std::vector<int16_t> &samples) {
  const auto size = static_cast<uint32_t>(samples.size() * 2);
  // "RIFF", its size, "WAVE", "fmt ", 16 bytes of format: PCM, mono, 44100 Hz, 88200 bytes a
  // second, 2 bytes a frame, 16 bits; "data", its size (the words little-endian).
  const uint32_t header[] = {0x46464952, 36 + size, 0x45564157, 0x20746d66, 16,  0x00010001,
                             44100,      88200,     0x00100002, 0x61746164, size};
  return write_file(path, std::string(reinterpret_cast<const char *>(header), sizeof header) +
                              std::string(reinterpret_cast<const char *>(samples.data()), size));
}

bool write_file(const std::string &path, const std::string &bytes) {
  return static_cast<bool>(std::ofstream(path, std::ios::binary) << bytes);
}

std::string read_file(const std::string &path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), {});
}

std::string relative_to_exe(const std::string &absolute) {
  std::string up;
  for (char c : exe_dir().substr(1))
    up += c == '/' ? "../" : "";
  return up + absolute.substr(1);
}

std::string exe_dir() {
  char *base = SDL_GetBasePath();
  const std::string dir = base ? base : "./";
  SDL_free(base);
  return dir;
}

std::string make_temp_dir() {
  static std::vector<std::string> made; // removed when the test process ends
  if (made.empty()) {
    std::atexit([] {
      for (const std::string &dir : made)
        std::filesystem::remove_all(dir);
    });
  }
  const char *tmp = std::getenv("TMPDIR");
  std::string pattern = std::string(tmp && *tmp ? tmp : "/tmp") + "/pordeck-test-XXXXXX";
  EXPECT_NE(mkdtemp(pattern.data()), nullptr) << pattern;
  made.push_back(pattern);
  return pattern + "/";
}

ProcessResult run_process(const std::vector<std::string> &argv, const std::vector<std::string> &env,
                          int delay_ms, int signal, int timeout_ms) {
  // Null-terminated pointers to the strings, as exec takes them; the extra entries come first,
  // so that they win over the inherited ones.
  std::vector<char *> args, envp;
  for (const std::string &arg : argv)
    args.push_back(const_cast<char *>(arg.c_str()));
  for (const std::string &entry : env)
    envp.push_back(const_cast<char *>(entry.c_str()));
  for (char **entry = environ; *entry; ++entry)
    envp.push_back(*entry);
  args.push_back(nullptr);
  envp.push_back(nullptr);
  std::FILE *out = std::tmpfile(); // not a pipe: the child never waits for the reader
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_adddup2(&actions, fileno(out), 1);
  posix_spawn_file_actions_adddup2(&actions, fileno(out), 2);
  pid_t pid = -1;
  const int spawned = posix_spawn(&pid, args[0], &actions, nullptr, args.data(), envp.data());
  posix_spawn_file_actions_destroy(&actions);
  EXPECT_EQ(spawned, 0) << "cannot start " << argv[0];
  int status = 127 << 8; // what a shell reports for a program it cannot start
  for (int waited = 0; spawned == 0 && waitpid(pid, &status, WNOHANG) != pid; ++waited) {
    if (waited == delay_ms || waited == timeout_ms)
      kill(pid, waited == delay_ms ? signal : SIGKILL);
    EXPECT_NE(waited, timeout_ms) << argv[0] << " did not end within " << timeout_ms << " ms";
    SDL_Delay(1);
  }
  ProcessResult result{
      WIFEXITED(status) ? WEXITSTATUS(status) : -1, WIFSIGNALED(status) ? WTERMSIG(status) : 0, {}};
  result.output = read_file("/proc/self/fd/" + std::to_string(fileno(out)));
  std::fclose(out);
  return result;
}
