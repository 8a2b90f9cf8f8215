// lvgen.h -- the level generator's parts: reading and checking the editor's JSON maps, and
// writing their constant records as one C++ source.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

struct LvLayer {
  std::string name;
  double opacity;
  int32_t offset_x, offset_y;
  std::vector<int32_t> data; // width x height tile numbers, row-major
};

struct LvObject {
  std::string type; // the editor's "type", or its newer "class"
  std::string name;
  int32_t id;
  double x, y, width, height, rotation;
  bool visible;
};

struct LvMap {
  std::string path; // as given on the command line
  int32_t width, height, tilewidth, tileheight;
  std::vector<LvLayer> layers;   // the tile layers, in file order
  std::vector<LvObject> objects; // the objects of every object layer, in file order
};

// Reads the map file at path into *map. On any fault returns false and sets *error to one
// line: the JSON path of the fault, what was expected there and what was found.
bool lvgen_read_map(const std::string &path, LvMap *map, std::string *error);

// The C++ name of the record made from a map path: every character other than a letter or
// a digit becomes '_' ("map/fendor.tmj" gives "map_fendor_tmj"), and a name that would not
// start with a letter gets an 'm' in front.
std::string lvgen_record_name(const std::string &path);

// Writes the source that defines the records of maps and the null-terminated lvgen_maps in
// their order into *source. Fails with *error naming the map whose records would take a name
// that is already used.
bool lvgen_emit(const std::vector<LvMap> &maps, std::string *source, std::string *error);
