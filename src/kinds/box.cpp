// box.cpp -- the crate: the first hit cracks it, the second breaks it and frees its slot.
#include "entitytag.h"
#include "game.h"
#include "kind.h"
#include "sounds.h"

namespace {

EntityFn _draw, _smash;

void init(Entity *e, int32_t x, int32_t y) {
  kind_init(e, "box", x, y, PROP_SIZE, nullptr, _draw, _smash);
  destructibles += 1;
}

void draw(Entity *e, Game *) {
  kind_draw(e, "res/box.bmp", "res/boxdestroyed.bmp");
}

void smash(Entity *e, Game *) {
  VEL_PlaySound(e->destroyed ? SOUND_BOX_BREAK : SOUND_BOX_CRACK);
  if (e->destroyed) {
    e->type = 0;
    e->smash = nullptr;
    destructibles -= 1;
    des_x = e->x;
    des_y = e->y;
  }
  e->destroyed = true;
}

void init_draw() {
  _draw = draw;
}
void init_smash() {
  _smash = smash;
}
void init_tag() {
  entitytag_add("box", init);
}

} // namespace

void box_register() {
  init_draw();
  init_smash();
  init_tag();
}
