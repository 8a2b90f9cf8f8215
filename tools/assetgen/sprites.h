// sprites.h -- the game's pictures, each at the size the game draws it.
#pragma once

#include "pixelart.h"

// The crosshair, 15 × 15; its centre pixel is the hot spot.
Image sprite_cursor();
// An intact crate and the crate cracked by its first hit, 64 × 64.
Image sprite_box();
Image sprite_box_cracked();
// A window with whole panes and the same window shattered, 64 × 64.
Image sprite_window_clean();
Image sprite_window_shattered();
// The ringing alarm clock and the clock silenced by a hit, 32 × 32.
Image sprite_clock();
Image sprite_clock_broken();
// The desktop icon, 64 × 64: the intact crate with the crosshair, drawn twice as big,
// over its middle.
Image sprite_icon();
