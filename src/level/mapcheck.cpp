// mapcheck.cpp -- what a reading of a map finds, and the checks of its single values.
#include "mapcheck.h"

#include "mapfile.h"

#include <cmath>
#include <cstdio>

namespace {

constexpr int64_t INT32_HIGH = INT32_MAX;
constexpr size_t SHOWN_STRING_MAX = 40;

// What the reading under way found, in file order.
std::vector<std::string> faults, warnings;

// Up to MAPFILE_LISTED of the lines, then how many more there are.
void list(const std::vector<std::string> &found, const std::string &file, const char *kind,
          std::vector<std::string> *lines) {
  for (size_t i = 0; i < found.size() && i < MAPFILE_LISTED; ++i) {
    lines->push_back(found[i]);
  }
  if (found.size() > MAPFILE_LISTED) {
    lines->push_back(file + ": and " + std::to_string(found.size() - MAPFILE_LISTED) + " more " +
                     kind);
  }
}

} // namespace

void mapcheck_start() {
  faults.clear();
  warnings.clear();
}

bool mapcheck_finish(const std::string &file, std::vector<std::string> *lines) {
  list(warnings, file, "warnings", lines);
  list(faults, file, "faults", lines);
  return faults.empty();
}

bool mapcheck_fail(const std::string &where, const std::string &expected, const std::string &found,
                   const std::string &hint) {
  faults.push_back(where + ": expected " + expected + ", found " + found +
                   (hint.empty() ? "" : " (" + hint + ")"));
  return false;
}

bool mapcheck_fail(const std::string &where, const std::string &expected, const json *found,
                   const std::string &hint) {
  return mapcheck_fail(where, expected, mapcheck_describe(found), hint);
}

void mapcheck_warn(const std::string &where, const std::string &what) {
  warnings.push_back(where + ": warning: " + what);
}

std::string mapcheck_describe(const json *value) {
  if (value == nullptr) {
    return "nothing";
  }
  switch (value->type()) {
  case json::value_t::object:
    return "an object";
  case json::value_t::array:
    return "an array";
  case json::value_t::string:
    if (value->get_ref<const std::string &>().size() > SHOWN_STRING_MAX) {
      return "a string";
    }
    break;
  default:
    break;
  }
  // The parser takes in valid UTF-8 only, so nothing is replaced; nothing can throw either.
  return value->dump(-1, ' ', false, json::error_handler_t::replace);
}

std::string mapcheck_number_text(double number) {
  // 15 digits, which every double carries exactly: 12, 2.5, 0.1, 1e+300.
  char text[32];
  std::snprintf(text, sizeof text, "%.15g", number);
  return text;
}

std::string mapcheck_text(const json *value) {
  return value != nullptr && value->is_string() ? value->get<std::string>() : "";
}

MapValue mapcheck_member(const json &object, const std::string &where, const char *key) {
  auto it = object.find(key);
  return {it == object.end() ? nullptr : &*it, where + "." + key};
}

bool mapcheck_whole(const json &value, int64_t low, int64_t high, int64_t *out) {
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

bool mapcheck_int32(const MapValue &member, int64_t low, const std::string &expected,
                    int32_t *out) {
  int64_t number = 0;
  if (member.value == nullptr || !mapcheck_whole(*member.value, low, INT32_HIGH, &number)) {
    return mapcheck_fail(member.where, expected, member.value);
  }
  *out = static_cast<int32_t>(number);
  return true;
}

bool mapcheck_number(const MapValue &member, double *out) {
  const json *value = member.value;
  if (value == nullptr || !value->is_number() || !std::isfinite(value->get<double>())) {
    return mapcheck_fail(member.where, "a number", value);
  }
  *out = value->get<double>();
  return true;
}

bool mapcheck_optional_number(const MapValue &member, double fallback, double *out) {
  *out = fallback;
  return member.value == nullptr || mapcheck_number(member, out);
}

bool mapcheck_optional_string(const MapValue &member, std::string *out) {
  out->clear();
  if (member.value == nullptr) {
    return true;
  }
  if (!member.value->is_string()) {
    return mapcheck_fail(member.where, "a string", member.value);
  }
  *out = member.value->get<std::string>();
  return true;
}

bool mapcheck_optional_bool(const MapValue &member, bool *out) {
  *out = true;
  if (member.value == nullptr) {
    return true;
  }
  if (!member.value->is_boolean()) {
    return mapcheck_fail(member.where, "true or false", member.value);
  }
  *out = member.value->get<bool>();
  return true;
}

bool mapcheck_optional(const MapValue &member, const json &wanted, const std::string &hint) {
  return member.value == nullptr || *member.value == wanted ||
         mapcheck_fail(member.where, wanted.dump(), member.value, hint);
}
