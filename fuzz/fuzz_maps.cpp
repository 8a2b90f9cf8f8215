// fuzz_maps -- feeds arbitrary bytes to the map reader as a map file, the way lvgen and
// `pordeck --level` read one: each must be read or refused with its lines, never crash, throw
// or touch memory it does not own. Built with clang's libFuzzer (see ./run.sh fuzz), run in
// the folder where it writes its input.
#include "mapfile.h"

#include <cstdint>
#include <cstdio>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
  // A template named in the input, relative to the map, may be this very file.
  const char *path = "fuzz-map.tmj";
  std::FILE *file = std::fopen(path, "wb");
  std::fwrite(data, 1, size, file);
  std::fclose(file);
  LvMap map;
  std::vector<std::string> lines;
  mapfile_read(path, &map, &lines);
  return 0;
}
