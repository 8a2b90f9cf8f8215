// map.cpp -- the queries on the current level, answered from the constant records that the
// build generates from the editor's maps, or from records made at run time from a map file.
#include "map.h"

#include "mapfile.h"

#include <SDL_log.h>

#include <memory>

namespace {

// A level read at run time: the reader's map, which owns the strings and tile numbers, and
// the records that point into it.
struct FileLevel {
  LvMap source;
  std::vector<lvgen_layer> layers;
  std::vector<lvgen_object> objects;
  lvgen_map record;
};

uint32_t map_id = 0;                   // index of the current level in lvgen_maps
std::unique_ptr<FileLevel> file_level; // played instead of lvgen_maps when not null

const lvgen_map &map_current() {
  return file_level ? file_level->record : *lvgen_maps[map_id];
}

// Points the records of level at its source.
void make_records(FileLevel *level) {
  const LvMap &map = level->source;
  for (const LvLayer &layer : map.layers) {
    level->layers.push_back(
        {layer.name.c_str(), layer.opacity, layer.offset_x, layer.offset_y, layer.data.data()});
  }
  for (const LvObject &o : map.objects) {
    level->objects.push_back(
        {o.type.c_str(), o.name.c_str(), o.id, o.x, o.y, o.width, o.height, o.rotation, o.visible});
  }
  level->record = {map.path.c_str(),     map.width,
                   map.height,           map.tilewidth,
                   map.tileheight,       static_cast<uint32_t>(level->layers.size()),
                   level->layers.data(), static_cast<uint32_t>(level->objects.size()),
                   level->objects.data()};
}

} // namespace

int map_load_file(const char *path) {
  auto level = std::make_unique<FileLevel>();
  std::vector<std::string> lines;
  bool good = mapfile_read(path, &level->source, &lines);
  for (const std::string &line : lines) {
    SDL_Log("%s", line.c_str());
  }
  if (!good) {
    return -1;
  }
  make_records(level.get());
  file_level = std::move(level);
  return 0;
}

bool map_reload() {
  // A copy: the level that holds the path is replaced when the file is good.
  const std::string path = file_level ? file_level->source.path : "";
  return file_level && map_load_file(path.c_str()) == 0;
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
