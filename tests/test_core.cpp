// Entity geometry and movement on a level of the tests' own: defining lvgen_maps here keeps
// the generated levels out of this program, so the level can hold a solid cell.
#include "game.h"
#include "map.h"
#include "support.h"

#include <climits>

// 40 x 30 cells of 16 pixels like the shipped level; the fixture makes cell (20, 10), pixels
// 320..335 x 160..175, solid.
static int32_t tiles[40 * 30];
const lvgen_layer layer{"solid cell", 1.0, 0, 0, tiles};
const lvgen_map level{"own.tmj", 40, 30, 16, 16, 1, &layer, 0, nullptr};
const lvgen_map *const lvgen_maps[] = {&level, nullptr};

namespace {

constexpr int32_t WINDOW = 1, PLAYER = 2, BOX = 3, ALARM = 4;

// The solid cell.
struct Entities : testing::Test {
  static void SetUpTestSuite() { tiles[10 * 40 + 20] = 1; }
};

Entity box_at(int32_t x, int32_t y, int32_t w, int32_t h) {
  return Entity{nullptr, nullptr, nullptr, 0, x, y, 0.0, 0.0, 0.0, 0.0, w, h, false, false, 0.0};
}

// Boxes meet when they share more than one row or column: pixels 68..131 against others.
TEST_F(Entities, MeetAndPlaceMeeting) {
  const Entity prop = box_at(100, 100, 64, 64);
  // clang-format off
  const std::tuple<int32_t, int32_t, int32_t, bool> cases[] = { // x, y, size, whether they meet
      {68, 100, 1, false}, {69, 100, 1, true}, {131, 100, 1, false}, {130, 100, 1, true},
      {100, 68, 1, false}, {100, 69, 1, true}, {100, 131, 1, false}, {100, 130, 1, true},
      {163, 100, 64, false}, {162, 100, 64, true}, {100, 37, 64, false}, {100, 38, 64, true}};
  // clang-format on
  for (const auto &[x, y, size, meets] : cases) {
    const Entity other = box_at(x, y, size, size);
    EXPECT_EQ(entity_meet(&prop, &other), meets) << x << "," << y;
    EXPECT_EQ(entity_meet(&other, &prop), meets) << x << "," << y;
  }
  // Boxes at the ends of the int range meet their like, and nothing at the other end.
  const Entity far = box_at(INT_MAX, INT_MIN, 64, 64), across = box_at(INT_MIN, INT_MAX, 64, 64);
  EXPECT_TRUE(entity_meet(&far, &far) && !entity_meet(&far, &across) && !entity_meet(&far, &prop));
  // place_meeting looks from the highest slot down, never finds e itself, and for -1 takes any
  // entity that can be smashed.
  static Game game;
  const EntityFn hit = [](Entity *, Game *) {};
  // clang-format off
  for (const auto &[slot, type, smash, x, size] : {std::tuple{3, BOX, hit, 100, 64},
           {5, BOX, hit, 100, 64}, {7, WINDOW, EntityFn{}, 100, 64}, {10, PLAYER, hit, 100, 1},
           {20, BOX, hit, 400, 64}}) {
    // clang-format on
    game.entities[slot] = box_at(x, 100, size, size);
    game.entities[slot].type = type, game.entities[slot].smash = smash;
  }
  const Entity *cursor = &game.entities[10];
  // clang-format off
  for (const auto &[type, slot] : {std::pair{-1, 5}, {BOX, 5}, {WINDOW, 7}, {PLAYER, -1}, {ALARM, -1}})
    // clang-format on
    EXPECT_EQ(entity_place_meeting(cursor, &game, type), slot < 0 ? nullptr : &game.entities[slot]);
}

// One move: whole pixels of speed plus remainder, the rest kept; an axis that meets a solid
// pixel stops before it and loses its speed and remainder.
TEST_F(Entities, MoveCarriesRemaindersAndStopsAtSolidPixels) {
  // A box at (x0, y0), w x 16, with speeds, both remainders and noclip; where it ends, and
  // whether each axis was blocked.
  // clang-format off
  const std::tuple<int, int, int, double, double, double, bool, int, int, bool, bool> cases[] = {
      {100, 300, 16, 2.5, -1.75, 0.5, false, 103, 299, false, false},
      {630, 300, 16, 5.5, 2.0, 0.0, false, 632, 302, true, false},      // right edge
      {-5, 100, 16, 3.0, 3.0, 0.5, false, -5, 100, true, true},         // already out
      {INT_MAX, INT_MIN, 16, 3.0, 3.0, 0.5, false, INT_MAX, INT_MIN, true, true}, // far out
      {635, 168, 16, 10.0, -200.0, 0.5, true, 645, -31, false, false}}; // noclip
  // clang-format on
  for (const auto &[x0, y0, w, sx, sy, rem, noclip, x, y, x_blocked, y_blocked] : cases) {
    Entity e = box_at(x0, y0, w, 16);
    e.speed_x = sx, e.speed_y = sy, e.rem_x = e.rem_y = rem, e.noclip = noclip;
    entity_move(&e);
    EXPECT_EQ(std::tuple(e.x, e.y, e.speed_x, e.speed_y, e.rem_x, e.rem_y),
              std::tuple(x, y, x_blocked ? 0.0 : sx, y_blocked ? 0.0 : sy,
                         x_blocked ? 0.0 : sx + rem - (x - x0),
                         y_blocked ? 0.0 : sy + rem - (y - y0)))
        << x0 << "," << y0;
  }
  // A 64-wide box falling past the solid cell at every offset stops on it whenever they
  // overlap in x, the cell between its bottom corners or not.
  for (int x0 = 280; x0 < 376; ++x0) {
    Entity e = box_at(x0, 140, 64, 16);
    e.speed_y = 20.0;
    entity_move(&e);
    EXPECT_EQ(e.y, x0 >= 289 && x0 <= 367 ? 152 : 160) << x0;
  }
}

} // namespace
