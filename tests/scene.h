// scene.h -- the real game on the shipped level for tests: started as the program starts it
// (kinds, engine, scene, sounds), driven by pushed mouse input one frame at a time.
#pragma once

#include "game.h"
#include "support.h"

#include <memory>

class Scene {
public:
  explicit Scene(const VEL_Config &config = test_config);
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
  std::vector<int> heard();

private:
  Engine engine;
  std::unique_ptr<Game> state;
  int mouse_x = 0, mouse_y = 0;
  std::vector<const void *> effects; // the chunk of each sound id
};

// A canvas pixel where e is the topmost entity a click would smash; false when there is none.
bool topmost_point(Game &game, const Entity &e, int &x, int &y);

// A rectangle of the canvas, by its centre and size, drawn over by something.
using Cover = SDL_Rect;

// Compares the canvas with the picture drawn centred on (cx, cy), mirrored by flip (an
// SDL_RendererFlip) and tinted, at every opaque pixel that lies on the canvas and under none
// of `above`. Returns the number of pixels compared; a mismatch fails the test.
int expect_sprite(const std::vector<Rgba> &canvas, const Picture &picture, int cx, int cy,
                  const std::vector<Cover> &above = {}, int flip = 0,
                  Rgba tint = {255, 255, 255, 255});

// The cursor drawn at its entity's position as the frame just presented drew it: with that
// frame's flips, tinted. Fails the test otherwise.
void expect_cursor(const Entity &cursor, Rgba tint);
