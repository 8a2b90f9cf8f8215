// The four kinds on the shipped level -- the cursor, the box, the window and the alarm clock
// -- the whole level played to its end the way a player plays it, and the frames of play that
// allocate nothing.
#include "game.h"
#include "kinds.h"
#include "sounds.h"
#include "support.h"

#include <SDL_mixer.h>

#include <climits>
#include <memory>
#include <random>

// The crosshair is symmetric, so its flips would not show: every 23 x 23 image read, which
// only the crosshair is, gets an opaque pixel in its top-left corner, for the game and the
// test alike.
extern "C" SDL_Surface *SDL_LoadBMP_RW(SDL_RWops *src, int freesrc) {
  static const auto real =
      reinterpret_cast<SDL_Surface *(*)(SDL_RWops *, int)>(sdl_function("SDL_LoadBMP_RW"));
  SDL_Surface *image = real(src, freesrc);
  if (image && image->w == 23 && image->h == 23 && image->format->BytesPerPixel == 4)
    *static_cast<Uint32 *>(image->pixels) = SDL_MapRGBA(image->format, 255, 0, 255, 255);
  return image;
}

namespace {

// The real game on the shipped level: started as the program starts it (kinds, engine, scene,
// sounds), driven by pushed mouse input one frame at a time.
class Scene {
public:
  // Its kinds, an engine with the shipped configuration but for pacing, the scene, the sounds
  // (whose volumes are checked on the way).
  Scene() : state(std::make_unique<Game>()) {
    [[maybe_unused]] static const bool registered = (kinds_register(), true);
    game_init(state.get());
    EXPECT_EQ(sounds_load(), 0);
    Mix_HaltChannel(-1);
    for (int id = 0; id < SOUND_COUNT; ++id) { // each id's chunk, on the first free channel
      VEL_PlaySound(id);
      effects.push_back(Mix_GetChunk(0));
      EXPECT_EQ(Mix_VolumeChunk(Mix_GetChunk(0), -1), id == SOUND_CLOCK ? 20 : 10) << id;
      Mix_HaltChannel(-1);
    }
  }
  Game &game() { return *state; }
  Entity &slot(int i) { return state->entities[i]; }
  // One pass of the main loop.
  void frame() { game_frame(state.get()); }
  // Mouse moved to a window position, then a frame.
  void move(int x, int y) { push_mouse(mouse_x = x, mouse_y = y), frame(); }
  // Left button pressed at a window position, then a frame; release() lets it go.
  void press(int x, int y) { push_mouse(mouse_x = x, mouse_y = y, SDL_BUTTON_LEFT, true), frame(); }
  void release() { push_mouse(mouse_x, mouse_y, SDL_BUTTON_LEFT, false), frame(); }
  // A whole click: press, frame, release, frame.
  void click(int x, int y) { press(x, y), release(); }
  // The ids of the sound effects playing now, in channel order; then silence.
  std::vector<int> heard() {
    std::vector<int> ids;
    for (int channel = 0; channel < Mix_AllocateChannels(-1); ++channel)
      if (Mix_Playing(channel))
        ids.push_back(static_cast<int>(
            std::find(effects.begin(), effects.end(), Mix_GetChunk(channel)) - effects.begin()));
    Mix_HaltChannel(-1);
    return ids;
  }

private:
  Engine engine;
  std::unique_ptr<Game> state;
  int mouse_x = 0, mouse_y = 0;
  std::vector<const void *> effects; // the chunk of each sound id
};

// A rectangle of the canvas, by its centre and size, drawn over by something.
using Cover = SDL_Rect;

// A canvas pixel where e is the topmost entity a click would smash; false when there is none.
bool topmost_point(Game &game, const Entity &e, int &x, int &y) {
  Entity probe{};
  probe.width = probe.height = 1;
  // The centre first, then ever finer grids over the box, aligned on the centre.
  for (int step = e.width; step >= 1; step /= 2)
    for (int dy = 0; dy < e.height; dy += step)
      for (int dx = 0; dx < e.width; dx += step) {
        x = probe.x = e.x - e.width / 2 + (dx + e.width / 2) % e.width;
        y = probe.y = e.y - e.height / 2 + (dy + e.height / 2) % e.height;
        if (x >= 0 && y >= 0 && x < GAME_WIDTH && y < GAME_HEIGHT &&
            entity_place_meeting(&probe, &game, -1) == &e)
          return true;
      }
  return false;
}

// Compares the canvas with the picture drawn centred on (cx, cy), mirrored by flip (an
// SDL_RendererFlip) and tinted, at every opaque pixel that lies on the canvas and under none
// of `above`. Returns the number of pixels compared; a mismatch fails the test.
int expect_sprite(const std::vector<Rgba> &canvas, const Picture &picture, int cx, int cy,
                  const std::vector<Cover> &above = {}, int flip = 0,
                  Rgba tint = {255, 255, 255, 255}) {
  // Where the first pixel of a sprite of this size centred on c lies: the props are of even
  // size, and the crosshair of odd size is placed by its centre pixel.
  auto start = [](int c, int size) { return c - size / 2; };
  int compared = 0, wrong = 0;
  for (int y = 0; y < picture.h; ++y)
    for (int x = 0; x < picture.w; ++x) {
      const int px = start(cx, picture.w) + x, py = start(cy, picture.h) + y;
      const Rgba want = picture.at(flip & SDL_FLIP_HORIZONTAL ? picture.w - 1 - x : x,
                                   flip & SDL_FLIP_VERTICAL ? picture.h - 1 - y : y);
      bool hidden = want.a != 255 || px < 0 || py < 0 || px >= GAME_WIDTH || py >= GAME_HEIGHT;
      for (const Cover &c : above)
        hidden = hidden || (px >= start(c.x, c.w) && px < start(c.x, c.w) + c.w &&
                            py >= start(c.y, c.h) && py < start(c.y, c.h) + c.h);
      const Rgba seen = hidden ? Rgba{} : canvas[py * GAME_WIDTH + px];
      const auto tinted = [](uint8_t v, uint8_t t) { return static_cast<uint8_t>(v * t / 255); };
      compared += !hidden;
      wrong += !hidden && (seen.r != tinted(want.r, tint.r) || seen.g != tinted(want.g, tint.g) ||
                           seen.b != tinted(want.b, tint.b));
    }
  EXPECT_EQ(wrong, 0) << "of " << compared << " pixels of a sprite at (" << cx << ", " << cy << ")";
  return compared;
}

// The cursor drawn at its entity's position as the frame just presented drew it: tinted, and
// flipped by the frame's tick, four frames each: none, vertical, both, horizontal. Fails the
// test otherwise.
void expect_cursor(const Entity &cursor, Rgba tint) {
  static const Picture picture = load_picture("res/cursor.bmp");
  constexpr int kFlips[] = {0, SDL_FLIP_VERTICAL, SDL_FLIP_VERTICAL | SDL_FLIP_HORIZONTAL,
                            SDL_FLIP_HORIZONTAL};
  const uint64_t tick = VEL_GetTick() - 1; // it has counted the frame already
  EXPECT_GT(
      expect_sprite(read_canvas(), picture, cursor.x, cursor.y, {}, kFlips[tick / 4 % 4], tint), 0);
}

constexpr int kPlayer = 143, kLastBox = 129, kLastWindow = 142; // no window lies over box 129
constexpr int kClocks[] = {0, 48, 96};
constexpr int32_t WINDOW = 1, BOX = 3, ALARM = 4; // type ids, in registration order
using Sounds = std::vector<int>;

// Holding the button down hits once; the flash starts at full, fades by a tenth a frame, and
// starts again with every press, hit or miss.
TEST(Player, APressFiresOnceAndFlashes) {
  Scene scene;
  Entity &box = scene.slot(kLastBox);
  const Entity &player = scene.slot(kPlayer);
  scene.press(box.x, box.y);
  EXPECT_EQ(std::tuple(player.x, player.y, player.flash), std::tuple(box.x, box.y, 1.0));
  for (int i = 0; i < 5; ++i)
    scene.frame();
  EXPECT_NEAR(player.flash, 0.9 * 0.9 * 0.9 * 0.9 * 0.9, 1e-12);
  EXPECT_EQ(std::pair(box.type, box.destroyed), std::pair(BOX, true)) << "cracked only";
  scene.release();
  scene.heard();
  // Nothing at the ends of the int range either, in a window smaller than the canvas (where
  // positions pass unmapped), larger, or as large; the cursor is drawn there all the same.
  for (const auto &[w, h] : {std::pair{320, 240}, {1300, 1000}, {640, 480}}) {
    SDL_SetWindowSize(test_window(), w, h), scene.frame();
    for (const int x : {INT_MIN, -1, INT_MAX})
      for (const int y : {INT_MIN, -1, 0, INT_MAX}) {
        scene.click(x, y);
        EXPECT_EQ(scene.heard(), Sounds{SOUND_SHOT}) << x << ", " << y;
      }
  }
  scene.click(100, 20); // over nothing
  EXPECT_EQ(std::pair(player.flash, scene.heard()), std::pair(0.9, Sounds{SOUND_SHOT}));
  expect_cursor(player, Rgba{255, 25, 25, 255});
  for (int i = 0; i < 16; ++i) { // every flip, wherever the cycle stands; the red fading
    scene.frame();
    const auto fading = static_cast<uint8_t>(static_cast<float>(1.0 - player.flash) * 255.0f);
    expect_cursor(player, Rgba{255, fading, fading, 255});
  }
  // A click quicker than a frame, down and up before the update, still fires.
  push_mouse(box.x, box.y, SDL_BUTTON_LEFT, true);
  push_mouse(box.x, box.y, SDL_BUTTON_LEFT, false);
  scene.frame();
  EXPECT_EQ(std::pair(box.type, player.flash), std::pair(0, 1.0));
}

// The clocks wait off the canvas while a prop stands; then they stand on the last one
// fallen, moved in just far enough to lie wholly on the canvas, and follow it.
TEST(Alarm, ParkedThenWhereTheLastPropFell) {
  Scene scene;
  EXPECT_EQ(Mix_PlayingMusic(), 1);
  const int cases[][5] = {{1, 300, 200, -100, -100}, {0, 300, 200, 300, 200},
                          {0, -19, 212, 16, 212},    {0, 700, 500, 624, 464},
                          {0, 0, -40, 16, 16},       {1, 0, -40, -100, -100}};
  for (const auto &[standing, fell_x, fell_y, x, y] : cases) {
    destructibles = standing, des_x = fell_x, des_y = fell_y;
    scene.frame();
    for (int slot : kClocks)
      EXPECT_EQ(std::pair(scene.slot(slot).x, scene.slot(slot).y), std::pair(x, y))
          << fell_x << ", " << fell_y;
  }
}

class Play : public testing::Test {
protected:
  // The picture an entity shows, by type id (window, player, box, alarm) and damage.
  const Picture &picture(const Entity &e) const { return pictures[e.type][e.destroyed]; }
  bool is_prop(int s) { return scene.slot(s).smash && scene.slot(s).type != ALARM; }

