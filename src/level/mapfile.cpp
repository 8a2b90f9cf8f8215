// mapfile.cpp -- reads one of the editor's JSON maps as Tiled saves it: the map, its layers
// (groups flattened, hidden and image layers left out) and its objects (templates resolved),
// checking everything the level records need and listing every fault found.
#include "mapfile.h"

#include "mapcheck.h"
#include "mapjson.h"
#include "maptiles.h"

#include <cmath>
#include <map>

namespace {

constexpr int64_t INT32_LOW = INT32_MIN;
// The largest grid read, in cells: the game's screen holds 1,200, and this many tile numbers
// take 64 MiB.
constexpr int64_t CELLS_MAX = int64_t{1} << 24;
// Groups nested deeper than this are refused: each one is read by a call of its own.
constexpr int GROUP_DEPTH_MAX = 64;
// The classes of the game's objects, for a hint.
constexpr char CLASSES[] = "box, window, alarm or player";

// An offset in pixels: a layer's own plus those of the groups it lies in.
struct Offset {
  double x, y;
};

// An object of the map, and the object of its template when it has one: each member is the
// object's own, or else the template's.
struct Source {
  const json &own;
  std::string where;
  const json *tmpl;
  std::string tmpl_where;
};

// The reading under way.
LvMap *level = nullptr;
std::string folder;                    // the map's, where its templates' paths start
bool grid_known = false;               // width and height are good: tile data is checked
int tile_layers = 0;                   // visible tile layers met, good or not
std::map<int32_t, std::string> ids;    // each object id, and where it was met first
std::map<std::string, json> templates; // each template file read, by path

MapValue member(const Source &source, const char *key) {
  MapValue own = mapcheck_member(source.own, source.where, key);
  return own.value != nullptr || source.tmpl == nullptr
             ? own
             : mapcheck_member(*source.tmpl, source.tmpl_where, key);
}

// The object that the template file at path holds, read once a map; null when it cannot be
// used (its fault added the first time).
const json *template_object(const std::string &path) {
  auto [entry, fresh] = templates.try_emplace(path);
  json &root = entry->second;
  if (fresh && mapjson_load(path, "template file", &root)) {
    MapValue object = mapcheck_member(root, path + ": $", "object");
    if (object.value == nullptr || !object.value->is_object()) {
      mapcheck_fail(object.where, "the template's object", object.value);
    }
  }
  const json *object = root.is_object() ? mapcheck_member(root, "", "object").value : nullptr;
  return object != nullptr && object->is_object() ? object : nullptr;
}

// Finds the template an object names, if it names one; false when it cannot be used.
bool find_template(Source *source) {
  MapValue name = mapcheck_member(source->own, source->where, "template");
  if (name.value == nullptr) {
    return true;
  }
  if (!name.value->is_string()) {
    return mapcheck_fail(name.where, "the path of a template file", name.value);
  }
  const std::string &file = name.value->get_ref<const std::string &>();
  if (file.ends_with(".tx")) {
    return mapcheck_fail(name.where, "a template saved as JSON (.tj)", name.value,
                         "XML templates are not supported: save the template in Tiled as a JSON "
                         "template file (.tj) and use that one");
  }
  source->tmpl = template_object(folder + file);
  source->tmpl_where = folder + file + ": $.object";
  return source->tmpl != nullptr;
}

// The object's class: "type", or "class" as some versions of the editor save it; "" when it
// has none.
bool read_class(const Source &source, std::string *out) {
  MapValue type = member(source, "type");
  bool none =
      type.value == nullptr || (type.value->is_string() && mapcheck_text(type.value).empty());
  MapValue named = none ? member(source, "class") : type;
  return named.value == nullptr || named.value->is_string()
             ? mapcheck_optional_string(named, out)
             : mapcheck_fail(named.where, "the name of the object's type", named.value);
}

bool read_object(const json &object, const std::string &where, Offset offset) {
  if (!object.is_object()) {
    return mapcheck_fail(where, "an object", &object);
  }
  Source source{object, where, nullptr, ""};
  LvObject out;
  if (!find_template(&source) ||
      !mapcheck_all({mapcheck_int32(member(source, "id"), INT32_LOW, "a whole number", &out.id),
                     read_class(source, &out.type),
                     mapcheck_optional_string(member(source, "name"), &out.name),
                     mapcheck_number(member(source, "x"), &out.x),
                     mapcheck_number(member(source, "y"), &out.y),
                     mapcheck_number(member(source, "width"), &out.width),
                     mapcheck_number(member(source, "height"), &out.height),
                     mapcheck_optional_number(member(source, "rotation"), 0.0, &out.rotation),
                     mapcheck_optional_bool(member(source, "visible"), &out.visible)})) {
    return false;
  }
  auto [first, fresh] = ids.emplace(out.id, where.substr(level->path.size() + 2));
  if (!fresh) {
    return mapcheck_fail(where + ".id", "an id unique within the map",
                         std::to_string(out.id) + " again (first at " + first->second + ")");
  }
  if (out.type.empty()) {
    mapcheck_warn(where,
                  "object " + std::to_string(out.id) + " at (" + mapcheck_number_text(out.x) +
                      ", " + mapcheck_number_text(out.y) +
                      ") has no class and is left out (give it one: " + std::string(CLASSES) + ")");
    return true;
  }
  out.x += offset.x;
  out.y += offset.y;
  level->objects.push_back(std::move(out));
  return true;
}

bool read_object_layer(const json &layer, const std::string &where, Offset offset) {
  MapValue objects = mapcheck_member(layer, where, "objects");
  if (objects.value == nullptr || !objects.value->is_array()) {
    return mapcheck_fail(objects.where, "an array of objects", objects.value);
  }
  bool good = true;
  for (size_t i = 0; i < objects.value->size(); ++i) {
    good &= read_object((*objects.value)[i], objects.where + "[" + std::to_string(i) + "]", offset);
  }
  return good;
}

// A tile layer's offset, its own and its groups', in whole pixels.
bool whole_offset(double offset, const std::string &where, int32_t *out) {
  if (offset != std::trunc(offset)) {
    return mapcheck_fail(where, "a whole number of pixels", mapcheck_number_text(offset),
                         "fractional tile layer offsets are not supported: give the layer and "
                         "its groups whole offsets in their Layer Properties");
  }
  if (std::fabs(offset) > INT32_MAX) {
    return mapcheck_fail(where, "a whole number of pixels", mapcheck_number_text(offset));
  }
  *out = static_cast<int32_t>(offset);
  return true;
}

bool read_tile_layer(const json &layer, const std::string &where, const std::string &name,
                     Offset offset) {
  ++tile_layers;
  LvLayer out{name, 1.0, 0, 0, {}};
  bool good = mapcheck_all(
      {mapcheck_optional_number(mapcheck_member(layer, where, "opacity"), 1.0, &out.opacity),
       whole_offset(offset.x, where + ".offsetx", &out.offset_x),
       whole_offset(offset.y, where + ".offsety", &out.offset_y)});
  // The data only of a layer as large as the map.
  if (grid_known) {
    good =
        mapcheck_all({good, mapcheck_optional(mapcheck_member(layer, where, "width"), level->width),
                      mapcheck_optional(mapcheck_member(layer, where, "height"), level->height)}) &&
        maptiles_read(layer, where, level->width, level->height, &out.data);
  }
  if (good) {
    level->layers.push_back(std::move(out));
  }
  return good;
}

bool read_layer(const json &layer, const std::string &where, Offset offset, int depth);

bool read_layer_list(const MapValue &layers, Offset offset, int depth) {
  if (layers.value == nullptr || !layers.value->is_array()) {
    return mapcheck_fail(layers.where, "an array of layers", layers.value);
  }
  bool good = true;
  for (size_t i = 0; i < layers.value->size(); ++i) {
    good &=
        read_layer((*layers.value)[i], layers.where + "[" + std::to_string(i) + "]", offset, depth);
  }
  return good;
}

bool read_layer(const json &layer, const std::string &where, Offset offset, int depth) {
  if (!layer.is_object()) {
    return mapcheck_fail(where, "a layer object", &layer);
  }
  std::string name;
  bool visible = true;
  Offset own{};
  if (!mapcheck_all(
          {mapcheck_optional_string(mapcheck_member(layer, where, "name"), &name),
           mapcheck_optional_bool(mapcheck_member(layer, where, "visible"), &visible),
           mapcheck_optional_number(mapcheck_member(layer, where, "offsetx"), 0.0, &own.x),
           mapcheck_optional_number(mapcheck_member(layer, where, "offsety"), 0.0, &own.y)})) {
    return false;
  }
  MapValue type = mapcheck_member(layer, where, "type");
  std::string kind = mapcheck_text(type.value);
  if (!visible) {
    mapcheck_warn(where, "hidden layer \"" + name +
                             "\" is left out (show it in the Layers view to have it in the level)");
    return true;
  }
  offset = {offset.x + own.x, offset.y + own.y};
  if (kind == "tilelayer") {
    return read_tile_layer(layer, where, name, offset);
  }
  if (kind == "objectgroup") {
    return read_object_layer(layer, where, offset);
  }
  if (kind == "group") {
    return depth < GROUP_DEPTH_MAX
               ? read_layer_list(mapcheck_member(layer, where, "layers"), offset, depth + 1)
               : mapcheck_fail(where, "groups nested at most 64 deep", "a deeper one");
  }
  if (kind == "imagelayer") {
    mapcheck_warn(where, "image layer \"" + name +
                             "\" is left out (image layers are not supported: the game draws its "
                             "own background)");
    return true;
  }
  return mapcheck_fail(type.where, "\"tilelayer\", \"objectgroup\", \"group\" or \"imagelayer\"",
                       type.value);
}

bool read_root(const json &root, const std::string &where) {
  if (!root.is_object()) {
    return mapcheck_fail(where, "a map object", &root);
  }
  auto at = [&](const char *key) { return mapcheck_member(root, where, key); };
  const std::string tiles = "a positive whole number of tiles";
  const std::string pixels = "a positive whole number of pixels";
  bool size = mapcheck_all({mapcheck_int32(at("width"), 1, tiles, &level->width),
                            mapcheck_int32(at("height"), 1, tiles, &level->height)});
  bool finite = mapcheck_optional(at("infinite"), false,
                                  "infinite maps are not supported: untick Infinite in Map > Map "
                                  "Properties");
  int64_t cells = int64_t{level->width} * level->height;
  grid_known =
      size && finite &&
      (cells <= CELLS_MAX ||
       mapcheck_fail(where, "a map of at most " + std::to_string(CELLS_MAX) + " tiles",
                     std::to_string(level->width) + " x " + std::to_string(level->height)));
  bool good = mapcheck_all({grid_known, mapcheck_optional(at("type"), "map"),
                            mapcheck_optional(at("orientation"), "orthogonal",
                                              "other orientations are not supported: choose "
                                              "Orthogonal in Map > Map Properties"),
                            mapcheck_int32(at("tilewidth"), 1, pixels, &level->tilewidth),
                            mapcheck_int32(at("tileheight"), 1, pixels, &level->tileheight),
                            read_layer_list(at("layers"), {0.0, 0.0}, 0)});
  return good && (tile_layers > 0 || mapcheck_fail(where + ".layers", "a tile layer", "none"));
}

// What the game makes of the objects: a crosshair only from a player object, and a place in
// its pool for so many objects only.
void warn_about_objects(const std::string &where) {
  bool player = false;
  for (const LvObject &object : level->objects) {
    player |= object.type == MAPFILE_PLAYER_CLASS;
  }
  if (!player) {
    mapcheck_warn(where, std::string("no object of class ") + MAPFILE_PLAYER_CLASS +
                             ", so no crosshair (add a point object of class " +
                             MAPFILE_PLAYER_CLASS + ")");
  }
  size_t count = level->objects.size();
  if (count > MAPFILE_MAX_OBJECTS) {
    mapcheck_warn(where, std::to_string(count) + " objects, more than the " +
                             std::to_string(MAPFILE_MAX_OBJECTS) + " the game holds (remove " +
                             std::to_string(count - MAPFILE_MAX_OBJECTS) + ")");
  }
}

std::string folder_of(const std::string &path) {
  size_t slash = path.find_last_of("/\\");
  return slash == std::string::npos ? "" : path.substr(0, slash + 1);
}

} // namespace

bool mapfile_read(const std::string &path, LvMap *map, std::vector<std::string> *lines) {
  *map = LvMap{};
  map->path = path;
  lines->clear();
  mapcheck_start();
  level = map;
  folder = folder_of(path);
  grid_known = false;
  tile_layers = 0;
  json root;
  if (mapjson_load(path, "map file", &root) && read_root(root, path + ": $")) {
    warn_about_objects(path + ": $");
  }
  ids.clear();
  templates.clear();
  level = nullptr;
  return mapcheck_finish(path, lines);
}
