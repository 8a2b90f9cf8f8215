// The four kinds on the shipped level: the cursor, the box, the window and the alarm clock.
#include "kinds.h"
#include "scene.h"

#include <SDL_mixer.h>
#include <gtest/gtest.h>

namespace {

constexpr int kPlayer = 143;
constexpr int kClocks[] = {0, 48, 96};

// Slots of the shipped level (record order) used below.
constexpr int kBox = 129;    // the last box, centred on (244, 345)
constexpr int kWindow = 142; // the last window, centred on (449, 90), over windows 11, 59, 92

TEST(Player, FollowsTheMouseAndCannotBeHit) {
  Scene scene;
  scene.move(123, 45);
  const Entity &player = scene.slot(kPlayer);
  EXPECT_EQ(player.x, 123);
  EXPECT_EQ(player.y, 45);
  EXPECT_EQ(player.type, entity_type("player"));
  EXPECT_EQ(player.smash, nullptr);
}

// Holding the button hits once; the flash starts at full and fades by a tenth a frame, and
// the shot sound plays with every press, hit or miss.
TEST(Player, APressFiresOnceAndFlashes) {
  Scene scene;
  Entity &box = scene.slot(kBox);
  scene.press(box.x, box.y);
  const Entity &player = scene.slot(kPlayer);
  EXPECT_EQ(player.flash, 1.0);
  EXPECT_EQ(Mix_Playing(-1), 2) << "the shot and the crack";
  expect_cursor(player, Rgba{255, 0, 0, 255});
  for (int i = 0; i < 5; ++i) {
    scene.frame();
  }
  EXPECT_NEAR(player.flash, 1.0 * 0.9 * 0.9 * 0.9 * 0.9 * 0.9, 1e-12);
  EXPECT_TRUE(box.destroyed);
  EXPECT_EQ(box.type, entity_type("box")) << "held down: still only cracked";
  scene.release();
  scene.click(100, 20); // over nothing
  EXPECT_EQ(player.flash, 0.9);
  expect_cursor(player, Rgba{255, 25, 25, 255});
  EXPECT_EQ(destructibles, 140);
}

TEST(Box, CracksThenBreaksAndFreesItsSlot) {
  Scene scene;
  Entity &box = scene.slot(kBox);
  const int x = box.x, y = box.y;
  EXPECT_EQ(destructibles, 140);
  scene.click(x, y);
  EXPECT_TRUE(box.destroyed);
  EXPECT_EQ(destructibles, 140);
  EXPECT_EQ(des_x, 0) << "a crack finishes nothing";
  scene.click(x, y);
  EXPECT_EQ(box.type, 0);
  EXPECT_EQ(box.smash, nullptr);
  EXPECT_EQ(destructibles, 139);
  EXPECT_EQ(des_x, x);
  EXPECT_EQ(des_y, y);
  EXPECT_EQ(game_entity_count(&scene.game(), entity_type("box")), 77u);
}

// A shattered window stays, drawn but no longer hittable: the next click there reaches the
// entity below it.
TEST(Window, ShattersOnceAndLetsClicksThrough) {
  Scene scene;
  Entity &window = scene.slot(kWindow);
  int x = 0, y = 0;
  ASSERT_TRUE(topmost_point(scene.game(), window, x, y));
  scene.click(x, y);
  EXPECT_TRUE(window.destroyed);
  EXPECT_EQ(window.smash, nullptr);
  EXPECT_EQ(window.type, entity_type("window"));
  EXPECT_EQ(destructibles, 139);
  EXPECT_EQ(des_x, window.x);
  EXPECT_EQ(des_y, window.y);
  Entity *below = entity_place_meeting(&scene.slot(kPlayer), &scene.game(), -1);
  ASSERT_NE(below, nullptr) << "window 142 overlaps three earlier windows";
  scene.click(x, y);
  EXPECT_TRUE(below->destroyed);
  EXPECT_EQ(destructibles, 138);
}

// Where props overlap, a click smashes the one in the highest slot and nothing else.
TEST(Props, OverlapsHitTheHighestSlot) {
  Scene scene;
  Entity probe{};
  probe.width = probe.height = 1;
  probe.x = 250;
  probe.y = 360;
  int under = 0;
  for (int i = 0; i < kPlayer; ++i) {
    under += scene.slot(i).smash && entity_meet(&probe, &scene.slot(i));
  }
  ASSERT_EQ(under, 6) << "six boxes meet at (250, 360)";
  Entity *top = entity_place_meeting(&probe, &scene.game(), -1);
  scene.click(probe.x, probe.y);
  for (int i = 0; i < kPlayer; ++i) {
    EXPECT_EQ(scene.slot(i).destroyed, &scene.slot(i) == top) << "slot " << i;
  }
}

TEST(Alarm, RingsFromTheStartAndWaitsOffTheCanvas) {
  Scene scene;
  EXPECT_EQ(Mix_PlayingMusic(), 1);
  scene.frame();
  for (int slot : kClocks) {
    EXPECT_EQ(scene.slot(slot).x, -100);
    EXPECT_EQ(scene.slot(slot).y, -100);
  }
}

// Once no prop stands the clocks stand on the last one finished, moved in just far enough to
// lie wholly on the canvas.
TEST(Alarm, AppearsWhereTheLastPropFell) {
  Scene scene;
  const struct {
    int des_x, des_y, x, y;
  } cases[] = {
      {300, 200, 300, 200}, {-19, 212, 16, 212},  {16, 16, 16, 16},
      {624, 464, 624, 464}, {700, 500, 624, 464}, {0, -40, 16, 16},
  };
  for (const auto &c : cases) {
    destructibles = 0;
    des_x = c.des_x;
    des_y = c.des_y;
    scene.frame();
    for (int slot : kClocks) {
      EXPECT_EQ(scene.slot(slot).x, c.x) << c.des_x;
      EXPECT_EQ(scene.slot(slot).y, c.y) << c.des_y;
    }
  }
  destructibles = 1;
  scene.frame();
  EXPECT_EQ(scene.slot(0).x, -100) << "parked again while a prop stands";
}

// The first press on the stacked clocks hits the one in the highest slot and silences the
// alarm; each further press hits the next; a hit clock keeps following the last prop.
TEST(Alarm, HitsSilenceTheAlarm) {
  Scene scene;
  destructibles = 0; // as if the last prop had fallen at (100, 20), where no other stands
  des_x = 100;
  des_y = 20;
  scene.frame();
  scene.click(100, 20);
  EXPECT_TRUE(scene.slot(96).destroyed);
  EXPECT_EQ(scene.slot(96).smash, nullptr);
  EXPECT_FALSE(scene.slot(48).destroyed);
  EXPECT_EQ(Mix_PlayingMusic(), 0);
  scene.click(100, 20);
  scene.click(100, 20);
  for (int slot : kClocks) {
    EXPECT_TRUE(scene.slot(slot).destroyed);
  }
  des_x = 200;
  scene.frame();
  EXPECT_EQ(scene.slot(96).x, 200);
}

} // namespace
