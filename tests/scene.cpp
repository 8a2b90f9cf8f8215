#include "scene.h"

#include "kinds.h"
#include "sounds.h"

Scene::Scene(const VEL_Config &config) : engine(config), state(std::make_unique<Game>()) {
  [[maybe_unused]] static const bool registered = (kinds_register(), true);
  game_init(state.get());
  EXPECT_EQ(sounds_load(), 0);
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

Picture load_picture(const std::string &path) {
  SDL_Surface *loaded = SDL_LoadBMP((exe_dir() + path).c_str());
  SDL_Surface *rgba = loaded ? SDL_ConvertSurfaceFormat(loaded, SDL_PIXELFORMAT_RGBA32, 0) : loaded;
  EXPECT_NE(rgba, nullptr) << path << ": " << SDL_GetError();
  const Rgba *pixels = rgba ? static_cast<const Rgba *>(rgba->pixels) : nullptr;
  Picture picture{rgba ? rgba->w : 0, rgba ? rgba->h : 0, {}};
  picture.pixels.assign(pixels, pixels + picture.w * picture.h);
  SDL_FreeSurface(loaded);
  SDL_FreeSurface(rgba);
  return picture;
}

Canvas read_canvas() {
  Canvas canvas(GAME_WIDTH * GAME_HEIGHT);
  EXPECT_EQ(SDL_RenderReadPixels(SDL_GetRenderer(test_window()), nullptr, SDL_PIXELFORMAT_ARGB8888,
                                 canvas.data(), GAME_WIDTH * 4),
            0);
  return canvas;
}

int expect_sprite(const Canvas &canvas, const Picture &picture, int cx, int cy,
                  const std::vector<Cover> &above, int flip, Rgba tint) {
  // Where the engine puts the first pixel of a sprite of this size centred on c.
  auto start = [](int c, int size) { return static_cast<int>(c - size * 0.5); };
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
      const Uint32 tinted = Uint32(want.r * tint.r / 255) << 16 |
                            Uint32(want.g * tint.g / 255) << 8 | Uint32(want.b * tint.b / 255);
      compared += !hidden;
      wrong += !hidden && (canvas[py * GAME_WIDTH + px] & 0xFFFFFF) != tinted;
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
