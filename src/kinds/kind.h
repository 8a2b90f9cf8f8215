// kind.h -- what the kinds share: a fresh entity record, and the way they draw their sprite.
#pragma once

#include "entity.h"
#include "vel.h"

#include <cstdint>

// Box sizes of the kinds, in pixels (square).
constexpr int32_t PROP_SIZE = 64;  // box and window
constexpr int32_t CLOCK_SIZE = 32; // alarm clock
constexpr int32_t CURSOR_SIZE = 1; // the player's cursor: the pixel under the mouse

// Resets e to a fresh entity of the named kind centred on (x, y), with the kind's
// operations and a square box of the given size; nothing of the slot's former occupant
// survives.
inline void kind_init(Entity *e, const char *name, int32_t x, int32_t y, int32_t size,
                      EntityFn update, EntityFn draw, EntityFn smash) {
  *e = Entity{};
  e->x = x;
  e->y = y;
  e->update = update;
  e->draw = draw;
  e->smash = smash;
  e->type = entity_type(name);
  e->width = size;
  e->height = size;
}

// How the kinds draw their images: whole, unscaled, unturned, centred on the entity, unflipped.
constexpr VEL_ImageParams KIND_SPRITE = {
    .src_x = 0,
    .src_y = 0,
    .src_w = -1,
    .src_h = -1,
    .scale_x = 1.0,
    .scale_y = 1.0,
    .rotation = 0.0,
    .center = 1,
    .flip_h = 0,
    .flip_v = 0,
};

// Draws e's image untinted and centred on it: the damaged one once e has been hit. The
// engine finds an image loaded before by its path.
inline void kind_draw(const Entity *e, const char *intact, const char *damaged) {
  VEL_DrawSetColor(1.0f, 1.0f, 1.0f, 1.0f);
  VEL_DrawImageEx(VEL_ImageLoad(e->destroyed ? damaged : intact), e->x, e->y, &KIND_SPRITE);
}
