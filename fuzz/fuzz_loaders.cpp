// fuzz_loaders -- feeds arbitrary bytes to the engine's loaders as an image, a sound effect
// and a music track: each must load or be refused with -1 and its log line, never crash or
// touch memory it does not own. Built with clang's libFuzzer (see ./run.sh fuzz).
#include "game.h"
#include "vel.h"

#include <SDL_mixer.h>

#include <cstdio>
#include <cstdlib>
#include <string>

namespace {

const VEL_Config config = game_config_unpaced();
int loaded = 0; // images and sounds in the engine's tables, which hold 64 of each

void quiet(void *, int, SDL_LogPriority, const char *) {}

// The next input as a file beside the executable, under a name of its own (the image
// registry finds a path it has seen without reading the file again).
std::string write_input(const uint8_t *data, size_t size) {
  static int serial = 0;
  const std::string name = "fuzz-input-" + std::to_string(serial++ % VEL_MAX_IMAGES);
  char *full = VEL_PathPrefix(name.c_str());
  std::FILE *file = std::fopen(full, "wb");
  std::fwrite(data, 1, size, file);
  std::fclose(file);
  std::free(full);
  return name;
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int *, char ***) {
  setenv("SDL_VIDEODRIVER", "dummy", 1);
  setenv("SDL_AUDIODRIVER", "dummy", 1);
  setenv("SDL_RENDER_DRIVER", "software", 1);
  SDL_LogSetOutputFunction(quiet, nullptr);
  return VEL_Init(&config) == 0 ? 0 : 1;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
  if (++loaded == VEL_MAX_IMAGES) { // a fresh engine before its tables fill up
    VEL_Quit();
    VEL_Init(&config);
    loaded = 1;
  }
  const std::string path = write_input(data, size);
  VEL_DrawBegin();
  VEL_DrawImage(VEL_ImageLoad(path.c_str()), 0, 0);
  VEL_DrawEnd();
  if (VEL_PlaySound(VEL_SoundLoad(path.c_str(), 10.0f)) == 0) {
    Mix_HaltChannel(-1);
  }
  VEL_PlayMusic(path.c_str(), -1);
  VEL_StopMusic();
  return 0;
}
