// Plays the shipped level to its end the way a player does: the mouse moved onto a prop,
// the button pressed, a frame, the button released, a frame; then the clocks.
#include "kinds.h"
#include "scene.h"

#include <SDL_mixer.h>
#include <gtest/gtest.h>

#include <random>

namespace {

constexpr int kPlayer = 143;
constexpr int kClocks[] = {0, 48, 96};
constexpr int kWindowOffCanvas = 101; // top-left corner (-51, 180)

struct Pictures {
  Picture box = load_picture("res/box.bmp");
  Picture box_cracked = load_picture("res/boxdestroyed.bmp");
  Picture window = load_picture("res/windowclean.bmp");
  Picture window_shattered = load_picture("res/window.bmp");
  Picture clock = load_picture("res/clock.bmp");
  Picture clock_broken = load_picture("res/clockdestroyed.bmp");
  Picture cursor = load_picture("res/cursor.bmp");

  const Picture &of(const Entity &e) const {
    if (e.type == entity_type("box")) {
      return e.destroyed ? box_cracked : box;
    }
    if (e.type == entity_type("window")) {
      return e.destroyed ? window_shattered : window;
    }
    return e.destroyed ? clock_broken : clock;
  }
};

class Play : public testing::Test {
protected:
  // The sprites drawn over slot s: those of every live entity in a later slot.
  std::vector<Cover> drawn_above(int s) {
    std::vector<Cover> covers;
    for (int i = s + 1; i < GAME_MAX_ENTITIES; ++i) {
      const Entity &e = scene.slot(i);
      if (e.type != 0) {
        const Picture &p = i == kPlayer ? pictures.cursor : pictures.of(e);
        covers.push_back({e.x, e.y, p.w, p.h});
      }
    }
    return covers;
  }

  // Every entity in slot s shows its own picture wherever nothing is drawn over it.
  void expect_shown(const Canvas &canvas, int s) {
    const Entity &e = scene.slot(s);
    expect_sprite(canvas, pictures.of(e), e.x, e.y, drawn_above(s));
  }

  bool is_prop(const Entity &e) {
    return e.smash && (e.type == entity_type("box") || e.type == entity_type("window"));
  }

  // One click on slot t where it is the topmost smashable entity. Checks that it, and only
  // it, took the hit, that the count fell exactly when it was finished, and what the
  // player sees: the red flash of the cursor and the prop's new picture.
  void smash(int t) {
    Entity &target = scene.slot(t);
    int x = 0, y = 0;
    ASSERT_TRUE(topmost_point(scene.game(), target, x, y)) << "slot " << t;
    std::vector<Entity> before(scene.game().entities, scene.game().entities + kPlayer);
    const int standing = destructibles;
    const bool window = target.type == entity_type("window");
    const bool finishes = window || target.destroyed;
    scene.press(x, y);
    expect_cursor(scene.slot(kPlayer), Rgba{255, 0, 0, 255});
    scene.release();
    for (int i = 0; i < kPlayer; ++i) {
      if (i != t && !is_clock(i)) {
        EXPECT_EQ(scene.slot(i).destroyed, before[i].destroyed) << "slot " << i;
        EXPECT_EQ(scene.slot(i).type, before[i].type) << "slot " << i;
      }
    }
    EXPECT_TRUE(target.destroyed);
    EXPECT_EQ(target.type == 0, !window && finishes) << "a box leaves on its second hit";
    EXPECT_EQ(destructibles, standing - finishes);
    if (finishes) {
      EXPECT_EQ(des_x, before[t].x);
      EXPECT_EQ(des_y, before[t].y);
    }
    if (target.type != 0) {
      expect_shown(read_canvas(), t);
    }
  }

  bool is_clock(int slot) { return scene.slot(slot).type == entity_type("alarm"); }

