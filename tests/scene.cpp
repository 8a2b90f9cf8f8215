#include "scene.h"

#include "kinds.h"
#include "sounds.h"

#include <SDL_mixer.h>

Scene::Scene(const VEL_Config &config) : engine(config), state(std::make_unique<Game>()) {
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

std::vector<int> Scene::heard() {
  std::vector<int> ids;
  for (int channel = 0; channel < Mix_AllocateChannels(-1); ++channel)
    if (Mix_Playing(channel))
      ids.push_back(static_cast<int>(
          std::find(effects.begin(), effects.end(), Mix_GetChunk(channel)) - effects.begin()));
  Mix_HaltChannel(-1);
  return ids;
}

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

int expect_sprite(const std::vector<Rgba> &canvas, const Picture &picture, int cx, int cy,
                  const std::vector<Cover> &above, int flip, Rgba tint) {
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

void expect_cursor(const Entity &cursor, Rgba tint) {
  static const Picture picture = load_picture("res/cursor.bmp");
  // The flips of the frame just presented (the tick has counted it already).
  const uint64_t tick = VEL_GetTick() - 1;
  const int flip = static_cast<int>((tick >> 3 & 1) | ((tick + 4) >> 3 & 1) << 1);
  EXPECT_GT(expect_sprite(read_canvas(), picture, cursor.x, cursor.y, {}, flip, tint), 0);
}
