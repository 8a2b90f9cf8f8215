// kinds.h -- the game's four entity kinds, the sounds they play and the state the props
// share with the alarm clock.
#pragma once

#include "entity.h"
#include "vel.h"

#include <cstdint>

void window_register();
void player_register();
void box_register();
void alarm_register();

// Registers the kinds in the order that gives them the type ids 1 to 4. Call once, before
// the first scene is built.
inline void kinds_register() {
  window_register();
  player_register();
  box_register();
  alarm_register();
}

// Sound ids: the order in which game_load_sounds loads the effects.
enum KindSound : int {
  SOUND_SHOT,      // the cursor's click
  SOUND_GLASS,     // a window shattering
  SOUND_BOX_CRACK, // the first hit on a box
  SOUND_BOX_BREAK, // the second hit, which breaks it
  SOUND_CLOCK,     // the alarm clock hit
};

// Props still standing: every box and window adds one when spawned and takes it back when
// finished (a window's only hit, a box's second).
inline int32_t destructibles = 0;
// Centre of the last prop finished; the alarm clocks appear there once none stand.
inline int32_t des_x = 0;
inline int32_t des_y = 0;

// Resets e to a fresh entity of the named kind centred on (x, y), with the kind's
// operations and a box of the given size; nothing of the slot's former occupant survives.
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
constexpr VEL_ImageParams KIND_SPRITE = {0, 0, -1, -1, 1.0, 1.0, 0.0, 1, 0, 0};

// Draws e's image untinted and centred on it: the damaged one once e has been hit. The
// engine finds an image loaded before by its path.
inline void kind_draw(const Entity *e, const char *intact, const char *damaged) {
  VEL_DrawSetColor(1.0f, 1.0f, 1.0f, 1.0f);
  VEL_DrawImageEx(VEL_ImageLoad(e->destroyed ? damaged : intact), e->x, e->y, &KIND_SPRITE);
}
