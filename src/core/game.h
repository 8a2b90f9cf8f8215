// game.h -- the game state: a fixed pool of entities, the scene built from the level, and
// the passes run once per frame.
#pragma once

#include "entity.h"
#include "mapfile.h"
#include "vel.h"

#include <cstdint>

// The pool's size, which the map reader warns of a level's objects beyond.
constexpr int GAME_MAX_ENTITIES = MAPFILE_MAX_OBJECTS;
// The canvas the game is drawn on, in pixels; the level has the same size.
constexpr int32_t GAME_WIDTH = 640;
constexpr int32_t GAME_HEIGHT = 480;

// The game's engine configuration: the canvas at 30 frames per second in a resizable window
// titled "pordeck", square pixels, no key-binding window, the system cursor hidden.
inline constexpr VEL_Config GAME_CONFIG = {
    .display_width = GAME_WIDTH,
    .display_height = GAME_HEIGHT,
    .target_fps = 30,
    .tile_size = 16,
    .title = "pordeck",
    .ratio = 0.0,
    .disable_bind_menu = true,
    .hide_cursor = true,
};

// The same with frame pacing off, so that a frame costs only its own work: for measuring
// and testing.
constexpr VEL_Config game_config_unpaced() {
  VEL_Config config = GAME_CONFIG;
  config.target_fps = 0;
  return config;
}

// Background of every frame, under the entities: red, green, blue, alpha from 0 to 1.
constexpr float GAME_BACKGROUND[4] = {0.4f, 0.3f, 0.3f, 0.0f};

// Props still standing: every box and window adds one when spawned and takes it back when
// finished (a window's only hit, a box's second).
extern int32_t destructibles;
// Centre of the last prop finished; the alarm clocks appear there once none stand.
extern int32_t des_x, des_y;

struct Game {
  uint32_t next_map_timer;            // frames until the next level is built; 0 = not armed
  uint32_t restart_timer;             // frames until the scene is rebuilt; 0 = not armed
  Entity entities[GAME_MAX_ENTITIES]; // slot order is update and draw order
};

// Clears the whole game and builds the scene of the current level.
void game_init(Game *game);
// Starts a fresh round: frees every slot, resets the props' shared count and spawns one
// entity per level object of a registered kind, in object order, into slots 0, 1, 2, ...
void game_restart_scene(Game *game);
// The first free slot, or slot 511 when every slot is live.
Entity *game_create_entity(Game *game);
// Runs the timers, then the update of every live entity in slot order.
void game_update(Game *game);
// Draws the level, then every live entity in slot order.
void game_draw(Game *game);
// Number of slots whose type equals `type` (0 counts free slots).
uint32_t game_entity_count(const Game *game, int32_t type);
// First slot whose type equals `type`, or null.
Entity *game_get_entity(Game *game, int32_t type);
// One pass of the main loop: input, update, then a drawn and presented frame. F5 reads a level
// played from a file again (map_reload) and, when it is good, restarts the scene on it.
void game_frame(Game *game);
