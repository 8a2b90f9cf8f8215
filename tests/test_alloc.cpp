// Once warmed up, the running game makes no heap allocation of its own in a frame: every
// allocation on the game's thread is counted while 1,000 frames of play run, clicks included.
#include "kinds.h"
#include "scene.h"

#include <gtest/gtest.h>

#include <atomic>
#include <dlfcn.h>

namespace {

// The load address of the object (program or library) holding the code at `address`.
const void *base_of(const void *address) {
  Dl_info info;
  return address && dladdr(address, &info) ? info.dli_fbase : nullptr;
}

// Counted only while armed and only on the thread that armed it (the audio device's thread
// mixes at its own pace, not the frames'), as SDL's when SDL2 itself called.
std::atomic<bool> armed{false};
thread_local bool measuring = false;
const void *const sdl_base = base_of(reinterpret_cast<const void *>(&SDL_RenderCopyEx));
long ours = 0, sdls = 0;

void count(const void *caller) {
  if (armed && measuring) {
    (base_of(caller) == sdl_base ? sdls : ours) += 1;
  }
}

} // namespace

#ifdef __SANITIZE_ADDRESS__
// AddressSanitizer owns malloc and cannot be interposed; it reports every allocation to this
// hook instead, which does not see the caller: there every allocation counts as ours.
extern "C" void __sanitizer_malloc_hook(const volatile void *, size_t) {
  count(nullptr);
}
#else
// Interposed for the whole process, SDL included. operator new and delete come down to
// malloc and free in the C++ library, and free needs no counting.
extern "C" {
void *__libc_malloc(size_t size);
void *__libc_calloc(size_t n, size_t size);
void *__libc_realloc(void *p, size_t size);
void *malloc(size_t size) noexcept {
  count(__builtin_return_address(0));
  return __libc_malloc(size);
}
void *calloc(size_t n, size_t size) noexcept {
  count(__builtin_return_address(0));
  return __libc_calloc(n, size);
}
void *realloc(void *p, size_t size) noexcept {
  count(__builtin_return_address(0));
  return __libc_realloc(p, size);
}
}
#endif

namespace {

// A press that smashes the entity in the highest slot a click can reach; false when none is.
bool next_target(Scene &scene, int &x, int &y) {
  for (int i = GAME_MAX_ENTITIES - 1; i >= 0; --i) {
    const Entity &e = scene.slot(i);
    if (e.type != 0 && e.smash && topmost_point(scene.game(), e, x, y)) {
      return true;
    }
  }
  return false;
}

// Four frames per press: pressed, a frame, released, a frame; every other press is on the
// next target, the others at (100, 20), over nothing.
void play(Scene &scene, int frames) {
  for (int i = 0; i < frames; i += 4) {
    int x = 100, y = 20;
    if (i % 8 == 0) {
      next_target(scene, x, y);
    }
    scene.press(x, y);
    scene.frame();
    scene.release();
    scene.frame();
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
  ASSERT_NE(sdl_base, nullptr);
  measuring = true;
  Scene scene;
  // Warm-up: a whole round to the silenced alarm loads every image and grows SDL's event
  // queue and command buffers; a new round then runs until the cursor's flips start over.
  for (int x = 0, y = 0; next_target(scene, x, y);) {
    scene.click(x, y);
  }
  game_restart_scene(&scene.game());
  play(scene, 200);
  while (VEL_GetTick() % 16 != 0) {
    scene.frame();
  }
  const int standing = destructibles;
  armed = true;
  play(scene, 1000);
  armed = false;
  EXPECT_LT(destructibles, standing) << "the presses finished props";
#ifndef __SANITIZE_ADDRESS__
  EXPECT_EQ(ours, 0) << "allocations outside SDL";
#endif
  EXPECT_EQ(ours + sdls, SDL_ALLOCATIONS) << "SDL's: " << sdls;
}

} // namespace