  // The entity in slot s shows its picture wherever no later slot draws over it.
  int expect_shown(const std::vector<Rgba> &canvas, int s) {
    std::vector<Cover> above;
    for (const Entity *e = &scene.slot(s + 1); e < scene.game().entities + GAME_MAX_ENTITIES; ++e)
      if (e->type != 0)
        above.push_back({e->x, e->y, picture(*e).w, picture(*e).h});
    return expect_sprite(canvas, picture(scene.slot(s)), scene.slot(s).x, scene.slot(s).y, above);
  }

  // One click on prop t where it is the topmost: it, and only it, takes the hit with its
  // sound; the count falls when it is finished; the cursor flashes red and the prop shows its
  // new picture.
  void smash(int t) {
    Entity &target = scene.slot(t);
    int x = 0, y = 0;
    ASSERT_TRUE(topmost_point(scene.game(), target, x, y)) << "slot " << t;
    const std::vector<Entity> before(scene.game().entities, scene.game().entities + kPlayer);
    const int standing = destructibles;
    const bool window = target.type == WINDOW, finishes = window || target.destroyed;
    scene.press(x, y);
    const int sound = window ? SOUND_GLASS : finishes ? SOUND_BOX_BREAK : SOUND_BOX_CRACK;
    EXPECT_EQ(scene.heard(), (Sounds{SOUND_SHOT, sound}));
    expect_cursor(scene.slot(kPlayer), Rgba{255, 0, 0, 255});
    scene.release();
    for (int i = 0; i < kPlayer; ++i) // nothing else takes a hit
      EXPECT_TRUE(i == t || (scene.slot(i).type == before[i].type &&
                             scene.slot(i).destroyed == before[i].destroyed))
          << i;
    // A box leaves on its second hit; a shattered window stays, and no longer takes clicks.
    EXPECT_EQ(std::tuple(target.destroyed, target.type == 0, target.smash, destructibles),
              std::tuple(true, !window && finishes, finishes ? nullptr : target.smash,
                         standing - finishes));
    EXPECT_TRUE(!finishes || (des_x == before[t].x && des_y == before[t].y));
    if (target.type != 0)
      expect_shown(read_canvas(), t);
  }

