// game.cpp -- the pool of entities, the scene built from the level's objects, and the passes
// run once per frame.
#include "game.h"

#include "map.h"
#include "vel.h"

#include <cstring>

int32_t destructibles = 0;
int32_t des_x = 0;
int32_t des_y = 0;

namespace {

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

void game_frame(Game *game) {
  VEL_CycleEvents();
  // F5 reads a level played from a file again, and plays the new one from its start.
  if (VEL_KeyPressed(SDL_SCANCODE_F5) && map_reload()) {
    game_restart_scene(game);
  }
  game_update(game);
  VEL_DrawBegin();
  VEL_DrawSetColor(GAME_BACKGROUND[0], GAME_BACKGROUND[1], GAME_BACKGROUND[2], GAME_BACKGROUND[3]);
  VEL_DrawClear();
  game_draw(game);
  VEL_DrawEnd();
}
