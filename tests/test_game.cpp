// The game state on the shipped level, with stand-ins registered under the kinds' names.
#include "entitytag.h"
#include "game.h"
#include "kinds.h"
#include "map.h"
#include "support.h"

#include <SDL_mixer.h>
#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

namespace {

constexpr int32_t WINDOW = 1, PLAYER = 2, BOX = 3, ALARM = 4;

std::vector<int> updated, drawn; // slots in the order the passes reached them

int slot_of(const Entity *e, const Game *game) {
  return static_cast<int>(e - game->entities);
}

// Counts its calls in flash, so a test can tell a fresh entity from an updated one.
void record_update(Entity *e, Game *game) {
  updated.push_back(slot_of(e, game));
  e->flash += 1.0;
}
void record_draw(Entity *e, Game *game) {
  drawn.push_back(slot_of(e, game));
}

void stand_in(Entity *e, int32_t x, int32_t y, const char *name, int32_t size, bool acts) {
  *e = Entity{};
  e->x = x;
  e->y = y;
  e->update = acts ? record_update : nullptr;
  e->draw = record_draw;
  e->type = entity_type(name);
  e->width = e->height = size;
}
// The props count themselves in, as the real ones do.
void window_init(Entity *e, int32_t x, int32_t y) {
  stand_in(e, x, y, "window", 64, false);
  ++destructibles;
}
void player_init(Entity *e, int32_t x, int32_t y) {
  stand_in(e, x, y, "player", 1, true);
}
void box_init(Entity *e, int32_t x, int32_t y) {
  stand_in(e, x, y, "box", 64, false);
  ++destructibles;
}
void alarm_init(Entity *e, int32_t x, int32_t y) {
  stand_in(e, x, y, "alarm", 32, true);
}

class GameScene : public testing::Test {
protected:
  void SetUp() override {
    static bool registered = false;
    if (!registered) {
      entitytag_add("window", window_init);
      entitytag_add("player", player_init);
      entitytag_add("box", box_init);
      entitytag_add("alarm", alarm_init);
      registered = true;
    }
    game_init(&game);
    updated.clear();
    drawn.clear();
  }
  Game game;
};

} // namespace

TEST_F(GameScene, SpawnsEveryObjectInOrder) {
  uint32_t count = 0;
  const lvgen_object *objects = map_objects(&count);
  ASSERT_EQ(count, 144u);
  for (uint32_t i = 0; i < count; ++i) {
    EXPECT_EQ(game.entities[i].type, entity_type(objects[i].type)) << i;
  }
  for (int slot : {0, 48, 96}) {
    EXPECT_EQ(game.entities[slot].type, ALARM) << slot;
  }
  EXPECT_EQ(game_get_entity(&game, ALARM), &game.entities[0]);
  EXPECT_EQ(game_get_entity(&game, PLAYER), &game.entities[143]);
  EXPECT_EQ(game_get_entity(&game, 0), &game.entities[144]);
  EXPECT_EQ(game_get_entity(&game, 99), nullptr);
  const struct {
    int32_t type;
    uint32_t count;
  } counts[] = {{WINDOW, 62}, {PLAYER, 1}, {BOX, 78}, {ALARM, 3}, {0, 368}, {99, 0}};
  for (const auto &c : counts) {
    EXPECT_EQ(game_entity_count(&game, c.type), c.count) << c.type;
  }
}

TEST_F(GameScene, SpawnsAtTheObjectsCentres) {
  const struct {
    int slot;
    int32_t x, y;
  } centres[] = {{0, 245, 387}, {38, -2, 130}, {101, -19, 212}, {105, 10, 380}, {143, 294, 134}};
  for (const auto &c : centres) {
    EXPECT_EQ(game.entities[c.slot].x, c.x) << c.slot;
    EXPECT_EQ(game.entities[c.slot].y, c.y) << c.slot;
  }
}

TEST_F(GameScene, TimersRebuildTheScene) {
  const struct {
    uint32_t next_map, restart; // armed before the update
    uint32_t next_map_after, restart_after;
    bool rebuilt, updated;
  } cases[] = {
      {0, 0, 0, 0, false, true}, {0, 1, 0, 0, true, true},  {0, 2, 0, 1, false, true},
      {1, 5, 0, 0, true, false}, {2, 5, 1, 4, false, true},
  };
  for (const auto &c : cases) {
    SetUp();
    game.next_map_timer = c.next_map;
    game.restart_timer = c.restart;
    game.entities[5].type = 0;  // a window gone
    game.entities[143].x = 999; // the player moved
    game_update(&game);
    const std::string where = std::to_string(c.next_map) + "/" + std::to_string(c.restart);
    EXPECT_EQ(game.next_map_timer, c.next_map_after) << where;
    EXPECT_EQ(game.restart_timer, c.restart_after) << where;
    EXPECT_EQ(game.entities[5].type, c.rebuilt ? WINDOW : 0) << where;
    EXPECT_EQ(game.entities[143].x, c.rebuilt ? 294 : 999) << where;
    const std::vector<int> all_acting{0, 48, 96, 143};
    EXPECT_EQ(updated, c.updated ? all_acting : std::vector<int>()) << where;
    EXPECT_EQ(game.entities[143].flash, c.updated ? 1.0 : 0.0) << where;
  }
}

