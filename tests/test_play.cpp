// Plays the shipped level to its end the way a player does: the mouse onto a prop, the button
// pressed, a frame, the button released, a frame; then the clocks.
#include "kinds.h"
#include "scene.h"

#include <SDL_mixer.h>
#include <gtest/gtest.h>

#include <random>

namespace {

constexpr int kPlayer = 143;
constexpr int kClocks[] = {0, 48, 96};
constexpr int32_t WINDOW = 1, BOX = 3, ALARM = 4; // type ids, in registration order

class Play : public testing::Test {
protected:
  // The picture an entity shows, by type id (window, player, box, alarm) and damage.
  const Picture &picture(const Entity &e) const { return pictures[e.type][e.destroyed]; }
  bool is_prop(int s) {
    return scene.slot(s).smash && (scene.slot(s).type == WINDOW || scene.slot(s).type == BOX);
  }

  // The entity in slot s shows its picture wherever no later slot draws over it.
  int expect_shown(const Canvas &canvas, int s) {
    std::vector<Cover> above;
    for (int i = s + 1; i < GAME_MAX_ENTITIES; ++i) {
      const Entity &e = scene.slot(i);
      if (e.type != 0)
        above.push_back({e.x, e.y, picture(e).w, picture(e).h});
    }
    return expect_sprite(canvas, picture(scene.slot(s)), scene.slot(s).x, scene.slot(s).y, above);
  }

  // One click on prop t where it is the topmost: it, and only it, takes the hit; the count
  // falls when it is finished; the cursor flashes red and the prop shows its new picture.
  void smash(int t) {
    Entity &target = scene.slot(t);
    int x = 0, y = 0;
    ASSERT_TRUE(topmost_point(scene.game(), target, x, y)) << "slot " << t;
    const std::vector<Entity> before(scene.game().entities, scene.game().entities + kPlayer);
    const int standing = destructibles;
    const bool window = target.type == WINDOW, finishes = window || target.destroyed;
    scene.press(x, y);
    expect_cursor(scene.slot(kPlayer), Rgba{255, 0, 0, 255});
    scene.release();
    for (int i = 0; i < kPlayer; ++i) {
      const Entity &e = scene.slot(i), &was = before[i];
      EXPECT_TRUE(i == t || e.type == ALARM || (e.type == was.type && e.destroyed == was.destroyed))
          << i;
    }
    EXPECT_TRUE(target.destroyed);
    EXPECT_EQ(target.type == 0, !window && finishes) << "a box leaves on its second hit";
    EXPECT_EQ(destructibles, standing - finishes);
    EXPECT_TRUE(!finishes || (des_x == before[t].x && des_y == before[t].y));
    if (target.type != 0) {
      expect_shown(read_canvas(), t);
    }
  }

  // Smashes every prop within reach, picked at random, with `last` last; the count reaches 0
  // only with the last. Returns the number of presses.
  int smash_all(int last) {
    std::mt19937 random(2026);
    for (int presses = 0; presses <= 2 * 140; ++presses) { // at most two hits a prop
      std::vector<int> standing;
      for (int i = 0, x = 0, y = 0; i < kPlayer; ++i) {
        if (i != last && is_prop(i) && topmost_point(scene.game(), scene.slot(i), x, y))
          standing.push_back(i);
      }
      if (standing.empty() && is_prop(last))
        standing.push_back(last);
      if (standing.empty() || HasFatalFailure())
        return presses;
      EXPECT_GT(destructibles, 0) << "props stand";
      smash(standing[random() % standing.size()]);
    }
    return -1;
  }

  // Three presses on the stacked clocks at (x, y): the highest slot first, the alarm silenced
  // at the first; then nothing is left to hit.
  void silence_the_alarm(int x, int y) {
    EXPECT_EQ(Mix_PlayingMusic(), 1);
    for (int i = 2; i >= 0; --i) {
      EXPECT_EQ(std::pair(scene.slot(kClocks[i]).x, scene.slot(kClocks[i]).y), std::pair(x, y));
      scene.click(x, y);
      EXPECT_TRUE(scene.slot(kClocks[i]).destroyed);
      EXPECT_EQ(Mix_PlayingMusic(), 0);
    }
    EXPECT_EQ(entity_place_meeting(&scene.slot(kPlayer), &scene.game(), -1), nullptr);
  }

  Scene scene;
  // clang-format off
  const Picture pictures[5][2] = {{}, {load_picture("res/windowclean.bmp"), load_picture("res/window.bmp")},
      {load_picture("res/cursor.bmp"), load_picture("res/cursor.bmp")},
      {load_picture("res/box.bmp"), load_picture("res/boxdestroyed.bmp")},
      {load_picture("res/clock.bmp"), load_picture("res/clockdestroyed.bmp")}};
  // clang-format on
};

// Every prop shows at the start; the last to fall is a box with no window over the spot, so
// the clocks show clear there.
TEST_F(Play, TheWholeLevelToTheEnd) {
  scene.frame();
  EXPECT_EQ(destructibles, 140);
  const Canvas start = read_canvas();
  int last = 0;
  for (int i = 0; i < kPlayer; ++i) {
    Entity spot = scene.slot(i);
    spot.width = spot.height = 34;
    bool clear = scene.slot(i).type == BOX;
    for (int j = 0; j < kPlayer; ++j)
      clear = clear && !(scene.slot(j).type == WINDOW && entity_meet(&spot, &scene.slot(j)));
    last = clear ? i : last;
    if (is_prop(i))
      expect_shown(start, i);
  }
  const int x = scene.slot(last).x, y = scene.slot(last).y;
  EXPECT_EQ(smash_all(last), 62 + 2 * 78);
  EXPECT_EQ(std::tuple(destructibles, des_x, des_y), std::tuple(0, x, y));
  scene.move(600, 20); // the cursor off the clocks, which show whole
  EXPECT_GT(expect_shown(read_canvas(), 96), 300);
  silence_the_alarm(x, y);
  scene.move(600, 20);
  EXPECT_GT(expect_shown(read_canvas(), 96), 300);
}

// The window reaching furthest off the canvas, (-51, 180) in slot 101, falls last: the clocks
// come in just far enough to stand wholly on the canvas, where a click reaches them.
TEST_F(Play, ClocksForAPropOffTheCanvasStandOnIt) {
  scene.frame();
  EXPECT_EQ(smash_all(101), 62 + 2 * 78);
  EXPECT_EQ(std::tuple(destructibles, des_x, des_y), std::tuple(0, -19, 212));
  silence_the_alarm(16, 212);
}

} // namespace
