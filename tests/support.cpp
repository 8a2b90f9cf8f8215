#include "support.h"

#include <csignal>
#include <filesystem>
#include <memory>
#include <random>

namespace fs = std::filesystem;

static void push(SDL_Event event) { // SDL stamps it with the time
  ASSERT_EQ(SDL_PushEvent(&event), 1) << SDL_GetError();
}

std::vector<Rgba> read_canvas(SDL_Rect rect) {
  std::vector<Rgba> pixels(static_cast<size_t>(rect.w * rect.h));
  EXPECT_EQ(SDL_RenderReadPixels(SDL_GetRenderer(test_window()), &rect, SDL_PIXELFORMAT_RGBA32,
                                 pixels.data(), rect.w * 4),
            0);
  return pixels;
}

Picture load_picture(const std::string &path) {
  SDL_Surface *loaded = SDL_LoadBMP((exe_dir() + path).c_str());
  SDL_Surface *rgba = loaded ? SDL_ConvertSurfaceFormat(loaded, SDL_PIXELFORMAT_RGBA32, 0) : loaded;
  EXPECT_NE(rgba, nullptr) << path << ": " << SDL_GetError();
  const Rgba *pixels = rgba ? static_cast<const Rgba *>(rgba->pixels) : nullptr;
  Picture picture{rgba ? rgba->w : 0, rgba ? rgba->h : 0, {}};
  picture.pixels.assign(pixels, pixels + picture.w * picture.h);
  SDL_FreeSurface(loaded), SDL_FreeSurface(rgba);
  return picture;
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

std::string relative_to_exe(const std::string &absolute) {
  return fs::relative(absolute, exe_dir()).string();
}

void *sdl_function(const char *name) {
#ifdef _WIN32
  static void *const library = SDL_LoadObject("SDL2.dll");
#else
  static void *const library = SDL_LoadObject("libSDL2-2.0.so.0");
#endif
  return SDL_LoadFunction(library, name);
}

std::string exe_dir() {
  const std::unique_ptr<char, void (*)(void *)> dir(SDL_GetBasePath(), SDL_free);
  return dir ? dir.get() : "";
}

std::string make_temp_dir() {
  static std::vector<std::string> made;
  if (made.empty())
    std::atexit([] {
      for (const std::string &dir : made)
        fs::remove_all(dir);
    });
  const std::string dir = exe_dir() + "pordeck-test-" + std::to_string(std::random_device{}());
  EXPECT_TRUE(fs::create_directory(dir)) << dir;
  return made.emplace_back(dir) + "/";
}

#ifndef _WIN32 // bash, and a POSIX exit status
#include <sys/wait.h>

ProcessResult run_shell(const std::string &command, const std::string &arg) {
  // The child's own SIGINT is left at its default: a shell that starts the tests in the
  // background ignores it, and SDL would respect that.
  std::signal(SIGINT, SIG_DFL);
  const std::string line = "bash -c '" + command + "' '" + arg + "' 2>&1";
  std::FILE *pipe = popen(line.c_str(), "r");
  std::string output;
  char chunk[4096];
  for (size_t n; pipe && (n = std::fread(chunk, 1, sizeof chunk, pipe)) > 0;)
    output.append(chunk, n);
  const int status = pipe ? pclose(pipe) : 127 << 8;
  return {WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status), output};
}
#endif
