// Once warmed up, the running game makes no heap allocation of its own in a frame: every
// allocation on the game's thread is counted while 1,000 frames of play run, clicks included.
#include "kinds.h"
#include "scene.h"

#include <dlfcn.h>

namespace {

// The load address of the object (program or library) holding the code at `address`.
const void *base_of(const void *address) {
  Dl_info info;
  return dladdr(address, &info) ? info.dli_fbase : nullptr;
}

// Only the test's thread arms the count (the audio device's thread mixes at its own pace, not
// the frames'); an allocation counts as SDL's when SDL2 itself called.
thread_local bool armed = false;
long ours = 0, sdls = 0;

[[maybe_unused]] void count(const void *caller) {
  if (armed)
    ++(base_of(caller) == base_of(reinterpret_cast<const void *>(&SDL_Init)) ? sdls : ours);
}

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
  return count(__builtin_return_address(0)), __libc_malloc(size);
}
void *calloc(size_t n, size_t size) noexcept {
  return count(__builtin_return_address(0)), __libc_calloc(n, size);
}
void *realloc(void *p, size_t size) noexcept {
  return count(__builtin_return_address(0)), __libc_realloc(p, size);
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

// SDL's software renderer cannot flip while it blits, so each SDL_RenderCopyEx of the flipped
// cursor (12 frames in 16, from the frame counter) allocates and frees 6 blocks: a surface
// over the texture's pixels and its blit map (SDL_CreateRGBSurfaceFrom), the flipped copy
// with its pixels and blit map (SDL_CreateRGBSurfaceWithFormat), and the list node linking
// that blit map to the canvas (SDL_LowerBlit). From a tick that is a multiple of 16, 1,000
// frames hold 62 whole cycles (744 flipped) and ticks 0 to 7 (4 flipped).
constexpr long SDL_ALLOCATIONS = (62 * 12 + 4) * 6;

TEST(Alloc, NoHeapAllocationPerFrame) {
#ifdef __SANITIZE_ADDRESS__
  GTEST_SKIP() << "AddressSanitizer owns malloc: allocations are counted in the normal build";
#endif
  Scene scene;
  // Warm-up: a whole round to the silenced alarm loads every image and grows SDL's event
  // queue and command buffers; a new round then runs until the cursor's flips start over.
  for (int x = 0, y = 0; next_target(scene, x, y);)
    scene.click(x, y);
  game_restart_scene(&scene.game());
  play(scene, 200);
  while (VEL_GetTick() % 16 != 0)
    scene.frame();
  const int standing = destructibles;
  armed = true;
  play(scene, 1000);
  armed = false;
  EXPECT_LT(destructibles, standing) << "the presses finished props";
  EXPECT_EQ(ours, 0) << "allocations outside SDL";
  EXPECT_EQ(ours + sdls, SDL_ALLOCATIONS) << "SDL's: " << sdls;
}
