// cursor.cpp -- the crosshair steered by keys and pads, and the aim assist.
#include "cursor.h"

#include "game.h"
#include "vel.h"

#include <algorithm>
#include <climits>
#include <cmath>
#include <iterator>
#include <tuple>
#include <utility>

// ---- Steering -------------------------------------------------------------------------------

namespace {

constexpr double DEAD_ZONE = 0.25; // of the stick's tilt, ignored: a resting stick drifts
constexpr unsigned DIRECTIONS = 4; // VEL_BUTTON_LEFT, _RIGHT, _UP, _DOWN: buttons 0 to 3

int32_t top_speed = CURSOR_TOP_SPEED;
int32_t held[DIRECTIONS]; // frames each direction has been held, up to the top speed

// A direction's speed this frame: the frames it has been held, a press quicker than a frame
// counting as one.
int32_t direction_speed(unsigned button) {
  const bool down = VEL_ButtonDown(button) || VEL_ButtonPressed(button);
  held[button] = down ? std::min(held[button] + 1, top_speed) : 0;
  return held[button];
}

// The stick's speed in pixels a frame, each axis; false while it rests in the dead zone.
bool stick_speed(double &vx, double &vy) {
  float tx = 0.0f, ty = 0.0f;
  VEL_StickTilt(&tx, &ty);
  const double tilt = std::hypot(tx, ty);
  if (tilt <= DEAD_ZONE) {
    return false;
  }
  const double k = std::min((tilt - DEAD_ZONE) / (1.0 - DEAD_ZONE), 1.0) * top_speed / tilt;
  vx = tx * k;
  vy = ty * k;
  return true;
}

// The whole pixels of a speed with its remainder, the fraction kept for the next frame.
int32_t whole_pixels(double speed, double &rem) {
  rem += speed;
  const auto whole = static_cast<int32_t>(rem);
  rem -= whole;
  return whole;
}

int32_t on_canvas(int64_t v, int32_t size) {
  return static_cast<int32_t>(std::clamp<int64_t>(v, 0, size - 1));
}

} // namespace

void cursor_set_top_speed(int32_t pixels) {
  top_speed = std::max(pixels, 1);
}

bool cursor_steer(Entity *cursor) {
  double vx = 0.0, vy = 0.0;
  const bool tilted = stick_speed(vx, vy);
  if (!tilted) {
    cursor->rem_x = cursor->rem_y = 0.0;
  }
  const int64_t dx = direction_speed(VEL_BUTTON_RIGHT) - direction_speed(VEL_BUTTON_LEFT) +
                     whole_pixels(vx, cursor->rem_x);
  const int64_t dy = direction_speed(VEL_BUTTON_DOWN) - direction_speed(VEL_BUTTON_UP) +
                     whole_pixels(vy, cursor->rem_y);
  if (!tilted && std::all_of(std::begin(held), std::end(held), [](int32_t h) { return h == 0; })) {
    return false;
  }
  cursor->x = on_canvas(cursor->x + dx, GAME_WIDTH);
  cursor->y = on_canvas(cursor->y + dy, GAME_HEIGHT);
  return true;
}

// ---- The aim assist -------------------------------------------------------------------------

namespace {

// An entity's place in reading order: its centre's row, then column, then its slot.
using Order = std::tuple<int32_t, int32_t, int32_t>;

constexpr int MAX_CANDIDATES = 32; // coordinates tried on each axis

// Where the assist last put the crosshair, and the place in reading order of what it aimed at:
// while the crosshair stays there, the next press goes on from that thing, whatever the hits
// since have uncovered beneath it.
int32_t aimed_x = INT32_MIN, aimed_y = INT32_MIN;
Order aimed;

Order order_of(const Game *game, const Entity &e) {
  return Order{e.y, e.x, static_cast<int32_t>(&e - game->entities)};
}

// The smashable entity next after `from` in reading order, or null.
Entity *next_after(Game *game, const Order &from) {
  Entity *next = nullptr;
  for (Entity &e : game->entities) {
    if (e.type != 0 && e.smash && order_of(game, e) > from &&
        (!next || order_of(game, e) < order_of(game, *next))) {
      next = &e;
    }
  }
  return next;
}

// The first and the last pixel on one axis at which a press meets e: strictly inside its box.
std::pair<int64_t, int64_t> reach(const Entity &e, bool x_axis) {
  const int32_t size = x_axis ? e.width : e.height;
  const int64_t box = int64_t{x_axis ? e.x : e.y} - size / 2;
  return {box + 1, box + size - 2};
}

// Coordinates worth trying on one axis for a pixel where `target` is what a press smashes: its
// centre, the first it reaches, and the first past each smashable entity in a later slot (drawn
// over it) that meets it -- held to the canvas. The first such pixel in reading order has one
// of these on each axis.
int candidates(Game *game, const Entity &target, bool x_axis, int32_t *out) {
  const int32_t size = x_axis ? GAME_WIDTH : GAME_HEIGHT;
  int n = 0;
  out[n++] = on_canvas(x_axis ? target.x : target.y, size);
  out[n++] = on_canvas(reach(target, x_axis).first, size);
  for (const Entity *e = &target + 1; e < std::end(game->entities) && n < MAX_CANDIDATES; ++e) {
    if (e->type != 0 && e->smash && entity_meet(e, &target)) {
      out[n++] = on_canvas(reach(*e, x_axis).second + 1, size);
    }
  }
  return n;
}

// A canvas pixel where a press smashes `target`, by the rule a press follows; false if none.
bool clear_pixel(Game *game, const Entity &target, int32_t &x, int32_t &y) {
  int32_t xs[MAX_CANDIDATES], ys[MAX_CANDIDATES];
  const int nx = candidates(game, target, true, xs), ny = candidates(game, target, false, ys);
  Entity probe{};
  probe.width = probe.height = 1;
  for (int j = 0; j < ny; ++j) {
    for (int i = 0; i < nx; ++i) {
      probe.x = xs[i];
      probe.y = ys[j];
      if (entity_place_meeting(&probe, game, -1) == &target) {
        x = probe.x;
        y = probe.y;
        return true;
      }
    }
  }
  return false;
}

// Where the next press of the assist starts: the thing it last aimed at, while the crosshair is
// where it put it; else the thing under the crosshair, or the crosshair's own pixel.
Order start_of(const Entity *cursor, Game *game) {
  if (cursor->x == aimed_x && cursor->y == aimed_y) {
    return aimed;
  }
  const Entity *under = entity_place_meeting(cursor, game, -1);
  return under ? order_of(game, *under) : Order{cursor->y, cursor->x, -1};
}

} // namespace

bool cursor_aim(Entity *cursor, Game *game) {
  const Order start = start_of(cursor, game);
  // Onward from the crosshair to the end of the order, then round from its start to where
  // the crosshair is, the thing under it last.
  Order from = start;
  for (int lap = 0; lap < 2; ++lap, from = Order{INT32_MIN, INT32_MIN, -1}) {
    for (Entity *e = next_after(game, from); e && (lap == 0 || order_of(game, *e) <= start);
         e = next_after(game, from)) {
      from = order_of(game, *e);
      if (clear_pixel(game, *e, cursor->x, cursor->y)) {
        aimed_x = cursor->x;
        aimed_y = cursor->y;
        aimed = from;
        return true;
      }
    }
  }
  return false;
}
