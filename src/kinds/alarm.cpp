// alarm.cpp -- the alarm clock. Its alarm rings from the moment it spawns; it waits off the
// canvas while any prop stands, then appears where the last one fell. Hitting it silences
// the alarm for good.
#include "entitytag.h"
#include "game.h"
#include "kind.h"
#include "sounds.h"

#include <algorithm>

namespace {

constexpr int32_t PARKED = -100; // off the canvas, out of every click's reach

EntityFn _update, _draw, _smash;

void init(Entity *e, int32_t x, int32_t y) {
  kind_init(e, "alarm", x, y, CLOCK_SIZE, _update, _draw, _smash);
  // One track for all clocks: each spawn restarts it.
  VEL_PlayMusic("res/alarm.wav", -1);
}

// Once no prop stands, the clock stands where the last one fell, moved in just far enough
// that the whole clock is on the canvas, where the player can see and hit it.
void update(Entity *e, Game *) {
  e->x = PARKED;
  e->y = PARKED;
  if (destructibles == 0) {
    e->x = std::clamp(des_x, CLOCK_SIZE / 2, GAME_WIDTH - CLOCK_SIZE / 2);
    e->y = std::clamp(des_y, CLOCK_SIZE / 2, GAME_HEIGHT - CLOCK_SIZE / 2);
  }
}

void draw(Entity *e, Game *) {
  kind_draw(e, "res/clock.bmp", "res/clockdestroyed.bmp");
}

void smash(Entity *e, Game *) {
  VEL_PlaySound(SOUND_CLOCK);
  VEL_StopMusic();
  e->destroyed = true;
  e->smash = nullptr;
}

void init_update() {
  _update = update;
}
void init_draw() {
  _draw = draw;
}
void init_smash() {
  _smash = smash;
}
void init_tag() {
  entitytag_add("alarm", init);
}

} // namespace

void alarm_register() {
  init_update();
  init_draw();
  init_smash();
  init_tag();
}
