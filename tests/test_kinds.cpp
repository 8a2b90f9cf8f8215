// The four kinds on the shipped level: the cursor, the box, the window and the alarm clock.
#include "kinds.h"
#include "scene.h"

#include <SDL_mixer.h>
namespace {

constexpr int kPlayer = 143, kBox = 129, kWindow = 142; // the last box and the last window
constexpr int kClocks[] = {0, 48, 96};

// Holding the button down hits once; the flash starts at full, fades by a tenth a frame, and
// starts again with every press, hit or miss.
TEST(Player, APressFiresOnceAndFlashes) {
  Scene scene;
  Entity &box = scene.slot(kBox);
  const Entity &player = scene.slot(kPlayer);
  scene.press(box.x, box.y);
  EXPECT_EQ(std::tuple(player.x, player.y, player.flash), std::tuple(box.x, box.y, 1.0));
  for (int i = 0; i < 5; ++i)
    scene.frame();
  EXPECT_NEAR(player.flash, 0.9 * 0.9 * 0.9 * 0.9 * 0.9, 1e-12);
  EXPECT_EQ(std::pair(box.type, box.destroyed), std::pair(entity_type("box"), true))
      << "cracked only";
  scene.release();
  scene.click(100, 20); // over nothing
  EXPECT_EQ(player.flash, 0.9);
  expect_cursor(player, Rgba{255, 25, 25, 255});
  // A click quicker than a frame, down and up before the update, still fires.
  push_mouse(box.x, box.y, SDL_BUTTON_LEFT, true);
  push_mouse(box.x, box.y, SDL_BUTTON_LEFT, false);
  scene.frame();
  EXPECT_EQ(std::pair(box.type, player.flash), std::pair(0, 1.0));
}

// Where props overlap, a click smashes the one in the highest slot and nothing else; a
// shattered window stays but lets the next click through to what lies beneath.
TEST(Props, OverlapsHitTheHighestSlotAndShatteredWindowsLetClicksThrough) {
  Scene scene;
  Entity point{};
  point.x = 250, point.y = 360, point.width = point.height = 1;
  std::vector<int> under;
  for (int i = 0; i < kPlayer; ++i)
    if (scene.slot(i).smash && entity_meet(&point, &scene.slot(i)))
      under.push_back(i);
  ASSERT_EQ(under.size(), 6u) << "six boxes meet at (250, 360)";
  scene.click(250, 360);
  for (int i = 0; i < kPlayer; ++i)
    EXPECT_EQ(scene.slot(i).destroyed, i == under.back()) << "slot " << i;
  Entity &window = scene.slot(kWindow);
  int x = 0, y = 0;
  ASSERT_TRUE(topmost_point(scene.game(), window, x, y));
  scene.click(x, y);
  EXPECT_EQ(std::tuple(window.type, window.smash, window.destroyed, destructibles, des_x, des_y),
            std::tuple(entity_type("window"), nullptr, true, 139, window.x, window.y));
  Entity *below = entity_place_meeting(&scene.slot(kPlayer), &scene.game(), -1);
  ASSERT_NE(below, nullptr) << "window 142 lies over earlier windows";
  scene.click(x, y);
  EXPECT_EQ(std::pair(below->destroyed, destructibles), std::pair(true, 138));
}

// The clocks wait off the canvas while a prop stands; then they stand on the last one
// fallen, moved in just far enough to lie wholly on the canvas, and follow it.
TEST(Alarm, ParkedThenWhereTheLastPropFell) {
  Scene scene;
  EXPECT_EQ(Mix_PlayingMusic(), 1);
  const int cases[][5] = {{1, 300, 200, -100, -100}, {0, 300, 200, 300, 200},
                          {0, -19, 212, 16, 212},    {0, 16, 16, 16, 16},
                          {0, 624, 464, 624, 464},   {0, 700, 500, 624, 464},
                          {0, 0, -40, 16, 16},       {1, 0, -40, -100, -100}};
  for (const auto &[standing, fell_x, fell_y, x, y] : cases) {
    destructibles = standing, des_x = fell_x, des_y = fell_y;
    scene.frame();
    for (int slot : kClocks)
      EXPECT_EQ(std::pair(scene.slot(slot).x, scene.slot(slot).y), std::pair(x, y))
          << fell_x << ", " << fell_y;
  }
}

} // namespace
