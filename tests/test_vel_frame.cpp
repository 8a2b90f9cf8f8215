// The engine's start-up, and its frames: presentation at a whole scale, the window-to-canvas
// mapping, pacing and the shape primitives, read back from the canvas and the window.
#include "support.h"

#include <climits>
#include <cmath>
#include <functional>
#include <optional>
#include <utility>

// The clock the engine reads and every sleep it asks for: SDL_GetTicks64 and SDL_Delay are
// interposed here and pass the calls on, unless the clock is faked: then time stands still
// but for the work a test adds and the sleeps, each of which oversleeps by a millisecond.
static std::vector<Uint32> sleeps;
static bool fake_clock = false;
static Uint64 fake_now = 1000;
extern "C" Uint64 SDL_GetTicks64() {
  static const auto real = sdl_function(SDL_GetTicks64, "SDL_GetTicks64");
  return fake_clock ? fake_now : real();
}
extern "C" void SDL_Delay(Uint32 ms) {
  sleeps.push_back(ms);
  static const auto real = sdl_function(SDL_Delay, "SDL_Delay");
  fake_clock ? void(fake_now += ms + 1) : real(ms);
}

// SDL's functions that a test may refuse, one at a time: the one named fails with "refused".
static std::string refused;
extern "C" int SDL_RenderClear(SDL_Renderer *renderer) {
  static const auto real = sdl_function(SDL_RenderClear, "SDL_RenderClear");
  return refused == "SDL_RenderClear" ? SDL_SetError("refused") : real(renderer);
}
extern "C" int SDL_RenderCopyEx(SDL_Renderer *r, SDL_Texture *t, const SDL_Rect *src,
                                const SDL_Rect *dst, double a, const SDL_Point *c,
                                SDL_RendererFlip f) {
  static const auto real = sdl_function(SDL_RenderCopyEx, "SDL_RenderCopyEx");
  return refused == "SDL_RenderCopyEx" ? SDL_SetError("refused") : real(r, t, src, dst, a, c, f);
}

