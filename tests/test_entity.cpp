// Entity kinds, geometry and movement on a level of the tests' own: defining lvgen_maps here
// keeps the generated levels out of this program, so the level can hold a solid cell.
#include "entity.h"
#include "entitytag.h"
#include "game.h"
#include "map.h"
#include "support.h"

#include <gtest/gtest.h>

#include <array>
#include <string>

namespace {

// 40 x 30 cells of 16 pixels like the shipped level, with one solid cell (20, 10): pixels
// 320..335 x 160..175.
constexpr int32_t COLS = 40, ROWS = 30;
constexpr auto TILES = [] {
  std::array<int32_t, COLS * ROWS> tiles{};
  tiles[10 * COLS + 20] = 1;
  return tiles;
}();
const lvgen_layer LAYER{"solid cell", 1.0, 0, 0, TILES.data()};
const lvgen_object OBJECTS[] = {
    {"box", "", 1, 8.0, 20.25, 5.0, 0.0, 0.0, true},    // centre (10.5, 20.25)
    {"crate", "", 2, 0.0, 0.0, 0.0, 0.0, 0.0, true},    // no such kind
    {"window", "", 3, -3.5, -4.0, 2.0, 3.0, 0.0, true}, // centre (-2.5, -2.5)
    {"player", "", 4, 245.0, 387.0, 0.0, 0.0, 0.0, true},
};
const lvgen_map LEVEL{"own.tmj", COLS, ROWS, 16, 16, 1, &LAYER, 4, OBJECTS};

} // namespace

const lvgen_map *const lvgen_maps[] = {&LEVEL, nullptr};

namespace {

constexpr int32_t WINDOW = 1, PLAYER = 2, BOX = 3, ALARM = 4;

void nop(Entity *, Game *) {}

// Stand-ins that set up a record the way every kind must: from nothing.
void stand_in(Entity *e, int32_t x, int32_t y, const char *name, int32_t size, bool acts) {
  *e = Entity{};
  e->x = x;
  e->y = y;
  e->update = acts ? nop : nullptr;
  e->draw = nop;
  e->smash = acts ? nullptr : nop;
  e->type = entity_type(name);
  e->width = e->height = size;
}
void window_init(Entity *e, int32_t x, int32_t y) {
  stand_in(e, x, y, "window", 64, false);
}
void player_init(Entity *e, int32_t x, int32_t y) {
  stand_in(e, x, y, "player", 1, true);
}
void box_init(Entity *e, int32_t x, int32_t y) {
  stand_in(e, x, y, "box", 64, false);
}
void alarm_init(Entity *e, int32_t x, int32_t y) {
  stand_in(e, x, y, "alarm", 32, true);
}

void register_kinds() {
  static bool done = false;
  if (!done) {
    entitytag_add("window", window_init);
    entitytag_add("player", player_init);
    entitytag_add("box", box_init);
    entitytag_add("alarm", alarm_init);
    done = true;
  }
}

Entity box_at(int32_t x, int32_t y, int32_t w, int32_t h) {
  Entity e{};
  e.x = x;
  e.y = y;
  e.width = w;
  e.height = h;
  return e;
}

bool same(const Entity &a, const Entity &b) {
  return a.update == b.update && a.draw == b.draw && a.smash == b.smash && a.type == b.type &&
         a.x == b.x && a.y == b.y && a.speed_x == b.speed_x && a.speed_y == b.speed_y &&
         a.rem_x == b.rem_x && a.rem_y == b.rem_y && a.width == b.width && a.height == b.height &&
         a.noclip == b.noclip && a.destroyed == b.destroyed && a.flash == b.flash;
}

Game game; // zero: every slot free

} // namespace

TEST(EntityTypes, TypeNamesResolveExactly) {
  register_kinds();
  const struct {
    const char *name;
    int32_t id;
    std::string printed;
  } cases[] = {{"window", WINDOW, ""},
               {"player", PLAYER, ""},
               {"box", BOX, ""},
               {"alarm", ALARM, ""},
               {"Box", 0, "unknown type 'Box'\n"},
               {"", 0, "unknown type ''\n"}};
  for (const auto &c : cases) {
    testing::internal::CaptureStdout();
    EXPECT_EQ(entity_type(c.name), c.id) << c.name;
    EXPECT_EQ(testing::internal::GetCapturedStdout(), c.printed) << c.name;
  }
}

