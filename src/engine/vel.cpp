// vel.cpp -- the engine layer over SDL2 and SDL2_mixer.
//
// All engine state lives in this file: there is exactly one engine per process, driven from
// the program's one thread. Everything the engine creates is released by VEL_Quit, which
// accepts an engine that started only partly.
#include "vel.h"

#include <SDL_mixer.h>

#include <algorithm>
#include <climits>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <iterator>

// ---- Lifecycle ------------------------------------------------------------------------------

namespace {

VEL_Config config;
SDL_Window *window;
SDL_Renderer *renderer;
SDL_Texture *target; // the logical canvas
SDL_Point *points;   // scratch for VEL_DrawPoints, one point per canvas pixel
char *basepath;
bool should_quit;

// Each later section's part in starting and stopping the engine.
void frames_start();
void pacing_start();
void input_start();
void switches_start();
void pads_release();
void sounds_release();
void images_release();

// Largest window edge SDL_CreateWindow accepts, in window pixels.
constexpr double WINDOW_EDGE_MAX = 16384.0;

int log_sdl_error() {
  SDL_Log("%s", SDL_GetError());
  return -1;
}

char *_velstrdup(const char *s) {
  size_t size = std::strlen(s) + 1;
  char *copy = static_cast<char *>(std::malloc(size));
  if (copy) {
    std::memcpy(copy, s, size);
  }
  return copy;
}

// Opens an asset by its path relative to the executable; null after logging why not.
SDL_RWops *asset_open(const char *path) {
  char *full = VEL_PathPrefix(path);
  if (!full) {
    SDL_Log("VEL_PathPrefix failed");
    return nullptr;
  }
  SDL_RWops *file = SDL_RWFromFile(full, "rb");
  std::free(full);
  if (!file) {
    SDL_Log("%s: %s", path, SDL_GetError());
  }
  return file;
}

// Reads the BMP at an asset path; null after logging why not.
SDL_Surface *asset_bmp(const char *path) {
  SDL_RWops *file = asset_open(path);
  SDL_Surface *surface = file ? SDL_LoadBMP_RW(file, 1) : nullptr;
  if (file && !surface) {
    SDL_Log("%s: %s", path, SDL_GetError());
  }
  return surface;
}

// v truncated toward zero and held to the int range; NaN becomes 0.
int saturate(double v) {
  return std::isnan(v) ? 0 : static_cast<int>(std::clamp(v, double{INT_MIN}, double{INT_MAX}));
}

// Width of the canvas in window pixels at scale 1 (the horizontal stretch applied).
int32_t scaled_width() {
  return static_cast<int32_t>(config.display_width * config.ratio);
}

// Checks and normalises the copied configuration; -1 before any SDL call when unusable.
int config_normalise() {
  if (config.display_width == 0) {
    SDL_Log("display_width can't be 0");
    return -1;
  }
  if (config.display_height == 0) {
    SDL_Log("display_height can't be 0");
    return -1;
  }
  if (!config.title) {
    SDL_Log("title is NULL, defaulting to 'VEL'");
    config.title = "VEL";
  }
  if (config.tile_size == 0) {
    config.tile_size = 1;
  }
  const double ratio = config.ratio;
  if (ratio <= 0.0) {
    config.ratio = 1.0;
  } else {
    // The canvas's own aspect is formed in single precision, as the window size depends on it.
    float q = static_cast<float>(config.display_width) / static_cast<float>(config.display_height);
    config.ratio = ratio / static_cast<double>(q);
  }
  // A canvas narrower than one window pixel could never be shown (and the presentation would
  // divide by its width); a window wider than SDL allows could never be opened.
  const double width = config.display_width * config.ratio;
  if (!(width >= 1.0)) {
    SDL_Log("ratio %f is too small", ratio);
    return -1;
  }
  if (width >= WINDOW_EDGE_MAX + 1.0) {
    SDL_Log("ratio %f is too large", ratio);
    return -1;
  }
  return 0;
}

int open_audio() {
  return Mix_OpenAudio(44100, AUDIO_S16LSB, 8, 1024);
}

// The mixer on the audio device; where none can be opened (no sound card, no audio service,
// an unknown SDL_AUDIODRIVER), on SDL's dummy driver, which plays into nothing.
int start_audio() {
  if (Mix_Init(MIX_INIT_FLAC) != MIX_INIT_FLAC) {
    return log_sdl_error();
  }
  if (open_audio() == 0) {
    return 0;
  }
  SDL_Log("No audio device (%s): playing without sound", SDL_GetError());
  if (SDL_WasInit(SDL_INIT_AUDIO)) { // a driver that started but had no device to open
    SDL_QuitSubSystem(SDL_INIT_AUDIO);
  }
  SDL_SetHintWithPriority(SDL_HINT_AUDIODRIVER, "dummy", SDL_HINT_OVERRIDE);
  const int opened = open_audio();
  SDL_ResetHint(SDL_HINT_AUDIODRIVER);
  return opened < 0 ? log_sdl_error() : 0;
}

int start_sdl() {
  if (SDL_Init(SDL_INIT_VIDEO) < 0) {
    return log_sdl_error();
  }
  // Pads by the places of their buttons (the south one is A), not by their labels. Where game
  // controllers cannot be had, the game is played without pads, and says nothing of it.
  SDL_SetHint(SDL_HINT_GAMECONTROLLER_USE_BUTTON_LABELS, "0");
  SDL_InitSubSystem(SDL_INIT_GAMECONTROLLER);
  if (start_audio() < 0) {
    return -1;
  }
  basepath = SDL_GetBasePath();
  if (!basepath) {
    return log_sdl_error();
  }
  window = SDL_CreateWindow(config.title, SDL_WINDOWPOS_UNDEFINED, SDL_WINDOWPOS_UNDEFINED,
                            scaled_width(), static_cast<int>(config.display_height),
                            SDL_WINDOW_RESIZABLE);
  if (!window) {
    return log_sdl_error();
  }
  renderer = SDL_CreateRenderer(window, -1, SDL_RENDERER_ACCELERATED);
  if (!renderer) {
    // Without a working OpenGL, say; slower, but the game still runs.
    SDL_Log("No accelerated renderer (%s): using the software renderer", SDL_GetError());
    renderer = SDL_CreateRenderer(window, -1, SDL_RENDERER_SOFTWARE);
  }
  if (!renderer) {
    return log_sdl_error();
  }
  target = SDL_CreateTexture(renderer, SDL_PIXELFORMAT_RGB888, SDL_TEXTUREACCESS_TARGET,
                             static_cast<int>(config.display_width),
                             static_cast<int>(config.display_height));
  if (!target) {
    return log_sdl_error();
  }
  return 0;
}

} // namespace

