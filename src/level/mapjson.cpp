// mapjson.cpp -- reads a JSON file whole and parses it without exceptions: a document that
// does not parse is parsed once more by a listener that follows the JSON path, to say where.
#include "mapjson.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <fstream>

namespace {

// The library's id of a number too large for a double; the others of a parse are syntax.
constexpr int NUMBER_OVERFLOW = 406;

// Follows the JSON path of the value being read and keeps the place of the first error.
class PathListener : public nlohmann::json_sax<json> {
public:
  size_t byte = 0;   // where the error was met, counted from 1
  int id = 0;        // the library's id of the error
  std::string token; // the last token read
  std::string path;  // "$.layers[1].objects[0].x", of the value being read at the error
  bool null() override { return value(); }
  bool boolean(bool) override { return value(); }
  bool number_integer(number_integer_t) override { return value(); }
  bool number_unsigned(number_unsigned_t) override { return value(); }
  bool number_float(number_float_t, const string_t &) override { return value(); }
  bool string(string_t &) override { return value(); }
  bool binary(binary_t &) override { return value(); }
  bool start_object(size_t) override { return open(false); }
  bool key(string_t &name) override {
    steps.back().key = name;
    return true;
  }
  bool end_object() override { return close(); }
  bool start_array(size_t) override { return open(true); }
  bool end_array() override { return close(); }
  bool parse_error(size_t position, const std::string &last_token,
                   const nlohmann::json::exception &error) override {
    byte = position;
    id = error.id;
    token = last_token;
    path = "$";
    for (const Step &step : steps) {
      path += step.array ? '[' + std::to_string(step.index) + ']' : '.' + step.key;
    }
    return false;
  }

private:
  struct Step {
    bool array;
    size_t index;
    std::string key;
  };
  std::vector<Step> steps; // the containers the value being read lies in, outermost first
  bool value() {
    if (!steps.empty() && steps.back().array) {
      ++steps.back().index;
    }
    return true;
  }
  bool open(bool array) {
    steps.push_back({array, 0, ""});
    return true;
  }
  bool close() {
    steps.pop_back();
    return value();
  }
};

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

bool read_whole(const std::string &path, const char *what, std::string *text) {
  errno = 0;
  std::ifstream file(path, std::ios::binary);
  char chunk[65536];
  // read() turns a failed read (a directory, say) into the bad state, with errno telling why.
  while (file.read(chunk, sizeof chunk) || file.gcount() > 0) {
    text->append(chunk, static_cast<size_t>(file.gcount()));
  }
  if (!file.is_open() || file.bad()) {
    return mapcheck_fail(path + ": $", std::string("a readable ") + what,
                         std::string("none (") + std::strerror(errno) + ")");
  }
  return true;
}

} // namespace

bool mapjson_load(const std::string &path, const char *what, json *root) {
  std::string text;
  if (!read_whole(path, what, &text)) {
    return false;
  }
  *root = json::parse(text, nullptr, false);
  if (!root->is_discarded()) {
    return true;
  }
  PathListener listener;
  json::sax_parse(text, &listener);
  std::string place = place_of(text, listener.byte);
  if (listener.id == NUMBER_OVERFLOW) {
    return mapcheck_fail(path + ": " + listener.path, "a number that a double holds",
                         listener.token + " at " + place);
  }
  return mapcheck_fail(path + ": $", "JSON text", "a syntax error at " + place);
}
