// Engine start-up, shutdown and asset paths.
#include "support.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

namespace {

struct Refusal {
  uint32_t width, height;
  double ratio;
  const char *line;
};

// Configurations the engine must refuse before touching SDL, each with its one log line.
TEST(VelInit, RefusesUnusableConfigurationsBeforeAnySdlCall) {
  const Refusal refusals[] = {
      {0, 0, 0.0, "display_width can't be 0"},
      {0, 480, 0.0, "display_width can't be 0"},
      {640, 0, 0.0, "display_height can't be 0"},
      {640, 480, 0.001, "ratio 0.001000 is too small"},
  };
  for (const Refusal &refusal : refusals) {
    LogCapture log;
    VEL_Config config = test_config();
    config.display_width = refusal.width;
    config.display_height = refusal.height;
    config.ratio = refusal.ratio;
    EXPECT_EQ(VEL_Init(&config), -1);
    EXPECT_EQ(log.lines(), std::vector<std::string>{refusal.line});
    EXPECT_EQ(SDL_WasInit(SDL_INIT_EVERYTHING), 0u);
    VEL_Quit();
  }
}

TEST(VelInit, NullTitleBecomesVel) {
  LogCapture log;
  VEL_Config config = test_config();
  config.title = nullptr;
  Engine engine(config);
  EXPECT_EQ(log.lines(), std::vector<std::string>{"title is NULL, defaulting to 'VEL'"});
  EXPECT_STREQ(SDL_GetWindowTitle(test_window()), "VEL");
}

TEST(VelInit, WindowWidthFollowsTheAspectRatio) {
  const struct {
    double ratio;
    int width;
  } cases[] = {{0.0, 640}, {-2.0, 640}, {16.0 / 9.0, 853}, {4.0 / 3.0, 639}};
  for (const auto &c : cases) {
    VEL_Config config = test_config();
    config.ratio = c.ratio;
    Engine engine(config);
    int w = 0, h = 0;
    SDL_GetWindowSize(test_window(), &w, &h);
    EXPECT_EQ(w, c.width) << "ratio " << c.ratio;
    EXPECT_EQ(h, 480);
    EXPECT_TRUE(SDL_GetWindowFlags(test_window()) & SDL_WINDOW_RESIZABLE);
  }
}

TEST(VelInit, StartsWithOpaqueWhiteAndHiddenCursor) {
  Engine engine;
  Uint8 r, g, b, a;
  SDL_GetRenderDrawColor(test_renderer(), &r, &g, &b, &a);
  EXPECT_EQ((Rgba{r, g, b, a}), (Rgba{255, 255, 255, 255}));
  EXPECT_EQ(SDL_ShowCursor(SDL_QUERY), SDL_DISABLE);
  EXPECT_EQ(VEL_GetTick(), 0u);
  EXPECT_FALSE(VEL_ShouldQuit());
}

TEST(VelInit, AudioDeviceFailureIsReportedAndQuitCleansUp) {
  setenv("SDL_AUDIODRIVER", "no-such-driver", 1);
  LogCapture log;
  VEL_Config config = test_config();
  EXPECT_EQ(VEL_Init(&config), -1);
  ASSERT_EQ(log.lines().size(), 1u);
  EXPECT_EQ(log.lines()[0], SDL_GetError());
  VEL_Quit();
  VEL_Quit();
  EXPECT_EQ(SDL_WasInit(SDL_INIT_EVERYTHING), 0u);
}

// A window SDL refuses stops start-up after the base path was taken: quitting frees that
// and shuts SDL down, twice over without harm.
TEST(VelInit, FailureAtTheWindowStepLeavesOnlyTheBasePath) {
  LogCapture log;
  VEL_Config config = test_config();
  config.display_width = 20000;
  config.display_height = 2;
  EXPECT_EQ(VEL_Init(&config), -1);
  ASSERT_EQ(log.lines().size(), 1u);
  EXPECT_EQ(log.lines()[0], SDL_GetError());
  EXPECT_EQ(test_window(), nullptr);
  char *path = VEL_PathPrefix("res/box.bmp");
  EXPECT_EQ(std::string(path), exe_dir() + "res/box.bmp");
  std::free(path);
  VEL_Quit();
  VEL_Quit();
  EXPECT_EQ(SDL_WasInit(SDL_INIT_EVERYTHING), 0u);
}

TEST(VelPathPrefix, PrefixesTheExecutableDirectoryWhileRunning) {
  LogCapture log;
  {
    Engine engine;
    char *path = VEL_PathPrefix("res/cursor.bmp");
    EXPECT_EQ(std::string(path), exe_dir() + "res/cursor.bmp");
    std::free(path);
    EXPECT_EQ(VEL_PathPrefix(nullptr), nullptr);
    EXPECT_EQ(log.lines(), std::vector<std::string>{"path is NULL"});
  }
  log.clear();
  char *copy = VEL_PathPrefix("res/cursor.bmp");
  EXPECT_STREQ(copy, "res/cursor.bmp");
  std::free(copy);
  EXPECT_EQ(log.lines(), std::vector<std::string>{"basepath is NULL"});
}

TEST(VelProgram, ExitsWithOneWhenTheEngineCannotStart) {
  ProcessResult result = run_process({exe_dir() + "pordeck"}, {"SDL_VIDEODRIVER=no-such-driver"});
  EXPECT_EQ(result.exit_code, 1);
  EXPECT_NE(result.output.find("no-such-driver"), std::string::npos) << result.output;
}

} // namespace