int VEL_Init(const VEL_Config *cfg) {
  // Every start is a first start: nothing of an engine that ran before in this process remains.
  config = *cfg;
  should_quit = false;
  frames_start();
  input_start();
  switches_start();
  if (config_normalise() < 0 || start_sdl() < 0) {
    return -1;
  }
  uint32_t pixels = config.display_width * config.display_height;
  points = static_cast<SDL_Point *>(std::calloc(pixels, sizeof(SDL_Point)));
  if (!points) {
    SDL_Log("calloc failed");
    return -1;
  }
  SDL_SetHint(SDL_HINT_RENDER_SCALE_QUALITY, nullptr);
  pacing_start();
  if (config.hide_cursor && SDL_ShowCursor(SDL_DISABLE) < 0) {
    return log_sdl_error();
  }
  return VEL_DrawSetColor(1.0f, 1.0f, 1.0f, 1.0f) == 0 ? 0 : -1;
}

void VEL_Quit() {
  // A track still loaded goes before the audio device that plays it.
  VEL_StopMusic();
  sounds_release();
  pads_release();
  Mix_CloseAudio();
  Mix_Quit();
  images_release();
  std::free(points);
  points = nullptr;
  if (target) {
    SDL_DestroyTexture(target);
    target = nullptr;
  }
  if (renderer) {
    SDL_DestroyRenderer(renderer);
    renderer = nullptr;
  }
  if (window) {
    SDL_DestroyWindow(window);
    window = nullptr;
  }
  if (basepath) {
    SDL_free(basepath);
    basepath = nullptr;
  }
  SDL_Quit();
}

int VEL_SetWindowIcon(const char *path) {
  SDL_Surface *icon = asset_bmp(path);
  if (!icon) {
    return -1;
  }
  SDL_SetWindowIcon(window, icon);
  SDL_FreeSurface(icon);
  return 0;
}

bool VEL_ShouldQuit() {
  return should_quit;
}

char *VEL_PathPrefix(const char *path) {
  if (!path) {
    SDL_Log("path is NULL");
    return nullptr;
  }
  if (!basepath) {
    SDL_Log("basepath is NULL");
    return _velstrdup(path);
  }
  size_t base_len = std::strlen(basepath);
  size_t path_len = std::strlen(path);
  char *full = static_cast<char *>(std::malloc(base_len + path_len + 1));
  if (!full) {
    SDL_Log("malloc failed");
    return nullptr;
  }
  std::memcpy(full, basepath, base_len);
  std::memcpy(full + base_len, path, path_len + 1);
  return full;
}

// ---- Frames, presentation and colour -------------------------------------------------------

namespace {

uint64_t min_dt, next_time; // frame period and current deadline, in ms
float scale = 1.0f;         // presentation of the last presented frame
int32_t off_x, off_y;
uint64_t tick;
uint32_t color[4];          // red, green, blue, alpha as 0..255
bool fullscreen;            // after an odd number of switches that took
int windowed_w, windowed_h; // the window's size before it went full screen

// No frame presented yet, pacing off until the window is open, the window not full screen.
void frames_start() {
  min_dt = next_time = tick = 0;
  scale = 1.0f;
  off_x = off_y = 0;
  std::fill(std::begin(color), std::end(color), 0);
  fullscreen = false;
}

void pacing_start() {
  if (config.target_fps != 0) {
    min_dt = 1000 / config.target_fps;
    next_time = SDL_GetTicks64();
  }
}

// One colour component as a byte: clamped to 0..1 (NaN counts as 0), times 255, truncated.
uint8_t color_byte(float v) {
  v = v > 0.0f ? std::min(v, 1.0f) : 0.0f;
  return static_cast<uint8_t>(static_cast<int64_t>(v * 255.0f));
}

} // namespace

uint64_t VEL_GetTick() {
  return tick;
}

int VEL_DrawSetColor(float red, float green, float blue, float alpha) {
  const uint8_t rgba[4] = {color_byte(red), color_byte(green), color_byte(blue), color_byte(alpha)};
  if (SDL_SetRenderDrawColor(renderer, rgba[0], rgba[1], rgba[2], rgba[3]) < 0) {
    return log_sdl_error();
  }
  std::copy(rgba, rgba + 4, color);
  return 0;
}

int VEL_DrawClear() {
  return SDL_RenderClear(renderer) < 0 ? log_sdl_error() : 0;
}

int VEL_DrawBegin() {
  if (config.target_fps != 0) {
    next_time += min_dt;
  }
  if (SDL_SetRenderTarget(renderer, target) < 0) {
    return log_sdl_error();
  }
  // Straight to SDL: the engine's colour state (the sprite tint) is left as it was.
  SDL_SetRenderDrawColor(renderer, 0, 0, 0, 255);
  SDL_RenderClear(renderer);
  return 0;
}

namespace {

// Sleeps until the frame's deadline; a late frame moves the deadline to now instead, so
// there is never a burst of catch-up frames.
void wait_for_deadline() {
  uint64_t now = SDL_GetTicks64();
  if (now < next_time) {
    SDL_Delay(static_cast<Uint32>(next_time - now));
  } else {
    next_time = now;
  }
}

// The canvas's place in the window: the largest whole scale that fits, centred, the odd
// leftover pixel on the right and bottom.
SDL_Rect present_rect() {
  int w = 0, h = 0;
  SDL_GetWindowSize(window, &w, &h);
  int s = std::min(w / scaled_width(), h / static_cast<int>(config.display_height));
  scale = static_cast<float>(s);
  float dw = static_cast<float>(scaled_width()) * scale;
  float dh = static_cast<float>(config.display_height) * scale;
  off_x = static_cast<int32_t>((static_cast<float>(w) - dw) * 0.5f);
  off_y = static_cast<int32_t>((static_cast<float>(h) - dh) * 0.5f);
  return SDL_Rect{off_x, off_y, static_cast<int>(dw), static_cast<int>(dh)};
}

} // namespace

