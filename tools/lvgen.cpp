// Placeholder until the level generator lands: an empty level list.
#include <fstream>

int main(int argc, char **argv) {
  if (argc < 2) {
    return 2;
  }
  std::ofstream out(argv[1]);
  out << "#include \"map.h\"\nconst lvgen_map *const lvgen_maps[] = {nullptr};\n";
  return 0;
}