TEST_F(GameScene, PassesSeeWhatEarlierSlotsChanged) {
  game.entities[48].update = [](Entity *e, Game *g) {
    record_update(e, g);
    g->entities[96].type = 0; // frees a later slot in the middle of the walk
  };
  game.entities[1].draw = nullptr;
  game_update(&game);
  EXPECT_EQ(updated, (std::vector<int>{0, 48, 143}));
  game_draw(&game);
  std::vector<int> expected;
  for (int slot = 0; slot < 144; ++slot) {
    if (slot != 1 && slot != 96) {
      expected.push_back(slot);
    }
  }
  EXPECT_EQ(drawn, expected);
}

TEST_F(GameScene, AFullPoolReusesTheLastSlot) {
  for (int32_t i = 144; i < GAME_MAX_ENTITIES; ++i) {
    EXPECT_EQ(game_create_entity(&game), &game.entities[i]);
    entity_init(game_create_entity(&game), BOX, i, 0);
  }
  EXPECT_EQ(game_entity_count(&game, 0), 0u);
  Entity *last = game_create_entity(&game);
  EXPECT_EQ(last, &game.entities[511]);
  entity_init(last, PLAYER, 513, 0);
  EXPECT_EQ(game.entities[510].x, 510);
  EXPECT_EQ(game.entities[511].x, 513);
  EXPECT_EQ(game_entity_count(&game, PLAYER), 2u);
}

TEST_F(GameScene, EachRoundCountsItsOwnProps) {
  EXPECT_EQ(destructibles, 140);
  destructibles = 7;
  des_x = 11;
  des_y = 12;
  game.next_map_timer = 9;
  game.restart_timer = 3;
  game_restart_scene(&game);
  EXPECT_EQ(destructibles, 140);
  EXPECT_EQ(des_x, 0);
  EXPECT_EQ(des_y, 0);
  EXPECT_EQ(game.next_map_timer, 9u);
  EXPECT_EQ(game.restart_timer, 3u);
  game_init(&game);
  EXPECT_EQ(game.next_map_timer + game.restart_timer, 0u);
}

namespace {

bool same_colour(Rgba a, Rgba b) {
  return a.r == b.r && a.g == b.g && a.b == b.b;
}

} // namespace

TEST_F(GameScene, AFrameUpdatesThenDrawsOverTheBackground) {
  Engine engine;
  ASSERT_TRUE(engine.ok());
  Entity &player = game.entities[143]; // at (294, 134)
  player.update = [](Entity *e, Game *) { e->x += 10; };
  player.draw = [](Entity *e, Game *) {
    VEL_DrawSetColor(1.0f, 1.0f, 1.0f, 1.0f);
    VEL_DrawRectangle(true, e->x, e->y, 4, 4);
  };
  game_frame(&game);
  EXPECT_EQ(VEL_GetTick(), 1u);
  EXPECT_TRUE(same_colour(read_pixel(305, 135), Rgba{255, 255, 255, 255}));
  EXPECT_TRUE(same_colour(read_pixel(295, 135), Rgba{102, 76, 76, 0}));
  EXPECT_EQ(updated, (std::vector<int>{0, 48, 96}));
  EXPECT_EQ(drawn.size(), 143u);
}

TEST(GameSounds, LoadInTheOrderOfTheirIds) {
  Engine engine;
  ASSERT_TRUE(engine.ok());
  EXPECT_EQ(game_load_sounds(), 0);
  EXPECT_EQ(VEL_SoundLoad("res/piou.wav", 10.0f), 5); // the next id after the five
  // Each effect plays on the next free channel, where the mixer tells its volume.
  const int volumes[] = {10, 10, 10, 10, 20};
  for (int id = 0; id < 5; ++id) {
    EXPECT_EQ(VEL_PlaySound(id), 0);
    Mix_Chunk *chunk = Mix_GetChunk(id);
    ASSERT_NE(chunk, nullptr) << id;
    EXPECT_EQ(Mix_VolumeChunk(chunk, -1), volumes[id]) << id;
  }
}

// Run only by the next test, in a copy of this program beside a res/ without the last two
// effects.
TEST(GameSounds, DISABLED_StopAtTheFirstMissing) {
  Engine engine;
  ASSERT_TRUE(engine.ok());
  LogCapture log;
  EXPECT_EQ(game_load_sounds(), -1);
  ASSERT_EQ(log.lines().size(), 1u); // "res/blan.wav" was not tried
  EXPECT_EQ(log.lines()[0].rfind("res/box1.wav: ", 0), 0u) << log.lines()[0];
  EXPECT_EQ(VEL_SoundLoad("res/piou.wav", 10.0f), 3);
}

TEST(GameSounds, AMissingEffectStopsTheLoading) {
  namespace fs = std::filesystem;
  const std::string dir = make_temp_dir();
  fs::create_directory(dir + "res");
  for (const char *name : {"res/piou.wav", "res/glass.wav", "res/box0.wav"}) {
    fs::copy_file(exe_dir() + name, dir + name);
  }
  fs::copy_file(exe_dir() + "test_game", dir + "test_game");
  const ProcessResult child =
      run_process({dir + "test_game", "--gtest_also_run_disabled_tests",
                   "--gtest_filter=GameSounds.DISABLED_StopAtTheFirstMissing"});
  EXPECT_EQ(child.exit_code, 0) << child.output;
  EXPECT_NE(child.output.find("[  PASSED  ] 1 test."), std::string::npos) << child.output;
  fs::remove_all(dir);
}
