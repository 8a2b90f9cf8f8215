// records.h -- a level's records in one line, for a test to compare: its size, the tiles of its
// first layer (one digit each: the tests' tiles are 0 and 1) and its objects. Shared by
// test_tools and the program it compiles from the level generator's output.
#pragma once

#include "map.h"

#include <sstream>
#include <string>

inline std::string records_line(int32_t width, int32_t height, const int32_t *tiles,
                                const lvgen_object *objects, uint32_t count) {
  std::ostringstream line;
  line << width << "x" << height << " ";
  for (int32_t i = 0; i < width * height; ++i)
    line << tiles[i];
  for (const lvgen_object *o = objects; o < objects + count; ++o)
    line << " " << o->type << " " << o->id << " (" << o->x << "," << o->y << " " << o->width << "x"
         << o->height << ")";
  return line.str();
}

inline std::string records_line(const lvgen_map &map) {
  return records_line(map.width, map.height, map.layers[0].data, map.objects, map.num_objects);
}
