// game.cpp -- the pool of entities, the scene built from the level's objects, and the passes
// run once per frame.
#include "game.h"

#include "kinds.h"
#include "map.h"
#include "vel.h"

#include <cstring>
#include <iterator>

namespace {

// The sound effects in load order: the engine hands out ids in that order, which are the
// ids the kinds play (KindSound). Volumes are in the mixer's units (0..128).
struct SoundFile {
  const char *path;
  float volume;
};
constexpr SoundFile SOUNDS[] = {
    {"res/piou.wav", 10.0f},  // SOUND_SHOT
    {"res/glass.wav", 10.0f}, // SOUND_GLASS
    {"res/box0.wav", 10.0f},  // SOUND_BOX_CRACK
    {"res/box1.wav", 10.0f},  // SOUND_BOX_BREAK
    {"res/blan.wav", 20.0f},  // SOUND_CLOCK
};
static_assert(std::size(SOUNDS) == SOUND_CLOCK + 1, "one file per sound the kinds play");

// Background of every frame, under the entities.
constexpr float BACKGROUND[] = {0.4f, 0.3f, 0.3f, 0.0f};

bool live(const Entity &e) {
  return e.type != 0;
}

// Counts a timer down; true when it runs out in this call.
bool timer_fires(uint32_t &timer) {
  if (timer == 0) {
    return false;
  }
  --timer;
  return timer == 0;
}

// The centre of an object's rectangle (the point itself for a point object), truncated
// toward zero.
void spawn(Game *game, const lvgen_object &object) {
  const int32_t type = entity_type(object.type);
  if (type == 0) {
    return;
  }
  const auto cx = static_cast<int32_t>(object.x + object.width * 0.5);
  const auto cy = static_cast<int32_t>(object.y + object.height * 0.5);
  entity_init(game_create_entity(game), type, cx, cy);
}

} // namespace

void game_init(Game *game) {
  std::memset(game, 0, sizeof *game);
  game_restart_scene(game);
}

void game_restart_scene(Game *game) {
  std::memset(game->entities, 0, sizeof game->entities);
  // A fresh round: the props of the new scene count themselves in from zero.
  destructibles = 0;
  des_x = 0;
  des_y = 0;
  uint32_t count = 0;
  const lvgen_object *objects = map_objects(&count);
  for (uint32_t i = 0; i < count; ++i) {
    spawn(game, objects[i]);
  }
}

Entity *game_create_entity(Game *game) {
  for (Entity &e : game->entities) {
    if (!live(e)) {
      return &e;
    }
  }
  return &game->entities[GAME_MAX_ENTITIES - 1];
}

void game_update(Game *game) {
  if (timer_fires(game->next_map_timer)) {
    game->restart_timer = 0;
    map_next();
    game_restart_scene(game);
    return;
  }
  if (timer_fires(game->restart_timer)) {
    game_restart_scene(game);
  }
  // Each slot is read when the walk reaches it, so what an earlier update changed counts.
  for (Entity &e : game->entities) {
    if (live(e) && e.update) {
      e.update(&e, game);
    }
  }
}

void game_draw(Game *game) {
  map_draw();
  for (Entity &e : game->entities) {
    if (live(e) && e.draw) {
      e.draw(&e, game);
    }
  }
}

uint32_t game_entity_count(const Game *game, int32_t type) {
  uint32_t count = 0;
  for (const Entity &e : game->entities) {
    count += e.type == type ? 1 : 0;
  }
  return count;
}

Entity *game_get_entity(Game *game, int32_t type) {
  for (Entity &e : game->entities) {
    if (e.type == type) {
      return &e;
    }
  }
  return nullptr;
}

int game_load_sounds() {
  for (const SoundFile &sound : SOUNDS) {
    if (VEL_SoundLoad(sound.path, sound.volume) < 0) {
      return -1;
    }
  }
  return 0;
}

void game_frame(Game *game) {
  VEL_CycleEvents();
  game_update(game);
  VEL_DrawBegin();
  VEL_DrawSetColor(BACKGROUND[0], BACKGROUND[1], BACKGROUND[2], BACKGROUND[3]);
  VEL_DrawClear();
  game_draw(game);
  VEL_DrawEnd();
}