int VEL_DrawEnd() {
  if (SDL_SetRenderTarget(renderer, nullptr) != 0) {
    return log_sdl_error();
  }
  VEL_DrawSetColor(0.0f, 0.0f, 0.0f, 1.0f);
  if (VEL_DrawClear() != 0) {
    return -1;
  }
  if (config.target_fps != 0) {
    wait_for_deadline();
  }
  SDL_Rect dst = present_rect();
  if (SDL_RenderCopyEx(renderer, target, nullptr, &dst, 0.0, nullptr, SDL_FLIP_NONE) < 0) {
    return log_sdl_error();
  }
  SDL_RenderPresent(renderer);
  tick += 1;
  return 0;
}

void VEL_ScreenTransform(int *x, int *y) {
  if (scale == 0.0f) {
    return;
  }
  if (x) {
    // The horizontal factor the canvas was stretched by; with square pixels it is the scale.
    float stretch =
        static_cast<float>(static_cast<int>(static_cast<float>(scaled_width()) * scale)) /
        static_cast<float>(config.display_width);
    *x = saturate(static_cast<float>(int64_t{*x} - off_x) / stretch);
  }
  if (y) {
    *y = saturate(static_cast<float>(int64_t{*y} - off_y) / scale);
  }
}

void VEL_ToggleFullscreen() {
  if (!fullscreen) {
    SDL_GetWindowSize(window, &windowed_w, &windowed_h);
  }
  Uint32 flags = fullscreen ? 0 : SDL_WINDOW_FULLSCREEN_DESKTOP;
  if (SDL_SetWindowFullscreen(window, flags) < 0) {
    // Keep the remembered mode, so the next toggle asks for the same switch again.
    log_sdl_error();
    return;
  }
  fullscreen = !fullscreen;
  // Without a window manager the window never changed, yet SDL takes it for as large as the
  // screen, also once back from full screen: the size it had is asked for again.
  if (!fullscreen) {
    SDL_SetWindowSize(window, windowed_w, windowed_h);
  }
}

// ---- Shapes -------------------------------------------------------------------------------

int VEL_DrawPoint(int x, int y) {
  return SDL_RenderDrawPoint(renderer, x, y) < 0 ? log_sdl_error() : 0;
}

int VEL_DrawPoints(const int *x, const int *y, int n) {
  const uint32_t limit = config.display_width * config.display_height;
  if (n > static_cast<int32_t>(limit)) {
    SDL_Log("%d > %u", n, limit);
    return -1;
  }
  for (int i = 0; i < n; ++i) {
    points[i] = SDL_Point{x[i], y[i]};
  }
  return SDL_RenderDrawPoints(renderer, points, n) < 0 ? log_sdl_error() : 0;
}

int VEL_DrawLine(int x0, int y0, int x1, int y1) {
  return SDL_RenderDrawLine(renderer, x0, y0, x1, y1) < 0 ? log_sdl_error() : 0;
}

int VEL_DrawRectangle(bool fill, int x, int y, int w, int h) {
  const SDL_Rect rect{x, y, w, h};
  int result = fill ? SDL_RenderFillRect(renderer, &rect) : SDL_RenderDrawRect(renderer, &rect);
  return result != 0 ? log_sdl_error() : 0;
}

int VEL_DrawCircle(bool, int, int, int) {
  SDL_Log("VEL GFX module is disabled");
  return -1;
}

int VEL_DrawPolygon(bool, const int *, const int *, int) {
  SDL_Log("VEL GFX module is disabled");
  return -1;
}

// ---- Images -------------------------------------------------------------------------------
//
// An image is kept in up to four orientations (as loaded, mirrored left to right, top to
// bottom, both), each made the first time it is drawn so, and each as two textures of the
// same pixels: one blended, one copied as it is. An unturned, unscaled sprite drawn at full
// alpha copies its bands of fully opaque rows with the second and blends only the rest: the
// same pixels, with much less work for a software renderer, and a flip that needs no
// temporary surface.