  Scene scene;
  static Picture load(const std::string &name) { return load_picture("res/" + name + ".bmp"); }
  const Picture pictures[5][2] = {{},
                                  {load("windowclean"), load("window")},
                                  {load("cursor"), load("cursor")},
                                  {load("box"), load("boxdestroyed")},
                                  {load("clock"), load("clockdestroyed")}};
};

// On the background every prop shows at the start. Every prop within reach is smashed, picked
// at random, the last box last: the count reaches 0 with it, and the clocks show clear where
// it fell. Three presses there hit the clocks from the highest slot down, the alarm silenced
// at the first; then nothing is left to hit.
TEST_F(Play, TheWholeLevelToTheEnd) {
  scene.frame();
  EXPECT_EQ(destructibles, 140);
  const std::vector<Rgba> start = read_canvas();
  EXPECT_EQ(start[470 * GAME_WIDTH + 630], (Rgba{102, 76, 76, 255})) << "the background";
  for (int i = 0; i < kPlayer; ++i)
    if (is_prop(i))
      expect_shown(start, i);
  std::mt19937 random(2026);
  int presses = 0;
  for (std::vector<int> standing{kLastWindow}; !standing.empty() && !HasFatalFailure(); ++presses) {
    smash(standing[random() % standing.size()]);
    standing.clear();
    for (int i = 0, x = 0, y = 0; i < kPlayer; ++i)
      if (i != kLastBox && is_prop(i) && topmost_point(scene.game(), scene.slot(i), x, y))
        standing.push_back(i);
    if (standing.empty() && is_prop(kLastBox))
      standing.push_back(kLastBox);
  }
  const int x = scene.slot(kLastBox).x, y = scene.slot(kLastBox).y;
  EXPECT_EQ(std::tuple(presses, destructibles, des_x, des_y), std::tuple(62 + 2 * 78, 0, x, y));
  for (int i = 2; i >= 0; --i) {
    scene.move(600, 20); // the cursor off the clocks, which show whole
    EXPECT_GT(expect_shown(read_canvas(), kClocks[2]), 300); // the clock on top
    EXPECT_EQ(std::pair(scene.slot(kClocks[i]).x, scene.slot(kClocks[i]).y), std::pair(x, y));
    EXPECT_EQ(Mix_PlayingMusic(), i == 2);
    scene.click(x, y);
    EXPECT_EQ(std::pair(scene.slot(kClocks[i]).destroyed, scene.heard()),
              std::pair(true, Sounds{SOUND_SHOT, SOUND_CLOCK}));
  }
  EXPECT_EQ(Mix_PlayingMusic(), 0);
  EXPECT_EQ(entity_place_meeting(&scene.slot(kPlayer), &scene.game(), -1), nullptr);
}

} // namespace

