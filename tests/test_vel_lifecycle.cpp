// Engine start-up and shutdown.
#include "support.h"

namespace {

// Configurations refused before SDL is touched, each with its one log line.
TEST(VelInit, RefusesUnusableConfigurationsBeforeAnySdlCall) {
  // clang-format off
  for (const auto &[w, h, ratio, line] : {std::tuple{0u, 480u, 0.0, "display_width can't be 0"},
           {640u, 0u, 0.0, "display_height can't be 0"},
           {640u, 480u, 0.001, "ratio 0.001000 is too small"}}) {
    // clang-format on
    LogCapture log;
    const VEL_Config config{w, h, 0, 16, "pordeck", ratio, true, true};
    EXPECT_EQ(VEL_Init(&config), -1);
    EXPECT_EQ(log.lines(), std::vector<std::string>{line});
    EXPECT_EQ(SDL_WasInit(SDL_INIT_EVERYTHING), 0u);
    VEL_Quit();
  }
}

// The window is the canvas stretched to the ratio; a missing title becomes "VEL".
TEST(VelInit, WindowTitleAndWidth) {
  // clang-format off
  for (const auto &[title, ratio, width] :
       {std::tuple<const char *, double, int>{nullptr, 0.0, 640}, {"pordeck", -2.0, 640},
        {"pordeck", 16.0 / 9.0, 853}, {"pordeck", 4.0 / 3.0, 639}}) {
    // clang-format on
    LogCapture log;
    Engine engine(VEL_Config{640, 480, 0, 16, title, ratio, true, true});
    int w = 0, h = 0;
    SDL_GetWindowSize(test_window(), &w, &h);
    EXPECT_EQ(std::pair(w, h), std::pair(width, 480)) << ratio;
    EXPECT_STREQ(SDL_GetWindowTitle(test_window()), title ? title : "VEL");
    EXPECT_EQ(log.lines(),
              std::vector<std::string>(title ? 0 : 1, "title is NULL, defaulting to 'VEL'"));
  }
}

// A start that fails half way is logged; quitting after it, twice over, shuts SDL down.
TEST(VelInit, AudioDeviceFailureIsLoggedAndQuitCleansUp) {
  setenv("SDL_AUDIODRIVER", "no-such-driver", 1);
  LogCapture log;
  EXPECT_EQ(VEL_Init(&test_config), -1);
  EXPECT_EQ(log.lines(), std::vector<std::string>{SDL_GetError()});
  EXPECT_NE(SDL_WasInit(SDL_INIT_VIDEO), 0u);
  VEL_Quit();
  VEL_Quit();
  EXPECT_EQ(SDL_WasInit(SDL_INIT_EVERYTHING), 0u);
}

} // namespace
