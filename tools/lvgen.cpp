// lvgen -- the level generator the build runs: `lvgen OUT.cpp MAP...` reads the editor's JSON
// maps and writes their constant level records (map.h) as one C++ source. The source is
// written only when every map is good, and replaces OUT.cpp in one step, so a failure neither
// leaves a half-made file nor touches the one from before. A fault is one line on stderr.
#include "lvgen/lvgen.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <string>
#include <unistd.h>
#include <vector>

namespace {

int report(const std::string &line) {
  std::fprintf(stderr, "lvgen: %s\n", line.c_str());
  return 1;
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
  std::vector<LvMap> maps(static_cast<size_t>(argc - 2));
  for (size_t i = 0; i < maps.size(); ++i) {
    std::string path = argv[i + 2];
    std::string error;
    if (!lvgen_read_map(path, &maps[i], &error)) {
      return report(path + ": " + error);
    }
  }
  std::string source;
  std::string error;
  if (!lvgen_emit(maps, &source, &error) || !write_whole(argv[1], source, &error)) {
    return report(error);
  }
  return 0;
}