// Once warmed up, the running game makes no heap allocation in a frame, inside SDL included:
// every allocation on the game's thread is counted while 1,000 frames of play run, clicks
// and the cursor's flips included.
namespace {

// Only the test's thread arms the count (the audio device's thread mixes at its own pace,
// not the frames').
thread_local bool armed = false;
long allocations = 0;

} // namespace

// Interposed for the whole process, SDL included (not under AddressSanitizer, which owns
// malloc, nor on Windows, where SDL's DLL calls the C runtime's DLL directly). operator new and
// delete come down to malloc and free in the C++ library, and free needs no counting.
#if !defined(__SANITIZE_ADDRESS__) && !defined(_WIN32)
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

// Clicks, two in four frames: over nothing, then on the topmost thing a click can reach (over
// nothing again when none is left).
static void play(Scene &scene, int frames) {
  for (int i = 0, x = 100, y = 20; i < frames; i += 4) {
    scene.click(100, 20);
    for (int slot = GAME_MAX_ENTITIES - 1; slot >= 0; --slot)
      if (scene.slot(slot).smash && topmost_point(scene.game(), scene.slot(slot), x, y))
        break;
    scene.click(x, y);
  }
}

TEST(Alloc, NoHeapAllocationPerFrame) {
#if defined(__SANITIZE_ADDRESS__) || defined(_WIN32)
  GTEST_SKIP() << "malloc is not ours to count here: allocations are counted in the Linux build";
#endif
  Scene scene;
  // Warm-up: a whole round to the silenced alarm loads every image in every orientation and
  // grows SDL's event queue and command buffers.
  play(scene, 4 * (62 + 2 * 78 + 3));
  game_restart_scene(&scene.game());
  play(scene, 200);
  const int standing = destructibles;
  armed = true;
  play(scene, 1000);
  armed = false;
  EXPECT_LT(destructibles, standing) << "the presses finished props";
  EXPECT_EQ(allocations, 0);
}
