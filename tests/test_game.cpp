// The game state on the shipped level with the game's own kinds.
#include "game.h"
#include "kinds.h"
#include "sounds.h"
#include "support.h"

#include <SDL_mixer.h>
namespace {

constexpr int32_t WINDOW = 1, BOX = 3, ALARM = 4;

// A running engine (the clocks start the alarm) and the scene of the shipped level.
struct GameScene : testing::Test {
  static void SetUpTestSuite() { kinds_register(); }
  void SetUp() override { game_init(&game); }
  Engine engine;
  Game game;
};

// A timer counts down each update and acts when it runs out: the restart timer rebuilds the
// scene before the entities update; the next-map timer rebuilds it and ends the update.
TEST_F(GameScene, TimersRebuildTheScene) {
  // clang-format off
  const struct { uint32_t next_map, restart, next_map_after, restart_after; bool rebuilt, updated; } cases[] = {
      {0, 0, 0, 0, false, true}, {0, 1, 0, 0, true, true},  {0, 2, 0, 1, false, true},
      {1, 5, 0, 0, true, false}, {2, 5, 1, 4, false, true}};
  // clang-format on
  for (const auto &c : cases) {
    game_init(&game);
    game.next_map_timer = c.next_map, game.restart_timer = c.restart;
    game.entities[5].type = 0; // a window gone
    game_update(&game);
    // A clock parks when it updates.
    EXPECT_EQ(std::tuple(game.next_map_timer, game.restart_timer, game.entities[5].type,
                         game.entities[0].x),
              std::tuple(c.next_map_after, c.restart_after, c.rebuilt ? WINDOW : 0,
                         c.updated ? -100 : 245))
        << c.next_map << "/" << c.restart;
  }
}

// Each round counts its own props from zero and forgets the last one fallen; the timers stay.
// With every slot live, a new entity takes the last slot over.
TEST_F(GameScene, EachRoundCountsItsOwnPropsAndAFullPoolReusesTheLastSlot) {
  EXPECT_EQ(std::tuple(destructibles, game_entity_count(&game, ALARM), game_get_entity(&game, 0),
                       game_get_entity(&game, 99)),
            std::tuple(140, 3u, &game.entities[144], nullptr));
  destructibles = 7, des_x = 11, des_y = 12;
  game.next_map_timer = 9, game.restart_timer = 3;
  game_restart_scene(&game);
  EXPECT_EQ(std::tuple(destructibles, des_x, des_y, game.next_map_timer, game.restart_timer),
            std::tuple(140, 0, 0, 9u, 3u));
  for (int32_t i = 144; i < GAME_MAX_ENTITIES; ++i) {
    ASSERT_EQ(game_create_entity(&game), &game.entities[i]);
    entity_init(&game.entities[i], BOX, i, 0);
  }
  EXPECT_EQ(game_create_entity(&game), &game.entities[511]);
}

// The five effects load in the order of their ids, at their volumes. (A missing one stops
// the program at start-up: see test_faults.)
TEST(GameSounds, LoadInIdOrder) {
  Engine engine;
  EXPECT_EQ(sounds_load(), 0);
  for (int id = 0; id < 5; ++id) {
    EXPECT_EQ(VEL_PlaySound(id), 0); // on the next free channel, where the mixer tells the volume
    EXPECT_EQ(Mix_VolumeChunk(Mix_GetChunk(id), -1), id < 4 ? 10 : 20) << id;
  }
}

} // namespace
