// Plays the shipped level to its end the way a player does: the mouse onto a prop, the button
// pressed, a frame, the button released, a frame; then the clocks.
#include "kinds.h"
#include "scene.h"

#include <SDL_mixer.h>

#include <random>

namespace {

constexpr int kPlayer = 143, kLastBox = 129; // no window lies over the last box
constexpr int kWindowOffCanvas = 101;        // top-left corner (-51, 180)
constexpr int kClocks[] = {0, 48, 96};
constexpr int32_t WINDOW = 1, ALARM = 4; // type ids, in registration order

class Play : public testing::Test {
protected:
  // The picture an entity shows, by type id (window, player, box, alarm) and damage.
  const Picture &picture(const Entity &e) const { return pictures[e.type][e.destroyed]; }
  bool is_prop(int s) { return scene.slot(s).smash && scene.slot(s).type != ALARM; }

  // The entity in slot s shows its picture wherever no later slot draws over it.
  int expect_shown(const Canvas &canvas, int s) {
    std::vector<Cover> above;
    for (const Entity *e = &scene.slot(s + 1); e < scene.game().entities + GAME_MAX_ENTITIES; ++e)
      if (e->type != 0)
        above.push_back({e->x, e->y, picture(*e).w, picture(*e).h});
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
    for (int i = 0; i < kPlayer; ++i) // nothing else takes a hit
      EXPECT_TRUE(i == t || (scene.slot(i).type == before[i].type &&
                             scene.slot(i).destroyed == before[i].destroyed))
          << i;
    // A box leaves on its second hit.
    EXPECT_EQ(std::tuple(target.destroyed, target.type == 0, destructibles),
              std::tuple(true, !window && finishes, standing - finishes));
    EXPECT_TRUE(!finishes || (des_x == before[t].x && des_y == before[t].y));
    if (target.type != 0)
      expect_shown(read_canvas(), t);
  }

  // Smashes every prop within reach, picked at random, with `last` last; the count reaches 0
  // only with the last. Returns the number of presses.
  int smash_all(int last) {
    std::mt19937 random(2026);
    for (int presses = 0; presses <= 2 * 140; ++presses) { // at most two hits a prop
      std::vector<int> standing;
      for (int i = 0, x = 0, y = 0; i < kPlayer; ++i)
        if (i != last && is_prop(i) && topmost_point(scene.game(), scene.slot(i), x, y))
          standing.push_back(i);
      if (standing.empty() && is_prop(last))
        standing.push_back(last);
      if (standing.empty() || HasFatalFailure())
        return presses;
      smash(standing[random() % standing.size()]);
    }
    return -1;
  }

  // Three presses where the clocks stand: the highest slot first, the alarm silenced at the
  // first; then nothing is left to hit.
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
  static Picture load(const std::string &name) { return load_picture("res/" + name + ".bmp"); }
  // clang-format off
  const Picture pictures[5][2] = {{}, {load("windowclean"), load("window")},
      {load("cursor"), load("cursor")}, {load("box"), load("boxdestroyed")},
      {load("clock"), load("clockdestroyed")}};
  // clang-format on
};

// Every prop shows at the start; the last to fall is a box with no window over it, so the
// clocks show clear there.
TEST_F(Play, TheWholeLevelToTheEnd) {
  scene.frame();
  EXPECT_EQ(destructibles, 140);
  const Canvas start = read_canvas();
  for (int i = 0; i < kPlayer; ++i)
    if (is_prop(i))
      expect_shown(start, i);
  const int x = scene.slot(kLastBox).x, y = scene.slot(kLastBox).y;
  EXPECT_EQ(smash_all(kLastBox), 62 + 2 * 78);
  EXPECT_EQ(std::tuple(destructibles, des_x, des_y), std::tuple(0, x, y));
  scene.move(600, 20); // the cursor off the clocks, which show whole
  EXPECT_GT(expect_shown(read_canvas(), 96), 300);
  silence_the_alarm(x, y);
  scene.move(600, 20);
  EXPECT_GT(expect_shown(read_canvas(), 96), 300);
}

// The window reaching furthest off the canvas falls last: the clocks come in just far enough
// to stand wholly on the canvas, where a click reaches them.
TEST_F(Play, AWindowOffTheCanvasLastBringsTheClocksOnToIt) {
  scene.frame();
  EXPECT_EQ(smash_all(kWindowOffCanvas), 62 + 2 * 78);
  EXPECT_EQ(std::tuple(destructibles, des_x, des_y), std::tuple(0, -19, 212));
  silence_the_alarm(16, 212);
}

} // namespace
