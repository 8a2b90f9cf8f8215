// emit.cpp -- writes the maps as constant C++ records in the layout that map.h declares.
#include "lvgen.h"

#include <cctype>
#include <charconv>
#include <cstdio>
#include <map>

namespace {

// A double literal that reads back as exactly the same value: the shortest digits that do,
// with ".0" added to whole numbers.
std::string double_literal(double value) {
  char text[64];
  auto [end, ec] = std::to_chars(text, text + sizeof text, value);
  std::string literal(text, ec == std::errc() ? end : text);
  if (literal.find_first_of(".e") == std::string::npos) {
    literal += ".0";
  }
  return literal;
}

// The tile's bit pattern as a 32-bit signed literal (flipped tiles come out negative).
std::string tile_literal(int32_t tile) {
  return tile == INT32_MIN ? "(-2147483647 - 1)" : std::to_string(tile);
}

// A C++ string literal: printable ASCII as it is, quotes, backslashes and question marks
// (against trigraphs) escaped, every other byte as a three-digit octal escape.
std::string string_literal(const std::string &text) {
  std::string literal = "\"";
  for (unsigned char c : text) {
    if (c == '"' || c == '\\' || c == '?') {
      literal += '\\';
      literal += static_cast<char>(c);
    } else if (c >= 0x20 && c < 0x7f) {
      literal += static_cast<char>(c);
    } else {
      char escape[8];
      std::snprintf(escape, sizeof escape, "\\%03o", c);
      literal += escape;
    }
  }
  return literal + "\"";
}

// The map paths for the first comment line, control characters shown as '?'.
std::string path_list(const std::vector<LvMap> &maps) {
  std::string list;
  for (const LvMap &map : maps) {
    list += list.empty() ? "" : " ";
    for (unsigned char c : map.path) {
      list += c < 0x20 || c == 0x7f ? '?' : static_cast<char>(c);
    }
  }
  return list;
}

std::string tiles_name(const std::string &record, size_t layer) {
  return record + "_tiles_" + std::to_string(layer);
}

void emit_tiles(const LvMap &map, size_t layer, const std::string &record, std::string *out) {
  *out += "const int32_t " + tiles_name(record, layer) + "[] = {\n";
  const std::vector<int32_t> &data = map.layers[layer].data;
  for (size_t i = 0; i < data.size(); ++i) {
    bool row_start = i % static_cast<size_t>(map.width) == 0;
    *out += row_start ? "    " : " ";
    *out += tile_literal(data[i]) + ",";
    *out += (i + 1) % static_cast<size_t>(map.width) == 0 ? "\n" : "";
  }
  *out += "};\n\n";
}

void emit_layers(const LvMap &map, const std::string &record, std::string *out) {
  for (size_t i = 0; i < map.layers.size(); ++i) {
    emit_tiles(map, i, record, out);
  }
  *out += "const lvgen_layer " + record + "_layers[] = {\n";
  for (size_t i = 0; i < map.layers.size(); ++i) {
    const LvLayer &layer = map.layers[i];
    *out += "    {.name = " + string_literal(layer.name) +
            ", .opacity = " + double_literal(layer.opacity) +
            ", .offset_x = " + std::to_string(layer.offset_x) +
            ", .offset_y = " + std::to_string(layer.offset_y) +
            ", .data = " + tiles_name(record, i) + "},\n";
  }
  *out += "};\n\n";
}

void emit_objects(const LvMap &map, const std::string &record, std::string *out) {
  *out += "const lvgen_object " + record + "_objects[] = {\n";
  for (const LvObject &object : map.objects) {
    *out += "    {.type = " + string_literal(object.type) +
            ", .name = " + string_literal(object.name) + ", .id = " + std::to_string(object.id) +
            ", .x = " + double_literal(object.x) + ", .y = " + double_literal(object.y) +
            ", .width = " + double_literal(object.width) +
            ", .height = " + double_literal(object.height) +
            ", .rotation = " + double_literal(object.rotation) +
            ", .visible = " + (object.visible ? "true" : "false") + "},\n";
  }
  *out += "};\n\n";
}

void emit_map(const LvMap &map, std::string *out) {
  std::string record = lvgen_record_name(map.path);
  emit_layers(map, record, out);
  // An array cannot be empty: a map without objects points at none.
  if (!map.objects.empty()) {
    emit_objects(map, record, out);
  }
  *out +=
      "const lvgen_map " + record + " = {\n    .path = " + string_literal(map.path) +
      ",\n    .width = " + std::to_string(map.width) +
      ",\n    .height = " + std::to_string(map.height) +
      ",\n    .tilewidth = " + std::to_string(map.tilewidth) +
      ",\n    .tileheight = " + std::to_string(map.tileheight) +
      ",\n    .num_layers = " + std::to_string(map.layers.size()) + ",\n    .layers = " + record +
      "_layers" + ",\n    .num_objects = " + std::to_string(map.objects.size()) +
      ",\n    .objects = " + (map.objects.empty() ? "nullptr" : record + "_objects") + ",\n};\n\n";
}

// Every name the records of maps take, so that no two maps' records meet; names the first
// map whose records would reuse a name.
bool check_names(const std::vector<LvMap> &maps, std::string *error) {
  std::map<std::string, std::string> owners{{"lvgen_maps", "the list of maps"}};
  for (const LvMap &map : maps) {
    std::string record = lvgen_record_name(map.path);
    std::vector<std::string> names{record, record + "_layers", record + "_objects"};
    for (size_t i = 0; i < map.layers.size(); ++i) {
      names.push_back(tiles_name(record, i));
    }
    for (const std::string &name : names) {
      auto [owner, fresh] = owners.emplace(name, map.path);
      if (!fresh) {
        *error = map.path + ": expected a path that gives its records names of their own, found " +
                 name + " already taken by " + owner->second;
        return false;
      }
    }
  }
  return true;
}

} // namespace

std::string lvgen_record_name(const std::string &path) {
  std::string name;
  for (unsigned char c : path) {
    name += std::isalnum(c) ? static_cast<char>(c) : '_';
  }
  if (name.empty() || !std::isalpha(static_cast<unsigned char>(name[0]))) {
    name.insert(0, "m");
  }
  return name;
}

bool lvgen_emit(const std::vector<LvMap> &maps, std::string *source, std::string *error) {
  if (!check_names(maps, error)) {
    return false;
  }
  *source = "// generated by lvgen from " + path_list(maps) + "; do not edit\n";
  *source += "#include \"map.h\"\n\nnamespace {\n\n";
  for (const LvMap &map : maps) {
    emit_map(map, source);
  }
  *source += "} // namespace\n\nconst lvgen_map *const lvgen_maps[] = {";
  for (const LvMap &map : maps) {
    *source += "&" + lvgen_record_name(map.path) + ", ";
  }
  *source += "nullptr};\n";
  return true;
}
