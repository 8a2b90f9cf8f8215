// Engine start-up and shutdown.
#include "support.h"

#include <gtest/gtest.h>

namespace {

// Configurations refused before SDL is touched, each with its one log line.
TEST(VelInit, RefusesUnusableConfigurationsBeforeAnySdlCall) {
  const struct {
    uint32_t width, height;
    double ratio;
    const char *line;
  } cases[] = {{0, 480, 0.0, "display_width can't be 0"},
               {640, 0, 0.0, "display_height can't be 0"},
               {640, 480, 0.001, "ratio 0.001000 is too small"}};
  for (const auto &c : cases) {
    LogCapture log;
    const VEL_Config config{c.width, c.height, 0, 16, "pordeck", c.ratio, true, true};
    EXPECT_EQ(VEL_Init(&config), -1);
    EXPECT_EQ(log.lines(), std::vector<std::string>{c.line});
    EXPECT_EQ(SDL_WasInit(SDL_INIT_EVERYTHING), 0u);
    VEL_Quit();
  }
}

// The window is the canvas stretched to the ratio; a missing title becomes "VEL".
TEST(VelInit, WindowTitleAndWidth) {
  const struct {
    const char *title;
    double ratio;
    int width;
  } cases[] = {{nullptr, 0.0, 640},
               {"pordeck", -2.0, 640},
               {"pordeck", 16.0 / 9.0, 853},
               {"pordeck", 4.0 / 3.0, 639}};
  for (const auto &c : cases) {
    LogCapture log;
    Engine engine(VEL_Config{640, 480, 0, 16, c.title, c.ratio, true, true});
    int w = 0, h = 0;
    SDL_GetWindowSize(test_window(), &w, &h);
    EXPECT_EQ(w, c.width) << c.ratio;
    EXPECT_EQ(h, 480);
    EXPECT_STREQ(SDL_GetWindowTitle(test_window()), c.title ? c.title : "VEL");
    EXPECT_EQ(log.count("title is NULL, defaulting to 'VEL'"), c.title ? 0 : 1);
  }
}

// A start that fails half way is logged; quitting after it, twice over, shuts SDL down.
TEST(VelInit, AudioDeviceFailureIsLoggedAndQuitCleansUp) {
  setenv("SDL_AUDIODRIVER", "no-such-driver", 1);
  LogCapture log;
  const VEL_Config config = test_config();
  EXPECT_EQ(VEL_Init(&config), -1);
  EXPECT_EQ(log.lines(), std::vector<std::string>{SDL_GetError()});
  EXPECT_NE(SDL_WasInit(SDL_INIT_VIDEO), 0u);
  VEL_Quit();
  VEL_Quit();
  EXPECT_EQ(SDL_WasInit(SDL_INIT_EVERYTHING), 0u);
}

} // namespace
