// player.cpp -- the cursor: a one-pixel entity that follows the mouse, or moves by keys and
// pads (cursor.h), flickers through its flips, and on each press of the left button or of A
// fires: a shot sound, a red flash, and a smash of the topmost smashable entity under it.
#include "cursor.h"
#include "entitytag.h"
#include "game.h"
#include "kind.h"
#include "sounds.h"

#include <algorithm>

namespace {

// res/cursor.bmp is 23 x 23; its centre pixel (11, 11) goes on the mouse under every flip.
constexpr int32_t CROSSHAIR_HALF = 11;

EntityFn _update, _draw;

// The sprite's corner for a cursor centred at c, held to the int range: the mouse may be at
// INT_MIN when the window is smaller than the canvas.
int32_t corner(int32_t c) {
  return static_cast<int32_t>(std::max<int64_t>(int64_t{c} - CROSSHAIR_HALF, INT32_MIN));
}

void init(Entity *e, int32_t x, int32_t y) {
  kind_init(e, "player", x, y, CURSOR_SIZE, _update, _draw, nullptr);
}

void fire(Entity *e, Game *game) {
  e->flash = 1.0;
  VEL_PlaySound(SOUND_SHOT);
  Entity *target = entity_place_meeting(e, game, -1);
  if (target && target->smash) {
    target->smash(target, game);
  }
}

// True when the button went down since the last update: down now and not then, or down and
// up again in between (a click shorter than a frame).
bool went_down(unsigned button, bool &was_down) {
  const bool down = VEL_ButtonDown(button);
  const bool pressed = (down && !was_down) || VEL_ButtonPressed(button);
  was_down = down;
  return pressed;
}

void update(Entity *e, Game *game) {
  // Program-wide, like the mouse: a button already down at the first update is a press.
  static bool prev_mouse_l = false, prev_a = false, prev_b = false;
  static bool mouse_steers = true;
  // The mouse, once it moves or clicks, takes the crosshair at once; keys and pads move it on
  // from where it is, the mouse's place included.
  mouse_steers = mouse_steers || VEL_MouseActive();
  if (mouse_steers) {
    VEL_MousePosition(&e->x, &e->y);
  }
  const bool steered = cursor_steer(e);
  const bool aimed = went_down(VEL_BUTTON_B, prev_b) && cursor_aim(e, game);
  mouse_steers = mouse_steers && !steered && !aimed;
  e->flash *= 0.9;
  const bool click = went_down(VEL_BUTTON_MOUSE_L, prev_mouse_l);
  if (went_down(VEL_BUTTON_A, prev_a) || click) {
    fire(e, game);
  }
}

// Drawn red right after a shot, fading back to its own colours; the flips cycle every four
// frames (none, vertical, both, horizontal). Placed by its top-left corner: a centred odd-sized
// sprite would start at x - 11.5 truncated toward zero, which puts the centre pixel one pixel
// off the mouse on one side of 0 and on it on the other.
void draw(Entity *e, Game *) {
  VEL_DrawSetColor(1.0f, static_cast<float>(1.0 - e->flash), static_cast<float>(1.0 - e->flash),
                   1.0f);
  const uint64_t tick = VEL_GetTick();
  VEL_ImageParams params = KIND_SPRITE;
  params.center = 0;
  params.flip_h = static_cast<uint8_t>((tick >> 3) & 1);
  params.flip_v = static_cast<uint8_t>(((tick + 4) >> 3) & 1);
  VEL_DrawImageEx(VEL_ImageLoad("res/cursor.bmp"), corner(e->x), corner(e->y), &params);
}

void init_update() {
  _update = update;
}
void init_draw() {
  _draw = draw;
}
void init_tag() {
  entitytag_add("player", init);
}

} // namespace

void player_register() {
  init_update();
  init_draw();
  init_tag();
}
