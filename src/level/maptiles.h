// maptiles.h -- a tile layer's data in every form the editor saves it: an array of tile
// numbers (CSV), or base64 text of their bytes, plain or compressed (zlib, gzip, Zstandard).
#pragma once

#include "mapcheck.h"

#include <cstdint>
#include <string>
#include <vector>

// Reads the "data" of the tile layer at `where` as width x height tile numbers into *tiles;
// adds a fault and returns false when it cannot.
bool maptiles_read(const json &layer, const std::string &where, int32_t width, int32_t height,
                   std::vector<int32_t> *tiles);
