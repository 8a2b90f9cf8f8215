// map.h -- the levels, compiled in as constant records generated from the editor's maps (or
// one read from a map file at run time), and the queries the game makes on the current level.
#pragma once

#include <cstdint>

struct lvgen_layer {
  const char *name;
  double opacity;
  int32_t offset_x, offset_y; // the layer's offset in pixels; 0 in the shipped level
  const int32_t *data;        // width x height tile values, row-major; 0 empty, 1 solid
};

struct lvgen_object {
  const char *type; // the entity kind to spawn
  const char *name;
  int32_t id;           // unique within the level
  double x, y;          // top-left corner in level pixels
  double width, height; // 0 for a point object
  double rotation;
  bool visible;
};

struct lvgen_map {
  const char *path;      // the map file the record was generated from
  int32_t width, height; // in tiles
  int32_t tilewidth, tileheight;
  uint32_t num_layers;
  const lvgen_layer *layers;
  uint32_t num_objects;
  const lvgen_object *objects; // in spawn order
};

// Pixels map to cells on a fixed 16-pixel grid, whatever a level's own tile size.
constexpr int32_t MAP_CELL_PIXELS = 16;
// The tile value of a solid cell; every cell outside the grid answers it too.
constexpr int32_t MAP_SOLID = 1;

// Every level in order, then a null pointer (generated at build time).
extern const lvgen_map *const lvgen_maps[];

// A level read at run time

// Reads the map file at path with the level generator's reader (mapfile.h), logging each line
// it has to say, and makes it the level played in place of the compiled-in ones. Returns 0, or
// -1 when the map is refused: the level played then stays as it was.
int map_load_file(const char *path);
// Reads the level played again, as map_load_file does, when it came from a file; true when
// that changed the level. A compiled-in level is left alone: false, nothing read.
bool map_reload();
// Plays level (records that outlive its play) in place of the compiled-in ones; null gives
// them back.
void map_play(const lvgen_map *level);

// Queries on the current level

// Moves to the next level if there is one.
void map_next();
// Width and height of the current level in tiles.
int32_t map_width();
int32_t map_height();
// Tile value of cell (x, y) of the first layer; 1 outside the grid.
int32_t map_get(int32_t x, int32_t y);
// Tile value under pixel (px, py) on a 16-pixel grid; 1 outside the level.
int32_t map_get_px(int32_t px, int32_t py);
// Draws the level's tiles: the shipped levels have none to draw.
void map_draw();
// The current level's objects; their number goes to *count unless count is null.
const lvgen_object *map_objects(uint32_t *count);
