// The game core on levels of the tests' own (defining lvgen_maps here keeps the generated
// levels out of this program): entity geometry and movement, and the game's scenes, timers
// and levels, with a kind of the tests' own.
#include "entitytag.h"
#include "game.h"
#include "map.h"
#include "support.h"

#include <climits>

// Two levels of 40 x 30 cells of 16 pixels like the shipped one; the fixture makes cell
// (20, 10), pixels 320..335 x 160..175, solid. The first holds two movers, a rectangle and a
// point, around an object of a type no kind registers; the second, one mover.
static int32_t tiles[40 * 30];
const lvgen_layer layer{"solid cell", 1.0, 0, 0, tiles};
const lvgen_object first_objects[] = {{"mover", "", 1, 10.0, 20.0, 21.0, 5.0, 0.0, true},
                                      {"crate", "", 2, 0.0, 0.0, 64.0, 64.0, 0.0, true},
                                      {"mover", "", 3, -5.0, 0.0, 5.0, 0.0, 0.0, true}};
const lvgen_object next_objects[] = {{"mover", "", 1, 300.0, 200.0, 0.0, 0.0, 0.0, true}};
const lvgen_map first{"own.tmj", 40, 30, 16, 16, 1, &layer, 3, first_objects};
const lvgen_map next{"next.tmj", 40, 30, 16, 16, 1, &layer, 1, next_objects};
const lvgen_map *const lvgen_maps[] = {&first, &next, nullptr};

namespace {

constexpr int32_t WINDOW = 1, PLAYER = 2, BOX = 3, ALARM = 4; // as the game registers them

int updates = 0; // of movers

Entity box_at(int32_t x, int32_t y, int32_t w, int32_t h) {
  return Entity{nullptr, nullptr, nullptr, 0, x, y, 0.0, 0.0, 0.0, 0.0, w, h, false, false, 0.0};
}

// The solid cell, and the mover kind: an entity whose update counts itself.
struct Entities : testing::Test {
  static void SetUpTestSuite() {
    tiles[10 * 40 + 20] = 1;
    entitytag_add("mover", [](Entity *e, int32_t x, int32_t y) {
      *e = box_at(x, y, 1, 1);
      e->type = entity_type("mover"), e->update = [](Entity *, Game *) { ++updates; };
    });
  }
};

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
      {10, 300, 16, -5.0, 0.0, 0.0, false, 8, 300, true, false},        // left edge
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
  // A 64-wide box falling past the solid cell at every offset, and a 64-tall one moving
  // right past it, stop on it whenever they overlap across, the cell between corners or not.
  for (int o = 280; o < 376; ++o) {
    Entity down = box_at(o, 140, 64, 16), right = box_at(300, o - 160, 16, 64);
    down.speed_y = right.speed_x = 20.0;
    entity_move(&down), entity_move(&right);
    const bool meet = o >= 289 && o <= 367;
    EXPECT_EQ(std::pair(down.y, right.x), meet ? std::pair(152, 312) : std::pair(160, 320)) << o;
  }
}

// The scene: one entity per object of a registered kind, in slots from 0, at the centre of
// its rectangle truncated toward zero; an unknown type is named on standard output and
// skipped. The timers rebuild the scene when they run out (the next level's, once, when it
// is the next-level timer), and the pool hands out slot 511 again once it is full.
TEST_F(Entities, ScenesTimersAndLevels) {
  static Game game;
  testing::internal::CaptureStdout(), game_init(&game);
  EXPECT_EQ(testing::internal::GetCapturedStdout(), "unknown type 'crate'\n");
  const int32_t mover = entity_type("mover");
  EXPECT_EQ(std::tuple(game.entities[0].x, game.entities[0].y, game.entities[1].x,
                       game.entities[1].y, game.entities[2].type),
            std::tuple(20, 22, -2, 0, 0));
  EXPECT_EQ(std::pair(game_entity_count(&game, mover), game_entity_count(&game, 0)),
            std::pair(2u, 510u));
  EXPECT_EQ(std::pair(game_get_entity(&game, mover), game_get_entity(&game, 99)),
            std::pair(&game.entities[0], static_cast<Entity *>(nullptr)));
  // Timers to arm (0: leave them), then one update: the movers updated in it, whether the
  // scene was rebuilt (which frees slot 5, marked live before), the level shown after it
  // (slot 0's x) and the restart timer left.
  // clang-format off
  const std::tuple<uint32_t, uint32_t, int, bool, int, uint32_t> steps[] = {
      {0, 0, 2, false, 20, 0}, {2, 0, 2, false, 20, 1}, {0, 0, 2, true, 20, 0},
      {5, 1, 0, true, 300, 0}, {0, 1, 0, true, 300, 0}}; // the last level stays the last
  // clang-format on
  for (const auto &[restart, next_map, updated, rebuilt, level_x, restart_left] : steps) {
    game.restart_timer = restart ? restart : game.restart_timer, game.next_map_timer = next_map;
    game.entities[5].type = 99, destructibles = 7, des_x = des_y = 9, updates = 0;
    game_update(&game);
    EXPECT_EQ(
        std::tuple(updates, game.entities[5].type == 0, game.entities[0].x, game.restart_timer),
        std::tuple(updated, rebuilt, level_x, restart_left));
    // A rebuilt scene counts its props afresh (these levels have none).
    EXPECT_EQ(std::tuple(destructibles, des_x, des_y),
              rebuilt ? std::tuple(0, 0, 0) : std::tuple(7, 9, 9));
  }
  for (int i = 0; i < GAME_MAX_ENTITIES; ++i)
    game_create_entity(&game)->type = mover;
  EXPECT_EQ(game_create_entity(&game), &game.entities[GAME_MAX_ENTITIES - 1]);
  // The table of kinds holds 256; one more is refused, and said so.
  LogCapture log;
  for (uint32_t i = num_entitytags; i <= 256; ++i)
    entitytag_add("spare", nullptr);
  EXPECT_EQ(log.lines(), Lines{"reached entity kind limit (256)"});
}

} // namespace
