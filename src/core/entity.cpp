// entity.cpp -- type look-up and initialisation of entity records, and the geometry on their
// boxes: solid-pixel tests, overlap, the topmost entity met, and movement.
#include "entity.h"

#include "entitytag.h"
#include "game.h"
#include "map.h"

#include <algorithm>
#include <cstdio>
#include <cstring>

namespace {

// Along an edge, sample points lie at most one level cell apart, so no solid cell fits
// between two of them.
constexpr int32_t EDGE_STEP = MAP_CELL_PIXELS;

// Inclusive pixel bounds of an entity's box, wide enough that no centre in the int32 range
// makes them overflow or wrap.
struct Box {
  int64_t left, top, right, bottom;
};

Box entity_box(const Entity *e) {
  const int64_t left = int64_t{e->x} - e->width / 2;
  const int64_t top = int64_t{e->y} - e->height / 2;
  return Box{left, top, left + e->width - 1, top + e->height - 1};
}

// A pixel beyond the int32 range lies as far outside the level as the range's end.
int32_t pixel(int64_t p) {
  return static_cast<int32_t>(std::clamp<int64_t>(p, INT32_MIN, INT32_MAX));
}

bool solid(int64_t px, int64_t py) {
  return map_get_px(pixel(px), pixel(py)) == MAP_SOLID;
}

// The points strictly between the corners, on the top and bottom edges, then on the left
// and right edges.
bool edges_solid(const Box &b) {
  for (int64_t px = b.left + EDGE_STEP; px < b.right; px += EDGE_STEP) {
    if (solid(px, b.top) || solid(px, b.bottom)) {
      return true;
    }
  }
  for (int64_t py = b.top + EDGE_STEP; py < b.bottom; py += EDGE_STEP) {
    if (solid(b.left, py) || solid(b.right, py)) {
      return true;
    }
  }
  return false;
}

// Moves one coordinate by speed plus remainder, a pixel at a time; a step onto a solid
// pixel is taken back and the axis loses its speed and remainder.
void move_axis(Entity *e, int32_t &pos, double &speed, double &rem) {
  const double total = speed + rem;
  const auto steps = static_cast<int32_t>(total);
  rem = total - steps;
  const int32_t step = steps > 0 ? 1 : -1;
  for (int32_t i = 0; i != steps; i += step) {
    pos += step;
    if (entity_collide(e, 0, 0)) {
      pos -= step;
      speed = 0.0;
      rem = 0.0;
      return;
    }
  }
}

// Without collision: the whole amount at once, remainder kept.
void slide_axis(int32_t &pos, double speed, double &rem) {
  const double total = speed + rem;
  const auto steps = static_cast<int32_t>(total);
  pos += steps;
  rem = total - steps;
}

} // namespace

int32_t entity_type(const char *name) {
  for (uint32_t i = 0; i < num_entitytags; ++i) {
    if (std::strcmp(name, entitytags[i].name) == 0) {
      return static_cast<int32_t>(i + 1);
    }
  }
  std::printf("unknown type '%s'\n", name);
  return 0;
}

Entity *entity_init(Entity *e, int32_t type, int32_t x, int32_t y) {
  entitytags[type - 1].init(e, x, y);
  return e;
}

bool entity_collide(const Entity *e, int32_t dx, int32_t dy) {
  Box b = entity_box(e);
  b.left += dx;
  b.right += dx;
  b.top += dy;
  b.bottom += dy;
  return solid(b.left, b.top) || solid(b.left, b.bottom) || solid(b.right, b.top) ||
         solid(b.right, b.bottom) || edges_solid(b);
}

bool entity_meet(const Entity *a, const Entity *b) {
  const Box ba = entity_box(a);
  const Box bb = entity_box(b);
  return bb.bottom > ba.top && bb.right > ba.left && bb.left < ba.right && bb.top < ba.bottom;
}

Entity *entity_place_meeting(const Entity *e, Game *game, int32_t type) {
  for (int slot = GAME_MAX_ENTITIES - 1; slot >= 0; --slot) {
    Entity *other = &game->entities[slot];
    if (other == e) {
      continue;
    }
    const bool candidate = type == -1 ? other->smash != nullptr : other->type == type;
    if (candidate && entity_meet(e, other)) {
      return other;
    }
  }
  return nullptr;
}

void entity_move(Entity *e) {
  if (e->noclip) {
    slide_axis(e->x, e->speed_x, e->rem_x);
    slide_axis(e->y, e->speed_y, e->rem_y);
    return;
  }
  if (entity_collide(e, 0, 0)) {
    e->speed_x = e->speed_y = 0.0;
    e->rem_x = e->rem_y = 0.0;
    return;
  }
  move_axis(e, e->x, e->speed_x, e->rem_x);
  move_axis(e, e->y, e->speed_y, e->rem_y);
}