namespace {

constexpr int ORIENTATIONS = 4; // an SDL_RendererFlip: none, horizontal, vertical, both
constexpr int MAX_BANDS = 4;    // the longest runs of fully opaque rows an image keeps

// Rows [top, bottom) of the image as loaded in which every pixel is opaque.
struct Band {
  int top, bottom;
};

struct Face {
  SDL_Texture *blended; // alpha-blended
  SDL_Texture *copied;  // the same pixels, copied without blending
};

struct Image {
  SDL_Texture *texture; // the image as loaded, blended: faces[0].blended
  int32_t width, height;
  char *path;          // the caller's path; the key the image is found by
  SDL_Surface *pixels; // the image as loaded (ARGB8888), to make the other faces from
  Face faces[ORIENTATIONS];
  Band bands[MAX_BANDS]; // in order from the top
  int num_bands;
};

Image images[VEL_MAX_IMAGES];
bool opaque_copies = true;

void images_release() {
  for (Image &image : images) {
    for (Face &face : image.faces) {
      for (SDL_Texture *texture : {face.blended, face.copied}) {
        if (texture) {
          SDL_DestroyTexture(texture);
        }
      }
      face = Face{};
    }
    image.texture = nullptr;
    SDL_FreeSurface(image.pixels);
    image.pixels = nullptr;
    std::free(image.path);
    image.path = nullptr;
  }
}

// The runs of fully opaque rows of a 32-bit surface with alpha; the longest MAX_BANDS of
// them, in order from the top.
int find_bands(const SDL_Surface *surface, Band *bands) {
  Band runs[MAX_BANDS + 1];
  int count = 0;
  for (int y = 0; y <= surface->h; ++y) {
    const auto *row = reinterpret_cast<const Uint32 *>(static_cast<const Uint8 *>(surface->pixels) +
                                                       y * surface->pitch);
    const bool opaque = y < surface->h && std::all_of(row, row + surface->w, [](Uint32 pixel) {
                          return (pixel & 0xFF000000u) == 0xFF000000u;
                        });
    if (opaque && (count == 0 || runs[count - 1].bottom != y)) {
      runs[count++] = Band{y, y};
    }
    if (opaque) {
      ++runs[count - 1].bottom;
    }
    if (count == MAX_BANDS + 1) { // drop the shortest, keeping the order
      Band *shortest = std::min_element(runs, runs + count, [](const Band &a, const Band &b) {
        return a.bottom - a.top < b.bottom - b.top;
      });
      std::copy(shortest + 1, runs + count, shortest);
      --count;
    }
  }
  std::copy(runs, runs + count, bands);
  return count;
}

// A copy of the surface mirrored as flip says.
SDL_Surface *surface_flipped(const SDL_Surface *surface, int flip) {
  SDL_Surface *out =
      SDL_CreateRGBSurfaceWithFormat(0, surface->w, surface->h, 32, SDL_PIXELFORMAT_ARGB8888);
  for (int y = 0; out && y < surface->h; ++y) {
    const int from_y = flip & SDL_FLIP_VERTICAL ? surface->h - 1 - y : y;
    const auto *from = reinterpret_cast<const Uint32 *>(
        static_cast<const Uint8 *>(surface->pixels) + from_y * surface->pitch);
    auto *to = reinterpret_cast<Uint32 *>(static_cast<Uint8 *>(out->pixels) + y * out->pitch);
    for (int x = 0; x < surface->w; ++x) {
      to[x] = from[flip & SDL_FLIP_HORIZONTAL ? surface->w - 1 - x : x];
    }
  }
  return out;
}

// Makes the textures a face lacks from its pixels; -1 after logging why not. The copied one
// has the canvas's own format, so that copying its rows is a plain copy.
int face_make(Face &face, SDL_Surface *pixels) {
  if (!face.blended) {
    face.blended = SDL_CreateTextureFromSurface(renderer, pixels);
  }
  if (face.blended && !face.copied) {
    SDL_Surface *opaque = SDL_ConvertSurfaceFormat(pixels, SDL_PIXELFORMAT_RGB888, 0);
    face.copied = opaque ? SDL_CreateTextureFromSurface(renderer, opaque) : nullptr;
    SDL_FreeSurface(opaque);
  }
  if (!face.copied || SDL_SetTextureBlendMode(face.blended, SDL_BLENDMODE_BLEND) < 0 ||
      SDL_SetTextureBlendMode(face.copied, SDL_BLENDMODE_NONE) < 0) {
    return log_sdl_error();
  }
  return 0;
}

// The face of the image in this orientation, made now if it is the first draw so; null after
// logging why it cannot be.
const Face *image_face(Image &image, int flip) {
  Face &face = image.faces[flip];
  if (face.blended && face.copied) {
    return &face;
  }
  SDL_Surface *pixels = surface_flipped(image.pixels, flip);
  const int made = pixels ? face_make(face, pixels) : log_sdl_error();
  SDL_FreeSurface(pixels);
  return made == 0 ? &face : nullptr;
}

int image_load_into(int id, const char *path) {
  SDL_Surface *loaded = asset_bmp(path);
  if (!loaded) {
    return -1;
  }
  SDL_Surface *pixels = SDL_ConvertSurfaceFormat(loaded, SDL_PIXELFORMAT_ARGB8888, 0);
  SDL_FreeSurface(loaded);
  Image &image = images[id];
  const int made = pixels ? face_make(image.faces[0], pixels) : log_sdl_error();
  image.texture = image.faces[0].blended;
  if (!image.texture) {
    SDL_FreeSurface(pixels);
    return -1;
  }
  image.pixels = pixels;
  image.num_bands = find_bands(pixels, image.bands);
  if (made < 0 ||
      SDL_QueryTexture(image.texture, nullptr, nullptr, &image.width, &image.height) < 0) {
    return made < 0 ? -1 : log_sdl_error();
  }
  if (!image.path) {
    image.path = _velstrdup(path);
  }
  return id;
}

// The loaded image with this id, or null after logging why there is none.
Image *image_get(int id) {
  if (id < 0) {
    SDL_Log("id is negative");
    return nullptr;
  }
  if (id >= VEL_MAX_IMAGES || !images[id].texture) {
    SDL_Log("no image with id %d", id);
    return nullptr;
  }
  return &images[id];
}

// Tints the textures by the colour state, so no earlier tint survives into this draw.
int image_tint(SDL_Texture *texture) {
  if (SDL_SetTextureColorMod(texture, static_cast<Uint8>(color[0]), static_cast<Uint8>(color[1]),
                             static_cast<Uint8>(color[2])) < 0 ||
      SDL_SetTextureAlphaMod(texture, static_cast<Uint8>(color[3])) < 0) {
    return log_sdl_error();
  }
  return 0;
}

// Copies source rows [top, bottom) of src to the matching rows of dst (held to the int range,
// as dst may lie anywhere).
int copy_rows(SDL_Texture *texture, const SDL_Rect &src, const SDL_Rect &dst, int top, int bottom) {
  if (top >= bottom) {
    return 0;
  }
  const SDL_Rect from{src.x, top, src.w, bottom - top};
  const SDL_Rect to{dst.x, saturate(dst.y + (static_cast<double>(top) - src.y)), dst.w,
                    bottom - top};
  return SDL_RenderCopy(renderer, texture, &from, &to) < 0 ? log_sdl_error() : 0;
}

// Draws src of the image, mirrored as flip says, unscaled and unturned to dst: the bands of
// opaque rows copied, the rest blended, unless the colour is not fully opaque.
int draw_unturned(Image &image, SDL_Rect src, const SDL_Rect &dst, int flip) {
  const Face *face = image_face(image, flip);
  if (!face || image_tint(face->blended) < 0 || image_tint(face->copied) < 0) {
    return -1;
  }
  if (flip & SDL_FLIP_HORIZONTAL) {
    src.x = image.width - src.x - src.w;
  }
  if (flip & SDL_FLIP_VERTICAL) {
    src.y = image.height - src.y - src.h;
  }
  const bool copies = opaque_copies && color[3] == 255;
  int row = src.y;
  const int end = src.y + src.h;
  for (int i = 0; copies && i < image.num_bands; ++i) {
    const Band band = image.bands[flip & SDL_FLIP_VERTICAL ? image.num_bands - 1 - i : i];
    const int top = std::max(flip & SDL_FLIP_VERTICAL ? image.height - band.bottom : band.top, row);
    const int bottom =
        std::min(flip & SDL_FLIP_VERTICAL ? image.height - band.top : band.bottom, end);
    if (top < bottom && (copy_rows(face->blended, src, dst, row, top) < 0 ||
                         copy_rows(face->copied, src, dst, top, bottom) < 0)) {
      return -1;
    }
    row = std::max(row, bottom);
  }
  return copy_rows(face->blended, src, dst, row, end);
}

// Clips one axis of a source span [pos, pos + len) to the image's [0, limit), moving and
// shrinking the destination span by the clipped source pixels times the scale (computed wide
// and held to the int range, as a span may lie anywhere).
void clip_axis(int limit, double scale_factor, int &src_pos, int &src_len, int &dst_pos,
               int &dst_len) {
  const int64_t end = int64_t{src_pos} + src_len;
  const int lo = std::max(src_pos, 0);
  const int hi = static_cast<int>(std::min(end, int64_t{limit}));
  if (lo == src_pos && hi == end) {
    return;
  }
  dst_pos = saturate(dst_pos + std::trunc((static_cast<double>(lo) - src_pos) * scale_factor));
  src_pos = lo;
  src_len = std::max(hi - lo, 0);
  dst_len = saturate(src_len * scale_factor);
}

} // namespace

