// Frames: the colour state, presentation at a whole scale, the window-to-canvas mapping,
// pacing and the shape primitives, read back from the canvas and the window.
#include "support.h"

#include <cmath>

namespace {

constexpr Rgba kBlack{0, 0, 0, 255}, kGreen{0, 255, 0, 255};

// Components become bytes, clamped to 0..1 with NaN as 0; a clear fills the canvas with them.
TEST(VelColor, ComponentsBecomeClampedBytes) {
  Engine engine;
  VEL_DrawBegin();
  for (const auto &[r, g, b, a, expected] :
       {std::tuple{0.4f, 0.3f, 0.3f, 0.0f, Rgba{102, 76, 76, 0}},
        {1.2f, -0.2f, NAN, 0.5f, Rgba{255, 0, 0, 127}}}) {
    EXPECT_EQ(VEL_DrawSetColor(r, g, b, a), 0);
    EXPECT_EQ(VEL_DrawClear(), 0);
    Rgba got = read_pixel(320, 240); // the alpha of the draw colour, as the canvas has none
    SDL_GetRenderDrawColor(SDL_GetRenderer(test_window()), nullptr, nullptr, nullptr, &got.a);
    EXPECT_EQ(got, expected) << r << " " << g << " " << b << " " << a;
  }
}

// Presents a canvas cleared to green into a window of the given size.
void present_green(int w, int h) {
  SDL_SetWindowSize(test_window(), w, h);
  VEL_DrawBegin();
  VEL_DrawSetColor(0.0f, 1.0f, 0.0f, 1.0f);
  VEL_DrawClear();
  EXPECT_EQ(VEL_DrawEnd(), 0);
}

// Maps a window point through VEL_ScreenTransform.
std::pair<int, int> mapped(int x, int y) {
  VEL_ScreenTransform(&x, &y);
  return {x, y};
}

// The largest whole scale that fits, centred, the odd pixel on the right and bottom; clicks
// map back through it, truncated toward zero. A window too small for scale 1 shows nothing
// and maps nothing.
TEST(VelFrame, CanvasIsShownAtTheLargestWholeScaleCentred) {
  Engine engine;
  // Window size; the scale, the canvas's top-left corner; where the pixel before it maps.
  // clang-format off
  const int cases[][6] = {{640, 480, 1, 0, 0, -1}, {1300, 1000, 2, 10, 20, 0}, {1919, 1080, 2, 319, 60, 0},
                          {1920, 1080, 2, 320, 60, 0}, {2000, 1500, 3, 40, 30, 0}};
  // clang-format on
  for (const auto &[w, h, scale, left, top, before] : cases) {
    SCOPED_TRACE(testing::Message() << w << " x " << h);
    present_green(w, h);
    const int right = left + 640 * scale - 1, bottom = top + 480 * scale - 1;
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
}

// With a stretched canvas a click still lands on the canvas pixel shown under it.
TEST(VelFrame, StretchedCanvasMapsBackByTheStretch) {
  Engine engine(VEL_Config{640, 480, 0, 16, "pordeck", 16.0 / 9.0, true, true});
  present_green(853, 480);
  for (const auto &[wx, wy, x, y] :
       {std::array{0, 7, 0, 7}, {426, 7, 319, 7}, {852, 479, 639, 479}})
    EXPECT_EQ(mapped(wx, wy), std::pair(x, y));
}

// Each frame waits for its deadline; a late frame re-anchors the cadence at its own end.
// Only lower bounds: a sleep never ends early.
TEST(VelPacing, FramesWaitForTheirDeadlines) {
  // Read before the engine starts, and so before its first deadline is set (SDL_Init keeps
  // the clock that this first read starts).
  const uint64_t start = SDL_GetTicks64();
  Engine engine(VEL_Config{640, 480, 30, 16, "pordeck", 0.0, true, true});
  VEL_DrawBegin(), VEL_DrawEnd();
  EXPECT_GE(SDL_GetTicks64(), start + 33);
  SDL_Delay(70); // the second frame misses its deadline
  VEL_DrawBegin();
  const uint64_t late = SDL_GetTicks64();
  VEL_DrawEnd();
  VEL_DrawBegin(), VEL_DrawEnd();
  EXPECT_GE(SDL_GetTicks64(), late + 33);
  EXPECT_EQ(VEL_GetTick(), 3u);
}

// On a 4 x 3 canvas: twelve points are drawn, thirteen are refused whole.
TEST(VelShapes, PointsUpToOnePerCanvasPixel) {
  Engine engine(VEL_Config{4, 3, 0, 16, "pordeck", 0.0, true, true});
  LogCapture log;
  const int xs[] = {0, 1, 2, 3, 0, 1, 2, 3, 0, 1, 2, 3, 0},
            ys[] = {0, 0, 0, 0, 1, 1, 1, 1, 2, 2, 2, 2, 0};
  VEL_DrawBegin();
  VEL_DrawSetColor(1.0f, 1.0f, 0.0f, 1.0f);
  EXPECT_EQ(VEL_DrawPoints(xs, ys, 13), -1);
  EXPECT_EQ(read_pixel(0, 0), kBlack) << "nothing drawn";
  EXPECT_EQ(VEL_DrawPoints(xs, ys, 12), 0);
  EXPECT_EQ(read_pixel(3, 2), (Rgba{255, 255, 0, 255}));
  EXPECT_EQ(std::pair(VEL_DrawCircle(true, 1, 1, 1), VEL_DrawPolygon(false, xs, ys, 3)),
            std::pair(-1, -1));
  EXPECT_EQ(log.lines(), (std::vector<std::string>{"13 > 12", "VEL GFX module is disabled",
                                                   "VEL GFX module is disabled"}));
}

} // namespace