namespace {

VEL_Config with(uint32_t w, uint32_t h, double ratio, const char *title = "pordeck",
                bool hide_cursor = true) {
  VEL_Config config = test_config;
  config.display_width = w, config.display_height = h, config.ratio = ratio;
  config.title = title, config.hide_cursor = hide_cursor;
  return config;
}

// A configuration is refused with its one line before SDL is touched, or the engine starts:
// the window is the canvas stretched to the ratio, a missing title becomes "VEL" (said in the
// log), the system cursor is hidden when asked. Paths are the executable's directory and the
// relative path; once the engine has quit they come back as they were, said in the log, and a
// second quit is harmless (the sanitizer build sees anything freed twice or leaked).
TEST(VelInit, ConfigurationsWindowsAndPaths) {
  const std::string unnamed = "title is NULL, defaulting to 'VEL'", plain = "basepath is NULL";
  // clang-format off
  const std::tuple<VEL_Config, Lines, int> cases[] = { // the log, the window's width (0: refused)
      {with(0, 0, 0.0), {"display_width can't be 0", plain, plain}, 0},
      {with(640, 0, 0.0), {"display_height can't be 0", plain, plain}, 0},
      {with(640, 480, 0.001), {"ratio 0.001000 is too small", plain, plain}, 0},
      {with(640, 480, NAN), {"ratio nan is too small", plain, plain}, 0},
      {with(640, 480, 1e10), {"ratio 10000000000.000000 is too large", plain, plain}, 0}, // wider than SDL's windows
      {with(640, 480, INFINITY), {"ratio inf is too large", plain, plain}, 0},
      {with(640, 480, 0.0, nullptr), {unnamed, plain}, 640}, {with(640, 480, -2.0, "pordeck", false), {plain}, 640},
      {with(640, 480, 16.0 / 9.0), {plain}, 853}, {with(640, 480, 4.0 / 3.0), {plain}, 639}};
  // clang-format on
  for (const auto &[config, lines, width] : cases) {
    LogCapture log;
    EXPECT_EQ(VEL_Init(&config), width ? 0 : -1);
    EXPECT_EQ(SDL_WasInit(SDL_INIT_EVERYTHING) != 0, width != 0);
    if (width) {
      int w = 0, h = 0;
      SDL_GetWindowSize(test_window(), &w, &h);
      EXPECT_EQ(std::tuple(w, h, SDL_ShowCursor(SDL_QUERY) == SDL_DISABLE),
                std::tuple(width, 480, config.hide_cursor));
      EXPECT_STREQ(SDL_GetWindowTitle(test_window()), config.title ? config.title : "VEL");
    }
    char *running = VEL_PathPrefix("res/cursor.bmp");
    VEL_Quit(), VEL_Quit();
    char *quit = VEL_PathPrefix("res/cursor.bmp");
    EXPECT_EQ(std::string(running), (width ? exe_dir() : "") + "res/cursor.bmp");
    EXPECT_EQ(std::string(quit), "res/cursor.bmp");
    std::free(running), std::free(quit);
    EXPECT_EQ(log.lines(), lines);
  }
}

// A second start after a quit is a first start: whatever the first engine was left with --
// the window closed, frames presented at scale 2, full screen, a button and a key held, the
// mouse moved, a key bound anew -- the second has none of it.
TEST(VelInit, ASecondStartIsAFirstStart) {
  for (int start = 0; start < 2; ++start) {
    Engine engine;
    int x = 30, y = 40, mx = -1, my = -1;
    VEL_ScreenTransform(&x, &y), VEL_MousePosition(&mx, &my);
    EXPECT_EQ(std::tuple(VEL_ShouldQuit(), VEL_GetTick(), x, y, mx, my,
                         VEL_ButtonDown(VEL_BUTTON_MOUSE_L), VEL_ButtonDown(VEL_BUTTON_A)),
              std::tuple(false, 0u, 30, 40, 0, 0, false, false));
    push_key(SDL_SCANCODE_LEFT, true), push_key(SDL_SCANCODE_A, true), VEL_CycleEvents();
    EXPECT_EQ(std::pair(VEL_ButtonDown(VEL_BUTTON_LEFT), VEL_KeyPressed(SDL_SCANCODE_A)),
              std::pair(true, true))
        << "the default key map";
    VEL_ToggleFullscreen();
    EXPECT_NE(SDL_GetWindowFlags(test_window()) & SDL_WINDOW_FULLSCREEN_DESKTOP, 0u);
    VEL_ButtonBind(VEL_BUTTON_LEFT, SDL_SCANCODE_A), VEL_DrawSetColor(1, 0, 0, 1);
    push_key(SDL_SCANCODE_X, true), push_mouse(300, 200, SDL_BUTTON_LEFT, true);
    SDL_Event quit{SDL_QUIT};
    SDL_PushEvent(&quit), VEL_CycleEvents();
    SDL_SetWindowSize(test_window(), 1300, 1000), VEL_DrawBegin(), VEL_DrawEnd();
  }
}

// SDL refusing a frame's clear, then its copies: the frame is refused, and a tile, each time
// with SDL's reason.
TEST(VelFrame, RefusedBySDL) {
  Engine engine;
  LogCapture log;
  const int cleared = (refused = "SDL_RenderClear", VEL_DrawBegin(), VEL_DrawEnd());
  refused = "SDL_RenderCopyEx", VEL_DrawBegin();
  const int tile = VEL_DrawTile(VEL_ImageLoad("res/box.bmp"), 0, 0, 0, 0.0, 0);
  EXPECT_EQ(std::tuple(cleared, tile, VEL_DrawEnd()), std::tuple(-1, -1, -1));
  refused.clear();
  EXPECT_EQ(log.lines(), Lines(3, "refused"));
}

constexpr Rgba kBlack{0, 0, 0, 255}, kGreen{0, 255, 0, 255};

// Presents a canvas cleared to green into a window of the given size.
void present_green(int w, int h) {
  SDL_SetWindowSize(test_window(), w, h), VEL_DrawBegin();
  VEL_DrawSetColor(0.0f, 1.0f, 0.0f, 1.0f), VEL_DrawClear();
  EXPECT_EQ(VEL_DrawEnd(), 0);
}

// Maps a window point through VEL_ScreenTransform.
std::pair<int, int> mapped(int x, int y) {
  VEL_ScreenTransform(&x, &y);
  return {x, y};
}

// The largest whole scale that fits, centred, the odd pixel on the right and bottom; clicks
// map back through it, truncated toward zero, also where the canvas is stretched to a 16:9
// picture (853 window pixels wide at scale 1). A window too small for scale 1 shows nothing
// and maps nothing.
TEST(VelFrame, CanvasIsShownAtTheLargestWholeScaleCentred) {
  std::optional<Engine> engine;
  int started = 0; // the canvas's width at scale 1 in the running engine
  // The canvas's width at scale 1, window size; the scale, the canvas's top-left corner;
  // where the pixel before it maps.
  // clang-format off
  const int cases[][7] = {{853, 1800, 1000, 2, 47, 20, 0}, {640, 640, 480, 1, 0, 0, -1},
                          {640, 1300, 1000, 2, 10, 20, 0}, {640, 1919, 1080, 2, 319, 60, 0},
                          {640, 2000, 1500, 3, 40, 30, 0}};
  // clang-format on
  for (const auto &[width, w, h, scale, left, top, before] : cases) {
    SCOPED_TRACE(testing::Message() << w << " x " << h);
    if (std::exchange(started, width) != width)
      engine.reset(), engine.emplace(with(640, 480, width == 640 ? 0.0 : 16.0 / 9.0));
    present_green(w, h);
    const int right = left + width * scale - 1, bottom = top + 480 * scale - 1;
    EXPECT_EQ(std::pair(read_pixel(left, top), read_pixel(right, bottom)),
              std::pair(kGreen, kGreen));
    // Just outside the canvas on the left, the top and the right, where the window has room.
    for (const auto &[x, y] : {std::pair{left - 1, top}, {left, top - 1}, {right + 1, bottom}})
      EXPECT_TRUE(x < 0 || y < 0 || x >= w || read_pixel(x, y) == kBlack) << x << ", " << y;
    EXPECT_EQ(mapped(left - 1, top - 1), std::pair(before, before)); // -0.5 truncates to 0
    EXPECT_EQ(mapped(right, bottom), std::pair(639, 479));
  }
  int x = 43, y = 33; // either pointer may be null
  VEL_ScreenTransform(&x, nullptr), VEL_ScreenTransform(nullptr, &y);
  EXPECT_EQ(std::pair(x, y), std::pair(1, 1));
  present_green(639, 480); // too small for scale 1: nothing shown, nothing mapped
  EXPECT_EQ(std::pair(read_pixel(0, 0), read_pixel(319, 240)), std::pair(kBlack, kBlack));
  EXPECT_EQ(mapped(100, 50), std::pair(100, 50));
  EXPECT_EQ(mapped(INT_MIN, INT_MAX), std::pair(INT_MIN, INT_MAX));
}

// At 30 frames a second (33 ms) from a start at 1000 ms: a frame sleeps what its work left of
// its period; the deadlines keep their cadence however a sleep overshoots, so frames do not
// drift; a late frame does not sleep, and the next deadline is a period after its end.
TEST(VelPacing, FramesKeepTheirCadence) {
  fake_clock = true;
  Engine engine(GAME_CONFIG); // 30 frames a second
  // Work in the frame (ms), the sleep asked for (0: none), the clock after the frame.
  // clang-format off
  const int frames[][3] = {{10, 23, 1034}, {10, 22, 1067}, {60, 0, 1127}, {10, 23, 1161}};
  // clang-format on
  for (const auto &[work, sleep, after] : frames) {
    VEL_DrawBegin(), fake_now += work, sleeps.clear(), VEL_DrawEnd();
    EXPECT_EQ(std::pair(sleeps, fake_now),
              std::pair(std::vector<Uint32>(sleep > 0, sleep), Uint64(after)));
  }
  for (int i = 0; i < 30; ++i) // a second more of frames with 10 ms of work each
    VEL_DrawBegin(), fake_now += 10, VEL_DrawEnd();
  EXPECT_EQ(std::pair(fake_now, VEL_GetTick()), std::pair(Uint64{1161 + 30 * 33}, Uint64{34}));
}

// On a 4 x 3 canvas, each draw in turn and the whole canvas after it, row by row: k black,
// y yellow, g green, b blue. More points than pixels are refused whole, circles and polygons
// always. Colour components are held to 0..1, NaN taken for 0, before they become bytes.
TEST(VelShapes, PointsLinesAndRectangles) {
  VEL_Config config = test_config;
  config.display_width = 4, config.display_height = 3;
  Engine engine(config);
  const int xs[] = {0, 1, 2, 3, 0, 1, 2, 3, 0, 1, 2, 3, 0},
            ys[] = {0, 0, 0, 0, 1, 1, 1, 1, 2, 2, 2, 2, 0};
  const auto colour = [](float r, float g, float b) { VEL_DrawSetColor(r, g, b, 1.0f); };
  // clang-format off
  const std::pair<std::function<int()>, const char *> draws[] = {
      {[&] { return colour(1, 1, 0), VEL_DrawPoints(xs, ys, 13); }, "kkkk kkkk kkkk"},
      {[&] { return VEL_DrawRectangle(false, 0, 0, 4, 3); }, "yyyy ykky yyyy"},
      {[&] { return colour(0, 1, 0), VEL_DrawLine(1, 1, 2, 1); }, "yyyy yggy yyyy"},
      {[&] { return colour(0, 0, 1), VEL_DrawRectangle(true, 2, 0, 2, 2); }, "yybb ygbb yyyy"},
      {[&] { return VEL_DrawPoint(0, 2); }, "yybb ygbb byyy"},
      {[&] { return colour(0, 1, 0), VEL_DrawPoints(xs, ys, 12); }, "gggg gggg gggg"}};
  // clang-format on
  LogCapture log;
  VEL_DrawBegin();
  for (const auto &[draw, picture] : draws) {
    EXPECT_EQ(draw(), std::string(picture) == "kkkk kkkk kkkk" ? -1 : 0);
    std::string seen;
    for (int i = 0; i < 12; ++i) {
      const Rgba p = read_pixel(i % 4, i / 4);
      seen += std::string(i > 0 && i % 4 == 0, ' ') + (p.b ? 'b' : p.r ? 'y' : p.g ? 'g' : 'k');
    }
    EXPECT_EQ(seen, picture);
  }
  EXPECT_EQ(VEL_DrawCircle(true, 1, 1, 1) + VEL_DrawPolygon(false, xs, ys, 3), -2); // both -1
  const std::string no_gfx = "VEL GFX module is disabled";
  EXPECT_EQ(log.lines(), (Lines{"13 > 12", no_gfx, no_gfx}));
  const std::pair<std::array<float, 4>, Rgba> colours[] = {
      {{1.2f, -0.2f, NAN, 0.5f}, {255, 0, 0, 127}},
      {{0.4f, 0.3f, INFINITY, -INFINITY}, {102, 76, 255, 0}}};
  for (const auto &[rgba, bytes] : colours) {
    Rgba set{};
    EXPECT_EQ(VEL_DrawSetColor(rgba[0], rgba[1], rgba[2], rgba[3]), 0);
    SDL_GetRenderDrawColor(SDL_GetRenderer(test_window()), &set.r, &set.g, &set.b, &set.a);
    EXPECT_EQ(set, bytes);
  }
}

} // namespace
