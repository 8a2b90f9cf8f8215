// entity.h -- the one record every entity is made of, and the geometry on entity boxes.
//
// An entity's box is centred on (x, y): left = x - width / 2, top = y - height / 2 (halves
// truncated toward zero), right = left + width - 1, bottom = top + height - 1, all inclusive.
#pragma once

#include <cstdint>

struct Entity;
struct Game;

using EntityFn = void (*)(Entity *e, Game *game);

struct Entity {
  EntityFn update;         // run once per frame while live; may be null
  EntityFn draw;           // run once per frame while live; may be null
  EntityFn smash;          // run when the player clicks it; null means it cannot be clicked
  int32_t type;            // type id of the kind; 0 marks a free pool slot
  int32_t x, y;            // centre of the box in canvas pixels
  double speed_x, speed_y; // pixels per entity_move
  double rem_x, rem_y;     // sub-pixel remainders carried between moves
  int32_t width, height;
  bool noclip;    // entity_move ignores solid pixels
  bool destroyed; // hit at least once: drawn damaged
  double flash;   // the cursor's click flash, 1.0 right after a click
};

// Type id of the first kind registered under name, or 0 after printing
// "unknown type '<name>'" on standard output.
int32_t entity_type(const char *name);
// Fills e through the init of kind `type` (a registered id) and returns e.
Entity *entity_init(Entity *e, int32_t type, int32_t x, int32_t y);

// True when one of the four corners of e's box, moved by (dx, dy), lies on a solid pixel.
// Along edges longer than a level cell it also tests points at most 16 pixels apart.
bool entity_collide(const Entity *e, int32_t dx, int32_t dy);
// True when the boxes overlap by more than one shared row or column (strict comparisons).
bool entity_meet(const Entity *a, const Entity *b);
// The entity in the highest pool slot, other than e, that meets e and is of kind `type`,
// or for type -1 has a smash operation; null when there is none.
Entity *entity_place_meeting(const Entity *e, Game *game, int32_t type);
// Moves e by its speed plus remainder, pixel by pixel, stopping an axis at solid pixels
// (unless noclip); a blocked axis loses its speed and remainder.
void entity_move(Entity *e);
