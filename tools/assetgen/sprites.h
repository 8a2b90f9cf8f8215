// sprites.h -- the game's pictures, each at the size the game draws it.
#pragma once

#include "pixelart.h"

// The crosshair, 23 × 23; its centre pixel (11, 11) is the hot spot.
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
// The icon, size × size (16, 32, 48, 64, 128 or 256): the intact crate under the crosshair,
// from the crate's design at a multiple of 32, else from a 16 × 16 design of its own.
Image sprite_icon(int size);
