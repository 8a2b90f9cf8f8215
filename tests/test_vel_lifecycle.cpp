// Engine start-up and shutdown.
#include "support.h"

#include <cmath>

namespace {

VEL_Config with(uint32_t w, uint32_t h, double ratio, const char *title = "pordeck",
                bool hide_cursor = true) {
  VEL_Config config = test_config;
  config.display_width = w, config.display_height = h, config.ratio = ratio;
  config.title = title, config.hide_cursor = hide_cursor;
  return config;
}

// Configurations refused before SDL is touched, each with its one log line.
TEST(VelInit, RefusesUnusableConfigurationsBeforeAnySdlCall) {
  // clang-format off
  for (const auto &[config, line] : {std::pair{with(0, 0, 0.0), "display_width can't be 0"},
           {with(640, 0, 0.0), "display_height can't be 0"},
           {with(640, 480, 0.001), "ratio 0.001000 is too small"}, {with(640, 480, NAN), "ratio nan is too small"},
           {with(640, 480, 1e10), "ratio 10000000000.000000 is too large"}, // wider than SDL's windows
           {with(640, 480, INFINITY), "ratio inf is too large"}}) {
    // clang-format on
    LogCapture log;
    EXPECT_EQ(VEL_Init(&config), -1);
    EXPECT_EQ(log.lines(), Lines{line});
    EXPECT_EQ(SDL_WasInit(SDL_INIT_EVERYTHING), 0u);
    VEL_Quit();
  }
}

// The window is the canvas stretched to the ratio; a missing title becomes "VEL"; the system
// cursor is hidden when asked.
TEST(VelInit, WindowTitleWidthAndCursor) {
  // clang-format off
  for (const auto &[title, ratio, width, hide] : {std::tuple<const char *, double, int, bool>{
           nullptr, 0.0, 640, true}, {"pordeck", -2.0, 640, false},
           {"pordeck", 16.0 / 9.0, 853, true}, {"pordeck", 4.0 / 3.0, 639, true}}) {
    // clang-format on
    LogCapture log;
    Engine engine(with(640, 480, ratio, title, hide));
    int w = 0, h = 0;
    SDL_GetWindowSize(test_window(), &w, &h);
    EXPECT_EQ(std::pair(w, h), std::pair(width, 480)) << ratio;
    EXPECT_STREQ(SDL_GetWindowTitle(test_window()), title ? title : "VEL");
    EXPECT_EQ(log.lines(), Lines(title ? 0 : 1, "title is NULL, defaulting to 'VEL'"));
    EXPECT_EQ(SDL_ShowCursor(SDL_QUERY), hide ? SDL_DISABLE : SDL_ENABLE);
  }
}

} // namespace
