// mapload.cpp -- a level read from a map file at run time, with the map reader that the level
// generator uses, played in place of the compiled-in ones.
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

std::unique_ptr<FileLevel> file_level; // the level read last, or null

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
  map_play(&level->record);
  file_level = std::move(level);
  return 0;
}

bool map_reload() {
  // A copy: the level that holds the path is replaced when the file is good.
  const std::string path = file_level ? file_level->source.path : "";
  return file_level && map_load_file(path.c_str()) == 0;
}
