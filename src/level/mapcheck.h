// mapcheck.h -- the map reader's parts (inside the mapfile library): the list of what a
// reading finds, and the checks of single values, each of which adds a fault naming where
// the value lies, what was expected there and what was found.
#pragma once

#include <nlohmann/json.hpp>

#include <algorithm>
#include <cstdint>
#include <initializer_list>
#include <string>
#include <vector>

using json = nlohmann::json;

// A member of a JSON object (null when it is missing), and where it is reported:
// "FILE: $.layers[1].x".
struct MapValue {
  const json *value;
  std::string where;
};

// The faults and warnings

// Starts a reading: no faults and no warnings yet.
void mapcheck_start();
// Ends it: its warnings, then its faults, at most MAPFILE_LISTED of each, a line "FILE: and N
// more faults" (or warnings) after them; true when there was no fault.
bool mapcheck_finish(const std::string &file, std::vector<std::string> *lines);
// Adds the fault "WHERE: expected EXPECTED, found FOUND (HINT)", the hint only when there is
// one, and returns false.
bool mapcheck_fail(const std::string &where, const std::string &expected, const std::string &found,
                   const std::string &hint = "");
// The same, with the value found described (null: "nothing").
bool mapcheck_fail(const std::string &where, const std::string &expected, const json *found,
                   const std::string &hint = "");
// Adds the warning "WHERE: warning: WHAT".
void mapcheck_warn(const std::string &where, const std::string &what);
// True when every check passed. The checks are all made, in order (a braced list is
// evaluated so), each adding its own fault: `mapcheck_all({check_a(...), check_b(...)})`.
inline bool mapcheck_all(std::initializer_list<bool> checks) {
  return std::all_of(checks.begin(), checks.end(), [](bool passed) { return passed; });
}

// Values

// How a value reads in a line: short strings and plain values as JSON, others by their kind.
std::string mapcheck_describe(const json *value);
// A number as a person writes it: 12, 2.5, 1e+300.
std::string mapcheck_number_text(double number);
// The text of a string value; "" for a missing value or one of another kind.
std::string mapcheck_text(const json *value);
// The member key of object, reported under where + "." + key.
MapValue mapcheck_member(const json &object, const std::string &where, const char *key);
// The whole number in value (written with or without a fraction of zero) when it lies within
// [low, high].
bool mapcheck_whole(const json &value, int64_t low, int64_t high, int64_t *out);

// Checks: each takes a member, stores what it holds and returns true, or adds a fault and
// returns false. An optional member that is missing gives the fallback named.

// A whole number from low to INT32_MAX, described in a fault as `expected`.
bool mapcheck_int32(const MapValue &member, int64_t low, const std::string &expected, int32_t *out);
// A finite number.
bool mapcheck_number(const MapValue &member, double *out);
bool mapcheck_optional_number(const MapValue &member, double fallback, double *out);
// A string; missing, the empty one.
bool mapcheck_optional_string(const MapValue &member, std::string *out);
// true or false; missing, true.
bool mapcheck_optional_bool(const MapValue &member, bool *out);
// Missing, or exactly `wanted`; the hint says what to change in the editor otherwise.
bool mapcheck_optional(const MapValue &member, const json &wanted, const std::string &hint = "");
