// kinds.h -- the game's four entity kinds and their registration.
#pragma once

void window_register();
void player_register();
void box_register();
void alarm_register();

// Registers the kinds in the order that gives them the type ids 1 to 4: window, player, box,
// alarm. Call once, before the first scene is built.
inline void kinds_register() {
  window_register();
  player_register();
  box_register();
  alarm_register();
}
