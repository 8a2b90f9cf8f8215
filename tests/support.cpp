#include "support.h"

#include <csignal>
#include <filesystem>
#include <fstream>
#include <sys/wait.h>
#include <unistd.h>

namespace fs = std::filesystem;

static void push(SDL_Event event) { // SDL stamps it with the time
  ASSERT_EQ(SDL_PushEvent(&event), 1) << SDL_GetError();
}

Engine::Engine(const VEL_Config &config) {
  EXPECT_EQ(VEL_Init(&config), 0) << "the engine did not start: " << SDL_GetError();
}

// A rectangle of the renderer's current target, row by row.
static std::vector<Rgba> read_rect(SDL_Rect rect) {
  std::vector<Rgba> pixels(static_cast<size_t>(rect.w * rect.h));
  EXPECT_EQ(SDL_RenderReadPixels(SDL_GetRenderer(test_window()), &rect, SDL_PIXELFORMAT_RGBA32,
                                 pixels.data(), rect.w * 4),
            0);
  return pixels;
}

Rgba read_pixel(int x, int y) {
  return read_rect({x, y, 1, 1})[0];
}

std::vector<Rgba> read_canvas() {
  return read_rect({0, 0, 640, 480});
}

Picture load_picture(const std::string &path) {
  SDL_Surface *loaded = SDL_LoadBMP((exe_dir() + path).c_str());
  SDL_Surface *rgba = loaded ? SDL_ConvertSurfaceFormat(loaded, SDL_PIXELFORMAT_RGBA32, 0) : loaded;
  EXPECT_NE(rgba, nullptr) << path << ": " << SDL_GetError();
  const Rgba *pixels = rgba ? static_cast<const Rgba *>(rgba->pixels) : nullptr;
  Picture picture{rgba ? rgba->w : 0, rgba ? rgba->h : 0, {}};
  picture.pixels.assign(pixels, pixels + picture.w * picture.h);
  SDL_FreeSurface(loaded);
  SDL_FreeSurface(rgba);
  return picture;
}

void push_quit() {
  push(SDL_Event{SDL_QUIT});
}

void push_key(SDL_Scancode scancode, bool down, bool repeat) {
  const SDL_Keysym key{scancode, SDL_GetKeyFromScancode(scancode), 0, 0};
  push(SDL_Event{.key = {down ? SDL_KEYDOWN : SDL_KEYUP, 0, 0, down, repeat, 0, 0, key}});
}

void push_mouse(int x, int y, uint8_t button, bool down) {
  const Uint32 type = !button ? SDL_MOUSEMOTION : down ? SDL_MOUSEBUTTONDOWN : SDL_MOUSEBUTTONUP;
  push(button ? SDL_Event{.button = {type, 0, 0, 0, button, down, 1, 0, x, y}}
              : SDL_Event{.motion = {type, 0, 0, 0, 0, x, y, 0, 0}});
}

bool write_bmp(const std::string &path, int w, int h, Rgba (*pixel)(int x, int y)) {
  SDL_Surface *surface = SDL_CreateRGBSurfaceWithFormat(0, w, h, 32, SDL_PIXELFORMAT_RGBA32);
  for (int i = 0; surface && i < w * h; ++i)
    static_cast<Rgba *>(surface->pixels)[i] = pixel(i % w, i / w);
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
  return fs::relative(absolute, exe_dir()).string();
}

std::string exe_dir() {
  return fs::canonical("/proc/self/exe").parent_path().string() + "/"; // as SDL finds it
}

std::string make_temp_dir() {
  static std::vector<std::string> made;
  if (made.empty())
    std::atexit([] {
      for (const std::string &dir : made)
        fs::remove_all(dir);
    });
  std::string dir = fs::temp_directory_path() / "pordeck-test-XXXXXX";
  EXPECT_NE(mkdtemp(dir.data()), nullptr) << dir;
  return made.emplace_back(dir) + "/";
}

ProcessResult run_process(const std::vector<std::string> &argv, const std::vector<std::string> &env,
                          int interrupt_ms) {
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
  const int fd = fileno(out);
  const pid_t pid = fork();
  if (pid == 0) { // only calls that are safe in the child of a threaded process
    alarm(20);    // a child that hangs is ended by SIGALRM
    dup2(fd, 1), dup2(fd, 2);
    execve(args[0], args.data(), envp.data());
    _exit(127);
  }
  if (pid > 0 && interrupt_ms >= 0)
    SDL_Delay(interrupt_ms), kill(pid, SIGINT);
  int status = 127 << 8; // also what a child that cannot start its program reports
  EXPECT_TRUE(pid > 0 && waitpid(pid, &status, 0) == pid) << "cannot start " << argv[0];
  ProcessResult result{WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status),
                       read_file("/proc/self/fd/" + std::to_string(fd))};
  std::fclose(out);
  return result;
}