int VEL_ImageLoad(const char *path) {
  if (!path) {
    SDL_Log("path is NULL");
    return -1;
  }
  // Slots fill in order and are never freed one by one, so every loaded image lies before
  // the first free slot.
  for (int id = 0; id < VEL_MAX_IMAGES; ++id) {
    if (images[id].path && std::strcmp(images[id].path, path) == 0) {
      return id;
    }
    if (!images[id].texture) {
      return image_load_into(id, path);
    }
  }
  SDL_Log("reached image limit (%d)", VEL_MAX_IMAGES);
  return -1;
}

void VEL_SetOpaqueCopies(bool on) {
  opaque_copies = on;
}

int VEL_DrawImage(int id, int x, int y) {
  Image *image = image_get(id);
  if (!image) {
    return -1;
  }
  const SDL_Rect whole{0, 0, image->width, image->height};
  return draw_unturned(*image, whole, SDL_Rect{x, y, image->width, image->height}, 0);
}

int VEL_DrawImageEx(int id, int x, int y, const VEL_ImageParams *params) {
  if (!params) {
    SDL_Log("params is NULL");
    return -1;
  }
  const VEL_ImageParams p = *params;
  Image *image = image_get(id);
  if (!image) {
    return -1;
  }
  const int sw = p.src_w >= 1 ? p.src_w : image->width;
  const int sh = p.src_h >= 1 ? p.src_h : image->height;
  const double dw = sw * p.scale_x;
  const double dh = sh * p.scale_y;
  if (p.center) {
    x = saturate(x - dw * 0.5);
    y = saturate(y - dh * 0.5);
  }
  SDL_Rect src{p.src_x, p.src_y, sw, sh};
  SDL_Rect dst{x, y, saturate(dw), saturate(dh)};
  clip_axis(image->width, p.scale_x, src.x, src.w, dst.x, dst.w);
  clip_axis(image->height, p.scale_y, src.y, src.h, dst.y, dst.h);
  const int flip = (p.flip_v ? SDL_FLIP_VERTICAL : 0) | (p.flip_h ? SDL_FLIP_HORIZONTAL : 0);
  if (p.rotation == 0.0 && src.w == dst.w && src.h == dst.h) {
    return draw_unturned(*image, src, dst, flip);
  }
  if (image_tint(image->texture) < 0) {
    return -1;
  }
  if (SDL_RenderCopyEx(renderer, image->texture, &src, &dst, p.rotation * 360.0, nullptr,
                       static_cast<SDL_RendererFlip>(flip)) < 0) {
    return log_sdl_error();
  }
  return 0;
}

int VEL_DrawTile(int id, int tile, int x, int y, double angle, int flip) {
  Image *image = image_get(id);
  if (!image) {
    return -1;
  }
  if (tile < 0) {
    SDL_Log("tile is negative");
    return -1;
  }
  const int t = static_cast<int>(config.tile_size);
  const int per_row = image->width / t;
  if (tile >= per_row * (image->height / t)) {
    SDL_Log("tile exceeds boundaries");
    return -1;
  }
  if (image_tint(image->texture) < 0) {
    return -1;
  }
  const SDL_Rect src{tile % per_row * t, tile / per_row * t, t, t};
  const SDL_Rect dst{x, y, t, t};
  if (SDL_RenderCopyEx(renderer, image->texture, &src, &dst, angle, nullptr,
                       static_cast<SDL_RendererFlip>(flip)) < 0) {
    return log_sdl_error();
  }
  return 0;
}

// ---- Sound and music ------------------------------------------------------------------------

namespace {

Mix_Chunk *sounds[VEL_MAX_SOUNDS];
Mix_Music *music;
char *music_checked; // path of the last track that passed its check
bool music_on, effects_on;
bool away; // the window is hidden or minimised

void switches_start() {
  music_on = effects_on = true;
  away = false;
}

// The music sounds only while it is switched on and the window is not away.
void music_apply() {
  if (music_on && !away) {
    Mix_ResumeMusic();
  } else {
    Mix_PauseMusic();
  }
}

// Every sound pauses while the window is away; back, what is switched on sounds again.
void window_away(bool gone) {
  if (gone == away) {
    return;
  }
  away = gone;
  if (away) {
    Mix_Pause(-1);
  } else {
    Mix_Resume(-1);
  }
  music_apply();
}

void sounds_release() {
  for (Mix_Chunk *&chunk : sounds) {
    if (chunk) {
      Mix_FreeChunk(chunk);
      chunk = nullptr;
    }
  }
  std::free(music_checked);
  music_checked = nullptr;
}

} // namespace

