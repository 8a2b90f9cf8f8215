// Frames: colour state, clearing, presentation at a whole scale, window-to-canvas mapping,
// pacing, and the shape primitives.
#include "support.h"

#include <gtest/gtest.h>

#include <cmath>
#include <vector>

namespace {

constexpr Rgba kBlack{0, 0, 0, 255};

Rgba draw_color() {
  Rgba c{};
  SDL_GetRenderDrawColor(test_renderer(), &c.r, &c.g, &c.b, &c.a);
  return c;
}

TEST(VelColor, ComponentsBecomeBytesClampedToTheUnitRange) {
  Engine engine;
  const struct {
    float r, g, b, a;
    Rgba expected;
  } cases[] = {
      {1.0f, 1.0f, 1.0f, 1.0f, {255, 255, 255, 255}},
      {0.4f, 0.3f, 0.3f, 0.0f, {102, 76, 76, 0}},
      {0.5f, 0.0f, 1.0f, 0.5f, {127, 0, 255, 127}},
      {1.2f, -0.2f, 2.0f, NAN, {255, 0, 255, 0}},
  };
  for (const auto &c : cases) {
    VEL_DrawBegin();
    EXPECT_EQ(VEL_DrawSetColor(c.r, c.g, c.b, c.a), 0);
    EXPECT_EQ(draw_color(), c.expected);
    EXPECT_EQ(VEL_DrawClear(), 0);
    Rgba cleared = read_pixel(320, 240);
    EXPECT_EQ((Rgba{cleared.r, cleared.g, cleared.b, 0}),
              (Rgba{c.expected.r, c.expected.g, c.expected.b, 0}));
    VEL_DrawEnd();
  }
}

TEST(VelColor, RefusedColourIsLoggedAndReported) {
  { Engine engine; }
  LogCapture log;
  EXPECT_EQ(VEL_DrawSetColor(1.0f, 0.0f, 0.0f, 1.0f), -1);
  ASSERT_EQ(log.lines().size(), 1u);
  EXPECT_EQ(log.lines()[0], SDL_GetError());
}

TEST(VelFrame, BeginClearsTheCanvasToOpaqueBlack) {
  Engine engine;
  VEL_DrawBegin();
  VEL_DrawSetColor(0.0f, 1.0f, 0.0f, 1.0f);
  VEL_DrawClear();
  VEL_DrawEnd();
  VEL_DrawBegin();
  EXPECT_EQ(read_pixel(0, 0), kBlack);
  EXPECT_EQ(draw_color(), kBlack);
  VEL_DrawEnd();
}

// Presents a canvas cleared to green into a window of the given size.
void present_green(int w, int h) {
  SDL_SetWindowSize(test_window(), w, h);
  VEL_DrawBegin();
  VEL_DrawSetColor(0.0f, 1.0f, 0.0f, 1.0f);
  VEL_DrawClear();
  EXPECT_EQ(VEL_DrawEnd(), 0);
}

TEST(VelFrame, CanvasIsShownAtTheLargestWholeScaleCentred) {
  Engine engine;
  const struct {
    int w, h, scale, x, y;
  } cases[] = {
      {640, 480, 1, 0, 0},      {1300, 1000, 2, 10, 20}, {1919, 1080, 2, 319, 60},
      {1920, 1080, 2, 320, 60}, {2000, 1500, 3, 40, 30},
  };
  constexpr Rgba green{0, 255, 0, 255};
  for (const auto &c : cases) {
    SCOPED_TRACE(testing::Message() << c.w << " x " << c.h);
    present_green(c.w, c.h);
    const int right = c.x + 640 * c.scale - 1, bottom = c.y + 480 * c.scale - 1;
    EXPECT_EQ(read_pixel(c.x, c.y), green);
    EXPECT_EQ(read_pixel(right, bottom), green);
    if (c.x > 0) {
      EXPECT_EQ(read_pixel(c.x - 1, c.y), kBlack);
    }
    if (right + 1 < c.w) {
      EXPECT_EQ(read_pixel(right + 1, bottom), kBlack);
    }
    if (c.y > 0) {
      EXPECT_EQ(read_pixel(c.x, c.y - 1), kBlack);
    }
    int x = c.x + c.scale, y = c.y + c.scale;
    VEL_ScreenTransform(&x, &y);
    EXPECT_EQ(x, 1);
    EXPECT_EQ(y, 1);
  }
  EXPECT_EQ(VEL_GetTick(), std::size(cases));
}

TEST(VelFrame, TooSmallWindowShowsOnlyBlackAndMapsNothing) {
  Engine engine;
  present_green(639, 480);
  EXPECT_EQ(read_pixel(0, 0), kBlack);
  EXPECT_EQ(read_pixel(319, 240), kBlack);
  int x = 100, y = 50;
  VEL_ScreenTransform(&x, &y);
  EXPECT_EQ(x, 100);
  EXPECT_EQ(y, 50);
}

TEST(VelTransform, MapsWindowPointsToCanvasPixels) {
  Engine engine;
  int x = 321, y = 61;
  VEL_ScreenTransform(&x, &y);
  EXPECT_EQ(x, 321) << "identity before the first frame";
  present_green(1920, 1080);
  const struct {
    int wx, wy, cx, cy;
  } cases[] = {
      {321, 61, 0, 0},  {1599, 1019, 639, 479}, {319, 60, 0, 0},
      {318, 60, -1, 0}, {960, 540, 320, 240},
  };
  for (const auto &c : cases) {
    x = c.wx;
    y = c.wy;
    VEL_ScreenTransform(&x, &y);
    EXPECT_EQ(x, c.cx) << c.wx;
    EXPECT_EQ(y, c.cy) << c.wy;
  }
  x = 1599;
  VEL_ScreenTransform(&x, nullptr);
  EXPECT_EQ(x, 639);
  y = 1019;
  VEL_ScreenTransform(nullptr, &y);
  EXPECT_EQ(y, 479);
}

// With a stretched canvas a click still lands on the canvas pixel shown under it.
TEST(VelTransform, StretchedCanvasMapsBackByTheStretch) {
  VEL_Config config = test_config();
  config.ratio = 16.0 / 9.0;
  Engine engine(config);
  present_green(853, 480);
  const struct { int wx, cx; } cases[] = {{0, 0}, {426, 319}, {852, 639}};
  for (const auto &c : cases) {
    int x = c.wx, y = 7;
    VEL_ScreenTransform(&x, &y);
    EXPECT_EQ(x, c.cx);
    EXPECT_EQ(y, 7);
  }
}

// The pacing sleeps until each deadline, and a late frame re-anchors the cadence at its own
// end instead of hurrying to catch up. Only lower bounds are checked: a sleep never ends early.
TEST(VelPacing, FramesWaitForTheirDeadlines) {
  VEL_Config config = test_config();
  config.target_fps = 30;
  Engine engine(config);
  const uint64_t start = SDL_GetTicks64();
  VEL_DrawBegin();
  VEL_DrawEnd();
  EXPECT_GE(SDL_GetTicks64(), start + 33);
  SDL_Delay(70); // the second frame misses its deadline
  VEL_DrawBegin();
  const uint64_t late_check = SDL_GetTicks64();
  VEL_DrawEnd();
  VEL_DrawBegin();
  VEL_DrawEnd();
  EXPECT_GE(SDL_GetTicks64(), late_check + 33);
  EXPECT_EQ(VEL_GetTick(), 3u);
}

TEST(VelFrame, ToggleFullscreenTwiceReturnsToTheWindow) {
  Engine engine;
  VEL_ToggleFullscreen();
  EXPECT_TRUE(SDL_GetWindowFlags(test_window()) & SDL_WINDOW_FULLSCREEN_DESKTOP);
  VEL_ToggleFullscreen();
  EXPECT_FALSE(SDL_GetWindowFlags(test_window()) & SDL_WINDOW_FULLSCREEN);
}

TEST(VelShapes, PointsUpToOnePerCanvasPixel) {
  Engine engine;
  LogCapture log;
  std::vector<int> xs(640 * 480 + 1), ys(640 * 480 + 1);
  for (int i = 0; i < 640 * 480 + 1; ++i) {
    xs[i] = i % 640;
    ys[i] = i / 640 % 480;
  }
  VEL_DrawBegin();
  EXPECT_EQ(VEL_DrawPoints(xs.data(), ys.data(), 640 * 480 + 1), -1);
  EXPECT_EQ(log.lines(), std::vector<std::string>{"307201 > 307200"});
  EXPECT_EQ(read_pixel(639, 479), kBlack) << "nothing drawn";
  VEL_DrawSetColor(1.0f, 1.0f, 0.0f, 1.0f);
  EXPECT_EQ(VEL_DrawPoints(xs.data(), ys.data(), 640 * 480), 0);
  EXPECT_EQ(read_pixel(0, 0), (Rgba{255, 255, 0, 255}));
  EXPECT_EQ(read_pixel(639, 479), (Rgba{255, 255, 0, 255}));
  EXPECT_EQ(VEL_DrawPoints(xs.data(), ys.data(), 0), 0);
  VEL_DrawEnd();
}

TEST(VelShapes, LinesRectanglesAndPointsDrawInTheCurrentColour) {
  Engine engine;
  constexpr Rgba red{255, 0, 0, 255};
  VEL_DrawBegin();
  EXPECT_EQ(VEL_DrawRectangle(false, 10, 10, 20, 20), 0) << "black right after begin";
  VEL_DrawSetColor(1.0f, 0.0f, 0.0f, 1.0f);
  EXPECT_EQ(VEL_DrawRectangle(false, 100, 100, 20, 10), 0);
  EXPECT_EQ(VEL_DrawRectangle(true, 200, 100, 20, 10), 0);
  EXPECT_EQ(VEL_DrawLine(300, 50, 310, 50), 0);
  EXPECT_EQ(VEL_DrawPoint(400, 400), 0);
  EXPECT_EQ(read_pixel(100, 100), red);
  EXPECT_EQ(read_pixel(119, 109), red);
  EXPECT_EQ(read_pixel(110, 105), kBlack) << "an outline leaves its inside alone";
  EXPECT_EQ(read_pixel(210, 105), red);
  EXPECT_EQ(read_pixel(219, 109), red);
  EXPECT_EQ(read_pixel(220, 110), kBlack);
  EXPECT_EQ(read_pixel(305, 50), red);
  EXPECT_EQ(read_pixel(400, 400), red);
  EXPECT_EQ(read_pixel(15, 10), kBlack);
  VEL_DrawEnd();
}

TEST(VelShapes, CircleAndPolygonAreSwitchedOff) {
  Engine engine;
  LogCapture log;
  const int xs[] = {0, 10, 0}, ys[] = {0, 0, 10};
  EXPECT_EQ(VEL_DrawCircle(true, 100, 100, 10), -1);
  EXPECT_EQ(VEL_DrawPolygon(false, xs, ys, 3), -1);
  EXPECT_EQ(log.count("VEL GFX module is disabled"), 2);
}

} // namespace
