// cursor.h -- the crosshair steered without a mouse: by the direction buttons (the arrow keys,
// a pad's d-pad), by a pad's left stick, and by the aim assist. The player kind calls these
// from its update; a mouse that moves or clicks takes the crosshair back.
#pragma once

#include "entity.h"

#include <cstdint>

// The crosshair's top speed under keys and pads, in canvas pixels a frame, until it is set.
constexpr int32_t CURSOR_TOP_SPEED = 24;

// Sets the top speed, 1 or more pixels a frame.
void cursor_set_top_speed(int32_t pixels);
// Moves the crosshair on the canvas: a direction held moves it 1 pixel in its first frame and
// a pixel a frame faster in each further one, up to the top speed; the stick moves it at a
// speed proportional to its tilt past a dead zone, the top speed at full tilt. Call it once
// every frame; true when a direction was held or the stick tilted.
bool cursor_steer(Entity *cursor);
// The aim assist: moves the crosshair to the next thing still to smash in reading order (by
// centre: top to bottom, then left to right, wrapping round) after the one under it, or after
// its own pixel, onto a pixel where a press smashes that thing. Things that no such pixel
// shows are passed over. False, the crosshair left alone, when nothing is left to smash.
bool cursor_aim(Entity *cursor, Game *game);