int VEL_SoundLoad(const char *path, float volume) {
  Mix_Chunk **slot = std::find(std::begin(sounds), std::end(sounds), nullptr);
  if (slot == std::end(sounds)) {
    SDL_Log("reached sounds limit (%d)", VEL_MAX_SOUNDS);
    return -1;
  }
  SDL_RWops *file = asset_open(path);
  if (!file) {
    return -1;
  }
  // Closed here rather than by the mixer, which loses the stream of some short files it
  // cannot read when it is asked to close it.
  Mix_Chunk *chunk = Mix_LoadWAV_RW(file, 0);
  if (!chunk) {
    SDL_Log("%s: %s", path, SDL_GetError());
  }
  SDL_RWclose(file);
  if (!chunk) {
    return -1;
  }
  Mix_VolumeChunk(chunk, static_cast<int>(volume));
  *slot = chunk;
  return static_cast<int>(slot - std::begin(sounds));
}

int VEL_PlaySound(int id) {
  if (id < 0) {
    SDL_Log("id is negative");
    return -1;
  }
  if (id >= VEL_MAX_SOUNDS || !sounds[id]) {
    SDL_Log("no sound with id %d", id);
    return -1;
  }
  if (!effects_on || away) {
    return 0;
  }
  return Mix_PlayChannel(-1, sounds[id], 0) < 0 ? log_sdl_error() : 0;
}

int VEL_SetMusicVolume(float volume) {
  return Mix_VolumeMusic(static_cast<int>(volume * 128.0f)) < 0 ? log_sdl_error() : 0;
}

namespace {

// A WAV track's head as its check reads it: at most this many bytes, and this many chunks
// before the samples.
constexpr size_t WAV_VIEW_BYTES = 4096;
constexpr int WAV_VIEW_CHUNKS = 64;

uint32_t le32(const Uint8 *p) {
  uint32_t v = 0;
  std::memcpy(&v, p, 4);
  return SDL_SwapLE32(v);
}

void set_le32(Uint8 *p, uint32_t v) {
  v = SDL_SwapLE32(v);
  std::memcpy(p, &v, 4);
}

// Turns view, which holds the file's first 12 bytes ("RIFF", a size, "WAVE"), into a short WAV
// of the file's format chunk and the first samples of its data chunk, and returns its size.
// Other chunks are skipped unread; a format chunk too large for the view is left out.
size_t wav_view(SDL_RWops *file, Uint8 *view) {
  size_t used = 12;
  for (int i = 0; i < WAV_VIEW_CHUNKS && used + 8 <= WAV_VIEW_BYTES; ++i) {
    Uint8 *chunk = view + used;
    if (SDL_RWread(file, chunk, 8, 1) != 1) {
      break;
    }
    const uint32_t size = le32(chunk + 4);
    const uint64_t padded = uint64_t{size} + (size & 1);
    const size_t room = WAV_VIEW_BYTES - used - 8;
    const bool data = std::memcmp(chunk, "data", 4) == 0;
    if (!data && (std::memcmp(chunk, "fmt ", 4) != 0 || padded > room)) {
      SDL_RWseek(file, static_cast<Sint64>(padded), RW_SEEK_CUR);
      continue;
    }
    const size_t kept = SDL_RWread(file, chunk + 8, 1, std::min<uint64_t>(padded, room));
    set_le32(chunk + 4, static_cast<uint32_t>(std::min<uint64_t>(size, kept)));
    used += 8 + kept;
    if (data) {
      break;
    }
  }
  set_le32(view + 4, static_cast<uint32_t>(used - 8));
  return used;
}

// The mixer's streaming WAV reader trusts the file's header (one that claims 256 channels
// stops the program with a division by zero), while SDL's own WAV reader checks it: a WAV
// track's head must pass SDL's reader first. Only the head is read, so a long track costs no
// more than a short one. Leaves the stream at its start.
bool music_readable(SDL_RWops *file) {
  Uint8 view[WAV_VIEW_BYTES] = {};
  SDL_RWread(file, view, 1, 12);
  bool readable = true;
  if (std::memcmp(view, "RIFF", 4) == 0 && std::memcmp(view + 8, "WAVE", 4) == 0) {
    SDL_RWops *head = SDL_RWFromConstMem(view, static_cast<int>(wav_view(file, view)));
    SDL_AudioSpec format;
    Uint8 *samples = nullptr;
    Uint32 length = 0;
    readable = head && SDL_LoadWAV_RW(head, 1, &format, &samples, &length);
    SDL_FreeWAV(samples);
  }
  SDL_RWseek(file, 0, RW_SEEK_SET);
  return readable;
}

// Checks a track the first time its path is played in a row; the clocks restart one track
// many times. False (SDL has the reason) when the check refuses it.
bool music_checked_once(SDL_RWops *file, const char *path) {
  if (music_checked && std::strcmp(music_checked, path) == 0) {
    return true;
  }
  std::free(music_checked);
  music_checked = nullptr;
  if (!music_readable(file)) {
    return false;
  }
  music_checked = _velstrdup(path);
  return true;
}

} // namespace

void VEL_StopMusic() {
  if (Mix_PlayingMusic()) {
    Mix_HaltMusic();
  }
  if (music) {
    Mix_FreeMusic(music);
    music = nullptr;
  }
}

int VEL_PlayMusic(const char *path, int loops) {
  VEL_StopMusic();
  SDL_RWops *file = asset_open(path);
  if (!file) {
    return -1;
  }
  if (!music_checked_once(file, path)) {
    SDL_Log("%s: %s", path, SDL_GetError());
    SDL_RWclose(file);
    return -1;
  }
  music = Mix_LoadMUS_RW(file, 1);
  if (!music) {
    SDL_Log("%s: %s", path, SDL_GetError());
    return -1;
  }
  if (Mix_PlayMusic(music, loops) < 0) {
    return log_sdl_error();
  }
  Mix_RewindMusic();
  music_apply();
  return 0;
}

void VEL_SetMusicOn(bool on) {
  music_on = on;
  music_apply();
}

bool VEL_MusicOn() {
  return music_on;
}

void VEL_SetEffectsOn(bool on) {
  effects_on = on;
  if (!on) {
    Mix_HaltChannel(-1);
  }
}

bool VEL_EffectsOn() {
  return effects_on;
}

// ---- Input --------------------------------------------------------------------------------

