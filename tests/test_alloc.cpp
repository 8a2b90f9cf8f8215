// Once warmed up, the running game makes no heap allocation in a frame, inside SDL included:
// every allocation on the game's thread is counted while 1,000 frames of play run, clicks
// and the cursor's flips included.
#include "scene.h"

namespace {

// Only the test's thread arms the count (the audio device's thread mixes at its own pace,
// not the frames').
thread_local bool armed = false;
long allocations = 0;

} // namespace

// Interposed for the whole process, SDL included (not under AddressSanitizer, which owns
// malloc). operator new and delete come down to malloc and free in the C++ library, and free
// needs no counting.
#ifndef __SANITIZE_ADDRESS__
extern "C" {
void *__libc_malloc(size_t size);
void *__libc_calloc(size_t n, size_t size);
void *__libc_realloc(void *p, size_t size);
void *malloc(size_t size) noexcept {
  return allocations += armed, __libc_malloc(size);
}
void *calloc(size_t n, size_t size) noexcept {
  return allocations += armed, __libc_calloc(n, size);
}
void *realloc(void *p, size_t size) noexcept {
  return allocations += armed, __libc_realloc(p, size);
}
}
#endif

// A press that smashes the entity in the highest slot a click can reach; false when none is.
static bool next_target(Scene &scene, int &x, int &y) {
  for (int slot = GAME_MAX_ENTITIES - 1; slot >= 0; --slot)
    if (scene.slot(slot).smash && topmost_point(scene.game(), scene.slot(slot), x, y))
      return true;
  return false;
}

// Two clicks in four frames: one at (100, 20), over nothing, and one on the next target (or,
// when none is left, over nothing again).
static void play(Scene &scene, int frames) {
  for (int i = 0, x = 100, y = 20; i < frames; i += 4) {
    scene.click(100, 20);
    next_target(scene, x, y);
    scene.click(x, y);
  }
}

TEST(Alloc, NoHeapAllocationPerFrame) {
#ifdef __SANITIZE_ADDRESS__
  GTEST_SKIP() << "AddressSanitizer owns malloc: allocations are counted in the normal build";
#endif
  Scene scene;
  // Warm-up: a whole round to the silenced alarm loads every image in every orientation and
  // grows SDL's event queue and command buffers.
  for (int x = 0, y = 0; next_target(scene, x, y);)
    scene.click(x, y);
  game_restart_scene(&scene.game());
  play(scene, 200);
  const int standing = destructibles;
  armed = true;
  play(scene, 1000);
  armed = false;
  EXPECT_LT(destructibles, standing) << "the presses finished props";
  EXPECT_EQ(allocations, 0);
}