TEST(EntityTypes, InitOverAnotherKindKeepsNothing) {
  register_kinds();
  Entity slot{};
  entity_init(&slot, ALARM, 1, 2);
  slot.speed_x = slot.rem_y = slot.flash = 3.5;
  slot.noclip = slot.destroyed = true;
  EXPECT_EQ(entity_init(&slot, WINDOW, -7, 9), &slot);
  Entity fresh{};
  window_init(&fresh, -7, 9);
  EXPECT_TRUE(same(slot, fresh));
}

TEST(EntityTypes, TheTableRefusesThe257thKind) {
  register_kinds();
  static std::string names[ENTITYTAG_MAX + 1];
  LogCapture log;
  for (uint32_t i = num_entitytags; i <= ENTITYTAG_MAX; ++i) {
    names[i] = "kind" + std::to_string(i);
    entitytag_add(names[i].c_str(), box_init);
  }
  EXPECT_EQ(num_entitytags, ENTITYTAG_MAX);
  EXPECT_EQ(log.lines(), std::vector<std::string>{"reached entity kind limit (256)"});
  EXPECT_EQ(entity_type("kind255"), 256);
  testing::internal::CaptureStdout();
  EXPECT_EQ(entity_type("kind256"), 0);
  testing::internal::GetCapturedStdout();
}

TEST(EntityGeometry, MeetNeedsMoreThanOneSharedRowOrColumn) {
  const Entity prop = box_at(100, 100, 64, 64); // pixels 68..131
  const struct {
    Entity other;
    bool meets;
  } cases[] = {
      {box_at(68, 100, 1, 1), false},    {box_at(69, 100, 1, 1), true},
      {box_at(131, 100, 1, 1), false},   {box_at(130, 100, 1, 1), true},
      {box_at(100, 68, 1, 1), false},    {box_at(100, 69, 1, 1), true},
      {box_at(100, 131, 1, 1), false},   {box_at(100, 130, 1, 1), true},
      {box_at(163, 100, 64, 64), false}, {box_at(162, 100, 64, 64), true},
      {box_at(100, 37, 64, 64), false},  {box_at(100, 38, 64, 64), true},
  };
  for (const auto &c : cases) {
    EXPECT_EQ(entity_meet(&prop, &c.other), c.meets) << c.other.x << "," << c.other.y;
    EXPECT_EQ(entity_meet(&c.other, &prop), c.meets) << c.other.x << "," << c.other.y;
  }
}

TEST(EntityGeometry, PlaceMeetingSearchesFromTheTopSlot) {
  Entity *cursor = &game.entities[10];
  *cursor = box_at(100, 100, 1, 1);
  cursor->type = PLAYER;
  cursor->smash = nop; // even a clickable e never finds itself
  const struct {
    int slot;
    int32_t type;
    EntityFn smash;
    int32_t x;
  } under[] = {
      {3, BOX, nop, 100}, {5, BOX, nop, 100}, {7, WINDOW, nullptr, 100}, {20, BOX, nop, 400}};
  for (const auto &u : under) {
    game.entities[u.slot] = box_at(u.x, 100, 64, 64);
    game.entities[u.slot].type = u.type;
    game.entities[u.slot].smash = u.smash;
  }
  EXPECT_EQ(entity_place_meeting(cursor, &game, -1), &game.entities[5]);
  EXPECT_EQ(entity_place_meeting(cursor, &game, BOX), &game.entities[5]);
  EXPECT_EQ(entity_place_meeting(cursor, &game, WINDOW), &game.entities[7]);
  EXPECT_EQ(entity_place_meeting(cursor, &game, PLAYER), nullptr);
  EXPECT_EQ(entity_place_meeting(cursor, &game, ALARM), nullptr);
}

