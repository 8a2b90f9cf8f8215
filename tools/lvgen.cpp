// lvgen -- the level generator the build runs: `lvgen OUT.cpp MAP...` reads the editor's JSON
// maps and writes their constant level records (map.h) as one C++ source. The source is
// written only when every map is good, and replaces OUT.cpp in one step, so a failure neither
// leaves a half-made file nor touches the one from before; an OUT.cpp that is not a regular
// file is refused before anything is read. Each warning and fault is one line on stderr.
#include "lvgen/lvgen.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <string>
#include <unistd.h>
#include <vector>

namespace {

int report(const std::string &line) {
  std::fprintf(stderr, "lvgen: %s\n", line.c_str());
  return 1;
}

// What a path that exists is when it is not a regular file, or "" when it is one or none.
std::string not_a_file(const std::string &path) {
  namespace fs = std::filesystem;
  std::error_code error;
  fs::file_status status = fs::status(path, error);
  if (!fs::exists(status) || fs::is_regular_file(status)) {
    return "";
  }
  return fs::is_fifo(status)             ? "a FIFO"
         : fs::is_directory(status)      ? "a directory"
         : fs::is_character_file(status) ? "a character device"
         : fs::is_block_file(status)     ? "a block device"
         : fs::is_socket(status)         ? "a socket"
                                         : "something";
}

// Writes text beside path under a temporary name, then renames it over path.
bool write_whole(const std::string &path, const std::string &text, std::string *error) {
  std::string temp = path + ".tmp" + std::to_string(getpid());
  FILE *file = std::fopen(temp.c_str(), "wb");
  bool written = file != nullptr && std::fwrite(text.data(), 1, text.size(), file) == text.size();
  int code = errno;
  if (file != nullptr && std::fclose(file) != 0 && written) {
    written = false;
    code = errno;
  }
  if (written && std::rename(temp.c_str(), path.c_str()) != 0) {
    written = false;
    code = errno;
  }
  if (!written) {
    std::remove(temp.c_str());
    *error = path + ": cannot write the records (" + std::strerror(code) + ")";
  }
  return written;
}

} // namespace

int main(int argc, char **argv) {
  if (argc < 3) {
    report("usage: lvgen OUT.cpp MAP...");
    return 2;
  }
  // Renamed over, anything but a regular file would be replaced by one.
  std::string error = not_a_file(argv[1]);
  if (!error.empty()) {
    return report(std::string(argv[1]) + ": cannot write the records (it is " + error +
                  ", not a regular file)");
  }
  std::vector<LvMap> maps(static_cast<size_t>(argc - 2));
  bool good = true;
  for (size_t i = 0; i < maps.size(); ++i) {
    std::vector<std::string> lines;
    good &= mapfile_read(argv[i + 2], &maps[i], &lines);
    for (const std::string &line : lines) {
      report(line);
    }
  }
  if (!good) {
    return 1;
  }
  std::string source;
  if (!lvgen_emit(maps, &source, &error) || !write_whole(argv[1], source, &error)) {
    return report(error);
  }
  return 0;
}
