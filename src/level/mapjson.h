// mapjson.h -- a JSON file read whole and parsed, for the map reader; no fault of the file
// escapes as an exception.
#pragma once

#include "mapcheck.h"

#include <string>

// Reads the JSON document of the file at path, a `what` ("map file", "template file"), into
// *root. On a fault adds it, as "PATH: $...: expected ..., found ...", and returns false: a
// file that cannot be read, a syntax error (with its line and column), or a number too large
// for a double (with its JSON path, line and column).
bool mapjson_load(const std::string &path, const char *what, json *root);
