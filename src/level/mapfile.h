// mapfile.h -- the reader of the editor's JSON maps, as Tiled saves them: one reader, with the
// same checks and messages, for the level generator at build time and for `pordeck --level`
// at run time. It keeps what the level records (map.h) need and says, line by line, what it
// left out and what it cannot take.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

struct LvLayer {
  std::string name;
  double opacity;
  int32_t offset_x, offset_y; // with the offsets of its enclosing groups
  std::vector<int32_t> data;  // width x height tile numbers, row-major
};

struct LvObject {
  std::string type; // the editor's "type", or its newer "class"
  std::string name;
  int32_t id;
  double x, y, width, height, rotation; // x and y moved by the offsets of its layers
  bool visible;
};

struct LvMap {
  std::string path; // as given
  int32_t width, height, tilewidth, tileheight;
  std::vector<LvLayer> layers;   // the visible tile layers, groups flattened, in file order
  std::vector<LvObject> objects; // the objects of every visible object layer, in file order
};

// At most this many faults are listed, then one line "FILE: and N more faults"; the same for
// warnings.
constexpr size_t MAPFILE_LISTED = 20;
// The game's pool holds this many entities: a level's objects beyond it find no place of
// their own.
constexpr uint32_t MAPFILE_MAX_OBJECTS = 512;
// The class of the object that becomes the player's crosshair.
constexpr char MAPFILE_PLAYER_CLASS[] = "player";

// Reads the map file at path into *map. *lines gets what the reader has to say: its warnings
// ("FILE: PATH: warning: ...", for what it left out), then its faults ("FILE: PATH: expected
// ..., found ..."), each line naming the file and the JSON path. Returns false when there is
// any fault: the map is refused.
bool mapfile_read(const std::string &path, LvMap *map, std::vector<std::string> *lines);
