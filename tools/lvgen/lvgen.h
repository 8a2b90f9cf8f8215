// lvgen.h -- the level generator's own part: writing the constant records of the maps that
// the map reader (mapfile.h) read, as one C++ source.
#pragma once

#include "mapfile.h"

#include <string>
#include <vector>

// The C++ name of the record made from a map path: every character other than a letter or
// a digit becomes '_' ("map/fendor.tmj" gives "map_fendor_tmj"), and a name that would not
// start with a letter gets an 'm' in front.
std::string lvgen_record_name(const std::string &path);

// Writes the source that defines the records of maps and the null-terminated lvgen_maps in
// their order into *source. Fails with *error naming the map whose records would take a name
// that is already used.
bool lvgen_emit(const std::vector<LvMap> &maps, std::string *source, std::string *error);
