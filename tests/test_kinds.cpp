// The four kinds on the shipped level -- the cursor, the box, the window and the alarm clock
// -- and the whole level played to its end the way a player plays it.
#include "game.h"
#include "kinds.h"
#include "map.h"
#include "sounds.h"
#include "support.h"

#include <SDL_mixer.h>

#include <algorithm>
#include <climits>
#include <memory>
#include <random>
#include <span>
#include <string_view>

// The crosshair is symmetric, so its flips would not show: every 23 x 23 image read, which
// only the crosshair is, gets an opaque pixel in its top-left corner, for the game and the
// test alike.
extern "C" SDL_Surface *SDL_LoadBMP_RW(SDL_RWops *src, int freesrc) {
  static const auto real = sdl_function(SDL_LoadBMP_RW, "SDL_LoadBMP_RW");
  SDL_Surface *image = real(src, freesrc);
  if (image && image->w == 23 && image->h == 23 && image->format->BytesPerPixel == 4)
    *static_cast<Uint32 *>(image->pixels) = SDL_MapRGBA(image->format, 255, 0, 255, 255);
  return image;
}

namespace {

// The slots of the shipped level's objects of a type, from its records (the scene spawns one
// entity per object, in order); with `clear`, only those that no window lies over.
std::vector<int> slots_of(std::string_view type, bool clear = false) {
  uint32_t count = 0;
  const lvgen_object *first = map_objects(&count);
  const std::span<const lvgen_object> objects(first, count);
  const auto window_over = [&](const lvgen_object &b) {
    return std::ranges::any_of(objects, [&](const lvgen_object &w) {
      return w.type == std::string_view("window") && w.x < b.x + b.width && b.x < w.x + w.width &&
             w.y < b.y + b.height && b.y < w.y + w.height;
    });
  };
  std::vector<int> slots;
  for (int i = 0; i < static_cast<int>(count); ++i)
    if (objects[i].type == type && !(clear && window_over(objects[i])))
      slots.push_back(i);
  return slots.empty() ? std::vector<int>{-1} : slots;
}
// The cursor, the clocks, the last window, and the last box that no window lies over, smashed
// last, so that the clocks appear where no shattered window hides them; -1 where there is none.
const int kPlayer = slots_of("player").back(), kLastBox = slots_of("box", true).back(),
          kLastWindow = slots_of("window").back();
const std::vector<int> kClocks = slots_of("alarm");
constexpr int32_t WINDOW = 1, PLAYER = 2, ALARM = 4; // type ids, in registration order
using Sounds = std::vector<int>;

// The real game on the shipped level: started as the program starts it (kinds, engine, scene,
// sounds, whose volumes are checked on the way), driven by pushed mouse input one frame at a
// time, and seen on the canvas.
class Scene {
public:
  Scene() : state(std::make_unique<Game>()) {
    [[maybe_unused]] static const bool registered = (kinds_register(), true);
    game_init(state.get());
    EXPECT_EQ(sounds_load(), 0);
    Mix_HaltChannel(-1);
    for (int id = 0; id < SOUND_COUNT; ++id) { // each id's chunk, on the first free channel
      VEL_PlaySound(id), effects.push_back(Mix_GetChunk(0));
      EXPECT_EQ(Mix_VolumeChunk(Mix_GetChunk(0), -1), id == SOUND_CLOCK ? 20 : 10) << id;
      Mix_HaltChannel(-1);
    }
  }
  Game &game() { return *state; }
  Entity &slot(int i) { return state->entities[i]; }
  // One pass of the main loop; with a button, the left one pressed (or released) at a window
  // position first, else the mouse moved there.
  void frame() { game_frame(state.get()); }
  void press(int x, int y, bool down = true) { push_mouse(x, y, SDL_BUTTON_LEFT, down), frame(); }
  void click(int x, int y) { press(x, y), press(x, y, false); }
  // The ids of the sound effects playing now, in channel order; then silence.
  Sounds heard() {
    Sounds ids;
    for (int channel = 0; channel < Mix_AllocateChannels(-1); ++channel)
      if (Mix_Playing(channel))
        ids.push_back(static_cast<int>(
            std::find(effects.begin(), effects.end(), Mix_GetChunk(channel)) - effects.begin()));
    Mix_HaltChannel(-1);
    return ids;
  }
  // A canvas pixel where slot s is the topmost entity a click would smash; false if none is.
  bool topmost_point(int s, int &x, int &y) {
    const Entity &e = slot(s);
    Entity probe{};
    probe.width = probe.height = 1;
    // The centre first, then ever finer grids over the box, aligned on the centre.
    for (int step = e.width; step >= 1; step /= 2)
      for (int dy = 0; dy < e.height; dy += step)
        for (int dx = 0; dx < e.width; dx += step) {
          x = probe.x = e.x - e.width / 2 + (dx + e.width / 2) % e.width;
          y = probe.y = e.y - e.height / 2 + (dy + e.height / 2) % e.height;
          if (x >= 0 && y >= 0 && x < GAME_WIDTH && y < GAME_HEIGHT &&
              entity_place_meeting(&probe, state.get(), -1) == &e)
            return true;
        }
    return false;
  }
  // Compares the canvas with slot s's picture (by its kind and damage) drawn centred on it,
  // mirrored by flip (an SDL_RendererFlip) and tinted, at every opaque pixel on the canvas that
  // no later slot draws over. Returns the number of pixels compared; a mismatch fails the test.
  int expect_drawn(int s, int flip = 0, Rgba tint = {255, 255, 255, 255}) {
    const std::vector<Rgba> canvas = read_canvas();
    const Picture &picture = pictures[slot(s).type][slot(s).destroyed];
    // The first pixel of a sprite centred on c: the props are of even size, and the crosshair
    // of odd size is placed by its centre pixel.
    const auto start = [](int c, int size) { return c - size / 2; };
    const auto tinted = [](uint8_t v, uint8_t t) { return static_cast<uint8_t>(v * t / 255); };
    int compared = 0, wrong = 0;
    for (int y = 0; y < picture.h; ++y)
      for (int x = 0; x < picture.w; ++x) {
        const int px = start(slot(s).x, picture.w) + x, py = start(slot(s).y, picture.h) + y;
        const Rgba want = picture.at(flip & SDL_FLIP_HORIZONTAL ? picture.w - 1 - x : x,
                                     flip & SDL_FLIP_VERTICAL ? picture.h - 1 - y : y);
        bool hidden = want.a != 255 || px < 0 || py < 0 || px >= GAME_WIDTH || py >= GAME_HEIGHT;
        for (int above = s + 1; above < GAME_MAX_ENTITIES && !hidden; ++above) {
          const Entity &e = slot(above);
          const Picture &p = pictures[e.type][e.destroyed];
          hidden = e.type != 0 && px >= start(e.x, p.w) && px < start(e.x, p.w) + p.w &&
                   py >= start(e.y, p.h) && py < start(e.y, p.h) + p.h;
        }
        const Rgba seen = hidden ? Rgba{} : canvas[py * GAME_WIDTH + px];
        compared += !hidden;
        wrong += !hidden && (seen.r != tinted(want.r, tint.r) || seen.g != tinted(want.g, tint.g) ||
                             seen.b != tinted(want.b, tint.b));
      }
    EXPECT_EQ(wrong, 0) << "of " << compared << " pixels of slot " << s;
    return compared;
  }
  // The cursor as the frame just presented drew it: tinted, and flipped by the frame's tick,
  // four frames each: none, vertical, both, horizontal.
  void expect_cursor(Rgba tint) {
    constexpr int kFlips[] = {0, SDL_FLIP_VERTICAL, SDL_FLIP_VERTICAL | SDL_FLIP_HORIZONTAL,
                              SDL_FLIP_HORIZONTAL};
    EXPECT_GT(expect_drawn(kPlayer, kFlips[(VEL_GetTick() - 1) / 4 % 4], tint), 0);
  }

private:
  Engine engine;
  std::unique_ptr<Game> state;
  std::vector<const void *> effects; // the chunk of each sound id
  static Picture load(const std::string &name) { return load_picture("res/" + name + ".bmp"); }
  // By type id (none, window, player, box, alarm) and damage.
  const Picture pictures[5][2] = {{},
                                  {load("windowclean"), load("window")},
                                  {load("cursor"), load("cursor")},
                                  {load("box"), load("boxdestroyed")},
                                  {load("clock"), load("clockdestroyed")}};
};

// Holding the button down hits once; the flash starts at full, fades by a tenth a frame, and
// starts again with every press, hit or miss; the cursor's flips cycle every four frames.
TEST(Player, APressFiresOnceAndFlashes) {
  Scene scene;
  Entity &box = scene.slot(kLastBox);
  const Entity &player = scene.slot(kPlayer);
  scene.press(box.x, box.y);
  EXPECT_EQ(std::tuple(player.x, player.y, player.flash), std::tuple(box.x, box.y, 1.0));
  for (int i = 0; i < 5; ++i)
    scene.frame();
  EXPECT_NEAR(player.flash, 0.59049, 1e-12); // 0.9 a frame
  EXPECT_EQ(std::pair(box.type == 0, box.destroyed), std::pair(false, true)) << "cracked only";
  scene.press(box.x, box.y, false), scene.heard();
  // Nothing at the ends of the int range, which pass unmapped in a window smaller than the
  // canvas; the cursor is drawn there all the same.
  SDL_SetWindowSize(test_window(), 320, 240), scene.click(INT_MIN, INT_MAX);
  EXPECT_EQ(scene.heard(), Sounds{SOUND_SHOT});
  SDL_SetWindowSize(test_window(), 640, 480), scene.click(100, 20); // over nothing
  EXPECT_EQ(std::pair(player.flash, scene.heard()), std::pair(0.9, Sounds{SOUND_SHOT}));
  for (int i = 0; i < 17; ++i) { // every flip, wherever the cycle stands; the red fading
    const auto fading = static_cast<uint8_t>(static_cast<float>(1.0 - player.flash) * 255.0f);
    scene.expect_cursor(Rgba{255, fading, fading, 255}), scene.frame();
  }
  // A click quicker than a frame, down and up before the update, still fires.
  push_mouse(box.x, box.y, SDL_BUTTON_LEFT, true), scene.press(box.x, box.y, false);
  EXPECT_EQ(std::pair(box.type, player.flash), std::pair(0, 1.0));
}

bool is_prop(Scene &scene, int s) {
  return scene.slot(s).smash && scene.slot(s).type != ALARM;
}

// One click on prop t where it is the topmost: it, and only it, takes the hit with its sound;
// the count falls when it is finished; the cursor flashes red and the prop shows its new
// picture.
void smash(Scene &scene, int t) {
  Entity &target = scene.slot(t);
  int x = 0, y = 0;
  ASSERT_TRUE(scene.topmost_point(t, x, y)) << "slot " << t;
  const std::vector<Entity> before(scene.game().entities, scene.game().entities + kPlayer);
  const int standing = destructibles;
  const bool window = target.type == WINDOW, finishes = window || target.destroyed;
  scene.press(x, y);
  const int sound = window ? SOUND_GLASS : finishes ? SOUND_BOX_BREAK : SOUND_BOX_CRACK;
  EXPECT_EQ(scene.heard(), (Sounds{SOUND_SHOT, sound}));
  scene.expect_cursor(Rgba{255, 0, 0, 255});
  scene.press(x, y, false);
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
    scene.expect_drawn(t);
}

// On the background every prop shows at the start. Every prop within reach is smashed, picked
// at random, the last box last: the count reaches 0 with it, and the clocks show clear where
// it fell. Three presses there hit the clocks from the highest slot down, the alarm silenced
// at the first; then nothing is left to hit.
TEST(Play, TheWholeLevelToTheEnd) {
  ASSERT_TRUE(kLastBox >= 0 && kClocks[0] >= 0) << "no box free of windows, or no clock";
  Scene scene;
  scene.frame();
  EXPECT_EQ(destructibles, 140);
  EXPECT_EQ(read_pixel(630, 470), (Rgba{102, 76, 76, 255})) << "the background";
  for (int i = 0; i < kPlayer; ++i)
    if (is_prop(scene, i))
      scene.expect_drawn(i);
  std::mt19937 random(2026);
  int presses = 0;
  for (std::vector<int> standing{kLastWindow}; !standing.empty() && !HasFatalFailure(); ++presses) {
    smash(scene, standing[random() % standing.size()]);
    standing.clear();
    for (int i = 0, x = 0, y = 0; i < kPlayer; ++i)
      if (i != kLastBox && is_prop(scene, i) && scene.topmost_point(i, x, y))
        standing.push_back(i);
    if (standing.empty() && is_prop(scene, kLastBox))
      standing.push_back(kLastBox);
  }
  const int x = scene.slot(kLastBox).x, y = scene.slot(kLastBox).y;
  EXPECT_EQ(std::tuple(presses, destructibles, des_x, des_y), std::tuple(62 + 2 * 78, 0, x, y));
  for (int i = static_cast<int>(kClocks.size()) - 1; i >= 0; --i) {
    push_mouse(600, 20), scene.frame(); // the cursor off the clocks, which show whole
    EXPECT_GT(scene.expect_drawn(kClocks.back()), 300); // the clock on top
    EXPECT_EQ(std::pair(scene.slot(kClocks[i]).x, scene.slot(kClocks[i]).y), std::pair(x, y));
    EXPECT_EQ(Mix_PlayingMusic(), i + 1 == static_cast<int>(kClocks.size()));
    scene.click(x, y);
    EXPECT_EQ(std::pair(scene.slot(kClocks[i]).destroyed, scene.heard()),
              std::pair(true, Sounds{SOUND_SHOT, SOUND_CLOCK}));
  }
  EXPECT_EQ(Mix_PlayingMusic(), 0);
  EXPECT_EQ(entity_place_meeting(&scene.slot(kPlayer), &scene.game(), -1), nullptr);
  // Where the last prop fell, and where the clocks then show: moved in just far enough to
  // show whole on the canvas.
  // clang-format off
  for (const auto &[fell, shown] : {std::pair{SDL_Point{-19, 212}, SDL_Point{16, 212}},
           {{700, -5}, {624, 16}}, {{320, 470}, {320, 464}}, {{16, 16}, {16, 16}}}) {
    // clang-format on
    des_x = fell.x, des_y = fell.y, scene.frame();
    for (int clock : kClocks)
      EXPECT_EQ(std::pair(scene.slot(clock).x, scene.slot(clock).y), std::pair(shown.x, shown.y));
  }
}

// A level of one's own, as `pordeck --level FILE` plays it: its objects where the map puts
// them. F5 does nothing on the game's own level; on a level from a file it reads the file
// again and plays the new level from its start, or, the file now broken, logs why and plays on.
TEST(Play, ALevelOfOnesOwnAndF5) {
  const std::string file = make_temp_dir() + "own.tmj";
  const auto save = [&](const std::string &box_x) {
    return write_file(file, R"({"width": 1, "height": 1, "tilewidth": 16, "tileheight": 16,
      "layers": [{"type": "tilelayer", "data": [0]}, {"type": "objectgroup", "objects": [
      {"id": 1, "type": "box", "x": )" +
                                box_x + R"(, "y": 300, "width": 64, "height": 64},
      {"id": 2, "type": "player", "x": 0, "y": 0, "width": 0, "height": 0}]}]})");
  };
  Scene scene;
  const auto f5 = [&] {
    push_key(SDL_SCANCODE_F5, true), scene.frame(), push_key(SDL_SCANCODE_F5, false);
  };
  smash(scene, kLastWindow), f5();
  EXPECT_EQ(destructibles, 139) << "the game's own level plays on";
  ASSERT_TRUE(save("100"));
  ASSERT_EQ(map_load_file(file.c_str()), 0);
  game_restart_scene(&scene.game()), scene.frame();
  const Entity &box = scene.slot(0);
  EXPECT_EQ(std::tuple(box.x, box.y, scene.slot(1).type, scene.slot(2).type, destructibles),
            std::tuple(132, 332, PLAYER, 0, 1));
  EXPECT_GT(scene.expect_drawn(0), 3000);
  scene.click(132, 332), save("200"), f5();
  EXPECT_EQ(std::tuple(box.x, box.destroyed), std::tuple(232, false)) << "a fresh round";
  scene.click(232, 332), save("\"far\"");
  LogCapture log;
  f5();
  EXPECT_EQ(log.lines(),
            Lines{file + ": $.layers[1].objects[0].x: expected a number, found \"far\""});
  EXPECT_EQ(std::tuple(box.x, box.destroyed), std::tuple(232, true)) << "the level plays on";
}

} // namespace
