#include "scene.h"

#include "kinds.h"

#include <gtest/gtest.h>

Scene::Scene(const VEL_Config &config) : engine(config), state(std::make_unique<Game>()) {
  static bool registered = false;
  if (!registered) {
    kinds_register();
    registered = true;
  }
  game_init(state.get());
  EXPECT_EQ(game_load_sounds(), 0);
}

void Scene::frame() {
  game_frame(state.get());
}

void Scene::move(int x, int y) {
  mouse_x = x;
  mouse_y = y;
  push_mouse_motion(x, y);
  frame();
}

void Scene::press(int x, int y) {
  mouse_x = x;
  mouse_y = y;
  push_mouse_motion(x, y);
  push_mouse_button(SDL_BUTTON_LEFT, true, x, y);
  frame();
}

void Scene::release() {
  push_mouse_button(SDL_BUTTON_LEFT, false, mouse_x, mouse_y);
  frame();
}

void Scene::click(int x, int y) {
  press(x, y);
  release();
}

bool topmost_point(Game &game, const Entity &e, int &x, int &y) {
  Entity probe{};
  probe.width = probe.height = 1;
  // The centre first, then a grid over the box: the first pixel where the search a click
  // makes finds e.
  for (int step = e.width; step >= 1; step /= 2) {
    for (int py = e.y - e.height / 2 + 1; py < e.y - e.height / 2 + e.height - 1; py += step) {
      for (int px = e.x - e.width / 2 + 1; px < e.x - e.width / 2 + e.width - 1; px += step) {
        probe.x = step == e.width ? e.x : px;
        probe.y = step == e.width ? e.y : py;
        if (probe.x < 0 || probe.y < 0 || probe.x >= GAME_WIDTH || probe.y >= GAME_HEIGHT) {
          continue;
        }
        if (entity_place_meeting(&probe, &game, -1) == &e) {
          x = probe.x;
          y = probe.y;
          return true;
        }
      }
    }
  }
  return false;
}

Picture load_picture(const std::string &path) {
  Picture picture;
  SDL_Surface *loaded = SDL_LoadBMP((exe_dir() + path).c_str());
  EXPECT_NE(loaded, nullptr) << path << ": " << SDL_GetError();
  if (!loaded) {
    return picture;
  }
  SDL_Surface *argb = SDL_ConvertSurfaceFormat(loaded, SDL_PIXELFORMAT_ARGB8888, 0);
  SDL_FreeSurface(loaded);
  picture.w = argb->w;
  picture.h = argb->h;
  for (int y = 0; y < argb->h; ++y) {
    const auto *row = reinterpret_cast<const Uint32 *>(static_cast<const Uint8 *>(argb->pixels) +
                                                       y * argb->pitch);
    for (int x = 0; x < argb->w; ++x) {
      const Uint32 p = row[x];
      picture.pixels.push_back(Rgba{static_cast<uint8_t>(p >> 16), static_cast<uint8_t>(p >> 8),
                                    static_cast<uint8_t>(p), static_cast<uint8_t>(p >> 24)});
    }
  }
  SDL_FreeSurface(argb);
  return picture;
}

Canvas read_canvas() {
  Canvas canvas(GAME_WIDTH * GAME_HEIGHT);
  EXPECT_EQ(SDL_RenderReadPixels(test_renderer(), nullptr, SDL_PIXELFORMAT_ARGB8888, canvas.data(),
                                 GAME_WIDTH * 4),
            0);
  return canvas;
}

namespace {

// Where the engine puts the first pixel of a sprite of this size centred on c.
int sprite_start(int c, int size) {
  return static_cast<int>(c - size * 0.5);
}

bool covered(int px, int py, const std::vector<Cover> &above) {
  for (const Cover &c : above) {
    const int left = sprite_start(c.x, c.w), top = sprite_start(c.y, c.h);
    if (px >= left && px < left + c.w && py >= top && py < top + c.h) {
      return true;
    }
  }
  return px < 0 || py < 0 || px >= GAME_WIDTH || py >= GAME_HEIGHT;
}

} // namespace

int expect_sprite(const Canvas &canvas, const Picture &picture, int cx, int cy,
                  const std::vector<Cover> &above, int flip, Rgba tint) {
  const int left = sprite_start(cx, picture.w), top = sprite_start(cy, picture.h);
  int compared = 0, wrong = 0;
  for (int y = 0; y < picture.h; ++y) {
    for (int x = 0; x < picture.w; ++x) {
      const int px = left + x, py = top + y;
      const int sx = flip & SDL_FLIP_HORIZONTAL ? picture.w - 1 - x : x;
      const int sy = flip & SDL_FLIP_VERTICAL ? picture.h - 1 - y : y;
      const Rgba want = picture.at(sx, sy);
      if (want.a != 255 || covered(px, py, above)) {
        continue;
      }
      const Uint32 expected = Uint32(want.r * tint.r / 255) << 16 |
                              Uint32(want.g * tint.g / 255) << 8 | Uint32(want.b * tint.b / 255);
      ++compared;
      wrong += (canvas[py * GAME_WIDTH + px] & 0xFFFFFF) != expected;
    }
  }
  EXPECT_EQ(wrong, 0) << "of " << compared << " pixels of a sprite at (" << cx << ", " << cy << ")";
  return compared;
}

void expect_cursor(const Entity &cursor, Rgba tint) {
  static const Picture picture = load_picture("res/cursor.bmp");
  const uint64_t tick = VEL_GetTick() - 1;
  const int flip_h = static_cast<int>((tick >> 3) & 1);
  const int flip_v = static_cast<int>(((tick + 4) >> 3) & 1);
  EXPECT_GT(
      expect_sprite(read_canvas(), picture, cursor.x, cursor.y, {}, flip_h | flip_v << 1, tint), 0);
}
