// sounds.cpp -- the table of the effects' files and volumes, in the order of their ids.
#include "sounds.h"

#include "vel.h"

#include <iterator>

namespace {

struct SoundFile {
  const char *path;
  float volume; // in the mixer's units, 0 to 128
};

constexpr SoundFile SOUND_FILES[] = {
    {"res/piou.wav", 10.0f},  // SOUND_SHOT
    {"res/glass.wav", 10.0f}, // SOUND_GLASS
    {"res/box0.wav", 10.0f},  // SOUND_BOX_CRACK
    {"res/box1.wav", 10.0f},  // SOUND_BOX_BREAK
    {"res/blan.wav", 20.0f},  // SOUND_CLOCK
};
static_assert(std::size(SOUND_FILES) == SOUND_COUNT, "one file per sound id");

} // namespace

int sounds_load(const char **failed) {
  for (const SoundFile &sound : SOUND_FILES) {
    if (VEL_SoundLoad(sound.path, sound.volume) < 0) {
      if (failed) {
        *failed = sound.path;
      }
      return -1;
    }
  }
  return 0;
}
