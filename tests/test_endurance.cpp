// A seeded random player on the real game, pacing off: it moves, clicks, holds the button,
// drags the window to sizes below the canvas (nothing shown), odd and large ones, and
// switches full screen on and off. After every frame the game's bookkeeping must agree with
// the pool; a round that ends starts afresh. PORDECK_ENDURANCE_FRAMES sets the frame count.
#include "kinds.h"
#include "scene.h"

#include <SDL_mixer.h>

#include <cstdio>
#include <cstdlib>
#include <random>
#include <sys/resource.h>

namespace {

constexpr int kLevelObjects = 144, kDefaultFrames = 5000;
constexpr int32_t WINDOW = 1, BOX = 3, ALARM = 4; // type ids, in registration order
// Window sizes the player drags to: below the canvas (scale 0), odd and large ones; {0, 0}
// is a press of F11, full screen on or off.
constexpr SDL_Point kShapes[] = {{320, 200},  {639, 479},  {900, 300},   {640, 480}, {641, 481},
                                 {1000, 700}, {1280, 960}, {1920, 1440}, {0, 0},     {0, 0}};

int peak_memory_kb() {
  rusage use{};
  return getrusage(RUSAGE_SELF, &use) ? 0 : static_cast<int>(use.ru_maxrss);
}

TEST(Endurance, ARandomPlayerKeepsTheGameConsistent) {
  const char *wanted = std::getenv("PORDECK_ENDURANCE_FRAMES");
  const int total = wanted && std::atoi(wanted) > 0 ? std::atoi(wanted) : kDefaultFrames;
  LogCapture log;
  Scene scene;
  std::mt19937 random{20260};
  SDL_Point size{}; // of the window
  int frames = 0, rounds = 0, held = 0, standing_before = destructibles, warm_peak = 0;
  // Every invariant after a frame; a round whose clocks are all hit ends.
  const auto check = [&] {
    SCOPED_TRACE(testing::Message() << "frame " << ++frames);
    int standing = 0, clocks_hit = 0;
    for (int i = 0; i < GAME_MAX_ENTITIES; ++i) {
      const Entity &e = scene.slot(i);
      ASSERT_TRUE(i < kLevelObjects || e.type == 0) << "slot " << i;
      standing += e.type == BOX || (e.type == WINDOW && !e.destroyed);
      ASSERT_TRUE(e.type != ALARM || (e.x == -100 && e.y == -100) == (standing_before > 0))
          << "clock " << i << " at " << e.x << ", " << e.y << "; props were " << standing_before;
      clocks_hit += e.type == ALARM && e.destroyed;
    }
    ASSERT_EQ(destructibles, standing);
    ASSERT_EQ(Mix_PlayingMusic() == 1, clocks_hit == 0);
    // Pacing is off, so the sounds pile up; nothing else may complain.
    ASSERT_EQ(log.lines(),
              std::vector<std::string>(log.lines().size(), "No free channels available"));
    log.clear();
    if (clocks_hit == 3)
      game_restart_scene(&scene.game()), ++rounds;
    standing_before = destructibles;
  };
  // The window resized, or F11 pressed for {0, 0}; then a frame.
  const auto reshape = [&](SDL_Point shape) {
    if (shape.x > 0)
      SDL_SetWindowSize(test_window(), shape.x, shape.y);
    else
      push_key(SDL_SCANCODE_F11, true), push_key(SDL_SCANCODE_F11, false);
    scene.frame();
  };
  // Every window shape early, so the memory peak they need is reached then.
  for (const SDL_Point &shape : kShapes)
    reshape(shape), check();
  while (frames < total && !HasFatalFailure()) {
    SDL_GetWindowSize(test_window(), &size.x, &size.y);
    const int roll = static_cast<int>(random() % 1000);
    // A window position, some of them just outside the window.
    SDL_Point to{int(random() % (size.x + 40)) - 20, int(random() % (size.y + 40)) - 20};
    if (held > 0) { // the mouse wanders while the button is down, then lets go
      --held == 0 ? scene.release() : roll < 300 ? scene.move(to.x, to.y) : scene.frame();
    } else if (roll < 8) {
      reshape(kShapes[random() % std::size(kShapes)]);
    } else if (roll < 300) {
      scene.move(to.x, to.y);
    } else {
      // A press where a prop (or, once none stands, a clock) is hit, or anywhere when it is
      // hidden under others; the button then stays down for a few frames, now and then long.
      int t = static_cast<int>(random() % kLevelObjects);
      for (int n = 0; n < kLevelObjects && !scene.slot(t).smash; ++n)
        t = (t + 1) % kLevelObjects;
      const int s = std::min(size.x / GAME_WIDTH, size.y / GAME_HEIGHT);   // 0: nothing is shown
      if (topmost_point(scene.game(), scene.slot(t), to.x, to.y) && s > 0) // canvas to window
        to = {(size.x - GAME_WIDTH * s) / 2 + to.x * s, (size.y - GAME_HEIGHT * s) / 2 + to.y * s};
      scene.press(to.x, to.y);
      held = 1 + (roll % 10 == 0 ? roll / 10 % 60 : roll % 3);
    }
    check();
    warm_peak = frames == 1000 ? peak_memory_kb() : warm_peak; // the peak once warmed up
  }
  EXPECT_GE(rounds, total / kDefaultFrames) << "a round ends every few thousand frames";
  // Under AddressSanitizer the process grows by itself (freed blocks held back, allocation
  // stacks kept for its reports); there its leak checker watches memory instead.
#ifndef __SANITIZE_ADDRESS__
  EXPECT_TRUE(warm_peak == 0 || peak_memory_kb() <= warm_peak) << peak_memory_kb() << " kB";
#endif
  std::printf("%d frames, %d rounds, peak memory %d kB at frame 1000, %d kB at the end\n", frames,
              rounds, warm_peak, peak_memory_kb());
}

} // namespace