  // Smashes every prop, picked at random among those still standing, with `last` last.
  // Returns the number of presses.
  int smash_all(int last) {
    std::mt19937 random(2026);
    int presses = 0;
    for (;;) {
      std::vector<int> standing; // and in reach: not wholly under later props
      for (int i = 0; i < kPlayer; ++i) {
        int x = 0, y = 0;
        if (i != last && is_prop(scene.slot(i)) &&
            topmost_point(scene.game(), scene.slot(i), x, y)) {
          standing.push_back(i);
        }
      }
      if (standing.empty() && is_prop(scene.slot(last))) {
        EXPECT_EQ(destructibles, 1);
        standing.push_back(last);
      }
      if (standing.empty()) {
        return presses;
      }
      EXPECT_GT(destructibles, 0) << "props stand, so the count is not 0";
      smash(standing[random() % standing.size()]);
      ++presses;
      if (HasFatalFailure()) {
        return presses;
      }
    }
  }

  // Three presses on the stacked clocks: the highest slot first, the alarm silenced at once.
  void silence_the_alarm(int x, int y) {
    EXPECT_EQ(Mix_PlayingMusic(), 1);
    for (int i = 2; i >= 0; --i) {
      scene.click(x, y);
      EXPECT_TRUE(scene.slot(kClocks[i]).destroyed);
      EXPECT_EQ(Mix_PlayingMusic(), 0);
    }
  }

  Scene scene;
  Pictures pictures;
};

TEST_F(Play, TheWholeLevelToTheEnd) {
  scene.frame();
  EXPECT_EQ(destructibles, 140);
  EXPECT_EQ(Mix_PlayingMusic(), 1);
  const Canvas start = read_canvas();
  for (int i = 0; i < kPlayer; ++i) {
    if (!is_clock(i)) {
      expect_shown(start, i);
    }
  }
  // The last prop is a box with no window over the spot, so the clocks show clear there.
  int last = 0;
  for (int i = kPlayer - 1; i >= 0 && last == 0; --i) {
    Entity spot = scene.slot(i);
    spot.width = spot.height = 34;
    bool clear = scene.slot(i).type == entity_type("box");
    for (int j = 0; j < kPlayer && clear; ++j) {
      clear = scene.slot(j).type != entity_type("window") || !entity_meet(&spot, &scene.slot(j));
    }
    last = clear ? i : 0;
  }
  ASSERT_NE(last, 0);
  const int x = scene.slot(last).x, y = scene.slot(last).y;

  EXPECT_EQ(smash_all(last), 62 + 2 * 78);
  EXPECT_EQ(destructibles, 0);
  EXPECT_EQ(des_x, x);
  EXPECT_EQ(des_y, y);
  for (int slot : kClocks) {
    EXPECT_EQ(scene.slot(slot).x, x);
    EXPECT_EQ(scene.slot(slot).y, y);
  }
  scene.move(600, 20);
  EXPECT_GT(expect_sprite(read_canvas(), pictures.clock, x, y, drawn_above(96)), 300);

  silence_the_alarm(x, y);
  scene.move(600, 20);
  EXPECT_GT(expect_sprite(read_canvas(), pictures.clock_broken, x, y, drawn_above(96)), 300);
  scene.click(x, y);
  EXPECT_EQ(entity_place_meeting(&scene.slot(kPlayer), &scene.game(), -1), nullptr)
      << "nothing is left to hit";
}

// The window reaching furthest off the canvas falls last: the clocks come in just far enough
// to stand wholly on the canvas, where a click reaches them.
TEST_F(Play, ClocksForAPropOffTheCanvasStandOnIt) {
  scene.frame();
  EXPECT_EQ(smash_all(kWindowOffCanvas), 62 + 2 * 78);
  EXPECT_EQ(des_x, -19);
  EXPECT_EQ(des_y, 212);
  for (int slot : kClocks) {
    EXPECT_EQ(scene.slot(slot).x, 16);
    EXPECT_EQ(scene.slot(slot).y, 212);
  }
  silence_the_alarm(16, 212);
}

} // namespace
