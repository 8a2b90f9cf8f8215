// map.cpp -- the queries on the current level, answered from the constant records that the
// build generates from the editor's maps, or from a level played in their place.
#include "map.h"

namespace {

uint32_t map_id = 0;               // index of the current level in lvgen_maps
const lvgen_map *played = nullptr; // played in place of lvgen_maps when not null

const lvgen_map &map_current() {
  return played != nullptr ? *played : *lvgen_maps[map_id];
}

} // namespace

void map_play(const lvgen_map *level) {
  played = level;
}

void map_next() {
  if (lvgen_maps[map_id + 1] != nullptr) {
    ++map_id;
  }
}

int32_t map_width() {
  return map_current().width;
}

int32_t map_height() {
  return map_current().height;
}

int32_t map_get(int32_t x, int32_t y) {
  if (x < 0 || y < 0 || x >= map_width() || y >= map_height()) {
    return MAP_SOLID;
  }
  return map_current().layers[0].data[y * map_width() + x];
}

int32_t map_get_px(int32_t px, int32_t py) {
  if (px < 0 || py < 0) {
    return MAP_SOLID;
  }
  return map_get(px / MAP_CELL_PIXELS, py / MAP_CELL_PIXELS);
}

void map_draw() {}

const lvgen_object *map_objects(uint32_t *count) {
  if (count != nullptr) {
    *count = map_current().num_objects;
  }
  return map_current().objects;
}
