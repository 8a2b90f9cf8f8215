// kinds.h -- the game's four entity kinds and the state the props share with the clock.
#pragma once

#include <cstdint>

void window_register();
void player_register();
void box_register();
void alarm_register();

// Registers the kinds in the order that gives them the type ids 1 to 4. Call once, before
// the first scene is built.
inline void kinds_register() {
  window_register();
  player_register();
  box_register();
  alarm_register();
}

// Props still standing: every box and window adds one when spawned and takes it back when
// finished (a window's only hit, a box's second).
inline int32_t destructibles = 0;
// Centre of the last prop finished; the alarm clocks appear there once none stand.
inline int32_t des_x = 0;
inline int32_t des_y = 0;
