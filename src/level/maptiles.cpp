// maptiles.cpp -- a tile layer's data: the tile numbers as an array, or as base64 text of
// their little-endian 32-bit bytes, compressed as the layer's "compression" names.
#include "maptiles.h"

#include "mapcodec.h"

namespace {

// Tile numbers are the editor's unsigned 32-bit global ids, flip flags in the top bits.
constexpr int64_t TILE_HIGH = UINT32_MAX;
constexpr size_t TILE_BYTES = 4;
constexpr char CSV_HINT[] = "choose CSV in Map > Map Properties > Tile Layer Format";

// The value of a base64 digit, or -1 for a character that is none.
int digit_value(char c) {
  if (c >= 'A' && c <= 'Z') {
    return c - 'A';
  }
  if (c >= 'a' && c <= 'z') {
    return c - 'a' + 26;
  }
  if (c >= '0' && c <= '9') {
    return c - '0' + 52;
  }
  return c == '+' ? 62 : c == '/' ? 63 : -1;
}

// The bytes of base64 text, with or without its closing '='; false on any other character.
bool base64_bytes(std::string text, std::string *bytes) {
  while (!text.empty() && text.back() == '=') {
    text.pop_back();
  }
  uint32_t bits = 0;
  int count = 0;
  for (char c : text) {
    int value = digit_value(c);
    if (value < 0) {
      return false;
    }
    bits = bits << 6 | static_cast<uint32_t>(value);
    count += 6;
    if (count >= 8) {
      count -= 8;
      bytes->push_back(static_cast<char>(bits >> count & 0xff));
    }
  }
  return true;
}

// The layer's bytes unpacked as its compression says, at most `limit` of them.
bool unpack(const json &layer, const std::string &where, const std::string &packed, size_t limit,
            std::string *bytes) {
  MapValue member = mapcheck_member(layer, where, "compression");
  std::string compression;
  if (!mapcheck_optional_string(member, &compression)) {
    return false;
  }
  std::string why;
  MapUnpack result = MapUnpack::done;
  if (compression.empty()) {
    *bytes = packed;
  } else if (compression == "zlib" || compression == "gzip") {
    result = mapcodec_inflate(packed, limit, bytes, &why);
  } else if (compression == "zstd") {
    result = mapcodec_zstd(packed, limit, bytes, &why);
  } else {
    return mapcheck_fail(member.where, "\"zlib\", \"gzip\", \"zstd\" or \"\"", member.value,
                         CSV_HINT);
  }
  if (result == MapUnpack::unsupported) {
    return mapcheck_fail(member.where, "a compression this build of the game reads", member.value,
                         compression +
                             "-compressed tile layers are not supported here: " + CSV_HINT);
  }
  return result == MapUnpack::done ||
         mapcheck_fail(where + ".data", compression + "-compressed tile numbers",
                       "data that does not unpack (" + why + ")");
}

bool read_encoded(const json &layer, const std::string &where, const std::string &text,
                  const std::string &expected, size_t cells, std::vector<int32_t> *tiles) {
  std::string packed;
  if (!base64_bytes(text, &packed)) {
    return mapcheck_fail(where + ".data", "base64 text", "a character that is not base64");
  }
  std::string bytes;
  if (!unpack(layer, where, packed, cells * TILE_BYTES + 1, &bytes)) {
    return false;
  }
  if (bytes.size() != cells * TILE_BYTES) {
    return mapcheck_fail(where + ".data", expected,
                         bytes.size() > cells * TILE_BYTES ? "more"
                         : bytes.size() % TILE_BYTES != 0
                             ? std::to_string(bytes.size()) + " bytes"
                             : std::to_string(bytes.size() / TILE_BYTES));
  }
  tiles->resize(cells);
  for (size_t i = 0; i < cells; ++i) {
    uint32_t tile = 0;
    for (size_t b = TILE_BYTES; b-- > 0;) {
      tile = tile << 8 | static_cast<unsigned char>(bytes[i * TILE_BYTES + b]);
    }
    (*tiles)[i] = static_cast<int32_t>(tile);
  }
  return true;
}

bool read_array(const json &data, const std::string &where, const std::string &expected,
                size_t cells, std::vector<int32_t> *tiles) {
  if (data.size() != cells) {
    return mapcheck_fail(where + ".data", expected, std::to_string(data.size()));
  }
  tiles->reserve(cells);
  bool good = true;
  for (size_t i = 0; i < cells; ++i) {
    int64_t tile = 0;
    if (!mapcheck_whole(data[i], 0, TILE_HIGH, &tile)) {
      good = mapcheck_fail(where + ".data[" + std::to_string(i) + "]",
                           "a tile number from 0 to 4294967295", &data[i]);
    }
    tiles->push_back(static_cast<int32_t>(static_cast<uint32_t>(tile)));
  }
  return good;
}

} // namespace

bool maptiles_read(const json &layer, const std::string &where, int32_t width, int32_t height,
                   std::vector<int32_t> *tiles) {
  const json *data = mapcheck_member(layer, where, "data").value;
  std::string encoding = mapcheck_text(mapcheck_member(layer, where, "encoding").value);
  auto cells = static_cast<size_t>(int64_t{width} * height);
  std::string expected = std::to_string(cells) + " tile numbers (" + std::to_string(width) + " x " +
                         std::to_string(height) + ")";
  if (data != nullptr && data->is_string() && encoding == "base64") {
    return read_encoded(layer, where, data->get<std::string>(), expected, cells, tiles);
  }
  if (data != nullptr && data->is_array()) {
    return read_array(*data, where, expected, cells, tiles);
  }
  std::string found = mapcheck_describe(data);
  if (data != nullptr && data->is_string()) {
    found = "a string (the layer is encoded: save it in the CSV tile layer format)";
  }
  return mapcheck_fail(where + ".data", "an array of " + expected, found);
}
