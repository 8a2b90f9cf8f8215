// read.cpp -- reads one of the editor's JSON maps and checks everything the records need,
// reporting the first fault with its JSON path.
#include "lvgen.h"

#include <nlohmann/json.hpp>

#include <algorithm>
#include <cerrno>
#include <cmath>
#include <cstring>
#include <fstream>
#include <map>

using json = nlohmann::json;

namespace {

constexpr int64_t INT32_LOW = INT32_MIN;
constexpr int64_t INT32_HIGH = INT32_MAX;
// Tile numbers are the editor's unsigned 32-bit global ids, flip flags in the top bits.
constexpr int64_t TILE_HIGH = UINT32_MAX;
constexpr size_t SHOWN_STRING_MAX = 40;

// The first fault found, as "PATH: expected ..., found ...".
std::string fault;

// How a value (or a missing one, null) reads in a fault.
std::string describe(const json *value) {
  if (value == nullptr) {
    return "nothing";
  }
  switch (value->type()) {
  case json::value_t::object:
    return "an object";
  case json::value_t::array:
    return "an array";
  case json::value_t::string:
    if (value->get_ref<const std::string &>().size() <= SHOWN_STRING_MAX) {
      return value->dump();
    }
    return "a string";
  default:
    return value->dump();
  }
}

bool fail(const std::string &path, const std::string &expected, const std::string &found) {
  fault = path + ": expected " + expected + ", found " + found;
  return false;
}

bool fail(const std::string &path, const std::string &expected, const json *found) {
  return fail(path, expected, describe(found));
}

const json *member(const json &object, const char *key) {
  auto it = object.find(key);
  return it == object.end() ? nullptr : &*it;
}

// The whole number in value (written with or without a fraction of zero) when it lies
// within [low, high].
bool whole_in(const json &value, int64_t low, int64_t high, int64_t *out) {
  if (value.is_number_unsigned()) {
    uint64_t u = value.get<uint64_t>();
    if (u > static_cast<uint64_t>(high)) {
      return false;
    }
    *out = static_cast<int64_t>(u);
  } else if (value.is_number_integer()) {
    *out = value.get<int64_t>();
  } else if (value.is_number_float()) {
    double d = value.get<double>();
    if (d != std::trunc(d) || d < static_cast<double>(low) || d > static_cast<double>(high)) {
      return false;
    }
    *out = static_cast<int64_t>(d);
  } else {
    return false;
  }
  return *out >= low && *out <= high;
}

bool read_int32(const json &object, const std::string &path, const char *key, int64_t low,
                const std::string &expected, int32_t *out) {
  const json *value = member(object, key);
  int64_t number = 0;
  if (value == nullptr || !whole_in(*value, low, INT32_HIGH, &number)) {
    return fail(path + "." + key, expected, value);
  }
  *out = static_cast<int32_t>(number);
  return true;
}

bool read_optional_int32(const json &object, const std::string &path, const char *key,
                         int32_t *out) {
  *out = 0;
  return member(object, key) == nullptr ||
         read_int32(object, path, key, INT32_LOW, "a whole number of pixels", out);
}

bool read_number(const json &object, const std::string &path, const char *key, double *out) {
  const json *value = member(object, key);
  if (value == nullptr || !value->is_number() || !std::isfinite(value->get<double>())) {
    return fail(path + "." + key, "a number", value);
  }
  *out = value->get<double>();
  return true;
}

bool read_optional_number(const json &object, const std::string &path, const char *key,
                          double fallback, double *out) {
  *out = fallback;
  return member(object, key) == nullptr || read_number(object, path, key, out);
}

bool read_optional_string(const json &object, const std::string &path, const char *key,
                          std::string *out) {
  const json *value = member(object, key);
  if (value == nullptr) {
    out->clear();
    return true;
  }
  if (!value->is_string()) {
    return fail(path + "." + key, "a string", value);
  }
  *out = value->get<std::string>();
  return true;
}

bool read_optional_bool(const json &object, const std::string &path, const char *key, bool *out) {
  const json *value = member(object, key);
  if (value == nullptr) {
    *out = true;
    return true;
  }
  if (!value->is_boolean()) {
    return fail(path + "." + key, "true or false", value);
  }
  *out = value->get<bool>();
  return true;
}

// A key that the editor may leave out but that, when present, must hold this one value.
bool check_optional(const json &object, const std::string &path, const char *key,
                    const json &wanted) {
  const json *value = member(object, key);
  return value == nullptr || *value == wanted || fail(path + "." + key, wanted.dump(), value);
}

bool read_tile_data(const json &layer, const std::string &path, const LvMap &map, LvLayer *out) {
  const json *data = member(layer, "data");
  int64_t cells = int64_t{map.width} * map.height;
  std::string expected = std::to_string(cells) + " tile numbers (" + std::to_string(map.width) +
                         " x " + std::to_string(map.height) + ")";
  if (data == nullptr || !data->is_array()) {
    std::string found = describe(data);
    if (data != nullptr && data->is_string()) {
      found = "a string (the layer is encoded: save it in the CSV tile layer format)";
    }
    return fail(path + ".data", "an array of " + expected, found);
  }
  if (static_cast<int64_t>(data->size()) != cells) {
    return fail(path + ".data", expected, std::to_string(data->size()));
  }
  out->data.reserve(data->size());
  for (size_t i = 0; i < data->size(); ++i) {
    int64_t tile = 0;
    if (!whole_in((*data)[i], 0, TILE_HIGH, &tile)) {
      return fail(path + ".data[" + std::to_string(i) + "]", "a tile number from 0 to 4294967295",
                  &(*data)[i]);
    }
    out->data.push_back(static_cast<int32_t>(static_cast<uint32_t>(tile)));
  }
  return true;
}

bool read_tile_layer(const json &layer, const std::string &path, LvMap *map) {
  LvLayer out;
  if (!check_optional(layer, path, "width", map->width) ||
      !check_optional(layer, path, "height", map->height) ||
      !read_optional_string(layer, path, "name", &out.name) ||
      !read_optional_number(layer, path, "opacity", 1.0, &out.opacity) ||
      !read_optional_int32(layer, path, "offsetx", &out.offset_x) ||
      !read_optional_int32(layer, path, "offsety", &out.offset_y) ||
      !read_tile_data(layer, path, *map, &out)) {
    return false;
  }
  map->layers.push_back(std::move(out));
  return true;
}

// The object's kind: "type", or "class" as newer editors save it.
bool read_object_type(const json &object, const std::string &path, std::string *out) {
  bool newer = member(object, "type") == nullptr && member(object, "class") != nullptr;
  const char *key = newer ? "class" : "type";
  const json *value = member(object, key);
  if (value == nullptr || !value->is_string() || value->get_ref<const std::string &>().empty()) {
    return fail(path + "." + key, "the name of the object's type", value);
  }
  *out = value->get<std::string>();
  return true;
}

bool read_object(const json &object, const std::string &path, std::map<int32_t, std::string> *ids,
                 LvMap *map) {
  if (!object.is_object()) {
    return fail(path, "an object", &object);
  }
  LvObject out;
  if (!read_int32(object, path, "id", INT32_LOW, "a whole number", &out.id) ||
      !read_object_type(object, path, &out.type) ||
      !read_optional_string(object, path, "name", &out.name) ||
      !read_number(object, path, "x", &out.x) || !read_number(object, path, "y", &out.y) ||
      !read_number(object, path, "width", &out.width) ||
      !read_number(object, path, "height", &out.height) ||
      !read_optional_number(object, path, "rotation", 0.0, &out.rotation) ||
      !read_optional_bool(object, path, "visible", &out.visible)) {
    return false;
  }
  auto [first, fresh] = ids->emplace(out.id, path);
  if (!fresh) {
    return fail(path + ".id", "an id unique within the map",
                std::to_string(out.id) + " again (first at " + first->second + ")");
  }
  map->objects.push_back(std::move(out));
  return true;
}

bool read_object_layer(const json &layer, const std::string &path,
                       std::map<int32_t, std::string> *ids, LvMap *map) {
  const json *objects = member(layer, "objects");
  if (objects == nullptr || !objects->is_array()) {
    return fail(path + ".objects", "an array of objects", objects);
  }
  for (size_t i = 0; i < objects->size(); ++i) {
    if (!read_object((*objects)[i], path + ".objects[" + std::to_string(i) + "]", ids, map)) {
      return false;
    }
  }
  return true;
}

bool read_layers(const json &root, LvMap *map) {
  const json *layers = member(root, "layers");
  if (layers == nullptr || !layers->is_array()) {
    return fail("$.layers", "an array of layers", layers);
  }
  std::map<int32_t, std::string> ids;
  for (size_t i = 0; i < layers->size(); ++i) {
    const json &layer = (*layers)[i];
    std::string path = "$.layers[" + std::to_string(i) + "]";
    const json *type = layer.is_object() ? member(layer, "type") : nullptr;
    bool good = false;
    if (!layer.is_object()) {
      good = fail(path, "a layer object", &layer);
    } else if (type != nullptr && *type == "tilelayer") {
      good = read_tile_layer(layer, path, map);
    } else if (type != nullptr && *type == "objectgroup") {
      good = read_object_layer(layer, path, &ids, map);
    } else {
      good = fail(path + ".type", "\"tilelayer\" or \"objectgroup\"", type);
    }
    if (!good) {
      return false;
    }
  }
  return !map->layers.empty() || fail("$.layers", "a tile layer", "none");
}

bool read_root(const json &root, LvMap *map) {
  if (!root.is_object()) {
    return fail("$", "a map object", &root);
  }
  return check_optional(root, "$", "type", "map") &&
         check_optional(root, "$", "orientation", "orthogonal") &&
         check_optional(root, "$", "infinite", false) &&
         read_int32(root, "$", "width", 1, "a positive whole number of tiles", &map->width) &&
         read_int32(root, "$", "height", 1, "a positive whole number of tiles", &map->height) &&
         read_int32(root, "$", "tilewidth", 1, "a positive whole number of pixels",
                    &map->tilewidth) &&
         read_int32(root, "$", "tileheight", 1, "a positive whole number of pixels",
                    &map->tileheight) &&
         read_layers(root, map);
}

bool read_file(const std::string &path, std::string *text) {
  errno = 0;
  std::ifstream file(path, std::ios::binary);
  char chunk[65536];
  // read() turns a failed read (a directory, say) into the bad state, with errno telling why.
  while (file.read(chunk, sizeof chunk) || file.gcount() > 0) {
    text->append(chunk, static_cast<size_t>(file.gcount()));
  }
  if (!file.is_open() || file.bad()) {
    return fail("$", "a readable map file", std::string("none (") + std::strerror(errno) + ")");
  }
  return true;
}

// "line L, column C" of the character at `byte` (counted from 1, the end of the text counting
// as one more character), numbered as the library numbers them in its own messages.
std::string place_of(const std::string &text, size_t byte) {
  size_t line = 1;
  size_t line_start = 0;
  for (size_t i = 0; i < std::min(byte, text.size()); ++i) {
    if (text[i] == '\n') {
      ++line;
      line_start = i + 1;
    }
  }
  return "line " + std::to_string(line) + ", column " + std::to_string(byte - line_start);
}

// The document in text. The library reports a syntax error only by throwing; it is caught
// here, at its edge, and turned into the fault's line.
bool parse(const std::string &text, json *root) {
  try {
    *root = json::parse(text);
    return true;
  } catch (const json::parse_error &error) {
    return fail("$", "JSON text", "a syntax error at " + place_of(text, error.byte));
  }
}

} // namespace

bool lvgen_read_map(const std::string &path, LvMap *map, std::string *error) {
  *map = LvMap{};
  map->path = path;
  std::string text;
  json root;
  if (!read_file(path, &text) || !parse(text, &root) || !read_root(root, map)) {
    *error = fault;
    return false;
  }
  return true;
}