namespace {

constexpr int KEY_BUTTONS = 6;
constexpr unsigned LAST_BUTTON = VEL_BUTTON_MOUSE_R;
constexpr int MOUSE_BUTTON_OFFSET = 5; // SDL mouse button 1 is VEL_BUTTON_MOUSE_L (6)

constexpr int MAX_PADS = 8; // open at once; one more plugged in is not read

// The pad's buttons that drive keyboard buttons, by the keyboard button's index.
constexpr SDL_GameControllerButton PAD_BUTTONS[KEY_BUTTONS] = {
    SDL_CONTROLLER_BUTTON_DPAD_LEFT, SDL_CONTROLLER_BUTTON_DPAD_RIGHT,
    SDL_CONTROLLER_BUTTON_DPAD_UP,   SDL_CONTROLLER_BUTTON_DPAD_DOWN,
    SDL_CONTROLLER_BUTTON_A,         SDL_CONTROLLER_BUTTON_B};

SDL_Scancode map[KEY_BUTTONS];
uint8_t input[LAST_BUTTON + 1];
uint8_t pressed[LAST_BUTTON + 1];        // went down during the current VEL_CycleEvents
uint8_t keys_pressed[SDL_NUM_SCANCODES]; // likewise, every key, mapped or not
int32_t mouse_x, mouse_y;
bool mouse_active; // moved or clicked during the current VEL_CycleEvents
SDL_GameController *pads[MAX_PADS];

// The default key map, every button up, the mouse at (0, 0), no pad open.
void input_start() {
  std::copy(std::begin(VEL_DEFAULT_KEYS), std::end(VEL_DEFAULT_KEYS), map);
  std::fill(std::begin(input), std::end(input), 0);
  std::fill(std::begin(pressed), std::end(pressed), 0);
  std::fill(std::begin(keys_pressed), std::end(keys_pressed), 0);
  mouse_x = mouse_y = 0;
  mouse_active = false;
  std::fill(std::begin(pads), std::end(pads), nullptr);
}

void pads_release() {
  for (SDL_GameController *&pad : pads) {
    if (pad) {
      SDL_GameControllerClose(pad);
      pad = nullptr;
    }
  }
}

// The slot of the open pad with SDL's instance id, or the end of the table.
SDL_GameController **pad_slot(SDL_JoystickID id) {
  return std::find_if(std::begin(pads), std::end(pads), [id](SDL_GameController *pad) {
    return pad && SDL_JoystickInstanceID(SDL_GameControllerGetJoystick(pad)) == id;
  });
}

// A pad plugged in (or found at start-up), by its device index, is opened once.
void pad_added(int device) {
  SDL_GameController **free_slot = std::find(std::begin(pads), std::end(pads), nullptr);
  if (pad_slot(SDL_JoystickGetDeviceInstanceID(device)) == std::end(pads) &&
      free_slot != std::end(pads)) {
    *free_slot = SDL_GameControllerOpen(device); // null when it has gone again
  }
}

// A pad unplugged is closed; SDL has let go of the buttons it held just before.
void pad_removed(SDL_JoystickID id) {
  SDL_GameController **slot = pad_slot(id);
  if (slot != std::end(pads)) {
    SDL_GameControllerClose(*slot);
    *slot = nullptr;
  }
}

// One axis of a pad as a fraction, -1 to 1.
float pad_axis(SDL_GameController *pad, SDL_GameControllerAxis axis) {
  return std::max(static_cast<float>(SDL_GameControllerGetAxis(pad, axis)) / 32767.0f, -1.0f);
}

// The keyboard button a key drives (the first map entry holding it), or -1.
int key_button(SDL_Scancode scancode) {
  const SDL_Scancode *entry = std::find(std::begin(map), std::end(map), scancode);
  return entry == std::end(map) ? -1 : static_cast<int>(entry - std::begin(map));
}

// Clears the flag of a key or mouse button released while input is not being reported.
void release_button(const SDL_Event &event) {
  int button = -1;
  if (event.type == SDL_KEYUP) {
    button = key_button(event.key.keysym.scancode);
  } else if (event.type == SDL_MOUSEBUTTONUP) {
    button = event.button.button + MOUSE_BUTTON_OFFSET;
  }
  if (button >= 0 && button <= static_cast<int>(LAST_BUTTON)) {
    input[button] = 0;
  }
}

// Offers the keys of the waiting events to the buttons in order; returns the new count, or
// -1 once the menu must close (Escape, or a quit request, which is kept).
int bind_menu_drain(int offered) {
  SDL_Event event;
  while (SDL_PollEvent(&event)) {
    if (event.type == SDL_QUIT) {
      should_quit = true;
      return -1;
    }
    release_button(event);
    if (event.type != SDL_KEYDOWN || event.key.repeat) {
      continue;
    }
    const SDL_Scancode scancode = event.key.keysym.scancode;
    if (scancode == SDL_SCANCODE_ESCAPE) {
      return -1;
    }
    if (scancode != SDL_SCANCODE_F1 && scancode != SDL_SCANCODE_F11) {
      VEL_ButtonBind(static_cast<unsigned>(offered++), scancode);
    }
  }
  return offered;
}

// A small modal window that binds the six keyboard buttons, in order, to the next six keys.
void bind_menu() {
  SDL_Log("entering bind menu");
  SDL_Window *menu_window = nullptr;
  SDL_Renderer *menu_renderer = nullptr;
  if (SDL_CreateWindowAndRenderer(256, 256, 0, &menu_window, &menu_renderer) < 0) {
    log_sdl_error();
    return;
  }
  int offered = 0;
  while ((offered = bind_menu_drain(offered)) >= 0) {
    SDL_SetRenderDrawColor(menu_renderer, 220, 220, 200, 255);
    SDL_RenderClear(menu_renderer);
    SDL_RenderPresent(menu_renderer);
    SDL_Delay(0);
    if (offered >= KEY_BUTTONS) {
      break;
    }
  }
  SDL_DestroyRenderer(menu_renderer);
  SDL_DestroyWindow(menu_window);
  SDL_Log("leaving bind menu");
}

// Reports a mouse position in canvas pixels and remembers it.
void mouse_moved(int x, int y, VEL_Event *e) {
  mouse_active = true;
  VEL_ScreenTransform(&x, &y);
  e->x = mouse_x = x;
  e->y = mouse_y = y;
}

// A button going down or up: reported to the caller and kept in the buttons' state.
bool button_event(unsigned button, bool down, VEL_Event *e) {
  e->type = down ? VEL_EVENT_BUTTON_DOWN : VEL_EVENT_BUTTON_UP;
  e->button = button;
  input[button] = down ? 1 : 0;
  pressed[button] |= input[button];
  return true;
}

bool key_down(const SDL_KeyboardEvent &key, VEL_Event *e) {
  const SDL_Scancode scancode = key.keysym.scancode;
  if (!config.disable_bind_menu && scancode == SDL_SCANCODE_F1) {
    bind_menu();
  }
  if (scancode == SDL_SCANCODE_F11) {
    VEL_ToggleFullscreen();
  }
  if (!key.repeat && scancode >= 0 && scancode < SDL_NUM_SCANCODES) {
    keys_pressed[scancode] = 1;
  }
  const int button = key_button(scancode);
  return button >= 0 && !key.repeat && button_event(static_cast<unsigned>(button), true, e);
}

bool key_up(const SDL_KeyboardEvent &key, VEL_Event *e) {
  const int button = key_button(key.keysym.scancode);
  return button >= 0 && button_event(static_cast<unsigned>(button), false, e);
}

bool mouse_button(const SDL_MouseButtonEvent &mouse, VEL_Event *e) {
  const unsigned button = mouse.button + MOUSE_BUTTON_OFFSET;
  mouse_moved(mouse.x, mouse.y, e);
  return button <= LAST_BUTTON && button_event(button, mouse.type == SDL_MOUSEBUTTONDOWN, e);
}

bool pad_button(const SDL_ControllerButtonEvent &pad, VEL_Event *e) {
  const auto *entry = std::find(std::begin(PAD_BUTTONS), std::end(PAD_BUTTONS), pad.button);
  return entry != std::end(PAD_BUTTONS) &&
         button_event(static_cast<unsigned>(entry - std::begin(PAD_BUTTONS)),
                      pad.type == SDL_CONTROLLERBUTTONDOWN, e);
}

void window_event(uint8_t what) {
  if (what == SDL_WINDOWEVENT_HIDDEN || what == SDL_WINDOWEVENT_MINIMIZED) {
    window_away(true);
  } else if (what == SDL_WINDOWEVENT_SHOWN || what == SDL_WINDOWEVENT_RESTORED ||
             what == SDL_WINDOWEVENT_MAXIMIZED) {
    window_away(false);
  }
}

// Applies one SDL event to the input state; true when it is reported to the caller.
bool handle_event(const SDL_Event &event, VEL_Event *e) {
  switch (event.type) {
  case SDL_QUIT:
    should_quit = true;
    e->type = VEL_EVENT_QUIT;
    return true;
  case SDL_KEYDOWN:
    return key_down(event.key, e);
  case SDL_KEYUP:
    return key_up(event.key, e);
  case SDL_MOUSEMOTION:
    e->type = VEL_EVENT_MOUSE_MOVE;
    mouse_moved(event.motion.x, event.motion.y, e);
    return true;
  case SDL_MOUSEBUTTONDOWN:
  case SDL_MOUSEBUTTONUP:
    return mouse_button(event.button, e);
  case SDL_CONTROLLERBUTTONDOWN:
  case SDL_CONTROLLERBUTTONUP:
    return pad_button(event.cbutton, e);
  case SDL_CONTROLLERDEVICEADDED:
    pad_added(event.cdevice.which);
    return false;
  case SDL_CONTROLLERDEVICEREMOVED:
    pad_removed(event.cdevice.which);
    return false;
  case SDL_WINDOWEVENT:
    window_event(event.window.event);
    return false;
  default:
    return false;
  }
}

} // namespace