TEST(EntityGeometry, CollideTestsEdgesOfBoxesWiderThanACell) {
  const Entity wide = box_at(328, 140, 64, 16);   // 296..359 x 132..147; the cell is under 328
  const Entity narrow = box_at(310, 140, 16, 16); // 302..317
  const struct {
    const Entity &e;
    int32_t dx, dy;
    bool solid;
  } cases[] = {{wide, 0, 0, false},     {wide, 0, 20, true},      {wide, 0, 29, true},
               {wide, 0, 44, false},    {wide, -39, 20, true},    {wide, -40, 20, false},
               {wide, 40, 20, false},   {narrow, 10, 20, true},   {narrow, 2, 20, false},
               {narrow, -303, 0, true}, {narrow, -302, 0, false}, {narrow, 323, 0, true}};
  for (const auto &c : cases) {
    EXPECT_EQ(entity_collide(&c.e, c.dx, c.dy), c.solid)
        << c.e.width << ": " << c.dx << "," << c.dy;
  }
}

TEST(EntityMove, RemaindersCarryFractions) {
  const struct {
    double speed;
    int32_t steps[3];
  } cases[] = {{2.5, {2, 3, 2}}, {-0.4, {0, 0, -1}}, {-1.75, {-1, -2, -2}}};
  for (const auto &c : cases) {
    Entity e = box_at(100, 300, 16, 16);
    e.speed_x = c.speed;
    for (int32_t step : c.steps) {
      const int32_t before = e.x;
      entity_move(&e);
      EXPECT_EQ(e.x - before, step) << c.speed;
    }
    EXPECT_EQ(e.speed_x, c.speed);
  }
}

TEST(EntityMove, SolidPixelsStopOneAxis) {
  const struct {
    Entity start;
    double sx, sy, rem; // rem starts both remainders
    bool noclip;
    int32_t x, y; // where it ends
    bool x_blocked, y_blocked;
  } cases[] = {
      {box_at(630, 300, 16, 16), 5.5, 2.0, 0.0, false, 632, 302, true, false},  // right edge: 639
      {box_at(10, 300, 16, 16), -5.5, -2.0, 0.0, false, 8, 298, true, false},   // left edge: 0
      {box_at(100, 10, 16, 16), 3.0, -5.5, 0.0, false, 103, 8, false, true},    // top edge: 0
      {box_at(100, 470, 16, 16), 0.5, 5.0, 0.0, false, 100, 472, false, true},  // bottom: 479
      {box_at(328, 140, 64, 16), 0.0, 20.0, 0.0, false, 328, 152, false, true}, // mid-edge cell
      {box_at(-5, 100, 16, 16), 3.0, 3.0, 0.5, false, -5, 100, true, true},     // already outside
      {box_at(635, 168, 16, 16), 10.0, -200.0, 0.5, true, 645, -31, false, false}, // noclip
  };
  for (const auto &c : cases) {
    Entity e = c.start;
    e.speed_x = c.sx;
    e.speed_y = c.sy;
    e.rem_x = e.rem_y = c.rem;
    e.noclip = c.noclip;
    entity_move(&e);
    const std::string where = std::to_string(c.start.x) + "," + std::to_string(c.start.y);
    EXPECT_EQ(e.x, c.x) << where;
    EXPECT_EQ(e.y, c.y) << where;
    EXPECT_EQ(e.speed_x, c.x_blocked ? 0.0 : c.sx) << where;
    EXPECT_EQ(e.speed_y, c.y_blocked ? 0.0 : c.sy) << where;
    // What an axis did not move stays in its remainder, unless it was blocked.
    EXPECT_EQ(e.rem_x, c.x_blocked ? 0.0 : c.sx + c.rem - (c.x - c.start.x)) << where;
    EXPECT_EQ(e.rem_y, c.y_blocked ? 0.0 : c.sy + c.rem - (c.y - c.start.y)) << where;
  }
}

TEST(SceneOnOwnLevel, ObjectsSpawnAtTruncatedCentres) {
  register_kinds();
  testing::internal::CaptureStdout();
  game_init(&game);
  EXPECT_EQ(testing::internal::GetCapturedStdout(), "unknown type 'crate'\n");
  const struct {
    int32_t type, x, y;
  } spawned[] = {{BOX, 10, 20}, {WINDOW, -2, -2}, {PLAYER, 245, 387}};
  for (int slot = 0; slot < 3; ++slot) {
    EXPECT_EQ(game.entities[slot].type, spawned[slot].type) << slot;
    EXPECT_EQ(game.entities[slot].x, spawned[slot].x) << slot;
    EXPECT_EQ(game.entities[slot].y, spawned[slot].y) << slot;
  }
  EXPECT_EQ(game_entity_count(&game, 0), GAME_MAX_ENTITIES - 3u);
}
