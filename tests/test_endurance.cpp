// A seeded random player on the real game, pacing off: it moves, clicks, holds the button,
// drags the window to sizes below the canvas (nothing shown), odd and large ones, and
// switches full screen on and off. After every frame the game's bookkeeping must agree with
// the pool; a round that ends starts afresh. PORDECK_ENDURANCE_FRAMES sets the frame count.
#include "kinds.h"
#include "scene.h"

#include <SDL_mixer.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <random>
#include <sys/resource.h>

namespace {

constexpr int kLevelObjects = 144;
constexpr int kDefaultFrames = 5000;
// Window sizes the player drags to: below the canvas (scale 0), odd and large ones; {0, 0}
// is a press of F11, full screen on or off.
constexpr SDL_Point kShapes[] = {{320, 200},  {639, 479},  {900, 300},   {640, 480}, {641, 481},
                                 {1000, 700}, {1280, 960}, {1920, 1440}, {0, 0},     {0, 0}};

class Endurance : public testing::Test {
protected:
  static long peak_memory_kb() {
    rusage use{};
    return getrusage(RUSAGE_SELF, &use) ? 0 : use.ru_maxrss;
  }

  // One frame made by `act`, then every invariant; a round whose clocks are all hit ends.
  template <typename Act> void play(Act act) {
    int standing_before = destructibles, standing = 0, clocks_hit = 0;
    act();
    ++frames;
    for (int i = 0; i < GAME_MAX_ENTITIES; ++i) {
      const Entity &e = scene.slot(i);
      ASSERT_TRUE(i < kLevelObjects || e.type == 0) << "slot " << i << ", frame " << frames;
      standing += e.type == box || (e.type == window && !e.destroyed);
      if (e.type == alarm) {
        ASSERT_EQ(e.x == -100 && e.y == -100, standing_before > 0) // parked
            << "clock " << i << " at (" << e.x << ", " << e.y << "), frame " << frames;
        clocks_hit += e.destroyed ? 1 : 0;
      }
    }
    ASSERT_EQ(destructibles, standing) << "frame " << frames;
    ASSERT_EQ(Mix_PlayingMusic() == 1, clocks_hit == 0) << "frame " << frames;
    // Pacing is off, so the sounds pile up; nothing else may complain.
    ASSERT_EQ(log.count("No free channels available"), static_cast<int>(log.lines().size()))
        << testing::PrintToString(log.lines());
    log.clear();
    if (clocks_hit == 3) {
      game_restart_scene(&scene.game());
      ++rounds;
    }
  }

  // A window position, some of them just outside the window.
  SDL_Point anywhere() {
    return {static_cast<int>(random() % (size.x + 40)) - 20,
            static_cast<int>(random() % (size.y + 40)) - 20};
  }

  // Presses where a prop (or, once none stands, a clock) is hit, or anywhere when it is
  // hidden under others; the button then stays down for a few frames, now and then long.
  void press(int roll) {
    int t = static_cast<int>(random() % kLevelObjects);
    for (int n = 0; n < kLevelObjects && !(scene.slot(t).type && scene.slot(t).smash); ++n) {
      t = (t + 1) % kLevelObjects;
    }
    SDL_Point at = anywhere();
    if (topmost_point(scene.game(), scene.slot(t), at.x, at.y)) {
      const int s = std::min(size.x / GAME_WIDTH, size.y / GAME_HEIGHT); // 0: not scaled
      at = {s ? (size.x - GAME_WIDTH * s) / 2 + at.x * s : at.x,
            s ? (size.y - GAME_HEIGHT * s) / 2 + at.y * s : at.y};
    }
    play([&] { scene.press(at.x, at.y); });
    held = 1 + (roll % 10 == 0 ? roll / 10 % 60 : roll % 3);
  }

  void reshape(SDL_Point shape) {
    if (shape.x > 0) {
      SDL_SetWindowSize(test_window(), shape.x, shape.y);
    } else {
      push_key(SDL_SCANCODE_F11, true);
      push_key(SDL_SCANCODE_F11, false);
    }
    play([&] { scene.frame(); });
  }

  void step() {
    SDL_GetWindowSize(test_window(), &size.x, &size.y);
    const int roll = static_cast<int>(random() % 1000);
    const SDL_Point to = anywhere();
    if (held > 0) { // the mouse wanders while the button is down, then lets go
      --held == 0  ? play([&] { scene.release(); })
      : roll < 300 ? play([&] { scene.move(to.x, to.y); })
                   : play([&] { scene.frame(); });
    } else if (roll < 8) {
      reshape(kShapes[random() % std::size(kShapes)]);
    } else {
      roll < 700 ? press(roll) : play([&] { scene.move(to.x, to.y); });
    }
  }

  LogCapture log;
  Scene scene;
  std::mt19937 random{20260};
  const int32_t box = entity_type("box"), window = entity_type("window");
  const int32_t alarm = entity_type("alarm");
  SDL_Point size{}; // of the window
  int frames = 0, rounds = 0, held = 0;
};

TEST_F(Endurance, ARandomPlayerKeepsTheGameConsistent) {
  const char *wanted = std::getenv("PORDECK_ENDURANCE_FRAMES");
  const int total = wanted && std::atoi(wanted) > 0 ? std::atoi(wanted) : kDefaultFrames;
  // Every window shape early, so the memory peak they need is reached then.
  std::for_each(std::begin(kShapes), std::end(kShapes), [&](SDL_Point s) { reshape(s); });
  long warm_peak = 0;
  while (frames < total && !HasFatalFailure()) {
    step();
    warm_peak = frames == 1000 ? peak_memory_kb() : warm_peak; // the peak once warmed up
  }
  EXPECT_GE(rounds, total / kDefaultFrames) << "a round ends every few thousand frames";
  // Under AddressSanitizer the process grows by itself (freed blocks held back, allocation
  // stacks kept for its reports); there its leak checker watches memory instead.
#ifndef __SANITIZE_ADDRESS__
  EXPECT_TRUE(warm_peak == 0 || peak_memory_kb() <= warm_peak) << peak_memory_kb() << " kB";
#endif
  std::printf("%d frames, %d rounds, peak memory %ld kB at frame 1000, %ld kB at the end\n", frames,
              rounds, warm_peak, peak_memory_kb());
}

} // namespace