bool VEL_PollEvent(VEL_Event *e) {
  if (!e) {
    SDL_Log("e is NULL");
    return false;
  }
  SDL_Event event;
  while (SDL_PollEvent(&event)) {
    if (handle_event(event, e)) {
      return true;
    }
  }
  return false;
}

void VEL_CycleEvents() {
  std::fill(std::begin(pressed), std::end(pressed), 0);
  std::fill(std::begin(keys_pressed), std::end(keys_pressed), 0);
  mouse_active = false;
  VEL_Event event;
  while (VEL_PollEvent(&event)) {
  }
}

namespace {

bool button_exists(unsigned button) {
  if (button > LAST_BUTTON) {
    SDL_Log("%d button doesn't exist", static_cast<int>(button));
    return false;
  }
  return true;
}

} // namespace

bool VEL_ButtonDown(unsigned button) {
  return button_exists(button) && input[button] != 0;
}

bool VEL_ButtonPressed(unsigned button) {
  return button_exists(button) && pressed[button] != 0;
}

bool VEL_KeyPressed(SDL_Scancode scancode) {
  return scancode >= 0 && scancode < SDL_NUM_SCANCODES && keys_pressed[scancode] != 0;
}

void VEL_ButtonBind(unsigned button, SDL_Scancode scancode) {
  if (button < KEY_BUTTONS && scancode != SDL_SCANCODE_F1) {
    map[button] = scancode;
    SDL_Log("bound key %s to button %u", SDL_GetScancodeName(scancode), button);
  } else {
    SDL_Log("button %u can't be remapped to key %s", button, SDL_GetScancodeName(scancode));
  }
}

void VEL_MousePosition(int *x, int *y) {
  if (x) {
    *x = mouse_x;
  }
  if (y) {
    *y = mouse_y;
  }
}

bool VEL_MouseActive() {
  return mouse_active;
}

void VEL_StickTilt(float *x, float *y) {
  float tilt_x = 0.0f, tilt_y = 0.0f;
  for (SDL_GameController *pad : pads) {
    if (!pad) {
      continue;
    }
    const float px = pad_axis(pad, SDL_CONTROLLER_AXIS_LEFTX);
    const float py = pad_axis(pad, SDL_CONTROLLER_AXIS_LEFTY);
    if (px * px + py * py > tilt_x * tilt_x + tilt_y * tilt_y) {
      tilt_x = px;
      tilt_y = py;
    }
  }
  if (x) {
    *x = tilt_x;
  }
  if (y) {
    *y = tilt_y;
  }
}
