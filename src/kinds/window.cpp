// window.cpp -- the window pane: one hit shatters it; it stays in place, shattered and no
// longer hittable, so a later click there reaches whatever lies beneath.
#include "entitytag.h"
#include "game.h"
#include "kind.h"
#include "sounds.h"

namespace {

EntityFn _draw, _smash;

void init(Entity *e, int32_t x, int32_t y) {
  kind_init(e, "window", x, y, PROP_SIZE, nullptr, _draw, _smash);
  destructibles += 1;
}

void draw(Entity *e, Game *) {
  kind_draw(e, "res/windowclean.bmp", "res/window.bmp");
}

void smash(Entity *e, Game *) {
  VEL_PlaySound(SOUND_GLASS);
  destructibles -= 1;
  e->smash = nullptr;
  e->destroyed = true;
  des_x = e->x;
  des_y = e->y;
}

void init_draw() {
  _draw = draw;
}
void init_smash() {
  _smash = smash;
}
void init_tag() {
  entitytag_add("window", init);
}

} // namespace

void window_register() {
  init_draw();
  init_smash();
  init_tag();
}
